#include "model/section_records.h"

#include <algorithm>
#include <cmath>

#include "core/number.h"

namespace vaultra {

namespace {

int Trunc10(double x) {
  return static_cast<int>(10 * x + 0.1);
}

struct RowsEntry {
  int row1 = 0;  // 0: default bars
  int row2 = 0;
  int entry = 0;
};

}  // namespace

std::string ArrangementCode(const SectionInput& in, double& previous_width) {
  double w = in.slab_width;
  if (!(w > 0)) w = previous_width;
  previous_width = w;
  const int s = std::clamp(static_cast<int>(w + 0.9999), 2, 4);
  const char mark = in.water ? 'W' : 'N';
  const DimensionSet& e = in.end_set;
  if (in.layout == 0) return Format("%2d%2d%c%2d", Trunc10(e.H()), 10 * s, mark, Trunc10(e.L()));
  return Format("%2d%2d%2d%c", Trunc10(e.B()), Trunc10(e.H()), 10 * s, mark);
}

int FindArrangement(const MasterData& md, const std::string& code) {
  int found = 1;
  for (int k = 1; k <= md.rebar.count(); ++k)
    if (md.rebar[k].name == code) found = k;
  return found;
}

double SlabWidthFromListItem(const std::string& item) {
  return item.size() > 3 ? ReadReal(std::string_view(item).substr(3)) : 0.0;
}

int RebuildSectionRecords(StructureModel& model, const BlockRow& row, const MasterData& md,
                          const SectionInput& in, int flags, double& previous_width) {
  const int count = model.member_count;
  // The joint record lives in the slot behind the last member.
  if (count <= 0 || count + 1 > kMaxMembers + 1) return 0;
  const std::string code = ArrangementCode(in, previous_width);
  const RebarArrangement& arr = md.rebar[FindArrangement(md, code)];
  double lw = 1;
  for (int m = 1; m <= count + 1; ++m) {
    ModelMember& mb = model.Member(m);
    const bool in_row = mb.block >= 1 && mb.block <= kMaxBlocks;
    const DimensionSet s = in_row ? row.At(mb.block).working_set : DimensionSet{};
    double width = s.L();
    double t = 0.001;
    const bool end_block = s.kind == kBlockLeftEnd || s.kind == kBlockRightEnd;
    RowsEntry re;
    bool cast = false;
    switch (mb.type) {
      case 1:
      case 2:
        t = (s.a() + s.b()) / 2;
        re = {1, 2, 1};
        lw = s.L();
        break;
      case 3:
        t = s.f();
        re = {1, 2, 0};
        break;
      case 4:
        t = s.f();
        re = {3, 4, 0};
        break;
      case 5:
      case 6:
        t = s.a();
        re = end_block ? RowsEntry{1, 2, 2} : RowsEntry{3, 4, 2};
        break;
      case 7:
      case 8:
        t = s.g();
        re = end_block ? RowsEntry{1, 2, 4} : RowsEntry{3, 4, 4};
        break;
      case 9:
      case 11:
        t = s.a();
        re = {1, 2, 2};
        if (mb.type == 11) width = s.L() - (s.r(12) + 0.1);
        break;
      case 10:
      case 12:
        t = s.a();
        re = {3, 4, 2};
        if (mb.type == 12) width = s.L() - (s.r(12) + 0.1);
        break;
      case 13:
      case 15:
      case 18:
        t = s.c();
        re = {1, 2, 3};
        break;
      case 14:
      case 16:
      case 17:
        t = s.c();
        re = {3, 4, 3};
        break;
      case 19:
      case 20:
        t = s.b();
        re = {1, 2, 5};
        break;
      case 21:
      case 22:
      case 23:
        t = s.b();
        re = {1, 2, 6};
        cast = true;
        if (m <= count) {
          ModelMember& joint = model.Member(count + 1);
          joint = mb;
          joint.number = count + 1;
          joint.type = kJointRecordType;
          joint.length = 1.0;
          model.last_member_of_type[kJointRecordType] = count + 1;
        }
        break;
      case kJointRecordType:
        t = s.b();
        re = {1, 2, 7};
        cast = true;
        break;
      default:
        t = s.a();
        break;
    }
    MemberSection& sec = model.Section(m);
    sec.Current(0) = 1000 * width;
    sec.Current(1) = sec.Current(2) = 1000 * t;
    sec.Current(3) = std::max(1000 * s.L(), 100.0);
    sec.Current(4) = sec.Current(0) / SafeDivisor(lw);
    if (flags & kRebuildBars) {
      double bars[8] = {6, 1, 0, 0, 6, 1, 0, 0};
      if (re.row1 != 0) {
        const RebarEntry& e1 = arr.Entry(re.row1, re.entry);
        const RebarEntry& e2 = arr.Entry(re.row2, re.entry);
        bars[0] = e1.size2;
        bars[1] = e1.real2;
        bars[2] = e2.size2;
        bars[3] = e2.real2;
        bars[4] = e1.size1;
        bars[5] = e1.real1;
        bars[6] = e2.size1;
        bars[7] = e2.real1;
      }
      for (int i = 0; i < 4; ++i) {
        sec.Current(6 + i) = bars[i];
        sec.Current(14 + i) = bars[4 + i];
      }
    }
    if (mb.type == kJointRecordType) {
      // Bar sizes index the bounds-checked area table.
      double outer = 0;
      double inner = 0;
      for (int r = 1; r <= 2; ++r) {
        const RebarEntry& e = arr.Entry(r, 7);
        outer += md.BoltAreaMm2(e.size2) * e.real2;
        inner += md.BoltAreaMm2(e.size1) * e.real1;
      }
      sec.Current(12) = outer;
      sec.Current(20) = inner;
    }
    if (flags & kRebuildCovers) {
      if (!cast) {
        sec.Current(10) =
            in.precast_cover + RoundTo0((std::max(sec.Current(6), sec.Current(8)) + 0.01) / 2);
        sec.Current(18) =
            in.precast_cover + RoundTo0((std::max(sec.Current(14), sec.Current(16)) + 0.01) / 2);
      } else if (in.cast_cover == 0) {
        sec.Current(10) = sec.Current(18) = 1000 * t / 2;
      } else {
        sec.Current(10) = sec.Current(18) = in.cast_cover;
      }
      sec.Current(11) = sec.Current(1) - sec.Current(10);
      sec.Current(19) = sec.Current(1) - sec.Current(18);
      for (int k : {10, 11, 18, 19}) sec.Default(k) = sec.Current(k);
    }
    if ((flags & kRebuildBars) && (flags & kRebuildCovers))
      for (int k = 0; k < kSectionHalf; ++k) sec.Default(k) = sec.Current(k);
  }
  return count + 1;
}

}  // namespace vaultra
