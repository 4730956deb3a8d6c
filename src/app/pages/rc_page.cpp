#include "app/pages/rc_page.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "app/pages/model_page.h"
#include "core/cp932.h"
#include "core/number.h"

namespace vaultra {

void RcTable::Resize(int r, int c) {
  rows = std::max(r, 0);
  cols = std::max(c, 0);
  cells.assign(static_cast<std::size_t>(rows * cols), RcCell{});
  widths.assign(static_cast<std::size_t>(cols), 64);
}

const std::array<int, kRebarCols> kRebarColWidths = {40,  40, 58, 58, 58, 58, 58, 64, 58,
                                                     160, 56, 56, 56, 58, 58, 58, 68};
const std::array<int, 12> kBarDiameters = {10, 13, 16, 19, 22, 25, 29, 32, 35, 38, 41, 51};
const std::array<int, 11> kJointDiameters = {10, 12, 16, 20, 22, 24, 27, 30, 33, 36, 39};
const std::array<const char*, 3> kRcCombinationNames = {"常時", "Lv1", "Lv2"};

int RoundDiameter(double v, bool joint) {
  if (!(v > 0)) return 0;  // also a text that read as no finite number
  auto pick = [v](const auto& table) {
    for (int d : table)
      if (d >= v) return d;
    return table.back();
  };
  return joint ? pick(kJointDiameters) : pick(kBarDiameters);
}

// ---- ratios and flags --------------------------------------------------------------

namespace {

bool IsWall(int type) {
  return (type >= 1 && type <= 2) || (type >= 5 && type <= 6) || (type >= 9 && type <= 12);
}

// Rows of a table that belong to its member, for p in 1 .. LastCheckedRow.
bool OwnRow(const MemberCheckTable& tb, int p) {
  const bool wall_with_shoulder =
      tb.partner != 0 && (tb.type_code == 11 || tb.type_code == 12) && tb.former_count > 0;
  return !(wall_with_shoulder && p > tb.former_count && p <= tb.count);
}

double Worst(double a, double b) {
  if (!std::isfinite(b)) return std::numeric_limits<double>::infinity();
  return std::max(a, b);
}

bool HasMember(const MemberCheckTables& t, int m) {
  return m >= 1 && m <= t.member_count;
}

}  // namespace

bool CountsForRatios(const CheckPointRecord& r) {
  return !Trim(r.label).empty();
}

int OwnRowCount(const MemberCheckTable& tb) {
  int n = 0;
  for (int p = 1; p <= LastCheckedRow(tb); ++p) n += OwnRow(tb, p) ? 1 : 0;
  return n;
}

RcMemberFlags MemberFlagsOf(const MemberCheckTables& t, int k, int m) {
  RcMemberFlags f;
  if (!HasMember(t, m)) return f;
  const MemberCheckTable& tb = t.At(k, m);
  for (int p = 1; p <= LastCheckedRow(tb); ++p) {
    if (!OwnRow(tb, p)) continue;
    const CheckPointRecord& r = tb.Row(p);
    const bool bending = r.check_bits & kCheckBending;
    const bool shear = r.check_bits & kCheckShear;
    if (r.not_finite ||
        (bending && (k == kKindLevel2 ? r.ng_flexure : (r.ng || r.ng_sigma_s || r.ng_sigma_c))))
      f.bending_ng = true;
    if (shear && (k == kKindLevel2 ? r.ng_shear_l2 : r.ng_shear)) f.shear_ng = true;
    if (k == kKindLevel2 && r.capacity_design_done && r.ng_capacity_design) f.mode_ng = true;
    if (k != kKindLevel2 && r.req_stirrup > r.k[25] + 1e-9) f.stirrups_short = true;
  }
  return f;
}

RcMemberRatios MemberRatiosOf(const MemberCheckTables& t, int k, int m) {
  RcMemberRatios out;
  if (!HasMember(t, m)) return out;
  const MemberCheckTable& tb = t.At(k, m);
  for (int p = 1; p <= LastCheckedRow(tb); ++p) {
    const CheckPointRecord& r = tb.Row(p);
    if (!OwnRow(tb, p) || !CountsForRatios(r)) continue;
    if (r.check_bits & kCheckBending) {
      // The tension face; a row with steel on one face only counts for it.
      bool inner = r.M >= 0;
      const double area = inner ? r.k[20] : r.k[12];
      const double other = inner ? r.k[12] : r.k[20];
      if (area < 1 && other >= 1) inner = !inner;
      double& slot = inner ? out.flexure_inner : out.flexure_outer;
      slot = Worst(slot, r.ratio_flexure);
    }
    if (r.check_bits & kCheckShear) out.shear = Worst(out.shear, r.ratio_shear);
    if (r.capacity_design_done) out.mode = Worst(out.mode, r.ratio_vmu);
  }
  return out;
}

double JointFlexureRatio(const MemberCheckTables& t, int k, bool inner) {
  double best = 0;
  for (int m = 1; m <= t.member_count; ++m) {
    const MemberCheckTable& tb = t.At(k, m);
    for (int p = 1; p <= LastCheckedRow(tb); ++p) {
      const CheckPointRecord& r = tb.Row(p);
      if (!(r.check_bits & kCheckBending) || !CountsForRatios(r)) continue;
      if (inner ? r.inner_joint_bars : r.outer_joint_bars) best = Worst(best, r.ratio_flexure);
    }
  }
  return best;
}

bool RcChecksUsable(const CalcRun* run) {
  return run && run->transverse_ok && run->members_checked;
}

std::string RcFailureText(const CalcRun* run) {
  if (!run) return "未計算です。計算結果がありません.";
  if (!run->transverse_ok) return kTransverseFailedMessage;
  if (!run->members_checked)
    return run->failures.empty() ? std::string("部材の照査ができません.") : run->failures.front();
  return {};
}

std::vector<int> RcListedMembers(const StructureModel& model) {
  std::vector<int> out;
  for (int m = 1; m <= model.member_count; ++m)
    if (model.Member(m).length >= 0.001) out.push_back(m);
  return out;
}

// ---- rebar list ------------------------------------------------------------------------

namespace {

// The section value of a column for a face: inner k, outer k (-1: none).
struct ColumnKeys {
  int inner = -1, outer = -1;
};
ColumnKeys KeysOf(int col) {
  switch (col) {
    case 2:
      return {18, 10};
    case 3:
      return {14, 6};
    case 4:
      return {15, 7};
    case 5:
      return {16, 8};
    case 6:
      return {17, 9};
    case 7:
      return {20, 12};
    case 10:
      return {22, -1};
    case 11:
      return {24, -1};
    case 12:
      return {23, -1};
    case 13:
      return {25, -1};
    default:
      return {};
  }
}

const char* const kRebarHeader0[kRebarCols] = {
    "部材", "内側",   "かぶり", "鉄筋1",  "",       "鉄筋2",  "",       "鉄筋量",  "安全性",
    "",     "補強筋", "    ",   "ピッチ", "鉄筋量", " 必要 ", "安全性", "ﾓｰﾄﾞ判定"};
const char* const kRebarHeader1[kRebarCols] = {
    "No",           "外側", "(mm)", " 径 -", "本数",  " 径 -",  "本数",  "(mm2)", "≦ 1.0",
    "部材位置名称", "径",   "本数", "(mm)",  "(mm2)", "鉄筋量", "≦ 1.0", "≦ 1.0"};

std::string TypeNameOf(const StructureModel& model, const BlockRow& row, const MasterData& md,
                       int m) {
  const ModelMember& mem = model.Member(m);
  if (mem.type == 5 || mem.type == 6) {
    const int b = mem.block;
    const int kind =
        b >= 1 && b < static_cast<int>(row.blocks.size()) ? row.At(b).working_set.kind : 0;
    if (kind == kBlockLeftEnd) return "左端ﾌﾞﾛｯｸ肩落部";
    if (kind == kBlockRightEnd) return "右端ﾌﾞﾛｯｸ肩落部";
  }
  return md.MemberTypeName(mem.type);
}

// The default of a section value; the areas (k12, k20, k25) from the
// default bars, as the default half does not keep them.
double DefaultValue(const MemberSection& s, int key, const MasterData& md, bool joint) {
  auto area = [&](int d, int n) {
    const int di = static_cast<int>(s.Default(d));
    return (joint ? md.BoltAreaMm2(di) : md.BarAreaMm2(di)) * s.Default(n);
  };
  switch (key) {
    case 12:
      return area(6, 7) + area(8, 9);
    case 20:
      return area(14, 15) + area(16, 17);
    case 25:
      return joint ? s.Default(25) : area(22, 24);
    default:
      return s.Default(key);
  }
}

std::string NumberText(int col, double v) {
  const bool counts = col == 4 || col == 6 || col == 11;
  return counts ? Format("%0.2f", v) : Format("%0.0f", v);
}

// The marks of a row follow the ratios the list shows, the rule of the
// ratio columns and of the verdict count: a ratio above 1.0, or none that
// is finite, fails. The row flags count rows the ratios leave out (rows
// without a point name) and would mark a ratio of 0.5 red.
RcMemberFlags ShownFlags(RcMemberFlags f, const RcMemberRatios& r, bool inner) {
  auto fails = [](double ratio) { return !(ratio <= 1.0); };
  f.bending_ng = fails(inner ? r.flexure_inner : r.flexure_outer);
  f.shear_ng = fails(r.shear);
  f.mode_ng = fails(r.mode);
  return f;
}

std::string RatioText(double v) {
  return std::isfinite(v) ? Format("%0.3f", v) : std::string("***");
}

// The drawn text and colours of one data cell after the rules of the list.
void Paint(RcCell& c, int col, bool inner, bool joint, const RcMemberFlags& f, bool failed,
           int type) {
  c.bold = !c.text.empty() && c.text[0] == '+';
  c.shown = c.bold ? c.text.substr(1) : c.text;
  c.bg = IsWall(type) ? kRcWallYellow : kRcWhite;
  if (!c.editable) c.bg &= 0xFFF0F0;
  if (col == 9) c.bg = kRcGrey;
  c.fg = kRcNavy;
  if (!inner && col >= 10) {
    c.shown.clear();
    return;
  }
  if (joint && col >= 10) {
    c.shown = "－";
    return;
  }
  const bool numeric = (col >= 2 && col <= 8) || (col >= 10 && col <= 13);
  if (numeric && !c.shown.empty() && ReadReal(c.shown) == 0 && c.shown != "***") c.shown = "－";
  if ((col == 3 || col == 5 || col == 10) && c.shown != "－" && !c.shown.empty())
    c.shown = (joint ? "M" : "D") + c.shown;
  bool red = false;
  if (col == 7 || col == 8) red = f.bending_ng;
  if (col >= 10 && col <= 12) red = f.shear_ng || f.mode_ng;
  if (col == 13) red = f.shear_ng || f.mode_ng || f.stirrups_short;
  if (col == 14 || col == 15) red = f.shear_ng;
  if (col == 16) red = f.mode_ng;
  if (failed && (col == 8 || col >= 14)) {
    // No checks to read: no ratio may pass for a result.
    c.shown = "***";
    red = true;
  }
  if (red) {
    c.fg = kRcRed;
    if (c.shown == "－" && col >= 10 && col <= 13) c.shown = "***";
  }
  if (c.shown == "***" && !red) c.fg = kRcNavy;
}

}  // namespace

bool RebarCellEditable(int col, int row, int rows) {
  if (row < kRebarHeaderRows || row >= rows) return false;
  if (col >= 2 && col <= 6) return true;
  return col >= 10 && col <= 12 && row % 2 == 0;
}

RebarList BuildRebarList(const RcSources& src, int k) {
  RebarList out;
  const StructureModel& model = *src.model;
  const std::vector<int> members = RcListedMembers(model);
  const int joint = model.member_count + 1;
  out.pair_member = members;
  out.pair_member.push_back(joint);
  const int pairs = static_cast<int>(out.pair_member.size());
  RcTable& t = out.table;
  t.Resize(std::max(2 * pairs + 2, 3), kRebarCols);
  t.widths.assign(kRebarColWidths.begin(), kRebarColWidths.end());
  for (int c = 0; c < kRebarCols; ++c)
    for (int r = 0; r < kRebarHeaderRows; ++r) {
      RcCell& cell = t.At(c, r);
      cell.text = cell.shown = r == 0 ? kRebarHeader0[c] : kRebarHeader1[c];
      cell.bg = kRcGrey;
      cell.fg = 0;
    }

  const bool usable = RcChecksUsable(src.run);
  out.failed = !usable;
  const MemberCheckTables* checks = usable ? &src.run->checks : nullptr;
  for (int i = 0; i < pairs; ++i) {
    const int m = out.pair_member[static_cast<std::size_t>(i)];
    const bool is_joint = m == joint;
    const MemberSection& s = model.Section(m);
    const int type = is_joint ? 30 : model.Member(m).type;
    const RcMemberFlags flags =
        checks && !is_joint ? MemberFlagsOf(*checks, k, m) : RcMemberFlags{};
    const RcMemberRatios ratios =
        checks && !is_joint ? MemberRatiosOf(*checks, k, m) : RcMemberRatios{};
    for (int face = 0; face < 2; ++face) {
      const bool inner = face == 0;
      const int r = 2 + 2 * i + face;
      for (int c = 0; c < kRebarCols; ++c) {
        RcCell& cell = t.At(c, r);
        cell.editable = RebarCellEditable(c, r, t.rows);
        const ColumnKeys keys = KeysOf(c);
        const int key = inner ? keys.inner : keys.outer;
        if (key >= 0) {
          const double v = s.Current(key);
          const bool changed = std::fabs(v - DefaultValue(s, key, *src.md, is_joint)) >= 0.001;
          cell.text = std::string(changed ? "+" : "").append(NumberText(c, v));
        } else if (c == 0) {
          cell.text = inner ? std::to_string(m) : std::string();
        } else if (c == 1) {
          cell.text = inner ? "内" : "外";
        } else if (c == 8) {
          if (checks)
            cell.text = RatioText(is_joint ? JointFlexureRatio(*checks, k, inner)
                                  : inner  ? ratios.flexure_inner
                                           : ratios.flexure_outer);
        } else if (c == 9) {
          cell.text = inner ? TypeNameOf(model, *src.row, *src.md, is_joint ? joint : m) : "";
        } else if (c == 14 && inner && checks && !is_joint) {
          const auto& req = src.run->summaries.req_stirrup[static_cast<std::size_t>(k)];
          const double v = m < static_cast<int>(req.size()) ? req[static_cast<std::size_t>(m)] : 0;
          cell.text = Format("%0.0f", v);
        } else if (c == 15 && inner && checks && !is_joint) {
          cell.text = RatioText(ratios.shear);
        } else if (c == 16 && inner && checks && !is_joint) {
          cell.text = RatioText(ratios.mode);
        }
        if (c < 2) {
          cell.shown = cell.text;
          cell.bg = kRcGrey;
          cell.fg = 0;
          continue;
        }
        if (c == 15 && is_joint) cell.text.clear();
        Paint(cell, c, inner, is_joint, ShownFlags(flags, ratios, inner), !usable, type);
      }
    }
  }

  if (!usable) {
    out.error_summary = RcFailureText(src.run);
    return out;
  }
  std::string summary;
  for (int kk = 0; kk < kCheckCombinations; ++kk) {
    bool ng = false;
    for (int m : members) ng = ng || MemberFlagsOf(*checks, kk, m).Any();
    if (!ng) continue;
    if (!summary.empty()) summary += ", ";
    summary += kRcCombinationNames[static_cast<std::size_t>(kk)];
  }
  if (!summary.empty()) summary += " で NG";
  out.error_summary = summary;
  return out;
}

// ---- rebar edit ------------------------------------------------------------------------

namespace {

constexpr int kCopiedKeys[] = {10, 6, 7, 8, 9, 18, 14, 15, 16, 17, 22, 24, 23};

int BlockKindOf(const StructureModel& model, const BlockRow& row, int m) {
  const int b = model.Member(m).block;
  return b >= 1 && b < static_cast<int>(row.blocks.size()) ? row.At(b).working_set.kind : 0;
}

void RecomputeAreas(MemberSection& s, const MasterData& md, bool joint) {
  auto area = [&](double d) {
    const int di = static_cast<int>(d);
    return joint ? md.BoltAreaMm2(di) : md.BarAreaMm2(di);
  };
  s.Current(12) = area(s.Current(6)) * s.Current(7) + area(s.Current(8)) * s.Current(9);
  s.Current(20) = area(s.Current(14)) * s.Current(15) + area(s.Current(16)) * s.Current(17);
  if (!joint) s.Current(25) = area(s.Current(22)) * s.Current(24);
}

}  // namespace

RebarEditOutcome ApplyRebarEdit(StructureModel& model, const BlockRow& row, const MasterData& md,
                                int layout, const RebarList& list, int col, int grid_row,
                                std::string_view text) {
  RebarEditOutcome out;
  if (!RebarCellEditable(col, grid_row, list.table.rows)) return out;
  const std::size_t pair = static_cast<std::size_t>((grid_row - kRebarHeaderRows) / 2);
  if (pair >= list.pair_member.size()) return out;
  const int m = list.pair_member[pair];
  const int joint = model.member_count + 1;
  if (m < 1 || m > joint) return out;
  const std::optional<double> parsed = ParseRealStrict(Trim(text));
  if (!parsed || !std::isfinite(*parsed)) {
    out.error = "数値を入力してください: " + std::string(text);
    return out;
  }
  const bool inner = grid_row % 2 == 0;
  const bool is_joint = m == joint;
  double v = *parsed;
  // Covers, counts and spacings below zero mean nothing: taken as 0.
  v = std::max(v, 0.0);
  if (col == 3 || col == 5 || col == 10) v = RoundDiameter(v, is_joint);

  MemberSection& s = model.Section(m);
  const double cover_in = s.Current(18), cover_out = s.Current(10);
  const ColumnKeys keys = KeysOf(col);
  std::vector<int> written{inner || keys.outer < 0 ? keys.inner : keys.outer};
  const int type = is_joint ? 30 : model.Member(m).type;
  if (layout == kLayoutStand && type == 12 && col >= 2 && col <= 6)
    written = {keys.inner, keys.outer};
  for (int key : written) s.Current(key) = v;
  out.applied = true;
  out.member = m;
  out.changed_members.push_back(m);

  if (!is_joint) {
    const int group = CheckGroupOf(type);
    const bool box = layout == kLayoutBox;
    const bool m_mid = BlockKindOf(model, row, m) == kBlockIntermediate;
    for (int o = 1; o <= model.member_count && group != 0; ++o) {
      if (o == m) continue;
      const int og = CheckGroupOf(model.Member(o).type);
      const bool o_mid = BlockKindOf(model, row, o) == kBlockIntermediate;
      bool whole = og == group;
      // Shoulder members of end and intermediate blocks do not share values.
      if (whole && box && group == 12 && o_mid != m_mid) whole = false;
      bool extra = false;
      if (box && (col == 2 || col == 3 || col == 5)) {
        // The shoulder rows are checked with the wall below them: the
        // shoulders of end blocks go with the inner walls, those of
        // intermediate blocks with the intermediate walls.
        if (group == 12) extra = (!m_mid && og == 4) || (m_mid && og == 9);
        if (group == 4 || group == 9) extra = og == 12 && (group == 9) == o_mid;
      }
      if (!whole && !extra) continue;
      MemberSection& os = model.Section(o);
      if (whole)
        for (int key : kCopiedKeys) os.Current(key) = s.Current(key);
      else
        for (int key : written) os.Current(key) = s.Current(key);
      out.changed_members.push_back(o);
    }
  }
  for (int c : out.changed_members) RecomputeAreas(model.Section(c), md, c == joint);
  out.cover_changed = s.Current(18) != cover_in || s.Current(10) != cover_out;
  return out;
}

int RebarNextColumn(int col) {
  if (col >= 2 && col <= 5) return col + 1;
  if (col == 10 || col == 11) return col + 1;
  return 0;
}

RebarEditOutcome RcPage::CommitEdit(ProjectState& state, const MasterData& md, CalcRun* run,
                                    const RebarList& list, int col, int grid_row,
                                    std::string_view text) {
  const int layout = IsBoxLayout(state) ? kLayoutBox : kLayoutStand;
  RebarEditOutcome out =
      ApplyRebarEdit(state.transverse, state.block_row, md, layout, list, col, grid_row, text);
  if (!out.applied) return out;
  ComputeProjectGeometry(state);
  // With the shear check at 2·d the points of interest follow the cover:
  // the models and the analysis are rebuilt at the next switch or preview.
  if (state.records.model.shear_at_2d && out.cover_changed) rebar_edited_ = true;
  if (run && run->transverse_ok) RecheckMembers(state, md, *run);
  return out;
}

bool RcPage::Step(const StructureModel& model, int dir) {
  const int next = StepMember(model, selected_, dir);
  if (next == 0 || next == selected_) return false;
  selected_ = next;
  return true;
}

}  // namespace vaultra
