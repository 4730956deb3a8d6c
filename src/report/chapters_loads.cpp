// Chapters 13 to 21 (loads, analysis model, load states, combinations and
// supports, points of interest) and the longitudinal load and model
// chapters. Every value is the one the load generators and the frame
// assembly kept; nothing is worked out again for print.
#include <algorithm>
#include <cmath>

#include "core/number.h"
#include "report/chapters.h"
#include "report/check_pages.h"
#include "report/load_tables.h"
#include "report/report_template.h"
#include "report/report_text.h"

namespace vaultra {

namespace {

constexpr auto& Fill = FillNext;
constexpr auto& Text = FillNextText;
std::size_t U(int i) {
  return static_cast<std::size_t>(i);
}

bool HasLoads(const ReportContext& ctx) {
  return ctx.src.records && ctx.src.pressure && ctx.src.seismic && ctx.src.transverse;
}

// ---- chapter 13: surcharge and self weight ----
void Chapter13(ReportContext& ctx, double y) {
  PrintEngine& pe = ctx.pe;
  y = ctx.Block(y, "荷重");
  if (!HasLoads(ctx)) return;
  const LoadsRecord& lr = ctx.src.records->loads;
  const PressureReport& rep = ctx.src.pressure->report;
  if (!ctx.opt.formulas) SetLetter(pe, 'Y');
  y = ctx.Block(y, "載荷荷重");
  Fill(pe, rep.q);
  if (ctx.opt.formulas) {
    Fill(pe, lr.kah);
    Fill(pe, rep.q);
  }
  Fill(pe, rep.kah_q);
  const WeightTable& w = ctx.src.pressure->weights;
  std::vector<int> used;
  for (int r = 1; r < static_cast<int>(w.rows.size()); ++r)
    if (w.rows[U(r)].used) used.push_back(r);
  y = PrintTableRows(ctx, y, "自重", static_cast<int>(used.size()), [&](int i) {
    const WeightRow& row = w.rows[U(used[U(i)])];
    Text(pe, row.name);
    Text(pe, row.symbol);
    Fill(pe, row.t);
    Fill(pe, row.len);
    Fill(pe, row.n);
    Fill(pe, row.w);
    Fill(pe, row.wc);
  });
  ctx.Block(y, "自重 合計");
  Fill(pe, w.total);
  // Only the normal state loads the bottom slab with the reaction; the
  // seismic cases stand on the ground springs and carry none.
  Fill(pe, w.reaction[0]);
  Text(pe, "－");
  Text(pe, "－");
}

// ---- chapter 14: earth pressure, rear wheel, water (one page run) ----
void Chapter14(ReportContext& ctx, double y) {
  if (!HasLoads(ctx)) return;
  PrintEngine& pe = ctx.pe;
  y = PrintEarthPressure(ctx, y, 0, kTransverse);
  const LoadsRecord& lr = ctx.src.records->loads;
  const RearWheelReport& rw = ctx.src.pressure->report.rear_wheel;
  const int n = static_cast<int>(rw.entries.size());
  y = ctx.Block(y, "後輪荷重", 1, std::max(n, 1));
  Fill(pe, lr.ps);
  Fill(pe, lr.pb);
  for (const WheelReportEntry& e : rw.entries) {
    Fill(pe, e.pw);
    Fill(pe, e.width);
    Fill(pe, e.count);
  }
  if (n == 0)
    for (int k = 0; k < 3; ++k) Fill(pe, 0);
  Fill(pe, rw.total);
  Fill(pe, rw.per_width);
  if (ctx.opt.formulas)
    for (std::size_t k = 0; k < rw.entries.size(); ++k) {
      const WheelZone& z = rw.entries[k].zone;
      y = ReportLine(
          ctx, y,
          Format("  [式] No.%d  ｐw ＝ 2・Ｐ・(1＋ｉ)・β／(2.75・ｗ) ＝ 2×%.2f×(1＋%.2f)×%.2f"
                 "／(2.75×%.3f) ＝ %.3f",
                 static_cast<int>(k) + 1, z.P, z.impact, z.beta, z.width, z.pw));
      y = ReportLine(
          ctx, y,
          Format("        ｗ ＝ 2・Ｄ＋0.2 ＝ 2×%.3f＋0.2 ＝ %.3f m   （Ｄ：部材上の土被り、"
                 "ｉ：衝撃係数、β：低減係数）",
                 z.cover, z.width));
    }
  PrintWaterPressure(ctx, y);
}

// ---- chapter 15: seismic loads by method ----
double Chapter15(ReportContext& ctx) {
  PrintEngine& pe = ctx.pe;
  // The heading sits at the top line of its page.
  double y = ctx.Block(0, "地震時荷重");
  if (!HasLoads(ctx)) return y;
  const PressureTables& p = *ctx.src.pressure;
  const std::size_t v = ctx.src.records->loads.strata ? 1 : 0;
  if (!ctx.response_displacement()) {
    static const char* const kLevel[] = {"", "（レベル１地震動時）", "（レベル２地震動時）"};
    for (int l = 1; l <= 2; ++l) {
      if (l == 2) y = ctx.BreakPage();
      bool titled = false;
      const SidePressureTable& t = p.side[v][0];
      y = PrintTableRows(ctx, y, "地震時水平土圧", t.Count(), [&](int i) {
        if (!titled) FillTextNamed(pe, kLevel[l], "TITLE", true);
        titled = true;
        const SideRow& r = t.rows[U(i)];
        Fill(pe, r.z);
        Fill(pe, r.gamma);
        Fill(pe, r.t);
        Fill(pe, r.p[U(l)]);
        Fill(pe, r.half_p[U(l)]);
      });
    }
  } else if (ctx.src.records->loads.strata) {
    y = PrintEarthPressure(ctx, y, 1, kTransverse);
  }
  y = ctx.Block(y, "地震時水圧");
  return PrintWaterPressure(ctx, y);
}

// ---- chapter 16: response-displacement loads or inertia and cover inertia ----
void Chapter16(ReportContext& ctx, double y) {
  if (!HasLoads(ctx)) return;
  PrintEngine& pe = ctx.pe;
  const SeismicTables& s = *ctx.src.seismic;
  const std::vector<CoverRecord>& cover = ctx.src.pressure->cover[0];
  if (ctx.response_displacement()) {
    if (y > 50) y = ctx.BreakPage();
    y = PrintResponsePressure(ctx, y, s.response);
    y = PrintInertia(ctx, y, s.inertia);
    y = ctx.Block(y, "地震時周面せん断力");
    // The side-wall column prints the value the frame applies.
    for (int l = 1; l <= 2; ++l) {
      for (int k = 0; k < 4; ++k) Fill(pe, s.shear[U(l)][U(k)]);
      Fill(pe, s.SideWallShear(l));
    }
    Fill(pe, s.strength_top[1]);
    Fill(pe, s.strength_bottom[1]);
    return;
  }
  y = PrintInertia(ctx, y, s.inertia);
  if (cover.empty()) return;
  PrintCoverInertia(ctx, y, cover.front());
}

// ---- chapter 17: hydrodynamic pressure ----
void Chapter17(ReportContext& ctx, double y) {
  PrintHydrodynamic(ctx, y, kTransverse);
}

// ---- chapter 18: the analysis model ----
void Chapter18(ReportContext& ctx, double y) {
  if (!ctx.src.transverse || !ctx.src.transverse_frame) {
    ctx.Block(y, "解析モデル");
    return;
  }
  PrintAnalysisModel(ctx, y, *ctx.src.transverse, *ctx.src.transverse_frame, false);
}

// ---- chapter 19: load states ----
void Chapter19(ReportContext& ctx, double y) {
  const ReportSources& src = ctx.src;
  if (!src.transverse || !src.transverse_frame || !src.block_row ||
      src.transverse->member_count == 0) {
    ctx.Block(y, "荷重状態図");
    return;
  }
  Figure fig =
      MakeFigure(*src.transverse, *src.block_row, ctx.stand() ? kLayoutStand : kLayoutBox, false);
  PrintLoadStates(ctx, y, fig, *src.transverse_frame);
}

// "1～7" style lists of the load cases of a combination.
std::string CaseList(const FrameCombination& c) {
  std::string out;
  int run_start = 0, prev = 0;
  auto flush = [&] {
    if (run_start == 0) return;
    if (!out.empty()) out += ", ";
    out += prev > run_start ? Format("%d～%d", run_start, prev) : Format("%d", run_start);
  };
  for (const FrameCombinationEntry& e : c.entries) {
    if (run_start != 0 && e.load_case == prev + 1) {
      prev = e.load_case;
      continue;
    }
    flush();
    run_start = prev = e.load_case;
  }
  flush();
  return out;
}

const char* SupportName(int type) {
  switch (type) {
    case 1:
      return "ピン（水平・鉛直）";
    case 2:
      return "ローラー（鉛直）";
    case 3:
      return "ローラー（水平）";
    case 4:
      return "固定";
    case 5:
      return "ばね支持";
    default:
      return "";
  }
}

// "min～max" of a spring constant over a spring case, or the one value.
std::string SpringRange(const FrameSpringCase& c, double FrameSpring::*k) {
  if (c.springs.Empty()) return "";
  double lo = c.springs.At(1).*k, hi = lo;
  for (const FrameSpring& s : c.springs) {
    lo = std::min(lo, s.*k);
    hi = std::max(hi, s.*k);
  }
  return std::fabs(hi - lo) < 0.5 ? Format("%.0f", lo) : Format("%.0f～%.0f", lo, hi);
}

// ---- chapter 20: combinations, supports and ground springs ----
void Chapter20(ReportContext& ctx, double y) {
  PrintEngine& pe = ctx.pe;
  const FrameModel* f = ctx.src.transverse_frame;
  if (!f) {
    ctx.Block(y, "荷重の組合せ 表", 1, 1);
    return;
  }
  y = PrintTableRows(ctx, y, "荷重の組合せ 表", f->combinations.Count(), [&](int i) {
    const FrameCombination& c = f->combinations.At(i + 1);
    Text(pe, c.name);
    Text(pe, CaseList(c));
  });
  y = ctx.Block(y, "支点条件及び地震時の地盤ばね");
  const FrameSupportCase* normal = f->support_cases.Empty() ? nullptr : &f->support_cases.At(1);
  FillTextNamed(pe, normal ? "" : "（支点なし）", "SUPPORT", true);
  if (normal)
    y = PrintTableRows(ctx, y, "支点条件 表", normal->supports.Count(), [&](int i) {
      const FrameSupport& s = normal->supports.At(i + 1);
      Fill(pe, s.node);
      Text(pe, SupportName(s.type));
      for (int k = 0; k < 3; ++k)
        Text(pe, s.type == 5 ? Format("%9.3e", s.values[U(k)]) : std::string("－"));
    });
  const int n = f->spring_cases.Count();
  if (n == 0) return;
  y = ctx.EnsureRoom(y, BlockHeight(ReportBlock("地震時の地盤ばね"), std::min(n, 3)));
  PrintTableRows(ctx, y, "地震時の地盤ばね", n, [&](int i) {
    const FrameSpringCase& c = f->spring_cases.At(i + 1);
    Text(pe, c.name);
    Fill(pe, c.springs.Count());
    Text(pe, SpringRange(c, &FrameSpring::k_normal));
    Text(pe, SpringRange(c, &FrameSpring::k_tangent));
  });
}

// ---- chapter 21: points of interest ----

// The members of the table (those with a point of interest), vertical or
// horizontal ones only when split is set.
std::vector<int> InterestMembers(const StructureModel& m, int split) {
  std::vector<int> out;
  for (int k = 1; k <= m.member_count; ++k) {
    const ModelMember& mm = m.Member(k);
    bool any = false;
    for (double d : mm.points) any = any || d > 0;
    if (!any) continue;
    const ModelNode& a = m.Node(mm.node_i);
    const ModelNode& b = m.Node(mm.node_j);
    const bool vertical = std::fabs(a.x - b.x) <= std::fabs(a.y - b.y);
    if (split == 1 && !vertical) continue;
    if (split == 2 && vertical) continue;
    out.push_back(k);
  }
  return out;
}

double PrintInterestTable(ReportContext& ctx, double y, const StructureModel& m,
                          const std::vector<int>& members) {
  PrintEngine& pe = ctx.pe;
  // Two rows per member: distances from the i-end, then from the j-end.
  return PrintTableRows(ctx, y, "着目点位置 表", 2 * static_cast<int>(members.size()), [&](int i) {
    const ModelMember& mm = m.Member(members[U(i / 2)]);
    const int e = i % 2 == 0 ? 0 : 4;
    const auto P = [&](int k) { return mm.points[U(e + k)]; };
    Text(pe, Format("%3d %s", mm.number, e == 0 ? "i端" : "j端"));
    Fill(pe, mm.length);
    Text(pe, Format("%0.3f", P(0)));
    Text(pe, Format("%0.3f, %0.3f", P(1), P(2)));
    Text(pe, Format("%0.3f <%0.3f>", P(3), mm.length - P(3)));
  });
}

// The output points without a label that hold a member's largest ratio of a
// check: they are checked and printed like the points of interest.
double PrintGoverningOutputPoints(ReportContext& ctx, double y) {
  const MemberCheckTables* t = ctx.src.checks;
  if (!t) return y;
  std::vector<std::string> lines;
  for (int m = 1; m <= t->member_count; ++m)
    for (int kind = 0; kind < kCheckCombinations; ++kind) {
      const MemberCheckTable& tb = t->At(kind, m);
      const int governing = GoverningRowOf(tb).row;
      for (GoverningCheck c :
           {GoverningCheck::kFlexure, GoverningCheck::kShear, GoverningCheck::kCapacityDesign}) {
        const int p = LargestRatioRow(tb, c);
        if (p == 0 || !tb.Row(p).label.empty()) continue;
        lines.push_back(Format("    部材No.%-3d %s  %s  %s 照査比 %.3f%s", m,
                               PointName(tb.Row(p), p).c_str(), StateName(kind),
                               GoverningName(c, kind).c_str(), CheckRatio(tb.Row(p), c),
                               p == governing ? "  (部材の最大照査比)" : ""));
      }
    }
  if (lines.empty()) return y;
  y = ReportLine(ctx, y, "");
  y = ReportLine(ctx, y, "  着目点のほかに、照査比が最大となる出力点（照査位置として印刷する）");
  for (const std::string& line : lines) y = ReportLine(ctx, y, line);
  return y;
}

void Chapter21(ReportContext& ctx, double y) {
  const StructureModel* m = ctx.src.transverse;
  if (ctx.stand()) {
    y = PrintSection(ctx.pe, y, "着目点位置", "ｽﾀﾝﾄﾞ", 99);
    if (m) y = PrintInterestTable(ctx, y, *m, InterestMembers(*m, 0));
    PrintGoverningOutputPoints(ctx, y);
    return;
  }
  y = PrintSection(ctx.pe, y, "着目点位置", "ﾎﾞｯｸｽ-1", 99);
  if (m) PrintInterestTable(ctx, y, *m, InterestMembers(*m, 1));
  ctx.NewPage();
  y = PrintSection(ctx.pe, 0, "着目点位置", "ﾎﾞｯｸｽ-2", 99);
  if (m) y = PrintInterestTable(ctx, y, *m, InterestMembers(*m, 2));
  PrintGoverningOutputPoints(ctx, y);
}

}  // namespace

void PrintLoadChapters(ReportContext& ctx) {
  ctx.NewPage();
  Chapter13(ctx, 0);
  ctx.NewPage();
  Chapter14(ctx, 0);
  ctx.NewPage();
  // Chapter 16 follows on the page run of chapter 15.
  Chapter16(ctx, Chapter15(ctx));
  if (ctx.build.water_depth_max != 0 && HasLoads(ctx)) {
    ctx.NewPage();
    Chapter17(ctx, 0);
  }
  ctx.NewPage();
  Chapter18(ctx, 0);
  ctx.NewPage();
  Chapter19(ctx, 0);
  ctx.NewPage();
  Chapter20(ctx, 0);
  ctx.NewPage();
  Chapter21(ctx, 0);
}

void PrintLongitudinalLoadChapters(ReportContext& ctx) {
  PrintEngine& pe = ctx.pe;
  const ReportSources& src = ctx.src;
  // 3. Loads of the longitudinal model.
  ctx.NewPage();
  double y = ctx.Block(0, "固定荷重");
  if (HasLoads(ctx) && src.longitudinal_tables) {
    const LongitudinalTables& lt = *src.longitudinal_tables;
    y = PrintTableRows(ctx, y, "縦方向 断面", 4, [&](int i) {
      const LongSection& s = lt.sections[U(i + 1)];
      Text(pe, s.name);
      Fill(pe, s.B);
      Fill(pe, s.t);
      Fill(pe, s.wl);
      Fill(pe, s.A);
      Fill(pe, s.I);
    });
    for (int k = 1; k <= 4; ++k) Fill(pe, lt.v[U(k)]);
    if (src.longitudinal_frame && src.longitudinal_frame->load_cases.Count() >= 1) {
      // The self weight is carried by the ground under the bottom members alone.
      const FrameLoadCase& c1 = src.longitudinal_frame->load_cases.At(1);
      y = ReportLine(
          ctx, y,
          Format("  自重の釣合い  ΣW = %.3f kN   底版反力 ΣR = %.3f kN   ΣW − ΣR = "
                 "%.3f kN  (点支承の負担なし)",
                 -c1.own_weight, c1.balancing_reaction, -c1.own_weight - c1.balancing_reaction));
    }
    y = PrintEarthPressure(ctx, y, 0, kLongitudinal);
    y = PrintWaterPressure(ctx, y);
    if (ctx.response_displacement()) {
      y = ctx.Block(y, "地震動荷重");
      y = PrintResponsePressure(ctx, y, lt.response);
      y = PrintInertia(ctx, y, lt.inertia);
      ctx.Block(y, "周面せん断力");
    } else {
      ctx.NewPage();
      y = ctx.Block(0, "地震時荷重");
      y = PrintSidePressure(ctx, y, "地震時水平土圧",
                            src.pressure->side[src.records->loads.strata ? 1 : 0][1], 1);
      y = PrintSidePressure(ctx, y, "地震時水平土圧",
                            src.pressure->side[src.records->loads.strata ? 1 : 0][1], 2);
      y = PrintInertia(ctx, y, lt.inertia);
      if (!src.pressure->cover[0].empty()) {
        PrintCoverInertia(ctx, y, src.pressure->cover[0].front());
      }
    }
  }
  // 4. Hydrodynamic pressure of the longitudinal direction.
  if (ctx.build.water_depth_max != 0 && HasLoads(ctx)) {
    ctx.NewPage();
    PrintHydrodynamic(ctx, 0, kLongitudinal);
  }
  // 5. The longitudinal model.
  ctx.NewPage();
  if (src.longitudinal && src.longitudinal_frame)
    PrintAnalysisModel(ctx, 0, *src.longitudinal, *src.longitudinal_frame, true);
  else
    ctx.Block(0, "縦方向・解析モデル");
}

}  // namespace vaultra
