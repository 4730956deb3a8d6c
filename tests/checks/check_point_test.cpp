#include "checks/check_point.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/number.h"

namespace vaultra {
namespace {

// H = Hs = 500, b = 1000, covers 50 mm; forces in kN, kN·m (N tension positive).
CheckPointRecord Row(double outer_As, double inner_As, double M, double S, double N = 0) {
  CheckPointRecord r;
  r.k[1] = r.k[2] = 500;
  r.k[4] = 1000;
  r.k[10] = 50;
  r.k[12] = outer_As;
  r.k[18] = 50;
  r.k[20] = inner_As;
  r.M = M;
  r.S = S;
  r.N = N;
  return r;
}

CheckPointContext Context() {
  CheckPointContext c;
  c.material.sigma_ck = 24;
  c.material.normal = {14, 0.55, 160};
  c.material.seismic = {21, 0.825, 240};
  c.material.fck = 24;
  c.material.fyk = 345;
  c.material.fwyk = 240;
  c.material.Ec = 25000;
  c.material.Es = 200000;
  // Row 1: over-strength γs′ = 0.833; row 3 (response displacement) for the capacities.
  c.factors[0].f[1] = 0.833;
  c.factors[2].f = {1.3, 1.0, 1.1, 1.3, 1.1, 1, 1, 1, 1, 1, 1, 1, 1.2};
  c.Cs = 0.45;
  return c;
}

// Singly reinforced, d = 450, As = 2000, n = 15, M = 200 kN·m (textbook k-j method).
constexpr double kSigmaS = 247.3274;
constexpr double kSigmaC = 7.21950;
constexpr double kJ = 0.898494;

TEST(CheckPoint, AllowableStressesOfAPositiveMomentLandOnTheInnerFace) {
  CheckPointRecord r = Row(0, 2000, 200, 100);
  CheckPoint(r, kKindNormal, Context());
  EXPECT_DOUBLE_EQ(r.sigma_s_inner, RoundTo2(kSigmaS));  // 247.33
  EXPECT_DOUBLE_EQ(r.sigma_s_outer, 0);
  EXPECT_NEAR(r.sigma_c, kSigmaC, 1e-4);
  EXPECT_DOUBLE_EQ(r.tau, RoundTo3(100e3 / (1000 * kJ * 450)));  // 0.247
  EXPECT_TRUE(r.ng_sigma_s);
  EXPECT_TRUE(r.ng);
  EXPECT_FALSE(r.ng_sigma_c);
  EXPECT_DOUBLE_EQ(r.ratio_flexure, 247.33 / 160);
  EXPECT_DOUBLE_EQ(r.req_steel_inner, 2000 * 247.33 / 160);
  EXPECT_DOUBLE_EQ(r.tau_a, 0.55);
  EXPECT_FALSE(r.needs_shear_steel);
  EXPECT_DOUBLE_EQ(r.ratio_shear, 0.247 / 0.55);
  EXPECT_DOUBLE_EQ(r.ratio, r.ratio_flexure);
  // Level 1 uses the seismic allowables (σsa = 240).
  CheckPointRecord l1 = Row(0, 2000, 200, 100);
  CheckPoint(l1, kKindLevel1, Context());
  EXPECT_DOUBLE_EQ(l1.sigma_sa, 240);
  EXPECT_DOUBLE_EQ(l1.ratio_flexure, 247.33 / 240);
}

TEST(CheckPoint, NegativeMomentUsesTheOuterFaceForStressAndStirrups) {
  // The shear check takes the outer effective depth 450 and the outer steel.
  // Stirrups 200 mm² at 200: required = 1.15·(300 kN − 0.55·b·d)·s/(σsa·d) = 167.7 → 168.
  for (double S : {300.0, -300.0}) {
    CheckPointRecord r = Row(2000, 0, -200, S);
    r.k[23] = 200;
    r.k[25] = 200;
    CheckPoint(r, kKindNormal, Context());
    EXPECT_DOUBLE_EQ(r.sigma_s_outer, RoundTo2(kSigmaS)) << S;
    EXPECT_DOUBLE_EQ(r.sigma_s_inner, 0) << S;
    EXPECT_DOUBLE_EQ(r.req_stirrup, 168) << S;
    // τ = 300 kN/(b·j·d) = 0.742 lies between τa1 = 0.55 and τa2 = 2.0 (second table).
    EXPECT_DOUBLE_EQ(r.tau, RoundTo3(300e3 / (1000 * kJ * 450))) << S;
    EXPECT_TRUE(r.needs_shear_steel) << S;
    EXPECT_FALSE(r.ng_shear) << S;
    EXPECT_DOUBLE_EQ(r.tau_a, 2.0) << S;
    EXPECT_DOUBLE_EQ(r.ratio_shear, 168.0 / 200) << S;
  }
}

TEST(CheckPoint, WithoutStirrupsTheShearRatioIsTauOverTauA) {
  CheckPointRecord r = Row(0, 2000, 200, 1000);
  CheckPoint(r, kKindNormal, Context());
  EXPECT_DOUBLE_EQ(r.req_stirrup, 0);
  const double tau = RoundTo3(1000e3 / (1000 * kJ * 450));  // 2.473 > τa2 = 0.55
  EXPECT_DOUBLE_EQ(r.tau, tau);
  EXPECT_TRUE(r.ng_shear);
  EXPECT_DOUBLE_EQ(r.ratio_shear, tau / 0.55);
}

TEST(CheckPoint, ShearCorrectionAndDoubling) {
  // j = 1; Ce(450) = 1.31, Cpt(pt = 0.444) = 1.14, CN = 1 without axial force.
  CheckPointRecord r = Row(0, 2000, 200, 100);
  r.shear_correction = true;
  CheckPoint(r, kKindNormal, Context());
  EXPECT_DOUBLE_EQ(r.tau, RoundTo3(100e3 / (1000 * 450)));
  EXPECT_DOUBLE_EQ(r.Ce, 1.31);
  EXPECT_DOUBLE_EQ(r.Cpt, 1.14);
  EXPECT_DOUBLE_EQ(r.CN, 1);
  EXPECT_DOUBLE_EQ(r.tau_a1p, RoundTo3(0.55 * 1.31 * 1.14));  // 0.821
  // A compressive axial force (N negative here) raises CN: 1 + (N·h/6)/M.
  CheckPointRecord c = Row(0, 2000, 50, 100, -100);
  c.shear_correction = true;
  CheckPoint(c, kKindNormal, Context());
  EXPECT_DOUBLE_EQ(c.CN, RoundTo2(1 + 100e3 * 500 / 6 / 50e6));
  // Doubling doubles the allowables before rounding.
  CheckPointRecord d = Row(0, 2000, 200, 100);
  d.allowable_doubling = true;
  CheckPoint(d, kKindNormal, Context());
  EXPECT_DOUBLE_EQ(d.tau_a1p, 1.1);
  EXPECT_DOUBLE_EQ(d.tau_a, 1.1);
}

TEST(CheckPoint, RoundsForcesAndCoversBeforeTheCheck) {
  CheckPointRecord r = Row(0, 2000, 200.004, 100.0049, 0.004);
  r.k[1] = 500.4;
  r.k[10] = 49.6;
  r.k[18] = 50.4;
  CheckPoint(r, kKindNormal, Context());
  EXPECT_DOUBLE_EQ(r.M, 200);
  EXPECT_DOUBLE_EQ(r.S, 100);
  EXPECT_DOUBLE_EQ(r.N, 0);
  EXPECT_DOUBLE_EQ(r.k[10], 50);
  EXPECT_DOUBLE_EQ(r.k[18], 50);
  EXPECT_DOUBLE_EQ(r.k[11], 450);
  EXPECT_DOUBLE_EQ(r.k[19], 450);
}

TEST(CheckPoint, LimitStateFlexureShearAndCapacityDesign) {
  const CheckPointContext ctx = Context();
  CheckPointRecord r = Row(0, 2000, 200, 400);
  r.k[23] = 150;
  r.k[25] = 400;
  r.l2_shear_check = true;
  CheckPoint(r, kKindLevel2, ctx);
  // Flexure: x = As·fyd/(0.68·f′cd·b), Mu = As·fyd·(d − 0.4x), Mrd = Mu/γb.
  const double fcd = 24 / 1.3;
  auto Mu = [&](double fyd) {
    const double x = 2000 * fyd / (0.68 * fcd * 1000);
    return 2000 * fyd * (450 - 0.4 * x) * 1e-6;
  };
  EXPECT_DOUBLE_EQ(r.fcd, fcd);
  EXPECT_NEAR(r.Mud, Mu(345), 1e-3);
  EXPECT_NEAR(r.Mrd, Mu(345) / 1.1, 1e-3);
  EXPECT_NEAR(r.ratio_flexure, 1.2 * 200 / (Mu(345) / 1.1), 1e-5);
  EXPECT_FALSE(r.ng_flexure);
  // Shear: Vcd alone fails, Vcd + Vsd still fails.
  const double Vcd = std::pow(1000 / 450.0, 0.25) * std::cbrt(100 * 2000 / 450000.0) * 0.2 *
                     std::cbrt(fcd) * 450000 / 1.3 * 0.001;
  const double Vsd = 400 * 240 * (450 / 1.15) / 150 / 1.1 * 0.001;
  EXPECT_NEAR(r.Vcd, Vcd, 1e-9);
  EXPECT_NEAR(r.Vsd, Vsd, 1e-9);
  EXPECT_NEAR(r.Vyd, Vcd + Vsd, 1e-9);
  EXPECT_TRUE(r.ng_shear_vcd);
  EXPECT_TRUE(r.ng_shear_l2);
  EXPECT_NEAR(r.ratio_shear, 1.2 * 400 / (Vcd + Vsd), 1e-9);
  EXPECT_NEAR(r.req_stirrup, 150 * 1.1 * (1.2 * 400e3 - Vcd * 1e3) / (240 * 450 / 1.15), 1e-6);
  // Capacity design with γs′ = 0.833: Vmu = Mrd′/|M|·|S|.
  EXPECT_TRUE(r.capacity_design_done);
  EXPECT_DOUBLE_EQ(r.fyk_over, 1.2 * 345);
  EXPECT_NEAR(r.Mud_over, Mu(345 / 0.833), 1e-3);
  EXPECT_DOUBLE_EQ(r.shear_span, 0.5);
  EXPECT_NEAR(r.Vmu, Mu(345 / 0.833) / 1.1 / 200 * 400, 1e-3);
  EXPECT_NEAR(r.ratio_vmu, 1.2 * r.Vmu / (Vcd + Vsd), 1e-9);
  EXPECT_TRUE(r.ng_capacity_design);
  // The over-strength γs does not carry over to the next row.
  CheckPointRecord again = Row(0, 2000, 200, 400);
  CheckPoint(again, kKindLevel2, ctx);
  EXPECT_NEAR(again.Mud, Mu(345), 1e-3);
}

TEST(CheckPoint, LimitStateTensionAboveASingleLayerFails) {
  // Inner steel only; a tension of 2000 kN (N positive here) with 10 kN·m.
  CheckPointRecord r = Row(0, 2000, 10, 0, 2000);
  CheckPoint(r, kKindLevel2, Context());
  EXPECT_DOUBLE_EQ(r.Mud, 0);
  EXPECT_TRUE(r.ng_flexure);
}

TEST(CheckPoint, LimitStateWithVcdSufficientNeverRecordsVsd) {
  CheckPointContext ctx = Context();
  CheckPointRecord r = Row(0, 2000, 100, 50);
  r.k[23] = 150;
  r.k[25] = 400;
  r.l2_shear_check = true;
  ctx.Cs = 1.0;  // ratio below Cs: no capacity-design check
  CheckPoint(r, kKindLevel2, ctx);
  EXPECT_DOUBLE_EQ(r.Vsd, 0);
  EXPECT_DOUBLE_EQ(r.Vyd, r.Vcd);
  EXPECT_FALSE(r.ng_shear_l2);
  EXPECT_FALSE(r.capacity_design_done);
  EXPECT_DOUBLE_EQ(r.req_stirrup, 0);  // negative demand floored
}

TEST(CheckPoint, CheckBitsSelectTheRatios) {
  CheckPointRecord bend = Row(0, 2000, 200, 1000);
  bend.check_bits = kCheckBending;
  CheckPoint(bend, kKindNormal, Context());
  EXPECT_DOUBLE_EQ(bend.ratio_shear, 0);
  EXPECT_FALSE(bend.ng_shear);
  CheckPointRecord shear = Row(0, 2000, 200, 100);
  shear.check_bits = kCheckShear;
  CheckPoint(shear, kKindNormal, Context());
  EXPECT_DOUBLE_EQ(shear.ratio_flexure, 0);
  EXPECT_FALSE(shear.ng);
  EXPECT_DOUBLE_EQ(shear.ratio, shear.ratio_shear);
}

TEST(CheckPoint, DegenerateRowsStayFinite) {
  for (int kind : {kKindNormal, kKindLevel1, kKindLevel2}) {
    CheckPointRecord zero;  // no section, no forces, no steel
    zero.shear_correction = true;
    zero.l2_shear_check = true;
    zero.k[23] = 100;
    zero.k[25] = 100;
    CheckPoint(zero, kind, Context());
    for (double v : {zero.sigma_c, zero.sigma_s_inner, zero.tau, zero.tau_a, zero.ratio, zero.Mud,
                     zero.Vcd, zero.Vmu, zero.req_stirrup, zero.CN}) {
      EXPECT_TRUE(std::isfinite(v)) << kind;
    }
  }
}

}  // namespace
}  // namespace vaultra
