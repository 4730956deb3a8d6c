// The plate solutions against the classical coefficients (Timoshenko &
// Woinowsky-Krieger, Theory of Plates and Shells, tables 8, 35 and 30, ν = 0.3)
// and against beam theory for long plates.
#include <gtest/gtest.h>
#include <time.h>

#include <cmath>

#include "checks/end_wall_plate.h"

namespace vaultra {
namespace {

constexpr PlateEdge H = PlateEdge::kHinged;
constexpr PlateEdge C = PlateEdge::kClamped;

void ExpectRel(double got, double want, double tol, const char* what) {
  EXPECT_NEAR(got, want, std::fabs(want) * tol) << what;
}

TEST(PlateTest, SimplySupportedSquareUniformLoad) {
  // w = 0.00406 q a⁴/D, Mx = My = 0.0479 q a², Qx at mid-edge 0.338 q a.
  const PlateSupports ss{H, H, H};
  for (const PlateSolution& s :
       {PlateSolution::Levy(1, ss), PlateSolution::FiniteDifference(1, ss)}) {
    const auto c = s.At(0.5, 0.5, 0.3)[0];
    ExpectRel(c.w, 0.00406, 0.01, "w");
    ExpectRel(c.Mx, 0.0479, 0.01, "Mx");
    ExpectRel(c.My, 0.0479, 0.01, "My");
    ExpectRel(s.At(0, 0.5, 0.3)[0].Qx, 0.338, 0.01, "Qx edge");
    ExpectRel(s.At(0.5, 0, 0.3)[0].Qy, 0.338, 0.01, "Qy edge");
  }
}

TEST(PlateTest, ClampedSquareUniformLoad) {
  // w = 0.00126 q a⁴/D, centre M = 0.0231 q a², mid-edge M = -0.0513 q a².
  const PlateSolution s = PlateSolution::FiniteDifference(1, {C, C, C});
  const auto c = s.At(0.5, 0.5, 0.3)[0];
  ExpectRel(c.w, 0.00126, 0.01, "w");
  ExpectRel(c.Mx, 0.0231, 0.015, "Mx centre");
  ExpectRel(c.My, 0.0231, 0.015, "My centre");
  ExpectRel(s.At(0, 0.5, 0.3)[0].Mx, -0.0513, 0.015, "Mx side edge");
  ExpectRel(s.At(0.5, 1, 0.3)[0].My, -0.0513, 0.015, "My bottom edge");
  ExpectRel(s.At(0.5, 0, 0.3)[0].My, -0.0513, 0.015, "My top edge");
}

TEST(PlateTest, TwoEdgesClampedSquare) {
  // Sides hinged, top and bottom clamped, b/a = 1 (table 30): w = 0.00192,
  // centre Mx = 0.0244 and My = 0.0332, clamped-edge My = -0.0697 (× q a²).
  const PlateSupports sup{H, C, C};
  for (const PlateSolution& s :
       {PlateSolution::Levy(1, sup), PlateSolution::FiniteDifference(1, sup)}) {
    const auto c = s.At(0.5, 0.5, 0.3)[0];
    ExpectRel(c.w, 0.00192, 0.015, "w");
    ExpectRel(c.Mx, 0.0244, 0.015, "Mx centre");
    ExpectRel(c.My, 0.0332, 0.015, "My centre");
    ExpectRel(s.At(0.5, 1, 0.3)[0].My, -0.0697, 0.015, "My edge");
  }
}

TEST(PlateTest, LongPlateApproachesTheBeam) {
  // Far from its sides a long plate spanning b vertically is a beam strip:
  // uniform load q b²/8; hydrostatic load (0 at the top) q b²/(9√3) at
  // y = b/√3; propped (top hinged, bottom clamped): -q b²/8 uniform,
  // -q b²/15 hydrostatic at the clamped bottom.
  const double r = 6;
  for (const PlateSolution& s :
       {PlateSolution::Levy(r, {H, H, H}), PlateSolution::FiniteDifference(r, {H, H, H})}) {
    ExpectRel(s.At(r / 2, 0.5, 0.2)[0].My, 0.125, 0.01, "uniform");
    ExpectRel(s.At(r / 2, 1 / std::sqrt(3.0), 0.2)[1].My, 1 / (9 * std::sqrt(3.0)), 0.01,
              "hydrostatic");
    ExpectRel(s.At(r / 2, 0, 0.2)[0].Qy, 0.5, 0.01, "uniform reaction");
    ExpectRel(s.At(r / 2, 1, 0.2)[1].Qy, -1.0 / 3, 0.01, "hydrostatic bottom reaction");
  }
  for (const PlateSolution& s :
       {PlateSolution::Levy(r, {H, H, C}), PlateSolution::FiniteDifference(r, {C, H, C})}) {
    ExpectRel(s.At(r / 2, 1, 0.2)[0].My, -0.125, 0.015, "propped uniform");
    ExpectRel(s.At(r / 2, 1, 0.2)[1].My, -1.0 / 15, 0.015, "propped hydrostatic");
  }
}

TEST(PlateTest, FiniteDifferencesAgreeWithLevyOnARectangle) {
  // The end wall's loads (uniform and hydrostatic) on a 1.6 : 1 plate with
  // the hinged top and clamped bottom, compared over the plate.
  const PlateSupports sup{H, H, C};
  const double r = 1.6;
  const PlateSolution lv = PlateSolution::Levy(r, sup);
  const PlateSolution fd = PlateSolution::FiniteDifference(r, sup);
  for (int load = 0; load < 2; ++load) {
    const double mref = std::fabs(lv.At(r / 2, 1, 0.2)[load].My);
    const double qref = std::fabs(lv.At(0, 0.5, 0.2)[load].Qx);
    for (double x : {0.0, 0.2, 0.5, 0.8}) {
      for (double y : {0.05, 0.1, 0.35, 0.6, 0.9, 0.95, 1.0}) {
        const auto a = lv.At(x, y, 0.2)[load], b = fd.At(x, y, 0.2)[load];
        EXPECT_NEAR(b.Mx, a.Mx, 0.01 * mref) << x << "," << y;
        EXPECT_NEAR(b.My, a.My, 0.01 * mref) << x << "," << y;
        // Shears on the clamped edge itself are extrapolated (a few per cent
        // near the corners); the check reads them h/2 inside.
        if (y > 0.95) continue;
        EXPECT_NEAR(b.Qx, a.Qx, 0.02 * qref) << x << "," << y;
        EXPECT_NEAR(b.Qy, a.Qy, 0.02 * qref) << x << "," << y;
      }
    }
  }
}

TEST(PlateTest, ScalingToARealWall) {
  // A 3 m × 3 m clamped wall under 20 kN/m²: edge moment 0.0513·20·9.
  const PlateSolution s = PlateSolution::FiniteDifference(1, {C, C, C});
  const PlateForces f = PlateForcesAt(s, 3, 20, 0, 0, 1.5, 0.3);
  ExpectRel(f.Mx, -0.0513 * 20 * 9, 0.015, "Mx");
  // Triangular part alone: at mid-height exactly half of the uniform load's.
  const PlateForces u = PlateForcesAt(s, 3, 10, 0, 1.5, 1.5, 0.3);
  const PlateForces t = PlateForcesAt(s, 3, 0, 20, 1.5, 1.5, 0.3);
  EXPECT_NEAR(t.Mx, u.Mx, 1e-9 + 1e-6 * std::fabs(u.Mx));
}

TEST(PlateTest, CacheSolvesOncePerRatioAndSupports) {
  PlateCache cache;
  const PlateSolution& a = cache.Get(1.25, {C, H, C});
  const PlateSolution& b = cache.Get(1.25, {C, H, C});
  const PlateSolution& c = cache.Get(1.25, {H, H, H});
  cache.Get(1.5, {C, H, C});
  EXPECT_EQ(&a, &b);
  EXPECT_EQ(cache.size(), 3);
  EXPECT_EQ(a.method(), PlateMethod::kFiniteDifference);
  EXPECT_EQ(c.method(), PlateMethod::kLevy);
  EXPECT_NEAR(a.ratio(), 1.25, 1e-12);  // the first reference survives growth
}

TEST(PlateTest, RefusesWhatItCannotSolve) {
  EXPECT_THROW(PlateSolution::Levy(1, {C, H, H}), std::invalid_argument);
  EXPECT_THROW(PlateSolution::FiniteDifference(0, {C, H, H}), std::invalid_argument);
  EXPECT_THROW(PlateSolution::Levy(-1, {H, H, H}), std::invalid_argument);
}

TEST(PlateTest, ColdSolutionsAreFiniteForEveryRatio) {
  // Every calculation solves the edge model once per wall ratio; elongated
  // ratios use fewer cells over the short side (its speed is measured in bench/).
  for (double r : {0.4, 1.0, 2.5, 8.0}) {
    const PlateSolution s = PlateSolution::FiniteDifference(r, {C, H, C});
    EXPECT_TRUE(std::isfinite(s.At(r / 2, 0.5, 0.2)[0].My)) << "ratio " << r;
  }
}

}  // namespace
}  // namespace vaultra
