// Chapter 22 (analysis results: the force diagrams of the three check
// combinations and the member-force table), the transverse section checks
// (rebar table, one check block per member, point and state, the member
// verdicts, summary lines, failure marks and the first error) and the
// transverse joints. Verdicts are read from the check records.
#include <algorithm>
#include <cmath>

#include "core/number.h"
#include "report/chapters.h"
#include "report/check_pages.h"
#include "report/figures.h"
#include "report/force_diagrams.h"
#include "report/report_template.h"
#include "report/report_text.h"

namespace vaultra {

namespace {

// The height PrintForceDiagramPage takes (its title line, three diagrams of
// 40 mm under three title lines each, the closing line): the silent pass
// advances by it without drawing.
constexpr double kDiagramPageHeight = 2 * kStepLine + 3 * (3 * kStepLine + 40);

const char* const kCombinationHeadings[3] = {"$>>(%) 常時", "$>>(%) レベル１地震時",
                                             "$>>(%) レベル２地震時"};

bool TransverseFailed(const ReportContext& ctx) {
  return ctx.src.transverse_failed;
}

// ---- chapter 22 ----

void PrintMemberForceTable(ReportContext& ctx, double y, const MemberCheckTables& t) {
  y = ReportLine(ctx, y, "$>>%.% 検討断面力一覧表");
  for (int k = 0; k < kCheckCombinations; ++k) {
    y = ReportLine(ctx, y, Format("  ＜%s＞", StateName(k)));
    y = ReportLine(ctx, y, "  部材No.  照査位置        x (m)     M (kN･m)      S (kN)      N (kN)");
    for (int m = 1; m <= t.member_count; ++m) {
      const MemberCheckTable& tb = t.At(k, m);
      for (int p = 1; p <= LastCheckedRow(tb); ++p) {
        const CheckPointRecord& r = tb.Row(p);
        if (r.label.empty()) continue;
        std::string label = r.label;
        label.resize(std::max<std::size_t>(label.size(), 10), ' ');
        y = ReportLine(
            ctx, y,
            Format("  %5d    %s  %9.3f  %11.2f  %10.2f  %10.2f", m, label.c_str(), ForPrint(r.x, 3),
                   ForPrint(r.M, 2), ForPrint(r.S, 2), ForPrint(r.N, 2)));
      }
    }
  }
}

void Chapter22(ReportContext& ctx) {
  PrintEngine& pe = ctx.pe;
  const ReportSources& src = ctx.src;
  ctx.NewPage();
  double y = ReportLine(ctx, 0, "$>>%. 解析結果");
  y = ReportLine(ctx, y, "$>>%.% 断面力");
  if (TransverseFailed(ctx)) {
    AnalysisFailedLine(ctx, y, "横方向の解析ができなかったため、断面力はありません。");
    return;
  }
  const AnalysisResults* r = src.transverse_results;
  if (!r || !src.transverse || !src.block_row) return;
  Figure fig =
      MakeFigure(*src.transverse, *src.block_row, ctx.stand() ? kLayoutStand : kLayoutBox, false);
  for (int k = 0; k < kCheckCombinations; ++k) {
    if (k > 0) y = ctx.BreakPage();
    y = ReportLine(ctx, y, kCombinationHeadings[k]);
    const int c = r->max_load_case + k + 1;
    if (!r->HasCase(c)) continue;
    y = ctx.EnsureRoom(y, kDiagramPageHeight);
    if (pe.drawing) {
      y = PrintForceDiagramPage(pe, y, fig, *r, c, 0, 0);
      pe.SetBodyFont();
    } else {
      y += kDiagramPageHeight;
    }
  }
  if (src.checks) PrintMemberForceTable(ctx, ctx.BreakPage(), *src.checks);
}

// ---- the transverse section checks ----

void PrintRebarTable(ReportContext& ctx, const MemberCheckTables& t) {
  PrintEngine& pe = ctx.pe;
  ctx.NewPage();
  double y = PrintSection(pe, 0, "鉄筋配置", ctx.TypeWord(), 99);
  y = ReportLine(ctx, y,
                 "  部材No.  種別              H      b   外側かぶり  外側As  内側かぶり  内側As  "
                 "ｽﾀｰﾗｯﾌﾟAw  間隔");
  y = ReportLine(ctx, y,
                 "                            (mm)   (mm)     (mm)     (mm2)     (mm)     (mm2)"
                 "     (mm2)   (mm)");
  for (int m = 1; m <= t.member_count; ++m) {
    const MemberCheckTable& tb = t.At(0, m);
    if (tb.count < 1) continue;
    // The member's own section (its span values), not the end row's, which
    // carries the haunch height and the joint bars.
    std::array<double, 29> k = tb.Row(1).k;
    if (ctx.src.transverse && m <= ctx.src.transverse->member_count)
      for (std::size_t i = 0; i < kSectionHalf && i < k.size(); ++i)
        k[i] = ctx.src.transverse->Section(m).Current(static_cast<int>(i));
    std::string name = CheckGroupName(CheckGroupOf(tb.type_code));
    name.resize(std::max<std::size_t>(name.size(), 16), ' ');
    y = ReportLine(ctx, y,
                   Format("  %5d    %s %6.0f %6.0f %8.0f %9.1f %8.0f %9.1f %9.1f %6.0f", m,
                          name.c_str(), k[1], k[4], k[10], k[12], k[18], k[20], k[25], k[23]));
  }
}

// Whether a row is printed: every labelled row (the points of interest),
// every failing row and every row that holds a member's largest ratio of a
// check (bending, shear, capacity design), labelled or not, so that the
// governing row of calc's verdict is always on paper.
bool RowPrinted(const MemberCheckTable& tb, int p, const GoverningRow& g) {
  const CheckPointRecord& r = tb.Row(p);
  if (!r.label.empty() || RowFailed(r) || p == g.row) return true;
  for (GoverningCheck c :
       {GoverningCheck::kFlexure, GoverningCheck::kShear, GoverningCheck::kCapacityDesign})
    if (LargestRatioRow(tb, c) == p) return true;
  return false;
}

// The checks of one member in one state: a block for every printed row,
// then the member's verdict with its governing ratio, row and check (the
// rule of calc's verdict). Failures set the marks and the first error.
double PrintMemberState(ReportContext& ctx, double y, const MemberCheckTable& tb, int m,
                        const char* group, int kind) {
  const GoverningRow g = GoverningRowOf(tb);
  const bool member_failed = g.failed || !g.finite;
  for (int p = 1; p <= LastCheckedRow(tb); ++p) {
    const CheckPointRecord& r = tb.Row(p);
    const bool failed = RowFailed(r);
    if (failed) ctx.build.MarkFailure(m, p);
    if (!RowPrinted(tb, p, g)) continue;
    const std::string title = Format("部材No.%d  %s  %s  %s%s", m, group, PointName(r, p).c_str(),
                                     StateLabel(kind), p == g.row ? "  ＊最大照査比" : "");
    ctx.build.summary.push_back(CheckSummaryLine(title, r, kind, failed));
    y = PrintCheckBlock(ctx, y, title, r, kind, failed, ctx.opt.formulas && p == g.row);
  }
  if (member_failed)
    ctx.ReportError(Format("部材No.%d%s-ＲＣ応力エラー", m,
                           kind == kKindNormal   ? "、 常時"
                           : kind == kKindLevel1 ? "、Ｌ１"
                                                 : "、Ｌ２"));
  const std::string head = Format("部材No.%d %s ", m, StateName(kind));
  if (g.row == 0) return VerdictLine(ctx, y, head, !member_failed, g.ratio);
  const CheckPointRecord& gr = tb.Row(g.row);
  const std::string where = PointName(gr, g.row) + "  " + GoverningName(g.governs, kind);
  if (!member_failed)
    return ReportLine(ctx, y,
                      "  " + head + "判定：O.K.   " + Format("最大照査比 %.3f  ", g.ratio) + where);
  // The reason of the governing row when it failed, else of the first
  // failing row (a check that failed below a ratio of 1, σc for one).
  std::string reason = RowFailed(gr) ? FailedCheckName(gr, kind) : std::string();
  for (int p = 1; reason.empty() && p <= LastCheckedRow(tb); ++p)
    if (RowFailed(tb.Row(p)))
      reason = PointName(tb.Row(p), p) + " " + FailedCheckName(tb.Row(p), kind);
  // VerdictLine prints a ratio above 1 itself.
  return VerdictLine(
      ctx, y, head, false, g.ratio,
      reason + "  (" + (g.ratio > 1 ? "" : Format("最大照査比 %.3f  ", g.ratio)) + where + ")");
}

void PrintSectionChecks(ReportContext& ctx) {
  PrintEngine& pe = ctx.pe;
  const MemberCheckTables* t = ctx.src.checks;
  if (!t && !TransverseFailed(ctx)) return;
  if (t) PrintRebarTable(ctx, *t);
  ctx.NewPage();
  double y = ReportLine(ctx, 0, "$>>%.% ＲＣ断面の応力度照査");
  if (TransverseFailed(ctx) || !t) {
    AnalysisFailedLine(ctx, y, "横方向の解析ができなかったため、断面の照査は行っていません。");
    return;
  }
  const std::vector<ReportGroup>& groups = ReportGroups(ctx.stand());
  const std::string type = ctx.TypeWord();
  for (int part = 0; part < 2; ++part) {  // allowable stresses, then level 2
    if (part == 1) {
      ctx.NewPage();
      y = 0;
    }
    // The first part checks the normal and the level-1 states together.
    y = ReportLine(ctx, y, part == 0 ? "$>>(常時・Ｌ１地震動時)" : "$>>(Ｌ２地震動時)");
    bool first_group = true;
    for (std::size_t gi = 0; gi < groups.size(); ++gi) {
      const std::vector<int> members = GroupMembers(*t, groups, gi);
      if (members.empty()) continue;
      // The first group follows its headings on their page, so that no page
      // carries the headings alone; every later group starts a page.
      if (!first_group) {
        ctx.NewPage();
        y = 0;
      }
      first_group = false;
      y = part == 0 ? PrintSection(pe, y, "ＲＣ断面の応力度照査", type, 99)
                    : PrintSection(pe, y, "ＲＣ断面の応力", type + "L2", 99);
      y = ReportLine(ctx, y, Format("$>>(%%) %s", groups[gi].name));
      for (int m : members)
        for (int kind :
             part == 0 ? std::vector<int>{kKindNormal, kKindLevel1} : std::vector<int>{kKindLevel2})
          y = PrintMemberState(ctx, y, t->At(kind, m), m, groups[gi].name, kind);
    }
  }
}

}  // namespace

void PrintResultChapters(ReportContext& ctx) {
  Chapter22(ctx);
  PrintSectionChecks(ctx);
}

void PrintUpliftChapter(ReportContext& ctx) {
  const UpliftResult* u = ctx.src.uplift;
  if (!u) return;
  ctx.NewPage();
  double y = PrintSection(ctx.pe, 0, "浮上りの検討", ctx.TypeWord(), 99);
  y = ReportLine(
      ctx, y,
      "  常時、貯留槽が空の状態で浮力に対する安全率を求める（側面の摩擦抵抗は考慮しない）。");
  if (!u->checked) {
    ReportLine(ctx, y, "  " + u->reason);
    return;
  }
  const UpliftInput& in = u->input;
  if (!u->reason.empty()) {
    ctx.ReportError("浮上りエラー");
    y = ReportLine(ctx, y, "  " + u->reason);
    VerdictLine(ctx, y, "浮上り ", false, 0, "照査できません");
    return;
  }
  y = ReportLine(ctx, y, "    Fs = (Wc + Ws) / U ≧ 1.2    U = γw・B・hw");
  y = ReportLine(
      ctx, y,
      Format("  構造物幅 B =%8.3f m   頂版上面深さ D =%7.3f m   底面深さ =%7.3f m   地下水位 "
             "GL-%6.3f m",
             in.width, in.top_depth, in.bottom_depth, in.water_depth));
  y = ReportLine(
      ctx, y, Format("  構造物の自重 (貯留水なし)          Wc =%10.3f kN/m", in.structure_weight));
  y = ReportLine(
      ctx, y,
      Format(
          "  上載土  Ws = B・(γt・%.3f + γ'・%.3f) = %.3f・(%.2f・%.3f + %.2f・%.3f) =%10.3f kN/m",
          u->soil_moist_t, u->soil_sub_t, in.width, in.gamma_t, u->soil_moist_t, in.gamma_sub,
          u->soil_sub_t, u->soil_weight));
  y = ReportLine(ctx, y,
                 Format("  浮力    U = γw・B・hw = %.2f・%.3f・%.3f =%10.3f kN/m", in.gamma_w,
                        in.width, u->submerged_height, u->buoyancy));
  y = ReportLine(ctx, y,
                 Format("  Fs = (%.3f + %.3f) / %.3f = %.3f  %s  %.2f", in.structure_weight,
                        u->soil_weight, u->buoyancy, u->fs, u->ok ? "≧" : "＜", u->required));
  VerdictLine(ctx, y, "浮上り ", u->ok, u->required / std::max(u->fs, 1e-9));
  if (!u->ok) ctx.ReportError("浮上りエラー");
}

void PrintTransverseJointChapter(ReportContext& ctx) {
  PrintEngine& pe = ctx.pe;
  ctx.NewPage();
  double y = PrintSection(pe, 0, "横方向接合部の照査", ctx.TypeWord(), 99);
  if (TransverseFailed(ctx)) {
    ctx.ReportError("横方向接合部エラー");
    AnalysisFailedLine(ctx, y, "横方向の解析ができなかったため、接合部の照査は行っていません。");
    return;
  }
  const TransverseJointResult* j = ctx.src.transverse_joint;
  if (!j) return;
  y = ReportLine(ctx, y,
                 Format("  許容軸力  圧縮 Na =%10.2f kN    引張 Na =%10.2f kN", j->na_compression,
                        j->na_tension));
  for (int lv = 0; lv < 2; ++lv) {
    const TransverseJointLevel& l = j->level[static_cast<std::size_t>(lv)];
    y = ReportLine(ctx, y, lv == 0 ? "  ＜レベル１地震動時＞" : "  ＜レベル２地震動時＞");
    y = ReportLine(ctx, y,
                   Format("    圧縮  Nmax =%10.2f kN  %s  Na =%10.2f kN", l.nmax_compression,
                          l.ng_compression ? "＞" : "≦", j->na_compression));
    y = VerdictLine(ctx, y, "  圧縮 ", !l.ng_compression,
                    l.nmax_compression / std::max(j->na_compression, 1e-9));
    y = ReportLine(ctx, y,
                   Format("    引張  Nmax =%10.2f kN  %s  Na =%10.2f kN", l.nmax_tension,
                          l.ng_tension ? "＞" : "≦", j->na_tension));
    y = VerdictLine(ctx, y, "  引張 ", !l.ng_tension,
                    l.nmax_tension / std::max(j->na_tension, 1e-9));
  }
  VerdictLine(ctx, y, "横方向接合部 ", j->ok(), 0);
  if (!j->ok()) ctx.ReportError("横方向接合部エラー");
}

}  // namespace vaultra
