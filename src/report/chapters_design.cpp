// Chapters 1 to 12: design conditions, analysis conditions, materials,
// safety factors, ground, ground characteristics and ground springs. Every
// value is taken from the records the calculation used.
#include <algorithm>
#include <array>
#include <cmath>

#include "core/cp932.h"
#include "core/number.h"
#include "report/chapters.h"
#include "report/design_texts.h"
#include "report/report_template.h"
#include "report/report_text.h"

namespace vaultra {

namespace {

constexpr auto& Fill = FillNext;

// ---- chapter 1: design conditions and the facility overview ----
void Chapter1(ReportContext& ctx, double y) {
  PrintEngine& pe = ctx.pe;
  SetLetter(pe, ctx.response_displacement() ? 'X' : 'Y');
  // The opening sentence names the directions the report covers.
  SetLetter(pe, ctx.longitudinal_check() ? 'L' : 'M');
  y = PrintSection(pe, y, "設計条件", ctx.TypeWord(), 99);
  if (!ctx.src.records) return;
  const ModelRecord& m = ctx.src.records->model;
  SetLetter(pe, m.ground_water ? 'V' : 'Z');
  PrintSection(pe, y, "1.1 施設概要表", ctx.TypeWord(), 99);
  FillUserTextNamed(pe, "NAME", m.name);
  FillTextNamed(pe, FacilityTypeName(m.type_list_index), "TYPE", true);
  const auto row = static_cast<std::size_t>(m.block_row_index);
  if (row < m.block_table.size()) FillUserTextNamed(pe, "PROD", m.block_table[row].name);
  Fill(pe, m.B);
  Fill(pe, m.H);
  if (ctx.stand()) {
    Fill(pe, m.W);
    Fill(pe, m.top_slabs);
  } else {
    Fill(pe, m.centre_blocks);
  }
  Fill(pe, m.cover_depth);
  if (m.ground_water) Fill(pe, m.ground_water_depth);
  for (int k = 0; k < 3; ++k) Fill(pe, ctx.build.water_depth[static_cast<std::size_t>(k)]);
  FillTextNamed(pe, m.longitudinal_check ? "行う" : "行わない", "TATE", true);
}

// ---- chapter 2: standards ----
void Chapter2(ReportContext& ctx, double y) {
  PrintSection(ctx.pe, y, "適用基準", "ｽﾀﾝﾄﾞ", 99);
}

// ---- chapter 3: analysis conditions ----
void Chapter3(ReportContext& ctx, double y) {
  PrintEngine& pe = ctx.pe;
  if (!ctx.src.records) return;
  const InputRecords& r = *ctx.src.records;
  const ModelRecord& m = r.model;
  if (ctx.longitudinal_check()) SetLetter(pe, 'X');
  SetLetter(pe, m.ground_water ? 'V' : 'Z');
  y = ctx.Block(y, "解析条件");
  FillTextNamed(pe, FacilityTypeName(m.type_list_index), "TYPE", true);
  Fill(pe, m.H);
  Fill(pe, m.B);
  Fill(pe, ctx.src.transverse ? ctx.src.transverse->span_count : 0);
  Fill(pe, m.cover_depth);
  if (m.ground_water) Fill(pe, m.ground_water_depth);
  Fill(pe, r.loads.q);
  for (int k = 0; k < 3; ++k) Fill(pe, ctx.build.water_depth[static_cast<std::size_t>(k)]);
  FillTextNamed(pe, m.longitudinal_check ? "行う" : "行わない", "TATE", true);

  y = ctx.Block(y, "単位体積重量");
  Fill(pe, r.materials.Column(1).gamma_c);
  Fill(pe, r.materials.gamma_plain);
  Fill(pe, r.loads.gamma_t);
  Fill(pe, r.loads.gamma_sub);
  Fill(pe, r.loads.gamma_w);

  y = ctx.Block(y, "耐震計算条件");
  FillTextNamed(pe, MethodName(r.loads.method), "METHOD", true);
  FillTextNamed(pe, RegionName(r.loads.region), "REGION", true);
  FillTextNamed(pe, SpringFormulaText(r.loads.sv1_standard, r.loads.spring_formula), "SPRING",
                true);
  y = ctx.Block(y, "断面算定法");
  // The analysis that computed the results. The demo solver's reports say
  // so on every page ("SAMPLE") and keep their layout.
  if (!ctx.opt.internal_solver) {
    ctx.Block(y, "骨組解析");
    FillTextNamed(pe, "平面骨組解析（フレームライブラリ）：地盤の分布ばねは弾性床上の梁として解く",
                  "FRAME", true);
  }
}

// ---- chapter 4: the transverse structure and its cross-section ----
void Chapter4(ReportContext& ctx, double y) {
  y = PrintSection(ctx.pe, y, "横方向の構造設計", ctx.TypeWord(), 99);
  DrawChapterSectionFigure(ctx, y);
}

// ---- chapter 5: concrete and rebar ----
void Chapter5(ReportContext& ctx, double y) {
  PrintEngine& pe = ctx.pe;
  if (!ctx.src.records) return;
  const MaterialsRecord& mr = ctx.src.records->materials;
  ctx.Block(y, "材料仕様");
  using Field = double MaterialColumn::*;
  static constexpr Field kConcrete[] = {
      &MaterialColumn::sigma_ck, &MaterialColumn::n_sca, &MaterialColumn::n_ta,
      &MaterialColumn::n_sfa,    &MaterialColumn::g_sca, &MaterialColumn::g_ta,
      &MaterialColumn::g_sfa,    &MaterialColumn::f1ck,  &MaterialColumn::ec};
  for (Field f : kConcrete)
    for (int g = 1; g <= 4; ++g) Fill(pe, mr.Column(g).*f);
  FillTextNamed(pe,
                ctx.src.records->model.shear_at_2d
                    ? ""
                    : "許容せん断応力度は各照査位置毎に補正係数を乗じる。",
                "BIKO", true);
  for (int g = 1; g <= 4; ++g) FillUserText(pe, -1, Trim(mr.Column(g).rebar), true);
  static constexpr Field kRebar[] = {&MaterialColumn::n_ssa, &MaterialColumn::g_ssa,
                                     &MaterialColumn::fyk, &MaterialColumn::fwyd,
                                     &MaterialColumn::es};
  for (Field f : kRebar)
    for (int g = 1; g <= 4; ++g) Fill(pe, mr.Column(g).*f);
}

// ---- chapter 6: top-slab bolts, grout or mortar, PC bars ----
void Chapter6(ReportContext& ctx, double y) {
  PrintEngine& pe = ctx.pe;
  if (!ctx.src.records) return;
  const JointDesignRecord& j = ctx.src.records->joints;
  y = ctx.Block(y, "頂版固定ボルト");
  FillUserTextNamed(pe, "BTYPE", j.bolt_type);
  FillUserTextNamed(pe, "BSIZE", j.bolt_size);
  Fill(pe, j.Ps);
  Fill(pe, j.AB);
  Fill(pe, j.nB);
  y = ctx.Block(y, ctx.stand() ? "グラウト材" : "無収縮モルタル");
  FillUserTextNamed(pe, "MORTAR", j.mortar);
  Fill(pe, j.sigma_ga);
  Fill(pe, j.Ac);
  ctx.Block(y, "ＰＣ鋼棒");
  FillUserTextNamed(pe, "PCKIND", j.pc_kind);
  FillUserTextNamed(pe, "PCSIZE", j.pc_size);
  Fill(pe, j.Ppu);
  Fill(pe, j.Ppy);
  Fill(pe, j.Po);
  Fill(pe, j.Ap);
  Fill(pe, j.np);
}

// ---- chapter 7: level-2 safety factors ----
void Chapter7(ReportContext& ctx, double y) {
  PrintEngine& pe = ctx.pe;
  if (!ctx.src.records) return;
  const MaterialsRecord& mr = ctx.src.records->materials;
  // The response-displacement method uses the third factor column; the
  // seismic-coefficient method the failure-mode and the capacity columns.
  if (ctx.response_displacement()) {
    ctx.Block(y, "レベル２地震動時の安全係数");
    for (int k = 1; k <= kSafetyFactors; ++k) Fill(pe, mr.factors[3][static_cast<std::size_t>(k)]);
  } else {
    ctx.Block(y, "レベル２地震動時の安全係数 震度法");
    for (int k = 1; k <= kSafetyFactors; ++k) {
      Fill(pe, mr.factors[1][static_cast<std::size_t>(k)]);
      Fill(pe, mr.factors[2][static_cast<std::size_t>(k)]);
    }
  }
}

// ---- chapter 8: ground conditions and layers ----
void Chapter8(ReportContext& ctx, double y) {
  PrintEngine& pe = ctx.pe;
  if (!ctx.src.records) return;
  const InputRecords& r = *ctx.src.records;
  const std::vector<GroundLayer>& layers = r.ground.layers;
  y = ctx.Block(y, "地盤");
  FillTextNamed(pe, RegionName(r.loads.region), "REGION", true);
  Fill(pe, ctx.src.ground ? ctx.src.ground->cz : 0);
  SetLetter(pe, r.model.ground_water ? 'V' : 'Z');
  ctx.Block(y, "地層データ", 1, static_cast<int>(layers.size()));
  double total = 0;
  for (const GroundLayer& l : layers) {
    FillText(pe, -1, SoilName(l.soil), true);
    Fill(pe, l.t);
    Fill(pe, l.bottom);
    Fill(pe, l.gamma);
    Fill(pe, l.gamma_sub);
    Fill(pe, l.n_value);
    Fill(pe, l.cohesion);
    Fill(pe, l.friction);
    total += l.t;
  }
  Fill(pe, total);
  if (r.model.ground_water) Fill(pe, r.model.ground_water_depth);
}

// ---- chapter 9: the ground column ----
void Chapter9(ReportContext& ctx, double y) {
  y = ctx.Block(y, "地層構造図");
  DrawChapterGroundColumn(ctx, y);
}

// ---- chapter 10: the ground's natural period and characteristic value ----
void Chapter10(ReportContext& ctx, double y) {
  PrintEngine& pe = ctx.pe;
  if (!ctx.src.records || !ctx.src.ground) return;
  const std::vector<GroundLayer>& layers = ctx.src.records->ground.layers;
  const GroundQuantities& g = *ctx.src.ground;
  const std::size_t n = std::min(layers.size(), g.layers.size());
  y = ctx.Block(y, "表層地盤の基本固有周期", 1, static_cast<int>(n));
  double sum_t = 0, sum_h_vs = 0;
  for (std::size_t i = 0; i < n; ++i) {
    FillText(pe, -1, SoilName(layers[i].soil), true);
    Fill(pe, layers[i].t);
    Fill(pe, layers[i].n_value);
    Fill(pe, g.layers[i].vs);
    Fill(pe, g.layers[i].h_over_vs);
    sum_t += layers[i].t;
    sum_h_vs += g.layers[i].h_over_vs;
  }
  Fill(pe, sum_t);
  Fill(pe, sum_h_vs);
  y = ctx.Block(y, "地盤の特性値");
  if (ctx.opt.formulas) y = PrintExpansion(ctx, y, "       ＝ ４ × （", PeriodTerms(layers, g));
  ctx.Block(y, "地盤の特性値 結果");
  Fill(pe, sum_h_vs);
  Fill(pe, g.tg);
}

// ---- chapter 11: ground class and seismic earth pressure coefficients ----
void Chapter11(ReportContext& ctx, double y) {
  PrintEngine& pe = ctx.pe;
  if (!ctx.src.records || !ctx.src.ground) return;
  const LoadsRecord& lr = ctx.src.records->loads;
  const GroundQuantities& g = *ctx.src.ground;
  y = ctx.Block(y, "耐震設計上の地盤種別");
  Fill(pe, g.tg);
  FillTextNamed(pe, std::string(GroundClassName(g.ground_class)) + "地盤", "CLASS", true);
  ctx.Block(y, "地震時土圧係数");
  FillTextNamed(pe, BackfillSentence(lr.soil_class), "BACK", true);
  FillTextNamed(pe, std::string("(").append(RegionName(lr.region)).append(")"), "REGION", true);
  FillTextNamed(pe, std::string("(").append(GroundClassName(g.ground_class)).append(")"), "CLASS",
                true);
  if (ctx.opt.formulas) {
    const auto [a, b] = EarthCoefficients(lr.soil_class);
    Fill(pe, a);
    Fill(pe, b);
  }
  Fill(pe, g.cg);
  Fill(pe, g.cz);
  Fill(pe, g.kh1);
  Fill(pe, g.kh2_base);
  Fill(pe, g.kh2);
  Fill(pe, g.k[0]);
  Fill(pe, g.k[1]);
  Fill(pe, g.k[2]);
}

// ---- chapter 12: ground constants and springs ----

// Ts of both levels with the factor that gave them.
double PrintNaturalPeriod(ReportContext& ctx, double y) {
  PrintEngine& pe = ctx.pe;
  const GroundQuantities& g = *ctx.src.ground;
  y = ctx.Block(y, "表層地盤の固有周期");
  for (int l = 1; l <= 2; ++l) Fill(pe, PeriodFactor(ctx.src.records->loads, l));
  for (int l = 1; l <= 2; ++l) Fill(pe, g.ts[static_cast<std::size_t>(l)]);
  return y;
}

void Chapter12Underground(ReportContext& ctx, double y) {
  PrintEngine& pe = ctx.pe;
  const std::vector<GroundLayer>& layers = ctx.src.records->ground.layers;
  const GroundQuantities& g = *ctx.src.ground;
  const bool k = ctx.opt.formulas;
  y = ctx.Block(y, "表層地盤の単位体積重量", 1, static_cast<int>(layers.size()));
  double sum_t = 0, sum_w = 0;
  for (const GroundLayer& l : layers) {
    // γi·Hi as the mean unit weight sums it (each to 0.01).
    const double w = RoundTo2(l.gamma * l.t);
    FillText(pe, -1, SoilName(l.soil), true);
    Fill(pe, l.gamma);
    Fill(pe, l.t);
    Fill(pe, w);
    sum_t += l.t;
    sum_w += w;
  }
  Fill(pe, sum_t);
  Fill(pe, sum_w);
  Fill(pe, sum_w);
  Fill(pe, g.H);
  Fill(pe, g.gamma_m);

  y = ctx.Block(y, "表層地盤の動的ポアソン比");
  if (k) {
    Fill(pe, g.H);
    Fill(pe, g.zw);
    Fill(pe, g.zw);
    Fill(pe, g.H);
  }
  Fill(pe, g.nu);
  y = PrintNaturalPeriod(ctx, y);
  // Vsd = 4H/Ts, G = γm·Vsd²/g, E = 2(1 + ν)G: with K one line per level
  // (the constant, the value it takes, the result), then the result table.
  using Levels = std::array<double, 3>;
  const struct {
    const char* block;
    double constant;
    const Levels* from;
    const Levels* result;
  } steps[] = {{"表層地盤の動的せん断弾性波速度", g.H, &g.ts, &g.vsd},
               {"表層地盤の動的せん断弾性係数", g.gamma_m, &g.vsd, &g.g},
               {"表層地盤の動的変形係数", g.nu, &g.g, &g.e}};
  for (const auto& st : steps) {
    y = ctx.Block(y, st.block);
    if (k)
      for (std::size_t l = 1; l <= 2; ++l) {
        Fill(pe, st.constant);
        Fill(pe, (*st.from)[l]);
        Fill(pe, (*st.result)[l]);
      }
    for (std::size_t l = 1; l <= 2; ++l) Fill(pe, (*st.result)[l]);
  }
  PrintSprings(ctx, y, kTransverse);
}

void Chapter12(ReportContext& ctx, double y) {
  if (!ctx.src.records || !ctx.src.ground) return;
  switch (ctx.spring_formula()) {
    case kSpringUnderground:
      Chapter12Underground(ctx, y);
      break;
    case kSpringRoadBridge:
      y = PrintNaturalPeriod(ctx, y);
      PrintSprings(ctx, y, kTransverse);
      break;
    default:
      PrintSprings(ctx, y, kTransverse);
      break;
  }
}

}  // namespace

void PrintDesignChapters(ReportContext& ctx) {
  using Chapter = void (*)(ReportContext&, double);
  static constexpr Chapter kChapters[] = {
      Chapter1, Chapter2, Chapter3,  Chapter4,  Chapter5, Chapter6, Chapter7, PrintVerdictSummary,
      Chapter8, Chapter9, Chapter10, Chapter11, Chapter12};
  for (Chapter c : kChapters) {
    ctx.NewPage();
    c(ctx, 0);
  }
}

}  // namespace vaultra
