// The verdict summary ("照査結果一覧") after the design conditions: per
// member group, combination and check the largest ratio, where it lies and
// the verdict; the joints and the end walls; the first N.G. named. Every
// number is read from the check records by the rules calc's verdicts use
// (GoverningRowOf, LargestRatioRow, RowFailed, EndWallVerdictOf).
#include <algorithm>
#include <cmath>

#include "core/number.h"
#include "report/chapters.h"
#include "report/check_pages.h"
#include "report/report_text.h"

namespace vaultra {

namespace {

constexpr GoverningCheck kChecks[] = {GoverningCheck::kFlexure, GoverningCheck::kShear,
                                      GoverningCheck::kCapacityDesign};

std::string Cell(std::string s, std::size_t width) {
  if (s.size() < width) s.resize(width, ' ');
  return s;
}

std::string VerdictWord(bool ok) {
  return ok ? "O.K." : "N.G.";
}

// The largest ratio of one check over the members of a report group in one
// combination, with its member and row.
struct GroupMaximum {
  int member = 0, row = 0;
  double ratio = 0;
};

GroupMaximum LargestInGroup(const MemberCheckTables& t, const std::vector<int>& members, int kind,
                            GoverningCheck check) {
  GroupMaximum g;
  for (int m : members) {
    const MemberCheckTable& tb = t.At(kind, m);
    const int p = LargestRatioRow(tb, check);
    if (p == 0) continue;
    const double v = CheckRatio(tb.Row(p), check);
    if (g.member == 0 || v > g.ratio) g = {m, p, v};
  }
  return g;
}

double TransverseSummary(ReportContext& ctx, double y, std::string& first_ng) {
  const MemberCheckTables& t = *ctx.src.checks;
  const std::vector<ReportGroup>& groups = ReportGroups(ctx.stand());
  y = ReportLine(ctx, y, "$>>(%) 横方向部材の断面照査");
  y = ReportLine(ctx, y,
                 "  部材グループ            状態  照査            最大照査比  部材     位置"
                 "                  判定");
  for (std::size_t gi = 0; gi < groups.size(); ++gi) {
    const std::vector<int> members = GroupMembers(t, groups, gi);
    if (members.empty()) continue;
    for (int kind = 0; kind < kCheckCombinations; ++kind) {
      bool group_ok = true;
      for (int m : members) {
        const GoverningRow g = GoverningRowOf(t.At(kind, m));
        group_ok = group_ok && !g.failed && g.finite;
      }
      bool first_line = true;
      for (GoverningCheck c : kChecks) {
        if (c == GoverningCheck::kCapacityDesign && kind != kKindLevel2) continue;
        const GroupMaximum g = LargestInGroup(t, members, kind, c);
        if (g.member == 0) continue;
        const CheckPointRecord& r = t.At(kind, g.member).Row(g.row);
        y = ReportLine(
            ctx, y,
            Format("  %s%s%s%10.3f  No.%-4d %s %s",
                   Cell(first_line ? groups[gi].name : "", 24).c_str(),
                   Cell(StateName(kind), 6).c_str(), Cell(GoverningName(c, kind), 16).c_str(),
                   g.ratio, g.member, Cell(PointName(r, g.row), 22).c_str(),
                   first_line ? VerdictWord(group_ok).c_str() : ""));
        first_line = false;
      }
      if (first_line)  // no check gave a ratio above 0 in this state
        y = ReportLine(ctx, y,
                       Format("  %s%s%s%10.3f  %s", Cell(groups[gi].name, 24).c_str(),
                              Cell(StateName(kind), 6).c_str(), Cell("", 16).c_str(), 0.0,
                              Cell("", 31).c_str()) +
                           VerdictWord(group_ok));
    }
  }
  // The governing row of every member and state, in member order (calc's
  // order); the first N.G. among them is named below.
  for (int m = 1; m <= t.member_count && first_ng.empty(); ++m)
    for (int kind = 0; kind < kCheckCombinations && first_ng.empty(); ++kind) {
      const MemberCheckTable& tb = t.At(kind, m);
      const GoverningRow g = GoverningRowOf(tb);
      if (!g.failed && g.finite) continue;
      int p = g.row;
      if (p == 0 || !RowFailed(tb.Row(p)))
        for (int q = 1; q <= LastCheckedRow(tb); ++q)
          if (RowFailed(tb.Row(q))) {
            p = q;
            break;
          }
      first_ng = p == 0 ? Format("部材No.%d %s", m, StateName(kind))
                        : Format("部材No.%d %s %s  照査比 %.3f  %s", m, StateName(kind),
                                 PointName(tb.Row(p), p).c_str(),
                                 std::max(tb.Row(p).ratio, tb.Row(p).ratio_vmu),
                                 FailedCheckName(tb.Row(p), kind).c_str());
    }
  return y;
}

double JointSummary(ReportContext& ctx, double y, std::string& first_ng) {
  const ReportSources& src = ctx.src;
  if (!src.transverse_joint && !src.longitudinal_joint && !src.longitudinal_failed) return y;
  y = ReportLine(ctx, y, "$>>(%) 接合部");
  if (const TransverseJointResult* j = src.transverse_joint) {
    for (int lv = 0; lv < 2; ++lv) {
      const TransverseJointLevel& l = j->level[static_cast<std::size_t>(lv)];
      for (int tension = 0; tension < 2; ++tension) {
        const double n = tension ? l.nmax_tension : l.nmax_compression;
        const double na = tension ? j->na_tension : j->na_compression;
        const bool ng = tension ? l.ng_tension : l.ng_compression;
        y = ReportLine(ctx, y,
                       Format("  横方向接合部  %s  %s  Nmax =%10.2f kN  Na =%10.2f kN  %s",
                              lv == 0 ? "Ｌ１" : "Ｌ２", tension ? "引張" : "圧縮", n, na,
                              VerdictWord(!ng).c_str()));
        if (ng && first_ng.empty())
          first_ng =
              Format("横方向接合部 %s %s", lv == 0 ? "Ｌ１" : "Ｌ２", tension ? "引張" : "圧縮");
      }
    }
  }
  if (const LongitudinalJointResult* j = src.longitudinal_joint) {
    const double ua[2] = {src.records ? src.records->joints.Ua1 : 0,
                          src.records ? src.records->joints.Ua2 : 0};
    for (int lv = 0; lv < 2; ++lv) {
      const std::size_t l = static_cast<std::size_t>(lv);
      y = ReportLine(
          ctx, y,
          Format("  縦方向接合部  %s  耐力 (Pa =%12.1f N/m) %s   防水 δ =%8.3f mm  "
                 "δa =%6.2f mm  %s",
                 lv == 0 ? "Ｌ１" : "Ｌ２", j->Pcap, VerdictWord(j->capacity_ok[l]).c_str(),
                 j->delta[l], ua[lv], VerdictWord(j->opening_ok[l]).c_str()));
      if (first_ng.empty() && !j->capacity_ok[l])
        first_ng = Format("縦方向接合部 %s 耐力", lv == 0 ? "Ｌ１" : "Ｌ２");
      if (first_ng.empty() && !j->opening_ok[l])
        first_ng = Format("縦方向接合部 %s 防水", lv == 0 ? "Ｌ１" : "Ｌ２");
    }
  }
  if (src.longitudinal_failed) {
    y = ReportLine(ctx, y, "  縦方向接合部・端壁  縦方向の解析が失敗したため照査できません  N.G.");
    if (first_ng.empty()) first_ng = "縦方向の解析";
  }
  return y;
}

double EndWallSummary(ReportContext& ctx, double y, std::string& first_ng) {
  const EndWallResult* e = ctx.src.end_walls;
  if (!e) return y;
  y = ReportLine(ctx, y, "$>>(%) 端壁");
  if (e->input_error) {
    y = ReportLine(ctx, y, "  端壁  入力値エラーのため照査していません  N.G.");
    if (first_ng.empty()) first_ng = "端壁 入力値エラー";
    return y;
  }
  for (int w = 0; w < e->wall_count; ++w) {
    if (!(e->inner_width[static_cast<std::size_t>(w)] >= 0.001)) break;
    for (int c = 0; c < 3; ++c) {
      const EndWallCase& ec = e->walls[static_cast<std::size_t>(w)][static_cast<std::size_t>(c)];
      double flex = 0, shear = 0;
      bool ok = true;
      for (const EndWallRow& row : ec.rows) {
        if (!row.applies) continue;
        flex = std::max(flex, row.rec.ratio_flexure);
        shear = std::max(shear, row.rec.ratio_shear);
        ok = ok && !EndWallFlexureFails(row, ec.kind) && !EndWallShearFails(row, ec.kind);
      }
      y = ReportLine(ctx, y,
                     Format("  端壁 %d  %s  曲げ %7.3f  せん断 %7.3f  %s", w + 1,
                            StateName(ec.kind), flex, shear, VerdictWord(ok).c_str()));
    }
  }
  const EndWallVerdict v = EndWallVerdictOf(*e);
  if (!v.ok && first_ng.empty()) first_ng = v.text;
  return y;
}

}  // namespace

void PrintVerdictSummary(ReportContext& ctx, double y) {
  y = ReportLine(ctx, y, "$>>%.% 照査結果一覧");
  y = ReportLine(ctx, y,
                 "  各照査の最大照査比（作用値／許容値または設計耐力）とその位置"
                 "（各照査ページの判定と同じ値）。");
  std::string first_ng;
  if (ctx.src.transverse_failed) {
    // Nothing of a failed run is a verdict: the joints and end walls it
    // left are not printed as checked.
    y = ReportLine(ctx, y,
                   "  横方向部材・接合部・端壁  横方向の解析が失敗したため照査できません  N.G.");
    ReportLine(ctx, y, "  最初の N.G.：横方向の解析");
    return;
  }
  if (ctx.src.checks) y = TransverseSummary(ctx, y, first_ng);
  y = JointSummary(ctx, y, first_ng);
  y = EndWallSummary(ctx, y, first_ng);
  // The uplift check joins this list here when it is part of the run.
  ReportLine(ctx, y,
             first_ng.empty() ? std::string("  すべての照査を満足する (N.G. なし)")
                              : "  最初の N.G.：" + first_ng);
}

}  // namespace vaultra
