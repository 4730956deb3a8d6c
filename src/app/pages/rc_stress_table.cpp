// The stress table of the RC check page, the member stepping and the values
// the page hands to the section-detail window.
#include <algorithm>
#include <cmath>

#include "app/pages/rc_page.h"
#include "core/cp932.h"
#include "core/format_by_tag.h"
#include "core/number.h"

namespace vaultra {

const char* const kStressHeaderSpec = "98:┃118:┃80:┃90:1┃90:2┃90:3┃90:4┃90:5┃90:6┃90:7";

namespace {

constexpr std::uint32_t kCaptionBg = 0xE0D0E0;
constexpr std::uint32_t kDataBg = 0xD0E0E0;
constexpr std::uint32_t kForceBg = 0xDFF0E0;

struct Caption {
  const char* group;
  const char* quantity;
  const char* unit;
};

// Rows 1 .. 17, common to every combination.
const Caption kCommonRows[] = {
    {"", "端からの距離", "(m)"},
    {"部材", "部材幅", "(mm)"},
    {"", "部材高", "(mm)"},
    {"外鉄筋", "有効高", "(mm)"},
    {"", "1段目", "径ｘ本数"},
    {"", "2段目", "径ｘ本数"},
    {"", "鉄筋量 As", "(mm2)"},
    {"内鉄筋", "有効高", "(mm)"},
    {"", "1段目", "径ｘ本数"},
    {"", "2段目", "径ｘ本数"},
    {"", "鉄筋量 As", "(mm2)"},
    {"せん断補強筋", "鉄 筋", "径ｘ本数"},
    {"", "間 隔", "(mm)"},
    {"", "鉄筋量 As", "(mm2)"},
    {"断面力", "曲げﾓｰﾒﾝﾄ M", "(kN･m)"},
    {"", "$  軸力   N", "(kN)"},
    {"", "せん断力  S", "(kN)"},
};
// Rows 18 .. of the normal and level-1 combinations.
const Caption kStressRows[] = {
    {"応力度", "圧 縮  σc", "(N/mm2)"},
    {"", "許容値", ""},
    {"", "引 張  σs", ""},
    {"", "許容値", ""},
    {"", "せん断 τ", ""},
    {"", "許容値", ""},
    {"", "", ""},
    {"", "必要量  Aw", "(mm2)"},
};
// Rows 18 .. of the level-2 combination.
const Caption kCapacityRows[] = {
    {"曲げ耐力", "Mud", "(kN･m)"}, {"せん断耐力", "降伏強度fwyd", "(N/mm2)"},
    {"", "Vcd", "(kN)"},           {"", "Vsd", "(kN)"},
    {"", "Vyd", "(kN)"},           {"", "必要量  Aw", "(mm2)"},
};
constexpr int kFirstCheckRow = 18;
const char* const kStressCombinations[3] = {"常時", "Lv1.地震時", "Lv2.地震時"};

std::string Starred(bool ng, const char* fmt, double v) {
  return Format(fmt, ng ? '*' : ' ', v);
}

// The drawn text: a leading "*" marks a value not satisfied (drawn red
// without it), "$" shows as a blank.
void Finish(RcCell& c) {
  c.shown = c.text;
  if (!c.shown.empty() && c.shown[0] == '*') {
    c.shown.erase(0, 1);
    c.fg = kRcRed;
  }
  std::replace(c.shown.begin(), c.shown.end(), '$', ' ');
}

}  // namespace

std::string LayerText(bool joint, double diameter, double count) {
  if (diameter * count == 0) return {};
  const char* prefix = joint ? "M" : "D";
  return Format("%s%02dｘ%0.2f", prefix, static_cast<int>(diameter), count);
}

std::vector<int> StressRowsOf(const CalcRun& run, int k, int m) {
  std::vector<int> rows;
  if (!RcChecksUsable(&run) || m < 1 || m > run.checks.member_count || k < 0 ||
      k >= kCheckCombinations)
    return rows;
  const MemberCheckTable& tb = run.checks.At(k, m);
  const int group = CheckGroupOf(tb.type_code);
  const GroupRowSummary& g =
      run.summaries.row_summary[static_cast<std::size_t>(k)][static_cast<std::size_t>(group)];
  if (!g.present) return rows;
  for (int r : {1, g.a1, g.a2, g.max_row, g.b1, g.b2, g.end_row}) {
    if (r < 1 || r > LastCheckedRow(tb)) continue;
    if (std::find(rows.begin(), rows.end(), r) != rows.end()) continue;
    if (!CountsForRatios(tb.Row(r))) continue;
    rows.push_back(r);
  }
  const bool descending = tb.type_code == 7 || tb.type_code == 16 || tb.type_code == 18;
  std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
    return descending ? tb.Row(a).x > tb.Row(b).x : tb.Row(a).x < tb.Row(b).x;
  });
  return rows;
}

