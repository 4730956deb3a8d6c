// Quantities recomputed by hand from the formulas of soil mechanics and the
// design guidelines: earth and water pressure, ground period and class,
// spring constants, response displacement, hydrodynamic pressure.
#include <gtest/gtest.h>

#include <cmath>

#include "model/pressure.h"
#include "model/seismic.h"

namespace vaultra {
namespace {

constexpr double kPi = 3.14159265358979323846;

TEST(EarthPressure, BackfillSplitsAtTheWaterLevel) {
  LoadsRecord lr;
  lr.gamma_t = 18;
  lr.gamma_sub = 10;
  lr.gamma_w = 9.8;
  GroundQuantities g;
  g.k = {0.5, 0.6, 0.8};
  g.k_half = {0.25, 0.3, 0.4};
  // Top axis 1 m, bottom 4 m, water 2 m.
  SidePressureTable t = SidePressureBackfill(lr, g, 1000, 4000, 2000, 10);
  ASSERT_EQ(t.Count(), 3);
  EXPECT_EQ(t.top_row, 1);
  EXPECT_EQ(t.water_row, 2);
  // K·γ·z above the water, K·(γt·zw + γ'·(z − zw)) below it.
  EXPECT_NEAR(t.Row(1).p[0], 0.5 * 18 * 1, 1e-9);
  EXPECT_NEAR(t.Row(2).p[0], 0.5 * 18 * 2, 1e-9);
  EXPECT_NEAR(t.Row(3).p[0], 0.5 * (18 * 2 + 10 * 2), 1e-9);
  EXPECT_NEAR(t.Row(3).p[2], 0.8 * (18 * 2 + 10 * 2), 1e-9);
  EXPECT_NEAR(t.Row(3).half_p[1], 0.3 * (18 * 2 + 10 * 2), 1e-9);
  // Water pressure γw·(z − zw) below the water only.
  EXPECT_NEAR(t.Row(3).water, 9.8 * 2, 1e-9);
  EXPECT_EQ(t.Row(1).water, 0);

  // Groundwater at the surface: every row below water, water row 0.
  SidePressureTable w0 = SidePressureBackfill(lr, g, 1000, 4000, 0, 10);
  EXPECT_EQ(w0.water_row, 0);
  EXPECT_NEAR(w0.rows.back().p[0], 0.5 * 10 * 4, 1e-9);
  EXPECT_NEAR(w0.rows.back().water, 9.8 * 4, 1e-9);

  // Cover pressure Kav·Σγ·t over 1.5 m with water at 1 m.
  lr.kav = 0.9;
  CoverRecord c = CoverPressureBackfill(lr, 1500, 1000);
  EXPECT_NEAR(c.pv, 0.9 * (18 * 1 + 10 * 0.5), 1e-9);
  EXPECT_NEAR(c.zc, 1.5, 1e-12);
}

TEST(ExternalWater, RowsFromTheGroundwaterLevel) {
  // Water between the top and bottom depths: two rows.
  ExternalWaterTable a = BuildExternalWaterTable(2.0, 1.0, 4.0, 9.8);
  ASSERT_EQ(a.Count(), 2);
  EXPECT_NEAR(a.rows[2].p, 9.8 * 2, 1e-9);
  // Water above the top depth: three rows, the top one at the top depth.
  ExternalWaterTable b = BuildExternalWaterTable(0.5, 1.0, 4.0, 9.8);
  ASSERT_EQ(b.Count(), 3);
  EXPECT_NEAR(b.rows[2].p, 9.8 * 0.5, 1e-9);
  EXPECT_NEAR(b.rows[3].p, 9.8 * 3.5, 1e-9);
  // Water below the structure: no rows.
  EXPECT_EQ(BuildExternalWaterTable(4.5, 1.0, 4.0, 9.8).Count(), 0);
}

struct GroundFixture {
  InputRecords rec;
  BlockRow row;
  StructureModel tm, lm;
  SeismicContext ctx;

