// The end-wall check against hand-worked walls: beam formulas and plate
// coefficients for the forces, the cracked transformed section for σc and σs.
#include "checks/end_wall.h"

#include <gtest/gtest.h>
#include <time.h>

#include <cmath>
#include <limits>

#include "inputs/master_data.h"
#include "core/number.h"

namespace vaultra {
namespace {

// Cracked rectangular section with steel on both faces (n = 15): neutral
// axis from b·x²/2 + n·A′s·(x − d′) = n·As·(d − x), σc = M·x/I, σs = n·M·(d − x)/I.
struct Textbook {
  double x, sc, ss;
};
Textbook CrackedSection(double M_kNm, double b, double d, double As, double dc, double Asc) {
  const double n = 15;
  const double A = b / 2, B = n * (As + Asc), C = -n * (As * d + Asc * dc);
  const double x = (-B + std::sqrt(B * B - 4 * A * C)) / (2 * A);
  const double I = b * x * x * x / 3 + n * Asc * (x - dc) * (x - dc) + n * As * (d - x) * (d - x);
  const double M = M_kNm * 1e6;
  return {x, M * x / I, n * M * (d - x) / I};
}

MasterData Areas() {
  MasterData md;
  md.area_by_diameter[13] = 1.267;
  md.area_by_diameter[16] = 1.986;
  md.area_by_diameter[19] = 2.865;
  return md;
}

EndWallInput BaseInput() {
  EndWallInput in;
  in.thickness_top = in.thickness_bottom = 0.3;
  in.height = 3.0;
  in.inner_width = {3.0, 0, 0};
  in.bars.cover_inner = in.bars.cover_outer = 40;
  in.bars.vertical_outside = true;
  in.bars.vertical_inner = {16, 5};
  in.bars.vertical_outer = {16, 4};
  for (int p = 0; p < 3; ++p) {
    in.bars.horizontal_inner[p] = {13, 5};
    in.bars.horizontal_outer[p] = {13, 5};
  }
  auto& m = in.context.material;
  m.sigma_ck = 24;
  m.normal = {8.0, 0.39, 180.0};
  m.seismic = {12.0, 0.585, 300.0};
  in.poisson = 0.3;
  return in;
}

TEST(EndWallTest, SimpleBeamByHand) {
  // 3 m span, 10 kN/m² at the top, 40 at the bottom: reactions 30 and 45 kN,
  // V = 30 − 10y − 5y², zero at y = √7 − 1, M = 30y − 5y² − 5y³/3.
  EndWallInput in = BaseInput();
  in.bars.method = kEndWallMethodSimpleBeam;
  in.loads = {EndWallLoad{10, 40}, EndWallLoad{5, 20}, EndWallLoad{10, 40}};
  PlateCache cache;
  const MasterData md = Areas();
  const EndWallResult res = CheckEndWalls(in, md, cache);
  ASSERT_EQ(res.wall_count, 1);
  EXPECT_EQ(cache.size(), 0);  // the simple beam needs no plate

  const EndWallCase& c0 = res.walls[0][0];
  const double y0 = std::sqrt(7.0) - 1;
  const double M0 = 30 * y0 - 5 * y0 * y0 - 5 * y0 * y0 * y0 / 3;  // 28.40 kN·m
  EXPECT_NEAR(c0.rows[0].y, y0, 1e-6);
  EXPECT_NEAR(c0.rows[0].rec.M, M0, 0.006);
  EXPECT_NEAR(c0.rows[0].rec.S, 0, 0.006);
  // Inner face in tension: As = 5·198.6 at d = 300 − 48, A′s = 4·198.6 at 48.
  const Textbook t = CrackedSection(RoundTo2(M0), 1000, 252, 993, 48, 794.4);
  EXPECT_NEAR(c0.rows[0].rec.sigma_c, t.sc, 0.01);
  EXPECT_NEAR(c0.rows[0].rec.sigma_s_inner, t.ss, 0.01);
  EXPECT_EQ(c0.rows[0].rec.sigma_s_outer, 0);
  EXPECT_NEAR(c0.rows[0].rec.ratio_flexure, RoundTo2(t.ss) / 180, 1e-4);

  // Support rows h/2 = 0.15 m inside: top V = 28.39, M = 4.38; bottom
  // V = −39.11, M = 6.31: the bottom governs.
  const EndWallRow& r1 = c0.rows[1];
  EXPECT_TRUE(r1.bottom);
  EXPECT_NEAR(r1.y, 2.85, 1e-9);
  EXPECT_NEAR(r1.rec.M, 6.31, 0.006);
  EXPECT_NEAR(r1.rec.S, -39.11, 0.006);
  EXPECT_NEAR(r1.rec.tau, RoundTo3(39110.0 / (1000 * 252)), 1e-9);  // j = 1 at h/2
  for (int j = 2; j < kEndWallRows; ++j) EXPECT_FALSE(c0.rows[j].applies) << j;

  // Level 1 at half the pressure: half the moment, seismic allowables.
  EXPECT_NEAR(res.walls[0][1].rows[0].rec.M, RoundTo2(M0 / 2), 0.006);
  EXPECT_EQ(res.walls[0][1].rows[0].rec.sigma_sa, 300.0);
  // Level 2 is a limit-state row.
  EXPECT_GT(res.walls[0][2].rows[0].rec.Mrd, 0);

  const EndWallVerdict v = EndWallVerdictOf(res);
  EXPECT_TRUE(v.ok);
  EXPECT_EQ(v.text, "応力照査：ＯＫ");
  EXPECT_EQ(v.colour, 0xFF0000);
}

TEST(EndWallTest, SimpleBeamLoadFromReactions) {
  // Reactions of 10/40 kN/m² over 3 m are 30 and 45 kN.
  const EndWallLoad q = LoadFromReactions(30, 45, 3);
  EXPECT_NEAR(q.top, 10, 1e-12);
  EXPECT_NEAR(q.bottom, 40, 1e-12);
  // Triangle with its peak at the top: the largest moment at L·(1 − 1/√3).
  EXPECT_NEAR(SimpleBeamMaxAt(3, {30, 0}), 3 * (1 - 1 / std::sqrt(3.0)), 1e-9);
  EXPECT_NEAR(SimpleBeamAt(3, {30, 0}, SimpleBeamMaxAt(3, {30, 0})).M,
              30 * 9 / (9 * std::sqrt(3.0)), 1e-9);
  EXPECT_NEAR(SimpleBeamMaxAt(3, {20, 20}), 1.5, 1e-12);
}

TEST(EndWallTest, TwoWaySquareByClassicalCoefficients) {
  // 3 m × 3 m wall, 20 kN/m² uniform, ν = 0.3. Span model (all edges
  // hinged): centre My = Mx = 0.0479·q·b² = 8.62 kN·m/m.
  EndWallInput in = BaseInput();
  in.bars.method = kEndWallMethodTwoWay;
  in.loads = {EndWallLoad{20, 20}, EndWallLoad{0, 0}, EndWallLoad{0, 0}};
  PlateCache cache;
  const MasterData md = Areas();
  const EndWallResult res = CheckEndWalls(in, md, cache);
  const EndWallCase& c = res.walls[0][0];
  const double m = 0.0479 * 20 * 9;
  EXPECT_NEAR(c.rows[0].rec.M, m, 0.01 * m);
  EXPECT_NEAR(c.rows[0].y, 1.5, 0.051);
  EXPECT_NEAR(c.rows[4].rec.M, m, 0.01 * m);  // middle part, horizontal
  // Horizontal bars D13 inside the vertical D16: c = 40 + 16 + 6.5.
  EXPECT_EQ(c.rows[4].rec.k[18], 62);  // rounded by the evaluation
  EXPECT_EQ(c.rows[4].rec.k[20], 5 * 126.7);
  // σc, σs of the middle-part span row (c′ rounds to 62, d = 300 − 62).
  const Textbook t = CrackedSection(RoundTo2(c.rows[4].rec.M), 1000, 238, 633.5, 62, 633.5);
  EXPECT_NEAR(c.rows[4].rec.sigma_c, t.sc, 0.01);
  EXPECT_NEAR(c.rows[4].rec.sigma_s_inner, t.ss, 0.01);
  EXPECT_EQ(cache.size(), 2);  // one span model, one edge model
}

TEST(EndWallTest, TwoWayWideWallIsAProppedStripAtItsCentre) {
  // 15 m × 2.5 m, 20 kN/m²: at the centre line the vertical strip is hinged
  // (span model: q·b²/8 = 15.625) and propped (edge model: −q·b²/8 at the
  // clamped bottom). Shear h/2 = 0.15 m above the bottom: 5qb/8 − 0.15q = 28.25.
  EndWallInput in = BaseInput();
  in.bars.method = kEndWallMethodTwoWay;
  in.height = 2.5;
  in.inner_width = {15.0, 0, 0};
  in.poisson = 0.2;
  in.loads = {EndWallLoad{20, 20}, EndWallLoad{}, EndWallLoad{}};
  PlateCache cache;
  const EndWallResult res = CheckEndWalls(in, Areas(), cache);
  const EndWallCase& c = res.walls[0][0];
  EXPECT_NEAR(c.rows[0].rec.M, 15.625, 0.01 * 15.625);
  EXPECT_TRUE(c.rows[1].bottom);
  EXPECT_NEAR(c.rows[1].rec.M, -15.625, 0.015 * 15.625);
  EXPECT_NEAR(c.rows[1].rec.S, 28.25, 0.015 * 28.25);
  // Cylindrical bending: the horizontal span moment is ν·My, in the middle
  // part at mid-height 0.2·15.625.
  EXPECT_NEAR(c.rows[4].rec.M, 3.125, 0.02 * 3.125);
  // Hogging at the bottom puts the outer face in tension: As = 4·198.6 at
  // d = 252, A′s = 5·198.6 at 48.
  const Textbook t = CrackedSection(std::fabs(c.rows[1].rec.M), 1000, 252, 794.4, 48, 993);
  EXPECT_NEAR(c.rows[1].rec.sigma_c, t.sc, 0.01);
  EXPECT_NEAR(c.rows[1].rec.sigma_s_outer, t.ss, 0.01);
  EXPECT_EQ(c.rows[1].rec.sigma_s_inner, 0);
}

TEST(EndWallTest, TwoWayNarrowWallSpansAcross) {
  // 1 m wide, 9 m high, 10 → 40 kN/m²: three widths away from the top and
  // bottom the horizontal strips carry q(y): hinged q·a²/8, clamped −q·a²/12,
  // shear q·(a/2 − h/2). The middle part [3, 6] peaks at y = 6, q = 30.
  EndWallInput in = BaseInput();
  in.bars.method = kEndWallMethodTwoWay;
  in.height = 9.0;
  in.inner_width = {1.0, 0, 0};
  in.poisson = 0.2;
  in.loads = {EndWallLoad{10, 40}, EndWallLoad{}, EndWallLoad{}};
  PlateCache cache;
  const EndWallResult res = CheckEndWalls(in, Areas(), cache);
  const EndWallCase& c = res.walls[0][0];
  EXPECT_NEAR(c.rows[4].y, 6.0, 0.16);
  EXPECT_NEAR(c.rows[4].rec.M, 30.0 / 8, 0.02 * 30 / 8);
  EXPECT_NEAR(c.rows[5].rec.M, -30.0 / 12, 0.02 * 30 / 12);
  EXPECT_NEAR(c.rows[5].rec.S, 30 * (0.5 - 0.15), 0.02 * 30 * 0.35);
  // The upper part peaks at its lower end, q = 20.
  EXPECT_NEAR(c.rows[2].rec.M, 20.0 / 8, 0.03 * 20 / 8);
  EXPECT_NEAR(c.rows[3].rec.M, -20.0 / 12, 0.03 * 20 / 12);
}

TEST(EndWallTest, WallsStopAtTheFirstMissingWidth) {
  EndWallInput in = BaseInput();
  in.inner_width = {3.0, 0.0005, 2.0};
  in.loads = {EndWallLoad{10, 40}, EndWallLoad{}, EndWallLoad{}};
  PlateCache cache;
  EXPECT_EQ(CheckEndWalls(in, Areas(), cache).wall_count, 1);
  in.inner_width = {3.0, 2.0, 1.5};
  in.span = {0, 2.4, 0};
  const EndWallResult res = CheckEndWalls(in, Areas(), cache);
  EXPECT_EQ(res.wall_count, 3);
  EXPECT_EQ(res.span[1], 2.4);
  EXPECT_EQ(res.span[2], 1.5);
  // Unusable geometry or loads check nothing and say so.
  for (int k = 0; k < 3; ++k) {
    EndWallInput bad = in;
    if (k == 0) bad.height = 0;
    if (k == 1) bad.thickness_bottom = std::nan("");
    if (k == 2) bad.loads[1].bottom = std::numeric_limits<double>::infinity();
    const EndWallResult none = CheckEndWalls(bad, Areas(), cache);
    EXPECT_EQ(none.wall_count, 0);
    EXPECT_TRUE(none.input_error);
    const EndWallVerdict v = EndWallVerdictOf(none);
    EXPECT_FALSE(v.ok);
    EXPECT_EQ(v.text, "端壁の照査：入力値エラー");
  }
  // No wall at all is no error.
  EndWallInput empty = in;
  empty.inner_width = {0, 0, 0};
  empty.height = 0;
  EXPECT_FALSE(CheckEndWalls(empty, Areas(), cache).input_error);
  EXPECT_TRUE(EndWallVerdictOf(CheckEndWalls(empty, Areas(), cache)).ok);
  // Unloaded combinations give finite zero ratios and pass.
  in.height = 3;
  in.bars.method = kEndWallMethodTwoWay;
  const EndWallResult zero = CheckEndWalls(in, Areas(), cache);
  for (int j = 0; j < kEndWallRows; ++j) {
    EXPECT_EQ(zero.walls[0][1].rows[j].rec.ratio, 0) << j;
    EXPECT_EQ(zero.walls[2][2].rows[j].rec.ratio, 0) << j;
    EXPECT_EQ(zero.walls[2][2].rows[j].rec.member, 3) << j;
  }
}

// A result with chosen failing rows, for the verdict text.
EndWallResult Failing() {
  EndWallResult r;
  r.wall_count = 2;
  r.inner_width = {2.0, 3.0, 0};
  for (auto& wall : r.walls)
    for (int c = 0; c < 3; ++c) {
      wall[c].kind = c;
      for (auto& row : wall[c].rows) row.applies = true;
    }
  return r;
}

TEST(EndWallTest, VerdictNamesTheLargerFailure) {
  struct Case {
    int wall, comb, row;
    bool shear;
    double ratio;
  };
  // Two failing rows each; the larger ratio is named, flexure or shear.
  const struct {
    Case a, b;
    const char* text;
  } cases[] = {
      {{0, 0, 3, false, 1.20}, {1, 1, 6, true, 1.35}, "内空幅B2,L1時で下部のせん断応力ｴﾗｰ(1.35)"},
      {{0, 0, 3, false, 1.50}, {1, 1, 6, true, 1.35}, "内空幅B1,常時で上部の曲げ応力ｴﾗｰ(1.50)"},
      {{1, 2, 0, false, 1.02}, {0, 2, 4, true, 1.01}, "内空幅B2,L2時で縦方向の曲げ応力ｴﾗｰ(1.02)"},
      {{0, 1, 5, true, 1.10}, {0, 1, 1, false, 1.10}, "内空幅B1,L1時で縦方向の曲げ応力ｴﾗｰ(1.10)"},
  };
  for (const auto& tc : cases) {
    EndWallResult r = Failing();
    for (const Case& f : {tc.a, tc.b}) {
      CheckPointRecord& rec = r.walls[f.wall][f.comb].rows[f.row].rec;
      if (f.shear) {
        rec.ratio_shear = f.ratio;
        (f.comb == 2 ? rec.ng_shear_l2 : rec.ng_shear) = true;
      } else {
        rec.ratio_flexure = f.ratio;
        (f.comb == 2 ? rec.ng_flexure : rec.ng) = true;
      }
    }
    const EndWallVerdict v = EndWallVerdictOf(r);
    EXPECT_FALSE(v.ok);
    EXPECT_EQ(v.colour, 255);
    EXPECT_EQ(v.text, tc.text);
  }
}

TEST(EndWallTest, VerdictIgnoresRatiosOfPassingRowsAndNamesConcreteFailures) {
  EndWallResult r = Failing();
  // A large ratio on a passing row is no failure; the L2 flags are the
  // limit-state ones.
  r.walls[0][0].rows[2].rec.ratio_flexure = 3.0;
  r.walls[0][2].rows[2].rec.ng = true;  // allowable flag on a limit-state row
  r.walls[0][2].rows[2].rec.ratio_flexure = 2.0;
  EXPECT_TRUE(EndWallVerdictOf(r).ok);
  // A row that fails on σc alone is named with σc/σca.
  CheckPointRecord& rec = r.walls[1][0].rows[7].rec;
  rec.ng = rec.ng_sigma_c = true;
  rec.ratio_flexure = 0.8;
  rec.sigma_c = 9.2;
  rec.sigma_ca = 8.0;
  EXPECT_EQ(EndWallVerdictOf(r).text, "内空幅B2,常時で下部の曲げ応力ｴﾗｰ(1.15)");
  // Rows that do not apply never fail.
  r.walls[1][0].rows[7].applies = false;
  EXPECT_TRUE(EndWallVerdictOf(r).ok);
}

TEST(EndWallTest, OverloadedWallFailsWithItsRatio) {
  EndWallInput in = BaseInput();
  in.bars.method = kEndWallMethodSimpleBeam;
  in.loads = {EndWallLoad{60, 160}, EndWallLoad{}, EndWallLoad{}};
  PlateCache cache;
  const EndWallResult res = CheckEndWalls(in, Areas(), cache);
  const EndWallVerdict v = EndWallVerdictOf(res);
  EXPECT_FALSE(v.ok);
  EXPECT_EQ(v.combination, 0);
  EXPECT_EQ(v.row / 2, 0);
  EXPECT_GE(v.ratio, 1.0);
}

}  // namespace
}  // namespace vaultra

