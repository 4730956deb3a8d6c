// Level-2 rules against hand calculations: the flexural capacity at a
// constant axial force, the capacity-design shear span taken at the
// member's governing flexural section, and the uplift safety factor.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "checks/capacity.h"
#include "checks/check_point.h"
#include "checks/uplift.h"

namespace vaultra {
namespace {

// The review section: b = 1000, h = 250, d′ = 38 on both faces (d = 212),
// As = As′ = 1588.8 mm², f′ck 40 (γc 1), fyk 345 (γs 1), Es 200000,
// Ec 25000 (n = 8; symmetric, so yc = 125 mm).
UltimateParams ReviewParams() {
  UltimateParams p;
  p.SetGammaC(1);
  p.SetGammaS(1);
  p.SetFck(40);
  p.SetFyk(345);
  p.SetEc(25000);
  p.SetEs(200000);
  return p;
}

TEST(UltimateFlexureAtAxialForce, ReviewSectionsAgainstHandCalculation) {
  // Tension steel yielded, compression-side steel elastic (checked below):
  //   0.68·f′cd·b·x + As′·Es·ε′cu·(x − d′)/x − As·fyd = N
  //   27200·x² + (1 112 160 − 548 136 − N)·x − 1 112 160·38 = 0
  //   Mu = 0.68·f′cd·b·x·(yc − 0.4x) + As′·σ′s·(yc − d′) + As·fyd·(d − yc)
  // N = 33.26 kN: x = 30.851 mm, σ′s = 700·(30.851 − 38)/30.851 = −162.2
  //   (tension, elastic), Mu = 839 141·112.66 − 257 738·87 + 548 136·87
  //   = 119.80 kN·m (the constant-eccentricity rule gives 154 kN·m here).
  // N = 500 kN: x = 38.258 mm, σ′s = 4.73, Mu = 162.49 kN·m.
  // N = −100 kN (tension): x = 29.058 mm, σ′s = −215.4, Mu = 107.52 kN·m.
  // In all three εs = ε′cu·(d − x)/x > εy = 0.001725: the tension steel yields.
  struct Case {
    double N, x, Mu;
  };
  const Case cases[] = {{33.26, 30.851, 119.80}, {500, 38.258, 162.49}, {-100, 29.058, 107.52}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.N);
    for (const double sign : {1.0, -1.0}) {
      // The faces are alike: a negative moment gives the same capacity.
      const UltimateFlexureResult r = UltimateFlexureAtAxialForce(
          ReviewParams(), 250, 1000, 38, 1588.8, 38, 1588.8, sign * 50, c.N);
      EXPECT_NEAR(r.Mud, c.Mu, 0.005 * c.Mu);
      EXPECT_NEAR(r.detail.x, c.x, 0.01);
      EXPECT_DOUBLE_EQ(r.Nud, c.N);  // N′ud is the design axial force itself
      EXPECT_EQ(r.code, static_cast<int>(sign) * kUltConstantAxialForce);
    }
  }
}

TEST(UltimateFlexureAtAxialForce, ForceBeyondTheSectionHasNoCapacity) {
  // Tensile capacity (As + As′)·fyd = 3177.6·345 = 1096.3 kN; squash load
  // 0.85·40·1000·250 + 1096.3 kN = 9596.3 kN.
  const UltimateParams p = ReviewParams();
  EXPECT_EQ(UltimateFlexureAtAxialForce(p, 250, 1000, 38, 1588.8, 38, 1588.8, 50, -1100).Mud, 0);
  EXPECT_EQ(UltimateFlexureAtAxialForce(p, 250, 1000, 38, 1588.8, 38, 1588.8, 50, 9600).Mud, 0);
  EXPECT_GT(UltimateFlexureAtAxialForce(p, 250, 1000, 38, 1588.8, 38, 1588.8, 50, 9500).Mud, 0);
}

// One row of a member: b = 1000, H = 300, inner steel only (As = 1000 mm²,
// cover 50, d = 250), no stirrups, N = 0.
CheckPointRecord MemberRow(double x, double M, double S) {
  CheckPointRecord r;
  r.k[1] = r.k[2] = 300;
  r.k[4] = 1000;
  r.k[10] = 50;
  r.k[18] = 50;
  r.k[20] = 1000;
  r.x = x;
  r.M = M;
  r.S = S;
  r.check_bits = kCheckBending | kCheckShear;
  r.l2_shear_check = true;
  return r;
}

TEST(CapacityDesign, ShearSpanTakenAtTheGoverningFlexuralSection) {
  CheckPointContext ctx;
  ctx.material.fck = 30;
  ctx.material.fyk = ctx.material.fwyk = 300;
  ctx.material.Ec = 25000;
  ctx.material.Es = 200000;
  ctx.seismic_coefficient_method = true;
  ctx.Cs = 0.45;
  ctx.factors[0].f[1] = 0.833;  // γs′, the over-strength factor
  ctx.flexure_rule = FlexureRule::kConstantAxialForce;
  // M falls from 100 to 2 kN·m (2 % of the largest) at a shear of 80 kN.
  std::vector<CheckPointRecord> rows = {MemberRow(0, 100, 80), MemberRow(1, 50, 80),
                                        MemberRow(2, 2, 80)};
  std::vector<const CheckPointRecord*> ptrs;
  for (const CheckPointRecord& r : rows) ptrs.push_back(&r);
  const CapacityDesignBasis basis = MemberCapacityDesignBasis(ptrs, ctx);
  // Same section and N = 0 everywhere: the largest moment governs. By hand
  // with fyd′ = 300/0.833 = 360.14: x = 1000·360.14/(0.68·30·1000) =
  // 17.654 mm, Mud′ = 1000·360.14·(250 − 0.4·17.654) = 87.49 kN·m (γb 1).
  ASSERT_TRUE(basis.set);
  EXPECT_DOUBLE_EQ(basis.x, 0);
  EXPECT_DOUBLE_EQ(basis.M, 100);
  EXPECT_NEAR(basis.Mrd_over, 87.49, 0.05);
  // Vcd = βd·βp·βn·fvcd·b·d = 1.4142·0.7368·1·0.6214·1000·250 = 161.9 kN,
  // shear ratio 80/161.9 = 0.49 ≥ Cs: the capacity-design check runs.
  for (CheckPointRecord& r : rows) {
    r.cd_basis = basis;
    CheckPoint(r, kKindLevel2, ctx);
    SCOPED_TRACE(r.x);
    ASSERT_TRUE(r.capacity_design_done);
    EXPECT_NEAR(r.Vcd, 161.9, 0.2);
    // Vmu = Mud′g·|S|/|Mg| = 87.49·80/100 = 69.99 kN at every row; the row
    // at M = 2 would have given 87.49·80/2 = 3500 kN by its own moment.
    EXPECT_NEAR(r.Vmu, 69.99, 0.05);
    EXPECT_NEAR(r.shear_span, 1.25, 1e-9);  // |Mg|/|S| = 100/80 m
    EXPECT_DOUBLE_EQ(r.cd_M, 100);
    EXPECT_NEAR(r.ratio_vmu, 69.99 / 161.9, 0.002);
    EXPECT_FALSE(r.ng_capacity_design);
  }
}

TEST(CapacityDesign, SectionsBelowATenthOfTheLargestMomentNeverGovern) {
  CheckPointContext ctx;
  ctx.seismic_coefficient_method = true;
  ctx.factors[0].f[1] = 0.833;
  // The row at M = 5 has As = 30 mm²: Mud′ = 30·360.14·(250 − 0.4·0.53) =
  // 2.70 kN·m, λ = 2.70/5 = 0.54 below the 87.49/100 = 0.875 of the first
  // row; at 5 % of the largest moment it is still no governing section.
  std::vector<CheckPointRecord> rows = {MemberRow(0, 100, 80), MemberRow(1, 5, 80)};
  rows[1].k[20] = 30;
  std::vector<const CheckPointRecord*> ptrs = {&rows[0], &rows[1]};
  const CapacityDesignBasis basis = MemberCapacityDesignBasis(ptrs, ctx);
  ASSERT_TRUE(basis.set);
  EXPECT_DOUBLE_EQ(basis.M, 100);
  // No moment at all: no basis.
  std::vector<CheckPointRecord> flat = {MemberRow(0, 0, 80)};
  EXPECT_FALSE(MemberCapacityDesignBasis({&flat[0]}, ctx).set);
}

TEST(Uplift, SafetyFactorAgainstHandCalculation) {
  // B = 10 m, top at 2 m, base at 6 m, γt 18, γ′ 9, γw 9.8, Wc = 300 kN/m.
  struct Case {
    double zw;
    bool checked;
    double soil, buoyancy;
  };
  const Case cases[] = {
      // Water above the top (GL−1 m): soil 10·(18·1 + 9·1) = 270, U = 9.8·10·4 = 392,
      // Fs = 570/392 = 1.454.
      {1.0, true, 270, 392},
      // Water inside the structure height (GL−4 m): soil 10·18·2 = 360, U = 9.8·10·2
      // = 196, Fs = 660/196 = 3.367.
      {4.0, true, 360, 196},
      // Water below the base: not checked.
      {7.0, false, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.zw);
    UpliftInput in;
    in.structure_weight = 300;
    in.width = 10;
    in.top_depth = 2;
    in.bottom_depth = 6;
    in.groundwater = true;
    in.water_depth = c.zw;
    in.gamma_t = 18;
    in.gamma_sub = 9;
    in.gamma_w = 9.8;
    const UpliftResult u = CheckUplift(in);
    EXPECT_EQ(u.checked, c.checked);
    if (!c.checked) {
      EXPECT_TRUE(u.ok);
      EXPECT_FALSE(u.reason.empty());
      continue;
    }
    EXPECT_NEAR(u.soil_weight, c.soil, 1e-9);
    EXPECT_NEAR(u.buoyancy, c.buoyancy, 1e-9);
    EXPECT_NEAR(u.fs, (300 + c.soil) / c.buoyancy, 1e-12);
    EXPECT_EQ(u.ok, u.fs >= 1.2);
  }
  // A light structure fails: Wc = 100 with the water at GL−1 m gives
  // (100 + 270)/392 = 0.944 < 1.2.
  UpliftInput light;
  light.structure_weight = 100;
  light.width = 10;
  light.top_depth = 2;
  light.bottom_depth = 6;
  light.groundwater = true;
  light.water_depth = 1;
  light.gamma_t = 18;
  light.gamma_sub = 9;
  light.gamma_w = 9.8;
  const UpliftResult u = CheckUplift(light);
  EXPECT_NEAR(u.fs, 370.0 / 392.0, 1e-12);
  EXPECT_FALSE(u.ok);
  // No width: N.G., never O.K.
  light.width = 0;
  EXPECT_FALSE(CheckUplift(light).ok);
}

}  // namespace
}  // namespace vaultra
