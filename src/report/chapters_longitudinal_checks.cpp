// Longitudinal chapters 5 to 9: the results of the longitudinal frame, the
// joint forces and the axial forces the joint check uses, its capacity and
// waterproofing checks, the end walls (loads and forces by the chosen
// method, rebar) and the end-wall section checks of the three states. The
// loads and the model of the longitudinal frame (chapters 3 to 5's model)
// are not printed yet. Verdicts are read from the check records.
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

constexpr double kDiagramPageHeight = 2 * kStepLine + 3 * (3 * kStepLine + 40);
const char* const kEndWallPositions[4] = {"縦方向", "上部", "中間部", "下部"};

// Chapter 5's results: the diagrams of the longitudinal frame's seismic
// combinations.
void LongitudinalResults(ReportContext& ctx) {
  PrintEngine& pe = ctx.pe;
  const ReportSources& src = ctx.src;
  ctx.NewPage();
  double y = ReportLine(ctx, 0, "$>>%.% 縦方向・解析結果");
  if (src.longitudinal_failed) {
    AnalysisFailedLine(ctx, y, "縦方向の解析ができなかったため、断面力はありません。");
    return;
  }
  const AnalysisResults* r = src.longitudinal_results;
  if (!r || !src.longitudinal || !src.block_row) return;
  Figure fig =
      MakeFigure(*src.longitudinal, *src.block_row, ctx.stand() ? kLayoutStand : kLayoutBox, true);
  static const char* const kHeadings[3] = {"$>>(%) 常時", "$>>(%) レベル１地震時",
                                           "$>>(%) レベル２地震時"};
  const int n = std::min(r->combination_count, 3);
  for (int k = 0; k < n; ++k) {
    const int c = r->max_load_case + k + 1;
    if (!r->HasCase(c)) continue;
    if (k > 0) y = ctx.BreakPage();
    y = ReportLine(ctx, y, kHeadings[k]);
    y = ctx.EnsureRoom(y, kDiagramPageHeight);
    if (pe.drawing) {
      y = PrintForceDiagramPage(pe, y, fig, *r, c, 0, 0);
      pe.SetBodyFont();
    } else {
      y += kDiagramPageHeight;
    }
  }
}

// Chapters 6 and 7: the joint forces, the axial forces used, capacity and
// waterproofing.
void LongitudinalJoint(ReportContext& ctx) {
  const ReportSources& src = ctx.src;
  ctx.NewPage();
  double y = ReportLine(ctx, 0, "$>>%.% 縦方向接合部の照査");
  if (src.longitudinal_failed) {
    ctx.ReportError("縦方向耐力エラー");
    AnalysisFailedLine(ctx, y, "縦方向の解析ができなかったため、接合部の照査は行っていません。");
    return;
  }
  const LongitudinalJointResult* j = src.longitudinal_joint;
  if (!j) return;
  y = ReportLine(ctx, y, "$>>(%) 地震時最大軸力(計算結果)");
  for (int lv = 1; lv <= 2; ++lv) {
    const JointForceRecord& f = j->forces[static_cast<std::size_t>(lv)];
    y = ReportLine(ctx, y, lv == 1 ? "  1) レベル１地震動時" : "  2) レベル２地震動時");
    y = ReportLine(
        ctx, y,
        Format("    引張  部材 %3d  Nt =%10.2f   部材 %3d  Nb =%10.2f   計 N =%10.2f kN",
               f.tension.top, f.tension.Nt, f.tension.bottom, f.tension.Nb, f.tension.v));
    y = ReportLine(ctx, y,
                   Format("    圧縮  部材 %3d  Nt =%10.2f   部材 %3d  Nb =%10.2f   計 N =%10.2f kN",
                          f.compression.top, f.compression.Nt, f.compression.bottom,
                          f.compression.Nb, f.compression.v));
    if (!(f.tension.v > 0)) y = ReportLine(ctx, y, "    （引張力は作用しない）");
  }
  y = ReportLine(ctx, y, "$>>(%) 縦方向接合部の照査に用いる軸力");
  y = ReportLine(
      ctx, y,
      Format("    N+ =%10.2f kN    N- =%10.2f kN    Na =%10.2f kN", j->N_plus, j->N_minus, j->N_a));
  y = ReportLine(ctx, y, "$>>(%) 耐力照査");
  y = ReportLine(ctx, y, Format("    耐力  Pa =%12.1f N/m", j->Pcap));
  for (int lv = 0; lv < 2; ++lv) {
    const double t = j->forces[static_cast<std::size_t>(lv + 1)].tension.v * 1000;
    const bool ok = j->capacity_ok[static_cast<std::size_t>(lv)];
    y = ReportLine(ctx, y,
                   Format("    %s  N =%12.1f N/m  %s  Pa =%12.1f N/m", lv ? "Ｌ２" : "Ｌ１", t,
                          ok ? "≦" : "＞", j->Pcap));
    y = VerdictLine(ctx, y, lv ? "  Ｌ２耐力 " : "  Ｌ１耐力 ", ok, t / std::max(j->Pcap, 1e-9));
    if (!ok) ctx.ReportError("縦方向耐力エラー");
  }
  y = ReportLine(ctx, y, "$>>(%) 防水性能照査");
  const double ua[2] = {src.records ? src.records->joints.Ua1 : 0,
                        src.records ? src.records->joints.Ua2 : 0};
  y = ReportLine(ctx, y, Format("    ブロック長  ｌ =%8.1f mm", j->ell));
  for (int lv = 0; lv < 2; ++lv) {
    const double d = j->delta[static_cast<std::size_t>(lv)];
    const bool ok = j->opening_ok[static_cast<std::size_t>(lv)];
    y = ReportLine(ctx, y,
                   Format("    %s  目地の開き δ =%8.3f mm  %s  δa =%6.2f mm", lv ? "Ｌ２" : "Ｌ１",
                          d, ok ? "≦" : "＞", ua[lv]));
    y = VerdictLine(ctx, y, lv ? "  Ｌ２防水 " : "  Ｌ１防水 ", ok, ua[lv] > 0 ? d / ua[lv] : 0);
    if (!ok) ctx.ReportError("防水性能エラー");
  }
}

