#include "model/points_of_interest.h"

#include <algorithm>

#include "core/number.h"

namespace vaultra {

namespace {

// Positions of the eight values: haunch, outer 2d, inner 2d, h/2 from the
// i-end (0..3) and from the j-end (4..7).
enum Point { kHaunch = 0, kOuter = 1, kInner = 2, kHalf = 3 };

struct Ends {
  std::array<double, kMemberPoints>& p;
  void Set(int end, Point what, double v) { p[static_cast<std::size_t>(end * 4 + what)] = v; }
  double& At(int end, int what) { return p[static_cast<std::size_t>(end * 4 + what)]; }
};

const DimensionSet& BlockSet(const BlockRow& row, int k) {
  static const DimensionSet kNone{};
  return (k >= 1 && k <= kMaxBlocks) ? row.At(k).working_set : kNone;
}

int TypeOf(const StructureModel& m, int k) {
  return (k >= 1 && k <= m.member_count) ? m.Member(k).type : 0;
}

// Top slabs (h/2 = b/2 at both ends) and cast-in-place slabs (2d fixed at
// 4 mm outer and 2 mm inner) have the same points in both layouts.
void SetSlabPoints(Ends& p, const ModelMember& mb, const BlockRow& row) {
  if (mb.type == 19 || mb.type == 20) {
    const double b = BlockSet(row, mb.block).b() / 2;
    p.Set(0, kHalf, b);
    p.Set(1, kHalf, b);
    return;
  }
  p.Set(0, kInner, 0.002);
  p.Set(0, kOuter, 0.004);
  p.Set(1, kOuter, 0.004);
  p.Set(1, kInner, 0.002);
}

void ClearPoints(StructureModel& m) {
  for (int k = 1; k <= m.member_count; ++k) {
    m.Member(k).points = {};
    m.Member(k).poi_flag = 0;
  }
}

}  // namespace

void SetStandPointsOfInterest(StructureModel& m, const BlockRow& row, bool two_d) {
  ClearPoints(m);
  const DimensionSet& lb = BlockSet(row, m.left_end_block);
  const DimensionSet& slab = BlockSet(row, m.first_slab_block);
  const double E = lb.e(), A = lb.a(), C = lb.c(), Bw = lb.b(), G = lb.g(), Bs = slab.b();
  double Di = A;
  for (int k = 1; k <= m.member_count; ++k)
    if (m.Member(k).type == 12) {
      Di = BlockSet(row, m.Member(k).block).a();
      break;
    }
  for (int k = 1; k <= m.member_count; ++k) {
    ModelMember& mb = m.Member(k);
    const MemberSection& sec = m.Section(k);
    const double ko = sec.Current(10) / 1000;
    const double ki = sec.Current(18) / 1000;
    Ends p{mb.points};
    // One end with haunch E and either both 2d values of thickness t or h/2.
    auto end_with = [&](int end, double t, double half) {
      p.Set(end, kHaunch, E);
      if (two_d) {
        p.Set(end, kOuter, 2 * (t - ko));
        p.Set(end, kInner, 2 * (t - ki));
      } else {
        p.Set(end, kHalf, half);
      }
    };
    const double top_half = G + (E + Bs + A) / 2;
    const double bottom_half = (E + C + Bw) / 2;
    switch (mb.type) {
      case 1:
        end_with(0, Bw, bottom_half);
        end_with(1, A, top_half);
        break;
      case 2:
        end_with(0, A, top_half);
        end_with(1, Bw, bottom_half);
        break;
      case 7:
        if (two_d)
          p.Set(1, kInner, 0.002);
        else
          p.Set(1, kHaunch, TypeOf(m, k + 1) == 2 ? A / 2 : Di / 2);
        break;
      case 8:
        if (two_d)
          p.Set(0, kInner, 0.002);
        else
          p.Set(0, kHaunch, TypeOf(m, k - 1) == 1 ? A / 2 : Di / 2);
        break;
      case 11:
      case 12:
        end_with(0, Di, E + (C + Di) / 2);
        end_with(1, Di, E + G + (Bs + Di) / 2);
        break;
      case 15:
      case 16:
      case 17:
      case 18: {
        const int end = (mb.type == 15 || mb.type == 17) ? 1 : 0;
        const double half = (mb.type == 16 || mb.type == 17) ? (E + C + Di) / 2 : (E + C + Bw) / 2;
        end_with(end, C, half);
        for (int w : {kOuter, kInner, kHalf}) p.At(end, w) = std::min(p.At(end, w), mb.length);
        break;
      }
      case 19:
      case 20:
      case 21:
      case 22:
      case 23:
        SetSlabPoints(p, mb, row);
        break;
      default:
        break;
    }
    mb.poi_flag = (mb.type == 1 || mb.type == 2 || (mb.type >= 15 && mb.type <= 23)) ? 1 : 0;
  }
}

void SetBoxPointsOfInterest(StructureModel& m, const BlockRow& row, bool two_d) {
  ClearPoints(m);
  const DimensionSet& lb = BlockSet(row, m.left_end_block);
  const DimensionSet& b3 = BlockSet(row, 3);
  const double E = lb.e(), A = lb.a(), C = lb.c(), Bw = lb.b(), F = lb.f(), G = lb.g(), A3 = b3.a();
  const double l3 = m.member_count >= 3 ? m.Member(3).length : 0;
  const double I = (E + C + Bw) / 2, R = (E + F + A) / 2, T = (E + F + A3) / 2;
  for (int k = 1; k <= m.member_count; ++k) {
    ModelMember& mb = m.Member(k);
    const MemberSection& sec = m.Section(k);
    const double outer = 0.002 * sec.Current(11);
    const double inner = 0.002 * sec.Current(19);
    Ends p{mb.points};
    auto end_with = [&](int end, double half, double shift = 0) {
      p.Set(end, kHaunch, E - shift);
      if (two_d) {
        p.Set(end, kOuter, outer - shift);
        p.Set(end, kInner, inner - shift);
      } else {
        p.Set(end, kHalf, half - shift);
      }
    };
    auto drop_from = [&](int end, double limit, bool not_below) {
      for (int w = 0; w < 4; ++w) {
        const double v = RoundTo3(p.At(end, w));
        if (not_below ? v >= limit : v <= limit) p.At(end, w) = 0;
      }
    };
    switch (mb.type) {
      case 1:
        end_with(0, I);
        end_with(1, R);
        break;
      case 2:
        end_with(0, R);
        end_with(1, I);
        break;
      case 3:
      case 4:
        end_with(0, (E + F + Bw) / 2);
        end_with(1, (E + F + Bw) / 2);
        break;
      case 5:
        end_with(1, (E + G + A3) / 2);
        drop_from(1, mb.length, true);
        break;
      case 6:
        end_with(0, T);
        drop_from(0, mb.length, true);
        break;
      case 7:
        if (two_d)
          p.Set(1, kInner, 0.002);
        else
          p.Set(1, kHaunch, TypeOf(m, k + 1) == 2 ? A / 2 : A3 / 2);
        break;
      case 8:
        if (two_d)
          p.Set(0, kInner, 0.002);
        else
          p.Set(0, kHaunch, TypeOf(m, k - 1) == 1 ? A / 2 : A3 / 2);
        break;
      case 11:
      case 12: {
        const int seat = mb.mirrored ? 0 : 1;
        end_with(seat, T, l3);
        end_with(1 - seat, (E + A3 + C) / 2);
        drop_from(0, 0, false);
        drop_from(1, 0, false);
        break;
      }
      case 13:
      case 14:
        end_with(0, I);
        end_with(1, I);
        break;
      case 19:
      case 20:
      case 21:
      case 22:
      case 23:
        SetSlabPoints(p, mb, row);
        break;
      default:
        break;
    }
    for (double& v : mb.points) v = RoundTo3(v + 0.00001);
    const int t = mb.type;
    mb.poi_flag = ((t >= 1 && t <= 4) || t == 13 || t == 14 || (t >= 19 && t <= 23)) ? 1 : 0;
  }
}

}  // namespace vaultra