StressTable BuildStressTable(const RcSources& src, int member, int k) {
  StressTable out;
  k = std::clamp(k, 0, kCheckCombinations - 1);
  const bool usable = RcChecksUsable(src.run);
  if (usable)
    out.rows = StressRowsOf(*src.run, k, member);
  else
    out.failure = RcFailureText(src.run);
  const bool l2 = k == kKindLevel2;
  const int check_rows =
      l2 ? static_cast<int>(std::size(kCapacityRows)) : static_cast<int>(std::size(kStressRows));
  RcTable& t = out.table;
  t.Resize(kFirstCheckRow + check_rows, kStressCaptionCols + static_cast<int>(out.rows.size()));
  t.widths = {98, 118, 80};
  for (std::size_t i = 0; i < out.rows.size(); ++i) t.widths.push_back(90);
  for (RcCell& c : t.cells) {
    c.bg = kDataBg;
    c.fg = 0;
  }
  // Captions.
  const StructureModel& model = *src.model;
  const bool has_member = member >= 1 && member <= model.member_count;
  t.At(0, 0).text = kStressCombinations[k];
  t.At(1, 0).text = has_member ? src.md->MemberTypeName(model.Member(member).type) : "";
  t.At(2, 0).text = Format("No%3d", member);
  t.At(1, 0).fg = t.At(2, 0).fg = kRcBlue;
  auto caption = [&](int row, const Caption& c) {
    t.At(0, row).text = c.group;
    t.At(1, row).text = c.quantity;
    t.At(2, row).text = c.unit;
  };
  for (int r = 1; r < kFirstCheckRow; ++r) caption(r, kCommonRows[static_cast<std::size_t>(r - 1)]);
  for (int i = 0; i < check_rows; ++i)
    caption(kFirstCheckRow + i, l2 ? kCapacityRows[i] : kStressRows[i]);
  for (int r = 0; r < t.rows; ++r)
    for (int c = 0; c < kStressCaptionCols; ++c) t.At(c, r).bg = kCaptionBg;

  // One column per check row.
  for (std::size_t i = 0; i < out.rows.size(); ++i) {
    const int col = kStressCaptionCols + static_cast<int>(i);
    const CheckPointRecord& r = src.run->checks.At(k, member).Row(out.rows[i]);
    auto set = [&](int row, std::string text) { t.At(col, row).text = std::move(text); };
    set(0, r.label);
    if (RowFailed(r)) t.At(col, 0).fg = kRcRed;
    set(1, Format("%0.3f", r.x));
    set(2, Format("%0.0f", r.k[4]));
    set(3, Format("%0.0f", r.k[1]));
    if (r.k[12] != 0) {
      set(4, Format("%0.0f", r.k[11]));
      set(5, LayerText(r.outer_joint_bars, r.k[6], r.k[7]));
      set(6, LayerText(r.outer_joint_bars, r.k[8], r.k[9]));
      set(7, Format("%0.1f", r.k[12]));
    }
    if (r.k[20] != 0) {
      set(8, Format("%0.0f", r.k[19]));
      set(9, LayerText(r.inner_joint_bars, r.k[14], r.k[15]));
      set(10, LayerText(r.inner_joint_bars, r.k[16], r.k[17]));
      set(11, Format("%0.1f", r.k[20]));
    }
    if (r.k[25] > 0) {
      set(12, LayerText(false, r.k[22], r.k[24]));
      set(13, Format("%0.0f", r.k[23]));
      set(14, Format("%0.1f", r.k[25]));
    }
    set(15, Format("%0.2f", r.M));
    set(16, Format("%0.2f", r.N));
    set(17, Format("%0.2f", r.S));
    const int b = kFirstCheckRow;
    if (!l2) {
      set(b, Starred(r.ng_sigma_c, "%c%0.2f", r.sigma_c));
      set(b + 1, Format("%0.2f", r.sigma_ca));
      set(b + 2, Starred(r.ng_sigma_s, "%c%0.2f",
                         std::max(std::fabs(r.sigma_s_inner), std::fabs(r.sigma_s_outer))));
      set(b + 3, Format("%0.2f", r.sigma_sa));
      set(b + 4, Starred(r.ng_shear, "%c%0.2f", r.tau));
      set(b + 5, Format("%0.2f", r.tau_a));
      // The shear ratio of the row: τ over τa or the stirrups needed over those present.
      set(b + 6, Format("%0.3f", r.ratio_shear));
      set(b + 7, Format("%0.1f", r.req_stirrup));
    } else {
      set(b, Starred(r.ng_flexure, "%c%0.1f", r.Mud));
      set(b + 1, Format("%0.1f", r.fwyk));
      set(b + 2, Format("%0.1f", r.Vcd));
      set(b + 3, Format("%0.1f", r.Vsd));
      set(b + 4, Starred(r.ng_shear_l2, "%c%0.1f", r.Vyd));
      set(b + 5, Format("%0.1f", r.req_stirrup));
    }
    for (int row = 1; row < t.rows; ++row) {
      RcCell& c = t.At(col, row);
      if (row >= 15 && row <= 17) c.bg = kForceBg;
      if (l2 && row >= b && row <= b + 2) c.bg = kForceBg;
      const bool bar_row = row == 5 || row == 6 || row == 9 || row == 10 || row == 12;
      const bool key_row =
          l2 ? (row == b || row == b + 4) : (row == b || row == b + 2 || row == b + 4);
      if (bar_row) {
        c.bold = true;
        c.fg = kRcGreen;
      } else if (key_row) {
        c.bold = true;
        c.fg = kRcBlue;
      }
    }
  }
  for (RcCell& c : t.cells) Finish(c);
  return out;
}