  GroundFixture() {
    // Clay N = 8 over 4 m (Vs = 100·2), sand N = 27 over 6 m (Vs = 80·3).
    GroundLayer a{1, 1, 4, 18, 8, 20, 0, 0, 8, 4, {}};
    GroundLayer b{2, 2, 6, 19, 27, 0, 30, 0, 9, 10, {}};
    rec.ground.layers = {a, b};
    rec.model.ground_water = false;
    rec.loads.region = 4;  // C: cz 0.7
    rec.loads.sv1_standard = 1;
    rec.loads.alpha_d = {0, 0.5, 0.5};
    // Box block 1: B 2, H 1.5, L 2, c 0.3, f 0.25.
    DimensionSet& s = row.At(1).working_set;
    s.kind = kBlockLeftEnd;
    s.B() = 2;
    s.H() = 1.5;
    s.L() = 2;
    s.c() = 0.3;
    s.f() = 0.25;
    tm.left_end_block = 1;
    tm.real_block_count = 1;
    tm.cover_depth = 1;
    tm.depth_of_top_axis = 1.125;
    tm.depth_of_bottom_axis = 2.85;
    tm.depth_of_bottom = 3.0;
    tm.extents[8] = 3.0;
    ctx = SeismicContext{&rec, &row, 1, &tm, &lm};
  }
};

TEST(GroundPeriod, FourTimesTheTravelTime) {
  GroundFixture f;
  GroundQuantities g;
  ComputeGroundQuantities(f.ctx, g);
  EXPECT_NEAR(g.layers[0].vs, 200, 1e-9);
  EXPECT_NEAR(g.layers[1].vs, 240, 1e-9);
  EXPECT_NEAR(g.tg, 4 * (4.0 / 200 + 6.0 / 240), 1e-9);  // 0.18
  EXPECT_EQ(g.ground_class, 1);
  EXPECT_NEAR(g.kh1, 0.2 * 0.7 * 0.8 * 1.1, 1e-12);
  // A soft clay layer of 5 m (N = 1, Vs = 100) makes TG = 0.38: class II.
  f.rec.ground.layers.push_back(GroundLayer{3, 1, 5, 17, 1, 10, 0, 0, 7, 15, {}});
  ComputeGroundQuantities(f.ctx, g);
  EXPECT_NEAR(g.tg, 0.38, 1e-9);
  EXPECT_EQ(g.ground_class, 2);
  EXPECT_DOUBLE_EQ(g.cg, 1.0);
  // Limits of N: clay above 99 and N = 0.
  EXPECT_NEAR(ShearWaveVelocity(1, 150), 100 * std::cbrt(99.0), 1e-9);
  EXPECT_EQ(ShearWaveVelocity(2, 0), 50);
}

TEST(GroundSprings, OneConstantPerFormula) {
  GroundFixture f;
  GroundQuantities g;
  // Underground-structure formula: Kh = π·E/((1 − ν²)·4·h).
  f.rec.loads.spring_formula = kSpringUnderground;
  ComputeGroundQuantities(f.ctx, g);
  const double H = 10, ts = 0.5 * 0.18, vsd = 4 * H / ts;
  const double gm = (18 * 4 + 19 * 6) / H, nu = 0.45;  // dry ground
  const double G = gm * vsd * vsd / 9.8, E = 2 * (1 + nu) * G;
  const double hs = 0.3 + 1.5 + 0.25;
  EXPECT_NEAR(g.springs[kTransverse].kh[1], E * kPi / ((1 - nu * nu) * 4 * hs), 0.02 * 1e-3 * E);
  EXPECT_NEAR(g.springs[kTransverse].kv[1], E * kPi / ((1 - nu * nu) * 4 * 3.0), 0.02 * 1e-3 * E);
  EXPECT_NEAR(g.springs[kTransverse].kss[1], g.springs[kTransverse].kh[1] / 3, 0.06);

  // Road-bridge formula, method ② (borehole test, α = 4): k0·(√A/0.3)^(−3/4), k0 = α·Eo/0.3.
  f.rec.loads.spring_formula = kSpringRoadBridge;
  f.rec.loads.eo_method = 2;
  f.rec.loads.eoh = 30000;
  f.rec.loads.eov = 20000;
  ComputeGroundQuantities(f.ctx, g);
  const double as = 2 * hs, ab = 2 * 3.0;
  const double kh = 4 * 30000 / 0.3 * std::pow(std::sqrt(as) / 0.3, -0.75);
  const double kv = 4 * 20000 / 0.3 * std::pow(std::sqrt(ab) / 0.3, -0.75);
  EXPECT_NEAR(g.springs[kTransverse].kh[2], kh, 0.005 * kh);
  EXPECT_NEAR(g.springs[kTransverse].kv[1], kv, 0.005 * kv);
  EXPECT_NEAR(g.springs[kTransverse].ksb[1], 0.3 * kv, 0.005 * kv);
  // Without an intermediate block the longitudinal strip has no area: the
  // constants stay finite instead of dividing by zero.
  EXPECT_TRUE(std::isfinite(g.springs[kLongitudinal].kh[1]));
  EXPECT_TRUE(std::isfinite(g.springs[kLongitudinal].kv[2]));

  // Method ④ with the seismic coefficient method: α = 2, Eo = 2800·N.
  f.rec.loads.eo_method = 4;
  f.rec.loads.method = kMethodSeismicCoefficient;
  ComputeGroundQuantities(f.ctx, g);
  // Mean N between 1 m and 3 m: the clay layer only (N = 8); N at the bottom 8.
  const double kh4 = 2 * 2800 * 8 / 0.3 * std::pow(std::sqrt(as) / 0.3, -0.75);
  EXPECT_NEAR(g.springs[kTransverse].kh[1], kh4, 0.005 * kh4);
}

TEST(ResponseDisplacement, CosineOfTheDepth) {
  GroundFixture f;
  f.rec.loads.spring_formula = kSpringRoadBridge;
  GroundQuantities g;
  ComputeGroundQuantities(f.ctx, g);
  SeismicTables s;
  ComputeSeismicTables(f.ctx, g, s);
  // L2: Ts = 0.09, Sv = 10^(1.18329·log Ts + 0.086385).
  const double ts = 0.09,
               sv = std::round(1000 * std::pow(10.0, 1.18329 * std::log10(ts) + 0.086385)) / 1000;
  EXPECT_NEAR(g.sv[2], sv, 1e-12);
  const double H = 10, zt = 1.125, zb = 2.85;
  auto u = [&](double z) { return 2 / (kPi * kPi) * sv * ts * std::cos(kPi * z / (2 * H)); };
  EXPECT_NEAR(s.response[1].z, zt, 1e-12);
  EXPECT_NEAR(s.response[3].z, (zt + zb) / 2, 1e-12);
  EXPECT_NEAR(s.response[1].u[2], u(zt), 1e-5);
  EXPECT_NEAR(s.response[1].du[2], u(zt) - u(zb), 2e-5);
  EXPECT_NEAR(s.response[5].du[2], 0, 1e-12);
  EXPECT_NEAR(s.response[1].p[2], g.springs[kTransverse].kh[2] * s.response[1].du[2], 1e-9);
}

TEST(Hydrodynamic, WestergaardPressureAtADepth) {
  // B = 4 m, 1 m of water in a 3 m high room: all free water.
  HydroTable t = BuildHydroTable(4, 1, 3, 0.2, 0, 9.8);
  ASSERT_EQ(t.mode, 2);
  ASSERT_EQ(t.rows.size(), 3u);  // n = trunc(1.25·2) = 2 segments
  const double f = 0.996;        // f(B/h = 4)
  EXPECT_NEAR(t.f, f, 1e-9);
  EXPECT_NEAR(t.rows[2].second, 7.0 / 8 * f * 9.8 * 0.2 * std::sqrt(1.0 * 1.0), 1e-9);
  EXPECT_NEAR(t.rows[1].second, 7.0 / 8 * f * 9.8 * 0.2 * std::sqrt(1.0 * 0.5), 1e-9);
  // The report curve includes the unit weight of water.
  EXPECT_NEAR(t.curve[1], 7.0 / 8 * f * 9.8 * 0.2 * std::sqrt(0.5), 1e-9);
  // Full room: all fixed water, γw·kh·B/2.
  HydroTable full = BuildHydroTable(4, 2.995, 3, 0.2, 0, 9.8);
  EXPECT_EQ(full.mode, 1);
  EXPECT_NEAR(full.rows[1].second, 9.8 * 0.2 * 4 / 2, 1e-9);
  // kh decreases with the depth of the bottom.
  EXPECT_NEAR(BuildHydroTable(4, 1, 3, 0.2, 10, 9.8).kh, 0.2 * 0.85, 1e-12);
  // No stored water: no rows, no division by the water depth.
  HydroTable none = BuildHydroTable(4, 0, 3, 0.2, 0, 9.8);
  EXPECT_TRUE(none.rows.empty());
  EXPECT_EQ(none.pf, 0);
}

}  // namespace
}  // namespace vaultra
