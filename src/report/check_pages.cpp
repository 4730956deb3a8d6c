#include "report/check_pages.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "checks/member_checks.h"
#include "core/number.h"
#include "report/report_text.h"

namespace vaultra {

namespace {

constexpr std::uint32_t kRed = 0x0000FF;  // 0x00BBGGRR
constexpr std::uint32_t kBlack = 0;
constexpr double kMarkHeight = 5.0;  // mm, the N.G. mark's type
constexpr double kMarkStep = 8.0;    // mm, the line that carries the mark
constexpr const char* kNotFiniteReason = "数値でない値があります";

// ≦ when the check holds, ＞ when it failed.
const char* Relation(bool failed) {
  return failed ? "＞" : "≦";
}

// The boxed mark: large bold type in red inside a thick red frame.
void DrawMark(PrintEngine& pe, double x, double y, std::string_view text) {
  const StFont saved = pe.SaveFont();
  pe.SetTextFont(kMarkHeight, kMarkHeight / 2, 0, 0);
  pe.SetSignalColor(kRed);
  pe.DrawText(x, y, 0, 0, text);
  const double w = static_cast<double>(text.size()) * kMarkHeight / 2;
  pe.SetPenWidth(3);
  constexpr std::uint32_t kKeepPen = 1;  // LinePage draws with the red pen set above
  pe.LinePage(x - 1, y - 1, x + w + 1, y - 1, kKeepPen);
  pe.LinePage(x + w + 1, y - 1, x + w + 1, y + kMarkHeight + 1, kKeepPen);
  pe.LinePage(x + w + 1, y + kMarkHeight + 1, x - 1, y + kMarkHeight + 1, kKeepPen);
  pe.LinePage(x - 1, y + kMarkHeight + 1, x - 1, y - 1, kKeepPen);
  pe.SetPenWidth(1);
  pe.SetPenColor(kBlack);
  pe.SetFontColor(kBlack);
  pe.RestoreFont(saved);
}

}  // namespace

// The member groups of the section-check chapters, in print order, with the
// check groups each takes. A member of a check group no entry names is
// printed under the last entry, so that no verdict goes unprinted.
const std::vector<ReportGroup>& ReportGroups(bool stand) {
  static const std::vector<ReportGroup> kStand = {
      {"端部ブロック・側壁", {1}}, {"端部ブロック・底版", {5, 6}},
      {"中間ブロック・中壁", {9}}, {"中間ブロック・底版", {10, 11}},
      {"スラブ掛部", {13}},        {"頂版スラブ", {14}},
      {"底版現場打ち部", {15}},    {"その他の部材", {}}};
  static const std::vector<ReportGroup> kBox = {{"端部ブロック・側壁", {1}},
                                                {"端部ブロック・頂版", {2, 12}},
                                                {"端部ブロック・中壁", {4, 3}},
                                                {"端部ブロック・底版", {5, 6}},
                                                {"中間ブロック・頂版", {7}},
                                                {"中間ブロック・中壁", {9, 8}},
                                                {"中間ブロック・底版", {10, 11}},
                                                {"スラブ掛部", {13}},
                                                {"頂版スラブ", {14}},
                                                {"底版現場打ち部", {15}},
                                                {"その他の部材", {}}};
  return stand ? kStand : kBox;
}

// The members of one report group, in member order.
std::vector<int> GroupMembers(const MemberCheckTables& t, const std::vector<ReportGroup>& groups,
                              std::size_t gi) {
  auto index_of = [&](int check_group) {
    for (std::size_t i = 0; i + 1 < groups.size(); ++i)
      for (int g : groups[i].check_groups)
        if (g == check_group) return i;
    return groups.size() - 1;
  };
  std::vector<int> out;
  for (int m = 1; m <= t.member_count; ++m)
    if (index_of(CheckGroupOf(t.At(0, m).type_code)) == gi) out.push_back(m);
  return out;
}

double ReportLine(ReportContext& ctx, double y, std::string_view cp932, double x) {
  // A heading keeps with what follows it: it needs room for three more
  // lines below, or it starts the next page (never alone at a page foot).
  const bool heading = cp932.find("$>>") != std::string_view::npos;
  y = ctx.EnsureRoom(y, heading ? 4 * kStepLine : kStepLine) + kStepLine;
  PrintLine(ctx.pe, x, y, cp932);
  return y;
}

double VerdictLine(ReportContext& ctx, double y, std::string_view what, bool ok, double ratio,
                   std::string_view reason) {
  PrintEngine& pe = ctx.pe;
  const std::string head = "  " + std::string(what) + "判定：";
  if (ok) return ReportLine(ctx, y, head + "O.K.");
  y = ctx.EnsureRoom(y, kMarkStep) + kMarkStep;
  if (!pe.drawing) return y;
  PrintLine(pe, 1.0, y, head);
  const double x = 1.0 + static_cast<double>(head.size() + 1) * 1.8;
  DrawMark(pe, x, y - 1, "N.G.");
  std::string tail;
  if (std::isfinite(ratio) && ratio > 1) tail = Format("照査比 %.3f > 1.000", ratio);
  if (!reason.empty()) tail += (tail.empty() ? "" : "  ") + std::string(reason);
  if (!tail.empty()) {
    pe.SetSignalColor(kRed);
    PrintLine(pe, x + 4 * kMarkHeight / 2 + 4, y, tail);
    pe.SetPenColor(kBlack);
    pe.SetFontColor(kBlack);
  }
  return y;
}

const char* StateName(int kind) {
  static const char* const kNames[3] = {"常時", "Ｌ１", "Ｌ２"};
  return kind >= 0 && kind < 3 ? kNames[kind] : "";
}

const char* StateLabel(int kind) {
  static const char* const kLabels[3] = {"(常時)", "(地震動時ﾚﾍﾞﾙ1)", "(地震動時ﾚﾍﾞﾙ2)"};
  return kind >= 0 && kind < 3 ? kLabels[kind] : "";
}

namespace {

// The name of one check of a row, for the N.G. reason.
const char* CheckName(GoverningCheck c, int kind) {
  if (kind == kKindLevel2) {
    switch (c) {
      case GoverningCheck::kFlexure:
        return "曲げ耐力不足";
      case GoverningCheck::kShear:
        return "せん断耐力不足";
      case GoverningCheck::kCapacityDesign:
        return "せん断破壊先行";
      default:
        return "";
    }
  }
  switch (c) {
    case GoverningCheck::kFlexure:
      return "σs 超過";
    case GoverningCheck::kShear:
      return "τ 超過";
    default:
      return "";
  }
}

// Whether one check of a row failed.
bool CheckFailed(const CheckPointRecord& r, GoverningCheck c, int kind) {
  if (kind == kKindLevel2) {
    switch (c) {
      case GoverningCheck::kFlexure:
        return r.ng_flexure;
      case GoverningCheck::kShear:
        return r.ng_shear_vcd || r.ng_shear_l2;
      case GoverningCheck::kCapacityDesign:
        return r.ng_capacity_design;
      default:
        return false;
    }
  }
  switch (c) {
    case GoverningCheck::kFlexure:
      return r.ng_sigma_s;
    case GoverningCheck::kShear:
      return r.ng_shear;
    default:
      return false;
  }
}

// A position as printed: 3 decimals, never "-0.000".
double PrintedX(double x) {
  return ForPrint(x, 3);
}

}  // namespace

std::string FailedCheckName(const CheckPointRecord& r, int kind) {
  if (r.not_finite || !std::isfinite(r.ratio)) return kNotFiniteReason;
  // The check that sets the row's ratio first (the rule calc's "governs"
  // uses), then the others that failed; σc has no share in the ratio.
  const GoverningCheck first = GoverningCheckOf(r);
  std::string out;
  auto add = [&](const char* name) {
    if (!name || !*name) return;
    if (out.find(name) != std::string::npos) return;
    out += (out.empty() ? "" : "、") + std::string(name);
  };
  if (CheckFailed(r, first, kind)) add(CheckName(first, kind));
  if (kind != kKindLevel2 && r.ng_sigma_c) add("σc 超過");
  for (GoverningCheck c :
       {GoverningCheck::kFlexure, GoverningCheck::kShear, GoverningCheck::kCapacityDesign})
    if (CheckFailed(r, c, kind)) add(CheckName(c, kind));
  if (out.empty() && (r.ng || r.ng_flexure || r.ng_shear)) out = "許容値超過";
  return out;
}

std::string GoverningName(GoverningCheck c, int kind) {
  switch (c) {
    case GoverningCheck::kFlexure:
      return kind == kKindLevel2 ? "曲げ耐力" : "曲げ (σs)";
    case GoverningCheck::kShear:
      return kind == kKindLevel2 ? "せん断耐力" : "せん断 (τ)";
    case GoverningCheck::kCapacityDesign:
      return "耐力設計";
    default:
      return "";
  }
}

std::string PointName(const CheckPointRecord& r, int row) {
  const std::string where = Format("x = %.3f m", PrintedX(r.x));
  return r.label.empty() ? Format("点%d %s", row, where.c_str()) : r.label + " " + where;
}

namespace {

// The derivation lines of an allowable-stress row: the values put into the
// formulas the check used.
std::vector<std::string> AllowableFormulaLines(const CheckPointRecord& r) {
  const auto& k = r.k;
  std::vector<std::string> out;
  out.push_back(
      Format("  [式] n = Es/Ec = %.0f   中立軸 x = %.1f mm   換算断面図心 yc = %.1f mm  "
             "(ケース %d, %s)",
             r.n_ratio, r.stress_x, r.stress_yc, std::abs(r.stress_case),
             r.stress_case < 0 ? "外側引張" : "内側引張"));
  if (r.check_bits & kCheckBending)
    out.push_back(
        Format("  [式] 照査比(曲げ) = σs/σsa = %.1f / %.1f = %.3f   (σc/σca = %.2f / "
               "%.2f)",
               std::max(r.sigma_s_inner, r.sigma_s_outer), r.sigma_sa, r.ratio_flexure, r.sigma_c,
               r.sigma_ca));
  if (r.check_bits & kCheckShear) {
    if (r.stress_j == 1)
      out.push_back(
          Format("  [式] τ = S/(b･d) = %.2f×10^3 / (%.0f × %.0f) = %.3f N/mm2  "
                 "(h/2 の位置: j = 1)",
                 std::fabs(r.S), k[4], r.shear_d, r.tau));
    else
      out.push_back(Format("  [式] τ = S/(b･j･d) = %.2f×10^3 / (%.0f × %.4f × %.0f) = %.3f N/mm2",
                           std::fabs(r.S), k[4], r.stress_j, r.shear_d, r.tau));
    std::string ta;
    if (r.shear_correction)
      ta = Format("  [式] τa1' = Ce･Cpt･CN･τa1 = %.3f × %.3f × %.3f × %.3f%s = %.3f", r.Ce, r.Cpt,
                  r.CN, r.tau_a1, r.allowable_doubling ? " × 2" : "", r.tau_a1p);
    else
      ta = Format("  [式] τa1' = τa1%s = %.3f%s", r.allowable_doubling ? " × 2" : "", r.tau_a1p,
                  r.allowable_doubling ? "  (端部の割増し)" : "");
    ta += r.needs_shear_steel ? Format("   τ > τa1' のため τa = τa2 = %.3f", r.tau_a)
                              : Format("   τa = τa1' = %.3f", r.tau_a);
    out.push_back(ta);
    out.push_back(
        Format("  [式] 照査比(せん断) = max(τ/τa, Aw必要/Aw) = max(%.3f / %.3f, %.1f / "
               "%.1f) = %.3f",
               r.tau, r.tau_a, r.req_stirrup, r.k[25], r.ratio_shear));
  }
  return out;
}

// The derivation lines of a level-2 row.
std::vector<std::string> Level2FormulaLines(const CheckPointRecord& r) {
  std::vector<std::string> out;
  out.push_back(
      Format("  [式] fcd = fck/γc = %.1f / %.2f = %.2f   fyd = fyk/γs = %.1f / %.2f = "
             "%.2f N/mm2",
             r.fck, r.gamma_c, r.fcd, r.fyk, r.gamma_s, r.fyd));
  if (r.check_bits & kCheckBending)
    out.push_back(
        Format("  [式] Mud は作用軸力 N'd = %.2f kN (圧縮正 %.2f) のもとの曲げ耐力   "
               "γi･|Md|/(Mud/γb) = %.2f × %.2f / (%.2f / %.2f) = %.3f",
               r.N, r.Nud, r.gamma_i, std::fabs(r.M), r.Mud, r.gamma_b, r.ratio_flexure));
  if (r.check_bits & kCheckShear)
    out.push_back(
        Format("  [式] γi･|Vd|/Vyd = %.2f × %.2f / %.2f = %.3f   (Vsd は Vcd で不足する"
               "ときに加える)",
               r.gamma_i, std::fabs(r.S), r.Vyd, r.ratio_shear));
  if (r.capacity_design_done)
    out.push_back(
        Format("  [式] Vmu = (Mud'/γb)/|Md|･|Vd| = %.2f / %.2f × %.2f = %.2f kN   "
               "(fyk' = %.1f, a = %.3f m)",
               r.Mrd_over, std::fabs(r.M), std::fabs(r.S), r.Vmu, r.fyk_over, r.shear_span));
  return out;
}

}  // namespace

double PrintCheckBlock(ReportContext& ctx, double y, const std::string& title,
                       const CheckPointRecord& r, int kind, bool failed, bool formulas) {
  const std::vector<std::string> derivation = !formulas             ? std::vector<std::string>{}
                                              : kind == kKindLevel2 ? Level2FormulaLines(r)
                                                                    : AllowableFormulaLines(r);
  const int lines = 7 + static_cast<int>(derivation.size());
  // The block stays on one page: title, section, forces, three check lines,
  // the derivation, ratios and the verdict.
  y = ctx.EnsureRoom(y, (lines + 2) * kStepLine + kMarkStep);
  // With drawing off (the silent pass) only the extent counts: the lines
  // below never break the page after the room check above.
  if (!ctx.pe.drawing) return VerdictLine(ctx, y + lines * kStepLine, "", !failed, 0);
  const auto& k = r.k;
  y = ReportLine(ctx, y, "■ " + title);
  y = ReportLine(ctx, y,
                 Format("  断面  H =%6.0f  b =%6.0f  外側 d =%6.0f  As =%8.1f  内側 d =%6.0f  "
                        "As =%8.1f  (mm, mm2)",
                        k[1], k[4], k[11], k[12], k[19], k[20]));
  y = ReportLine(ctx, y,
                 Format("  断面力  x =%7.3f m   M =%10.2f kN･m   S =%10.2f kN   N =%10.2f kN",
                        PrintedX(r.x), ForPrint(r.M, 2), ForPrint(r.S, 2), ForPrint(r.N, 2)));
  const bool bending = r.check_bits & kCheckBending;
  const bool shear = r.check_bits & kCheckShear;
  if (kind != kKindLevel2) {
    const double ss = std::max(r.sigma_s_inner, r.sigma_s_outer);
    if (bending)
      y = ReportLine(
          ctx, y,
          Format("  σc =%8.2f %s σca =%8.2f N/mm2     σs =%8.1f %s σsa =%8.1f N/mm2", r.sigma_c,
                 Relation(r.ng_sigma_c), r.sigma_ca, ss, Relation(r.ng_sigma_s), r.sigma_sa));
    else
      y = ReportLine(ctx, y, "  曲げ  （この位置では照査しない）");
    if (shear)
      y = ReportLine(ctx, y,
                     Format("  τ  =%8.3f %s τa  =%8.3f N/mm2     (τa1 =%6.3f  Ce =%5.3f  "
                            "Cpt =%5.3f  CN =%5.3f)",
                            r.tau, Relation(r.ng_shear), r.tau_a, r.tau_a1p, r.Ce, r.Cpt, r.CN));
    else
      y = ReportLine(ctx, y, "  せん断  （この位置では照査しない）");
    y = ReportLine(ctx, y,
                   Format("  必要鉄筋量  外側 %8.1f  内側 %8.1f  スターラップ %8.1f  (mm2)",
                          r.req_steel_outer, r.req_steel_inner, r.req_stirrup));
  } else {
    if (bending)
      y = ReportLine(ctx, y,
                     Format("  曲げ  γi･Md =%10.2f %s Mud/γb =%10.2f kN･m   (Mud =%10.2f  γi "
                            "=%5.2f  γb =%5.2f)",
                            r.gamma_i * std::fabs(r.M), Relation(r.ng_flexure), r.Mrd, r.Mud,
                            r.gamma_i, r.gamma_b));
    else
      y = ReportLine(ctx, y, "  曲げ  （この位置では照査しない）");
    if (shear)
      y = ReportLine(ctx, y,
                     Format("  せん断  γi･Vd =%10.2f %s Vyd = Vcd + Vsd =%9.2f +%9.2f =%10.2f kN",
                            r.gamma_i * std::fabs(r.S), Relation(r.ng_shear_vcd || r.ng_shear_l2),
                            r.Vcd, r.Vsd, r.Vyd));
    else
      y = ReportLine(ctx, y, "  せん断  （この位置では照査しない）");
    if (r.capacity_design_done)
      y = ReportLine(ctx, y,
                     Format("  耐力設計  Vmu =%9.2f %s Vyd =%9.2f kN → %s  a=|Mg|/|S| =%6.3f m "
                            "(x=%6.3f Mg=%8.2f)",
                            r.Vmu, Relation(r.ng_capacity_design), r.Vyd,
                            r.ng_capacity_design ? "せん断破壊型" : "曲げ破壊型", r.shear_span,
                            r.cd_x, r.cd_M));
    else
      y = ReportLine(ctx, y, "  耐力設計  （対象外）");
  }
  for (const std::string& line : derivation) y = ReportLine(ctx, y, line);
  y = ReportLine(ctx, y,
                 Format("  照査比  曲げ %6.3f   せん断 %6.3f%s%s", r.ratio_flexure, r.ratio_shear,
                        kind == kKindLevel2 && r.capacity_design_done
                            ? Format("   耐力設計 %6.3f", r.ratio_vmu).c_str()
                            : "",
                        // The rule the flexural capacity followed and its axial force.
                        kind == kKindLevel2 ? Format("      (Mud: %s  N'ud =%9.2f kN)",
                                                     FlexureRuleName(r.flexure_rule), r.Nud)
                                                  .c_str()
                                            : ""));
  return VerdictLine(ctx, y, "", !failed, std::max(r.ratio, r.ratio_vmu),
                     failed ? FailedCheckName(r, kind) : std::string());
}

std::string CheckSummaryLine(const std::string& title, const CheckPointRecord& r, int kind,
                             bool failed) {
  return Format("%s, %s, x=%.3f, M=%.2f, S=%.2f, N=%.2f, ratio=%.3f, %s", title.c_str(),
                StateName(kind), PrintedX(r.x), r.M, r.S, r.N, std::max(r.ratio, r.ratio_vmu),
                failed ? "N.G." : "O.K.");
}

double AnalysisFailedLine(ReportContext& ctx, double y, std::string_view cp932) {
  ctx.ReportError(cp932);
  y = ReportLine(ctx, y, "  " + std::string(cp932));
  return VerdictLine(ctx, y, "", false, 0, "照査できません");
}

}  // namespace vaultra