// The largest |M| or |S| of a state over every applying row of every wall.
double GoverningValue(const EndWallResult& e, int c) {
  double g = 0;
  for (int w = 0; w < e.wall_count; ++w)
    for (const EndWallRow& row :
         e.walls[static_cast<std::size_t>(w)][static_cast<std::size_t>(c)].rows)
      if (row.applies) {
        const double v = std::max(std::fabs(row.rec.M), std::fabs(row.rec.S));
        if (std::isnan(v)) return v;  // a value that is no number is checked (and fails)
        g = std::max(g, v);
      }
  return g;
}

// Chapter 8: loads and forces of the end walls, and their rebar.
double EndWallForces(ReportContext& ctx, double y, const EndWallResult& e) {
  const ReportSources& src = ctx.src;
  const bool two_way = e.method == kEndWallMethodTwoWay;
  y = ReportLine(ctx, y, "$>>%.% 荷重と断面力");
  y = ReportLine(ctx, y, "$>>(%) 構造条件");
  y = ReportLine(ctx, y, Format("    計算方法  %s", two_way ? "二方向版" : "単純梁"));
  if (src.records && src.records->model.ground_water)
    y = ReportLine(ctx, y,
                   Format("    地下水位  GL  － %6.3f [m]", src.records->model.ground_water_depth));
  else
    y = ReportLine(ctx, y, "    地下水位  GL  －  無し ");
  for (int w = 0; w < e.wall_count; ++w)
    y = ReportLine(
        ctx, y,
        Format("    端壁 %d  内空幅 %7.3f m   支間 %7.3f m", w + 1, e.inner_width[w], e.span[w]));
  for (int part = 0; part < 2; ++part) {
    y = ReportLine(ctx, y, part == 0 ? "$>>(%) 常時荷重" : "$>>(%) 地震時荷重");
    for (int w = 0; w < e.wall_count; ++w)
      for (int c = part == 0 ? 0 : 1; c <= (part == 0 ? 0 : 2); ++c) {
        const EndWallLoad& l = e.walls[w][c].load;
        y = ReportLine(ctx, y,
                       Format("    端壁 %d  %s  上端 p =%9.2f kN/m2   下端 p =%9.2f kN/m2", w + 1,
                              StateName(c), l.top, l.bottom));
      }
  }
  if (two_way) {
    y = ReportLine(ctx, y, "$>>(%) 荷重分担係数");
    y = ReportLine(ctx, y,
                   "    頂版・底版・側壁で支持された版として、版の解から各方向の断面力を求める。");
  } else {
    y = ReportLine(ctx, y, "$>>(%) 曲げモーメント及びせん断力の算出");
    y = ReportLine(ctx, y, "    頂版と底版で支持された単純梁として、縦方向の断面力を求める。");
  }
  // The h/2 of every support row: the shear is taken h/2 inside the support.
  for (int j = 1; j < kEndWallRows; j += 2) {
    const EndWallRow& row = e.walls[0][0].rows[j];
    if (!row.applies) continue;
    y = ReportLine(
        ctx, y, Format("    %s ： h/2 = %0.3f (m)", kEndWallPositions[j / 2], row.rec.k[1] / 2000));
  }
  y = ReportLine(ctx, y, "$>>(%) 曲げモーメント及びせん断力");
  y = ReportLine(ctx, y, "    端壁  状態  位置        断面      y (m)     M (kN･m/m)    S (kN/m)");
  for (int w = 0; w < e.wall_count; ++w)
    for (int c = 0; c < 3; ++c)
      for (int j = 0; j < kEndWallRows; ++j) {
        const EndWallRow& row = e.walls[w][c].rows[j];
        if (!row.applies) continue;
        y = ReportLine(ctx, y,
                       Format("    %3d   %s  %-10s  %s  %8.3f  %12.2f  %10.2f", w + 1, StateName(c),
                              kEndWallPositions[j / 2], row.support ? "支点" : "支間", row.y,
                              row.rec.M, row.rec.S));
      }
  y = ReportLine(ctx, y, "$>>%.% 鉄筋配置");
  for (int j = 0; j < kEndWallRows; j += 2) {
    const EndWallRow& row = e.walls[0][0].rows[j];
    if (!row.applies) continue;
    const auto& k = row.rec.k;
    y = ReportLine(
        ctx, y,
        Format("    %-10s  t =%6.0f mm  外側 As =%8.1f mm2 (かぶり%4.0f)  内側 As =%8.1f "
               "mm2 (かぶり%4.0f)",
               kEndWallPositions[j / 2], k[1], k[12], k[10], k[20], k[18]));
  }
  return y;
}

