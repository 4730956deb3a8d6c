#include "report/load_tables.h"

#include <algorithm>
#include <cmath>

#include "core/number.h"
#include "report/check_pages.h"
#include "report/force_diagrams.h"
#include "report/report_template.h"
#include "report/report_text.h"

namespace vaultra {

namespace {

constexpr auto& Fill = FillNext;
constexpr auto& Text = FillNextText;

std::size_t U(int i) {
  return static_cast<std::size_t>(i);
}

}  // namespace

double PrintTableRows(ReportContext& ctx, double y, std::string_view block, int n,
                      const std::function<void(int)>& fill, const std::function<void()>& foot) {
  PrintEngine& pe = ctx.pe;
  const std::vector<std::string>& lines = ReportBlock(block);
  if (lines.empty()) {
    ctx.ReportError(std::string("印刷ブロックがありません: ") + std::string(block));
    return y;
  }
  if (n <= 0) return y;
  int done = 0;
  while (done < n) {
    if (done == 0) SetLetter(pe, 'W');
    // The most rows of the rest that fit below y; at least three rows (or
    // the rest) on a part, else the part starts the next page.
    const int rest = n - done;
    int k = rest;
    while (k > 0 && !pe.FitsOnPage(y, BlockHeight(lines, k))) --k;
    if (k < std::min(rest, 3)) {
      y = ctx.BreakPage();
      if (done == 0) SetLetter(pe, 'W');
      k = rest;
      while (k > 1 && !pe.FitsOnPage(y, BlockHeight(lines, k))) --k;
    }
    y = PrintTemplate(pe, y, lines, done + 1, done + k);
    for (int i = done; i < done + k; ++i) fill(i);
    done += k;
    if (done == n && foot) foot();
    ClearLetters(pe, 'W');
  }
  return y;
}

double PrintSidePressure(ReportContext& ctx, double y, std::string_view block,
                         const SidePressureTable& t, int level) {
  PrintEngine& pe = ctx.pe;
  const auto l = U(std::clamp(level, 0, 2));
  return PrintTableRows(ctx, y, block, t.Count(), [&](int i) {
    const SideRow& r = t.rows[U(i)];
    Fill(pe, r.z);
    Fill(pe, r.gamma);
    Fill(pe, r.t);
    Fill(pe, r.p[l]);
    Fill(pe, r.half_p[l]);
  });
}

double PrintEarthPressure(ReportContext& ctx, double y, int variant, int direction) {
  PrintEngine& pe = ctx.pe;
  const PressureTables& p = *ctx.src.pressure;
  const PressureReport& rep = p.report;
  const auto v = U(std::clamp(variant, 0, 1));
  const CoverLoadTable& cl = rep.cover_load[v];
  if (direction == kTransverse) {
    y = PrintTableRows(ctx, y, "土圧", static_cast<int>(cl.entries.size()), [&](int i) {
      const CoverLoadEntry& e = cl.entries[U(i)];
      Text(pe, e.name);
      Fill(pe, e.p);
      Fill(pe, e.len);
      Fill(pe, e.force);
      Fill(pe, e.count);
    });
    y = ctx.Block(y, "土圧 覆土荷重 合計");
    Fill(pe, cl.total);
    Fill(pe, cl.width);
    Fill(pe, cl.per_width);
    const CoverSoilRows& cs = rep.cover_soil;
    y = PrintTableRows(
        ctx, y, "土圧 覆土", static_cast<int>(cs.rows.size()),
        [&](int i) {
          const ReportRow& r = cs.rows[U(i)];
          Text(pe, r.name);
          Fill(pe, r.k);
          Fill(pe, r.gamma);
          Fill(pe, r.t);
          Fill(pe, r.value);
        },
        [&] {
          double t = 0;
          for (const ReportRow& r : cs.rows) t += r.t;
          Fill(pe, t);
          Fill(pe, cs.total);
        });
  }
  const StaticEarthRows& se = rep.static_earth[U(direction == kTransverse ? 0 : 1)];
  if (!se.rows.empty()) {
    y = PrintTableRows(ctx, y, "土圧 静止土圧", static_cast<int>(se.rows.size()), [&](int i) {
      if (i == 0) Fill(pe, se.case_mark);
      const ReportRow& r = se.rows[U(i)];
      Text(pe, r.name);
      Fill(pe, r.k);
      Fill(pe, r.z);
      Fill(pe, r.t);
      Fill(pe, r.gamma);
      Fill(pe, r.value);
      Fill(pe, r.sum);
    });
  }
  const SidePressureTable& side = p.side[v][U(direction == kTransverse ? 0 : 1)];
  return PrintSidePressure(ctx, y, "土圧分布", side, 0);
}

double PrintWaterPressure(ReportContext& ctx, double y) {
  PrintEngine& pe = ctx.pe;
  const ExternalWaterTable& w = ctx.src.pressure->water;
  // Without groundwater there is no level to compare with the facility.
  const bool ground_water = ctx.src.records && ctx.src.records->model.ground_water;
  if (w.rows.empty()) y = ctx.Block(y, ground_water ? "水圧 地下水なし" : "水圧 地下水無し");
  y = PrintTableRows(ctx, y, "水圧", static_cast<int>(w.rows.size()), [&](int i) {
    const WaterRow& r = w.rows[U(i)];
    Text(pe, r.name);
    Fill(pe, r.z);
    Fill(pe, r.dz);
    Fill(pe, r.dp);
    Fill(pe, r.gamma_w);
    Fill(pe, r.p);
  });
  y = ctx.Block(y, "内水圧");
  // The reaction is a load of the normal state only (the seismic cases
  // stand on the ground springs).
  bool normal = true;
  for (const InternalWaterLevel& l : ctx.src.pressure->report.internal_water) {
    Fill(pe, l.h);
    Fill(pe, l.floor);
    if (normal)
      Fill(pe, l.reaction);
    else
      Text(pe, "－");
    normal = false;
  }
  return y;
}

double PrintResponsePressure(ReportContext& ctx, double y, const std::array<ResponseRow, 6>& rows) {
  PrintEngine& pe = ctx.pe;
  static const char* const kLevel[] = {"", "レベル１地震動時", "レベル２地震動時"};
  for (int l = 1; l <= 2; ++l) {
    if (l == 1) SetLetter(pe, 'X');  // the heading once, above level 1
    // The title field belongs to the first part; the rows follow it.
    bool titled = false;
    y = PrintTableRows(ctx, y, "地震時土圧（応答変位荷重）", 5, [&](int i) {
      if (!titled) FillTextNamed(pe, kLevel[l], "TITLE", true);
      titled = true;
      const ResponseRow& r = rows[U(i + 1)];
      const auto k = U(l);
      Fill(pe, r.z);
      Fill(pe, r.u[k]);
      Fill(pe, r.ub[k]);
      Fill(pe, r.du[k]);
      Fill(pe, r.kh[k]);
      Fill(pe, r.p[k]);
    });
  }
  return y;
}

double PrintInertia(ReportContext& ctx, double y, const InertiaTable& t) {
  PrintEngine& pe = ctx.pe;
  y = PrintTableRows(ctx, y, "慣性力", static_cast<int>(t.entries.size()), [&](int i) {
    const InertiaEntry& e = t.entries[U(i)];
    Text(pe, e.name);
    Fill(pe, e.z);
    Fill(pe, e.t);
    Fill(pe, e.w);
    Fill(pe, e.kh[1]);
    Fill(pe, e.q[1]);
    Fill(pe, e.kh[2]);
    Fill(pe, e.q[2]);
  });
  // kh is printed to the 4 decimals it is used with; its source:
  if (const GroundQuantities* g = ctx.src.ground)
    y = ReportLine(
        ctx, y,
        Format("    ｋh ＝ (1 － 0.015・ｚ)・ｋh0 を小数4桁に丸める   地表面 ｋh01 ＝ %.4f"
               "   ｋh02 ＝ %.4f",
               ForPrint(g->kh1, 4), ForPrint(g->kh2, 4)));
  return y;
}

void PrintCoverInertia(ReportContext& ctx, double y, const CoverRecord& c) {
  PrintEngine& pe = ctx.pe;
  y = ctx.Block(y, "覆土慣性力");
  const SeismicTables* st = ctx.src.seismic;
  const GroundQuantities* g = ctx.src.ground;
  if (st && g && !ctx.response_displacement()) {
    // The values of the load the frame's top slab carries (case 13, 22):
    // taken at the depth of the top slab's axis, not capped by s.
    for (int l = 1; l <= 2; ++l) {
      Fill(pe, l == 1 ? g->kh1 : g->kh2);
      Fill(pe, st->cover_shear_kh[static_cast<std::size_t>(l)]);
      Fill(pe, st->TopSlabShear(l));
      Fill(pe, st->TopSlabShear(l));
    }
    Fill(pe, st->cover_shear_sigma_v);
    Fill(pe, st->cover_shear_depth);
  } else {
    for (const CoverShear& sh : c.shear) {
      Fill(pe, sh.k);
      Fill(pe, sh.kh);
      Fill(pe, sh.tau);
      Fill(pe, sh.governing);
    }
    Fill(pe, c.sigma_v);
    Fill(pe, c.zc);
  }
  Fill(pe, st && g && !ctx.response_displacement() ? st->strength_top[1] : c.s);
  Fill(pe, c.c);
  Fill(pe, c.phi);
  if (st && g && !ctx.response_displacement())
    ReportLine(
        ctx, y,
        "    採用値は頂版に載荷する値（ｚc は頂版軸線の深さ、ｋh ＝ (1 － 0.015・ｚc/2)・Ｋ）");
}

double PrintHydrodynamic(ReportContext& ctx, double y, int direction) {
  PrintEngine& pe = ctx.pe;
  static const char* const kLevel[] = {"", "（レベル１地震動時）", "（レベル２地震動時）"};
  static const char* const kMode[] = {"", "貯留水はすべて固定水として扱う。",
                                      "貯留水はすべて自由水として扱う。",
                                      "貯留水は固定水と自由水に分けて扱う。"};
  const auto d = U(direction == kTransverse ? 0 : 1);
  for (int l = 1; l <= 2; ++l) {
    const HydroTable& h = ctx.src.seismic->hydro[d][U(l)];
    bool headed = false;
    auto head = [&] {
      if (headed) return;
      headed = true;
      FillTextNamed(pe, kLevel[l], "TITLE", true);
      Fill(pe, h.h);
      Fill(pe, h.kh);
      Fill(pe, h.f);
      Fill(pe, h.pf);
      FillTextNamed(pe, kMode[std::clamp(h.mode, 0, 3)], "JUDGE", true);
    };
    const int n = static_cast<int>(h.rows.size());
    if (l == 1) SetLetter(pe, 'X');  // the heading once, above level 1
    if (n == 0) {
      SetLetter(pe, 'W');
      y = ctx.Block(y, "動水圧", 1, 1);
      head();
      continue;
    }
    y = PrintTableRows(ctx, y, "動水圧", n, [&](int i) {
      head();
      Fill(pe, h.rows[U(i)].first);
      Fill(pe, h.rows[U(i)].second);
    });
  }
  return y;
}

double PrintAnalysisModel(ReportContext& ctx, double y, const StructureModel& model,
                          const FrameModel& frame, bool longitudinal) {
  PrintEngine& pe = ctx.pe;
  y = ctx.Block(y, longitudinal ? "縦方向・解析モデル" : "解析モデル");
  // The frame figure: members, nodes, member numbers and node numbers.
  y = ctx.EnsureRoom(y, 40);
  if (ctx.src.block_row && model.member_count > 0) {
    Figure fig = MakeFigure(model, *ctx.src.block_row, ctx.stand() ? kLayoutStand : kLayoutBox,
                            longitudinal);
    if (pe.drawing) {
      const double top = y;
      PrintFrameFigure(pe, top, fig);
      DrawNodeNumbers(pe, fig);
      pe.SetBodyFont();
    }
  }
  y += 40;
  const int sections = frame.sections.Count();
  y = PrintTableRows(ctx, y, "物性データ", sections, [&](int i) {
    const FrameSection& s = frame.sections.At(i + 1);
    Text(pe, Format("%9.3e", s.area));
    Text(pe, Format("%9.3e", s.inertia));
    // E of the material the members of this section use.
    int mi = 0;
    for (const FrameMember& m : frame.members)
      if (m.section == s.number) {
        mi = FindByNumber(frame.materials, m.material);
        break;
      }
    Text(pe, mi ? Format("%9.3e", frame.materials.At(mi).e) : std::string());
  });
  return PrintTableRows(ctx, y, "部材データ", frame.members.Count(), [&](int i) {
    const FrameMember& m = frame.members.At(i + 1);
    Fill(pe, m.node_i);
    Fill(pe, m.node_j);
    Fill(pe, m.section);
    Fill(pe, m.material);
    Text(pe, std::string(m.end_i == kEndPin ? "ピン" : "剛") + "-" +
                 (m.end_j == kEndPin ? "ピン" : "剛"));
  });
}

// ---- chapter 19: load states ----

const std::vector<LoadStateKind>& LoadStateKinds() {
  static const std::vector<LoadStateKind> kKinds = {
      {"常時荷重", {1, 2, 3, 4, 5, 6, 7}},      {"Ｌ１地震時固定荷重", {8, 9, 10, 14}},
      {"Ｌ１地震時荷重", {11, 12, 13, 15, 16}}, {"Ｌ２地震時固定荷重", {17, 18, 19, 23}},
      {"Ｌ２地震時荷重", {20, 21, 22, 24, 25}},
  };
  return kKinds;
}

bool LoadCaseInUse(const FrameModel& frame, int case_number) {
  const int ci = FindByNumber(frame.load_cases, case_number);
  if (ci == 0) return false;
  const FrameLoadCase& c = frame.load_cases.At(ci);
  return !c.name.empty() || c.items.Count() > 0;
}

double LoadStateBlockHeight() {
  return 8 * kStepLine + 38;
}

double PrintLoadStates(ReportContext& ctx, double y, Figure& fig, const FrameModel& frame) {
  PrintEngine& pe = ctx.pe;
  // Groups of blocks: all blocks at once when they fit one figure.
  std::vector<std::pair<int, int>> groups;
  if (fig.block_count <= kLoadStateBlocksPerGroup)
    groups.emplace_back(0, 0);
  else
    for (int f = 1; f <= fig.block_count; f += kLoadStateBlocksPerGroup)
      groups.emplace_back(f, std::min(kLoadStateBlocksPerGroup, fig.block_count - f + 1));
  bool first_kind = true;
  for (const LoadStateKind& kind : LoadStateKinds()) {
    std::vector<int> cases;
    for (int c : kind.cases)
      if (LoadCaseInUse(frame, c)) cases.push_back(c);
    if (cases.empty()) continue;
    for (std::size_t g = 0; g < groups.size(); ++g) {
      if (!first_kind) {
        ctx.NewPage();
        y = 0;
      }
      if (first_kind) y = ctx.Block(y, "荷重状態図");
      first_kind = false;
      if (g == 0) y = PrintTemplate(pe, y, {"+F2-|$>>(%) " + std::string(kind.heading)}, 0, 0);
      for (int c : cases) {
        y = ctx.EnsureRoom(y, LoadStateBlockHeight());
        if (pe.drawing) {
          PrintLoadStatePage(pe, y, fig, frame, c, groups[g].first, groups[g].second);
          pe.SetBodyFont();
        }
        y += LoadStateBlockHeight();
      }
    }
  }
  return y;
}

}  // namespace vaultra
