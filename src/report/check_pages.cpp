#include "report/check_pages.h"

#include <algorithm>
#include <cmath>

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

double ReportLine(ReportContext& ctx, double y, std::string_view cp932, double x) {
  y = ctx.EnsureRoom(y, kStepLine) + kStepLine;
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

std::string FailedCheckName(const CheckPointRecord& r, int kind) {
  if (r.not_finite || !std::isfinite(r.ratio)) return kNotFiniteReason;
  if (kind == kKindLevel2) {
    if (r.ng_flexure) return "曲げ耐力不足";
    if (r.ng_shear_vcd || r.ng_shear_l2) return "せん断耐力不足";
    if (r.ng_capacity_design) return "せん断破壊先行";
  } else {
    if (r.ng_sigma_c) return "σc 超過";
    if (r.ng_sigma_s) return "σs 超過";
    if (r.ng_shear) return "τ 超過";
  }
  if (r.ng || r.ng_flexure || r.ng_shear) return "許容値超過";
  return {};
}

double PrintCheckBlock(ReportContext& ctx, double y, const std::string& title,
                       const CheckPointRecord& r, int kind, bool failed) {
  // The block stays on one page: title, section, forces, three check lines,
  // ratios and the verdict.
  y = ctx.EnsureRoom(y, 9 * kStepLine + kMarkStep);
  // With drawing off (the silent pass) only the extent counts: the seven
  // lines below never break the page after the room check above.
  if (!ctx.pe.drawing) return VerdictLine(ctx, y + 7 * kStepLine, "", !failed, 0);
  const auto& k = r.k;
  y = ReportLine(ctx, y, "■ " + title);
  y = ReportLine(ctx, y,
                 Format("  断面  H =%6.0f  b =%6.0f  外側 d =%6.0f  As =%8.1f  内側 d =%6.0f  "
                        "As =%8.1f  (mm, mm2)",
                        k[1], k[4], k[11], k[12], k[19], k[20]));
  y = ReportLine(ctx, y,
                 Format("  断面力  x =%7.3f m   M =%10.2f kN･m   S =%10.2f kN   N =%10.2f kN", r.x,
                        r.M, r.S, r.N));
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
    y = ReportLine(ctx, y,
                   Format("  曲げ  γi･Md =%10.2f %s Mud/γb =%10.2f kN･m   (Mud =%10.2f  γi =%5.2f  "
                          "γb =%5.2f)",
                          r.gamma_i * std::fabs(r.M), Relation(r.ng_flexure), r.Mrd, r.Mud,
                          r.gamma_i, r.gamma_b));
    y = ReportLine(ctx, y,
                   Format("  せん断  γi･Vd =%10.2f %s Vyd = Vcd + Vsd =%9.2f +%9.2f =%10.2f kN",
                          r.gamma_i * std::fabs(r.S), Relation(r.ng_shear_vcd || r.ng_shear_l2),
                          r.Vcd, r.Vsd, r.Vyd));
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
                StateName(kind), r.x, r.M, r.S, r.N, std::max(r.ratio, r.ratio_vmu),
                failed ? "N.G." : "O.K.");
}

double AnalysisFailedLine(ReportContext& ctx, double y, std::string_view cp932) {
  ctx.ReportError(cp932);
  y = ReportLine(ctx, y, "  " + std::string(cp932));
  return VerdictLine(ctx, y, "", false, 0, "照査できません");
}

}  // namespace vaultra