// Chapter 9: the section checks of every state, skipping only a state with
// no forces.
void EndWallChecks(ReportContext& ctx, const EndWallResult& e) {
  PrintEngine& pe = ctx.pe;
  bool first = true;
  double y = 0;
  for (int c = 0; c < 3; ++c) {
    ctx.NewPage();
    y = 0;
    if (first) y = ReportLine(ctx, y, "$>>%.% 断面応力度照査");
    first = false;
    y = PrintSection(pe, y, c < 2 ? "縦方向応力度照査 常時、Ｌ１" : "縦方向応力度照査 Ｌ２",
                     "ﾎﾞｯｸｽ/ｽﾀﾝﾄﾞ", 99);
    y = ReportLine(ctx, y, Format("  %s", StateLabel(c)));
    // The magnitude decides: a negative governing value is a load like any
    // other, and only this state is left out when it has no forces.
    if (GoverningValue(e, c) < 0.001) {
      y = ReportLine(ctx, y, "  断面力が生じないため、この状態の照査は省略する。");
      continue;
    }
    for (int w = 0; w < e.wall_count; ++w) {
      const EndWallCase& ec = e.walls[w][c];
      for (int j = 0; j < kEndWallRows; ++j) {
        const EndWallRow& row = ec.rows[j];
        if (!row.applies) continue;
        const bool failed = EndWallFlexureFails(row, ec.kind) || EndWallShearFails(row, ec.kind);
        const std::string title = Format("端壁 %d  %s  %s  %s", w + 1, kEndWallPositions[j / 2],
                                         row.support ? "支点部" : "支間部", StateLabel(c));
        ctx.build.summary.push_back(CheckSummaryLine(title, row.rec, ec.kind, failed));
        y = PrintCheckBlock(ctx, y, title, row.rec, ec.kind, failed);
      }
    }
  }
  const EndWallVerdict v = EndWallVerdictOf(e);
  y = VerdictLine(ctx, y, "端壁 ", v.ok, v.ratio, v.ok ? std::string() : v.text);
  if (!v.ok) ctx.ReportError(v.text);
}

void EndWalls(ReportContext& ctx) {
  const ReportSources& src = ctx.src;
  ctx.NewPage();
  double y = ReportLine(ctx, 0, "$>>%. 端壁の照査");
  if (src.longitudinal_failed) {
    AnalysisFailedLine(ctx, y, "縦方向の解析ができなかったため、端壁の照査は行っていません。");
    return;
  }
  const EndWallResult* e = src.end_walls;
  if (!e) return;
  if (e->input_error) {
    const EndWallVerdict v = EndWallVerdictOf(*e);
    ctx.ReportError(v.text);
    VerdictLine(ctx, y, "端壁 ", false, 0, v.text);
    return;
  }
  EndWallForces(ctx, y, *e);
  EndWallChecks(ctx, *e);
}

}  // namespace

void PrintLongitudinalCheckChapters(ReportContext& ctx) {
  LongitudinalResults(ctx);
  LongitudinalJoint(ctx);
  EndWalls(ctx);
}

}  // namespace vaultra