namespace vaultra {
namespace {

TEST(EndWallTest, ThreeTwoWayWallsReuseTheirPlateSolutions) {
  // Three widths, three combinations, a cold cache: the plates are solved
  // here (once per ratio); a second run reuses them.
  EndWallInput in = BaseInput();
  in.bars.method = kEndWallMethodTwoWay;
  in.height = 2.6;
  in.thickness_top = 0.45;
  in.thickness_bottom = 0.65;
  in.inner_width = {3.2, 2.0, 1.5};
  in.loads = {EndWallLoad{15, 45}, EndWallLoad{25, 60}, EndWallLoad{35, 80}};
  const MasterData md = Areas();
  PlateCache cache;
  const EndWallResult cold = CheckEndWalls(in, md, cache);
  const EndWallResult warm = CheckEndWalls(in, md, cache);
  EXPECT_EQ(cache.size(), 6);
  ASSERT_EQ(cold.wall_count, 3);
  for (int w = 0; w < 3; ++w)
    for (int c = 0; c < 3; ++c)
      for (int j = 0; j < kEndWallRows; ++j) {
        const CheckPointRecord& a = cold.walls[w][c].rows[j].rec;
        EXPECT_TRUE(cold.walls[w][c].rows[j].applies);
        EXPECT_TRUE(std::isfinite(a.ratio));
        EXPECT_EQ(a.M, warm.walls[w][c].rows[j].rec.M);
      }
  // The tapered wall: the bottom support row is checked with wb.
  EXPECT_EQ(cold.walls[0][0].rows[1].rec.k[1], 650);
  EXPECT_EQ(cold.walls[0][0].rows[1].bottom, true);
}

}  // namespace
}  // namespace vaultra
