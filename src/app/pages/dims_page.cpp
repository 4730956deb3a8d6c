#include "app/pages/dims_page.h"

#include <algorithm>
#include <cmath>

#include "app/pages/model_page.h"
#include "app/pages/other_checks_page.h"
#include "core/format_by_tag.h"
#include "core/number.h"
#include "model/geometry.h"
#include "model/section_records.h"

namespace vaultra {

const std::array<DimsFieldInfo, kDimsFieldCount> kDimsFields = {{{"Ed_Bi", kDimB},
                                                                 {"Ed_Hi", kDimH},
                                                                 {"Ed_Li", kDimL},
                                                                 {"Ed_a", kDimA},
                                                                 {"Ed_b", kDimB2},
                                                                 {"Ed_c", kDimC},
                                                                 {"Ed_d", kDimD},
                                                                 {"Ed_e", kDimE},
                                                                 {"Ed_f", kDimF},
                                                                 {"Ed_g", kDimG},
                                                                 {"Ed_h", kDimHh}}};

namespace {

constexpr int kDimsTag = 60;

char Letter(const DimsFieldInfo& f) {
  return f.name[3];
}

int LayoutOf(const ProjectState& s) {
  return s.records.model.facility_type == 0 ? kLayoutStand : kLayoutBox;
}

bool Visible(const std::string& pattern, char letter) {
  return pattern.find(letter) != std::string::npos;
}

// Clamp range in mm of a field.
std::pair<int, int> Range(char letter, int kind) {
  switch (letter) {
    case 'B':
    case 'H':
      return {1000, 15000};
    case 'L':
      return {1000, 5000};
    case 'a':
    case 'b':
    case 'c':
      return {100, 1500};
    case 'd':
      return kind == kBlockSlab ? std::pair{0, 100} : std::pair{100, 1000};
    default:
      return {100, 1000};
  }
}

bool ValidSelection(const ProjectState& s, int k) {
  return k >= 1 && k <= s.transverse.real_block_count;
}

}  // namespace

std::string DimsVisiblePattern(int layout, int kind) {
  if (layout == kLayoutStand) {
    switch (kind) {
      case kBlockIntermediate:
        return ".HLa.cdefg.";
      case kBlockSlab:
        return "B.L.b.d";
      default:
        return ".HLabcdefg.";
    }
  }
  return kind == kBlockSlab ? "B.L.b.d..." : "BHLa.c.efg.";
}

void ShowSelectedBlock(const ProjectState& state, DimsPageState& page) {
  const bool valid = ValidSelection(state, page.selected);
  const BlockRecord empty{};
  const BlockRecord& b = valid ? state.block_row.At(page.selected) : empty;
  const std::string pattern = DimsVisiblePattern(LayoutOf(state), b.working_set.kind);
  for (std::size_t i = 0; i < kDimsFields.size(); ++i) {
    const DimsFieldInfo& f = kDimsFields[i];
    DimsFieldView& v = page.fields[i];
    v.name = f.name;
    v.visible = valid && Visible(pattern, Letter(f));
    const double value = b.working_set.v[static_cast<std::size_t>(f.value)];
    v.text = FormatByTag(Format("%.0f", RoundTo0(value * 1000)), kDimsTag);
    v.red = value != b.default_set.v[static_cast<std::size_t>(f.value)];
  }
}

void EnterDimsPage(const ProjectState& state, DimsPageState& page) {
  std::fill(page.highlight.begin(), page.highlight.end(), 0);
  page.selected = 1;
  page.highlight.at(1) = 1;
  ShowSelectedBlock(state, page);
}

void LeaveDimsPage(DimsPageState& page) {
  std::fill(page.highlight.begin(), page.highlight.end(), 0);
  page.selected = 0;
}

bool CommitDims(ProjectState& state, const MasterData& md, DimsPageState& page,
                const std::string& left_field) {
  if (!ValidSelection(state, page.selected)) return false;
  BlockRow& row = state.block_row;
  const int n = state.transverse.real_block_count;
  const int layout = LayoutOf(state);
  const DimensionSet old_set = row.At(page.selected).working_set;
  DimensionSet new_set = old_set;
  const std::string pattern = DimsVisiblePattern(layout, old_set.kind);
  for (std::size_t i = 0; i < kDimsFields.size(); ++i) {
    const DimsFieldInfo& f = kDimsFields[i];
    if (!Visible(pattern, Letter(f))) continue;
    const auto [lo, hi] = Range(Letter(f), old_set.kind);
    const int mm = std::clamp(ReadInt(page.fields[i].text), lo, hi);
    new_set.v[static_cast<std::size_t>(f.value)] = mm * 0.001;
  }
  if (old_set.kind == kBlockSlab) {
    const int b_mm = RealToInt(new_set.B() * 1000) & ~1;
    new_set.B() = b_mm * 0.001;
    new_set.c() = new_set.B() - 2 * new_set.d();
    if (left_field == "Ed_Bi") page.fields[0].text = FormatByTag(Format("%d", b_mm), kDimsTag);
  }
  if (new_set == old_set) return false;
  page.error.clear();
  ModelSnapshot before;
  before.valid = true;
  before.row = row;
  before.transverse = state.transverse;

  if (old_set.kind == kBlockSlab) {
    bool all_old = true;
    for (int k = 1; k <= n; ++k)
      if (row.At(k).working_set.kind == kBlockSlab && !(row.At(k).working_set == old_set))
        all_old = false;
    if (all_old) {
      row.At(page.selected).working_set = new_set;
    } else {
      for (int k = 1; k <= n; ++k)
        if (row.At(k).working_set.kind == kBlockSlab && row.At(k).working_set == old_set)
          row.At(k).working_set = new_set;
    }
  } else {
    if (layout == kLayoutBox) new_set.h() = new_set.e();
    for (int k = 1; k <= n; ++k) {
      DimensionSet& s = row.At(k).working_set;
      if (s.kind == kBlockSlab) continue;
      const DimensionSet former = s;
      const int kind = s.kind;
      s = new_set;
      s.kind = kind;
      if (layout == kLayoutBox) {
        if (kind == kBlockLeftEnd || kind == kBlockRightEnd) {
          s.a() = former.a();
          s.b() = former.b();
        } else if (kind == kBlockIntermediate) {
          s.b() = s.a();
        }
      }
    }
  }
  for (int k = n + 1; k <= state.transverse.block_count && k <= kMaxBlocks; ++k)
    if (row.At(k).working_set.kind == kBlockCastInPlace)
      row.At(k).working_set.b() = row.At(1).working_set.c();

  // Thickness and covers follow the new dimensions; bars edited by the
  // user stay.
  ModelRecord& rec = state.records.model;
  RebuildSectionRecords(state.transverse, row, md, SectionInputOf(state.model, rec), kRebuildCovers,
                        rec.previous_code_width);
  ShowSelectedBlock(state, page);
  state.transverse.member_count = 0;
  page.error = UpdateModel(state, md, true, &before);
  if (!page.error.empty()) {
    // The dimensions cannot form a frame: the edit is refused as a whole.
    state.block_row = before.row;
    state.transverse = before.transverse;
    ShowSelectedBlock(state, page);
    return false;
  }
  // The joints' effective area follows b of the slabs and f of block 1.
  if (new_set.b() != old_set.b() || new_set.f() != old_set.f()) UpdateJointEffectiveArea(state);
  return true;
}

int PickBlock(const ProjectState& state, double x, double y) {
  int picked = 0;
  const int layout = LayoutOf(state);
  for (int k = 1; k <= state.transverse.real_block_count; ++k) {
    OutlinePoint p[12];
    const int count = BlockOutline(layout, state.block_row.At(k), p, 12);
    if (PointInPolygon(p, count, x, y)) picked = k;
  }
  return picked;
}

void ClickDrawing(ProjectState& state, const MasterData& md, DimsPageState& page, double x,
                  double y, int moved_pixels) {
  if (moved_pixels > 5) return;
  CommitDims(state, md, page, "");
  const int k = PickBlock(state, x, y);
  if (k == 0) return;
  std::fill(page.highlight.begin(), page.highlight.end(), 0);
  page.selected = k;
  page.highlight.at(static_cast<std::size_t>(k)) = 1;
  ShowSelectedBlock(state, page);
}

}  // namespace vaultra
