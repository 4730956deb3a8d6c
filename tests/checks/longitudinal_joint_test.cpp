#include "checks/longitudinal_joint.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vaultra {
namespace {

// Ten longitudinal members: tops 1..5, bottoms 6..10 (right to left), so the
// interior spans pair tops 2, 3, 4 with bottoms 9, 8, 7.
struct Fixture {
  AnalysisResults res;
  LongitudinalJointInput in;
  Fixture() {
    res.Allocate(2, 10);
    res.max_load_case = 1;
    for (int m = 1; m <= 10; ++m) res.members[m].count = 5;
    res.members[8].count = 10;  // even count: the upper middle point 6
    in.longitudinal_analysis_on = true;
    in.results = &res;
    in.first_top = 1;
    in.last_top = 5;
    in.last_bottom = 10;
    in.Ppy = 1080;
    in.Ap = 133;
    in.np = 4;
    in.As = 126.7;
    in.ns = 16;
    in.Ua1 = 0.1;
    in.Ua2 = 1.0;
    in.fyd = 345;
    in.Es = 200000;
    in.Wl = 2.0;
    in.L = 2.04;
  }
  void Set(int D, int m, double N) {
    const int k = res.members[m].count / 2 + 1;
    res.At(D, m).points[k][kCompN] = N;
  }
};

TEST(LongitudinalJoint, PairsSumsAndVerdictsByHand) {
  Fixture f;
  f.res.At(3, 8).points[5][kCompN] = 999;  // not the middle of a 10-point member
  // L1: 10 + 5, 20 − 2, 18 + 0 (a tie with the second pair: the first is kept).
  f.Set(3, 2, 10), f.Set(3, 9, 5), f.Set(3, 3, 20), f.Set(3, 8, -2), f.Set(3, 4, 18);
  // L2: every span in compression.
  f.Set(4, 2, -5), f.Set(4, 3, -10), f.Set(4, 4, -3);
  const LongitudinalJointResult r = CheckLongitudinalJoints(f.in);
  ASSERT_FALSE(r.skipped);
  EXPECT_EQ(r.pair_count, 3);
  EXPECT_EQ(r.pairs[1][0].top, 2);
  EXPECT_EQ(r.pairs[1][0].bottom, 9);
  EXPECT_EQ(r.pairs[1][2].bottom, 7);
  EXPECT_DOUBLE_EQ(r.pairs[1][1].Nb, -2);
  EXPECT_EQ(r.forces[1].tension.top, 3);
  EXPECT_DOUBLE_EQ(r.forces[1].tension.v, 18);
  EXPECT_EQ(r.largest_index[1], 2);
  EXPECT_DOUBLE_EQ(r.forces[2].tension.v, 0);
  EXPECT_EQ(r.forces[2].tension.top, 0);
  EXPECT_DOUBLE_EQ(r.forces[2].compression.v, -10);
  EXPECT_DOUBLE_EQ(r.N_plus, 18);
  EXPECT_DOUBLE_EQ(r.N_minus, -10);
  EXPECT_DOUBLE_EQ(r.N_a, 18);
  // Pcap = (133·1080·4 + 345·16·126.7) / 2.0 = 636972 N/m.
  EXPECT_NEAR(r.Pcap, 636972, 1e-6);
  EXPECT_TRUE(r.capacity_ok[0]);
  EXPECT_TRUE(r.capacity_ok[1]);
  // ℓ = 2.0 m → 2000 mm; δ1 = 18000·2000·2.0 / ((532 + 2027.2)·200000) mm.
  EXPECT_DOUBLE_EQ(r.ell, 2000);
  EXPECT_NEAR(r.delta[0], 72e6 / (2559.2 * 2e5), 1e-12);
  EXPECT_FALSE(r.opening_ok[0]);  // 0.1407 ≥ Ua1 = 0.1
  EXPECT_DOUBLE_EQ(r.delta[1], 0);
  EXPECT_TRUE(r.opening_ok[1]);
}

TEST(LongitudinalJoint, SkippedWhenTheLongitudinalAnalysisIsOff) {
  Fixture f;
  f.Set(3, 3, 1e6);  // values of an earlier run must not be judged
  f.in.longitudinal_analysis_on = false;
  const LongitudinalJointResult r = CheckLongitudinalJoints(f.in);
  EXPECT_TRUE(r.skipped);
  EXPECT_FALSE(r.message.empty());
  EXPECT_EQ(r.pair_count, 0);
  EXPECT_TRUE(r.capacity_ok[0] && r.capacity_ok[1] && r.opening_ok[0] && r.opening_ok[1]);
}

TEST(LongitudinalJoint, DegenerateInputsStayFinite) {
  Fixture f;
  f.Set(3, 3, 5);
  f.in.Ap = f.in.As = 0;
  f.in.Wl = 0;
  f.in.first_top = f.in.last_top = 0;  // no longitudinal model: no pairs
  LongitudinalJointResult r = CheckLongitudinalJoints(f.in);
  EXPECT_EQ(r.pair_count, 0);
  EXPECT_TRUE(std::isfinite(r.Pcap) && std::isfinite(r.delta[0]));
  f.in.first_top = 1;
  f.in.last_top = 5;
  r = CheckLongitudinalJoints(f.in);
  EXPECT_EQ(r.pair_count, 3);
  EXPECT_FALSE(r.capacity_ok[0]);  // 5000 N/m against a capacity of 0
  EXPECT_TRUE(std::isfinite(r.delta[0]));
  EXPECT_DOUBLE_EQ(r.delta[0], 5000 * 2000 * 0.0 / 0.001);  // Wl as stored (0)
}

}  // namespace
}  // namespace vaultra