// ---- member choice -----------------------------------------------------------------------

int StepMember(const StructureModel& model, int current, int dir) {
  const int n = model.member_count;
  if (n < 1) return 0;
  int m = std::clamp(current, 1, n);
  const int step = dir >= 0 ? 1 : -1;
  // One cycle at most: without a member long enough there is none to show.
  for (int i = 0; i < n; ++i) {
    m += step;
    if (m > n) m = 1;
    if (m < 1) m = n;
    if (model.Member(m).length >= 0.1) return m;
  }
  return 0;
}

// ---- section-detail window ------------------------------------------------------------

SectionDetailInputs DetailInputsOf(const CheckPointRecord& r, bool shear_at_h2,
                                   const SectionDetailInputs& base) {
  SectionDetailInputs in = base;
  auto put = [&](int field, double v) {
    const int tag = SectionDetailFields()[static_cast<std::size_t>(field)].tag;
    in.text[static_cast<std::size_t>(field)] = FormatByTag(Format("%.6g", v), tag);
  };
  auto factor = [](double g) { return g >= 0.1 ? g : 1.0; };
  put(kSdGmc, factor(r.gamma_c));
  put(kSdGms, factor(r.gamma_s));
  put(kSdGmbm, factor(r.gamma_b));
  put(kSdGmbc, factor(r.gamma_b1));
  put(kSdGmbs, factor(r.gamma_b2));
  put(kSdFdck, std::max(r.fcd, r.k[28]));
  if (r.fyk > 0) put(kSdFyk, r.fyk);
  if (r.fwyk > 0) put(kSdFwyd, r.fwyk);
  put(kSdB, r.k[4]);
  put(kSdH, r.k[1]);
  const bool outer_first = r.M >= 0 || r.k[20] == 0;
  put(kSdDd1, outer_first ? r.k[10] : r.k[18]);
  put(kSdDd2, outer_first ? r.k[18] : r.k[10]);
  put(kSdAs1, outer_first ? r.k[12] : r.k[20]);
  put(kSdAs2, outer_first ? r.k[20] : r.k[12]);
  put(kSdAw, r.k[25]);
  put(kSdSs, r.k[23]);
  put(kSdThs, 90);
  put(kSdM, std::fabs(r.M));
  put(kSdS, std::fabs(r.S));
  put(kSdN, -r.N);
  in.ck_ta_h2 = shear_at_h2;
  in.flexure_rule = r.flexure_rule;
  in.cd_set = r.capacity_design_done;
  in.cd_x = r.cd_x;
  in.cd_M = r.cd_M;
  in.cd_Mrd_over = r.Mrd_over;
  return in;
}

}  // namespace vaultra
