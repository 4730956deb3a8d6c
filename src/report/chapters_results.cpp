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

// The member groups of the section-check chapters, in print order, with the
// check groups each takes. A member of a check group no entry names is
// printed under the last entry, so that no verdict goes unprinted.
struct ReportGroup {
  const char* name;
  std::vector<int> check_groups;
};

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
        y = ReportLine(ctx, y,
                       Format("  %5d    %s  %9.3f  %11.2f  %10.2f  %10.2f", m, label.c_str(), r.x,
                              r.M, r.S, r.N));
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
    const auto& k = tb.Row(1).k;
    std::string name = CheckGroupName(CheckGroupOf(tb.type_code));
    name.resize(std::max<std::size_t>(name.size(), 16), ' ');
    y = ReportLine(ctx, y,
                   Format("  %5d    %s %6.0f %6.0f %8.0f %9.1f %8.0f %9.1f %9.1f %6.0f", m,
                          name.c_str(), k[1], k[4], k[10], k[12], k[18], k[20], k[25], k[23]));
  }
}

// The checks of one member in one state: a block for every labelled row
// (the points of interest) and for every failing row, then the member's
// verdict. Failures set the marks and the first error.
double PrintMemberState(ReportContext& ctx, double y, const MemberCheckTable& tb, int m,
                        const char* group, int kind) {
  bool member_failed = false;
  double worst = 0;
  std::string reason;
  for (int p = 1; p <= LastCheckedRow(tb); ++p) {
    const CheckPointRecord& r = tb.Row(p);
    const bool failed = RowFailed(r);
    const double ratio = std::max(r.ratio, r.ratio_vmu);
    if (failed) {
      ctx.build.MarkFailure(m, p);
      if (!member_failed) reason = FailedCheckName(r, kind);
      member_failed = true;
    }
    if (std::isnan(ratio) || ratio > worst) worst = ratio;
    if (r.label.empty() && !failed) continue;
    const std::string title =
        Format("部材No.%d  %s  %s  %s", m, group,
               r.label.empty() ? Format("点%d", p).c_str() : r.label.c_str(), StateLabel(kind));
    ctx.build.summary.push_back(CheckSummaryLine(title, r, kind, failed));
    y = PrintCheckBlock(ctx, y, title, r, kind, failed);
  }
  if (member_failed)
    ctx.ReportError(Format("部材No.%d%s-ＲＣ応力エラー", m,
                           kind == kKindNormal   ? "、 常時"
                           : kind == kKindLevel1 ? "、Ｌ１"
                                                 : "、Ｌ２"));
  return VerdictLine(ctx, y, Format("部材No.%d %s ", m, StateName(kind)), !member_failed, worst,
                     reason);
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
