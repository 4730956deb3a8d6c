#include "checks/section_stress.h"

#include <gtest/gtest.h>

#include <cmath>

#include "checks/rc_reference.h"

namespace vaultra {
namespace {

using testref::Section;

// b = 1000, H = 500, covers 50 mm, n = 15.
SectionStressInput Rect(double As_comp, double As_tens, double M, double N, double S = 0) {
  SectionStressInput in;
  in.H = in.Hs = 500;
  in.b = 1000;
  in.n = 15;
  in.c_comp = 50;
  in.As_comp = As_comp;
  in.c_tens = 50;
  in.As_tens = As_tens;
  in.M = M;
  in.N = N;
  in.S = S;
  return in;
}

bool AllFinite(const SectionStressResult& r) {
  const SectionStressDetail& d = r.detail;
  for (double v :
       {r.sigma_c,  r.sigma_s,      r.tau,     r.x,        r.e,        r.yc,       r.j,
        d.Ai,       d.Ii,           d.kt,      d.kc,       d.et,       d.et2,      d.sigma_c,
        d.sigma_c2, d.sigma_s_comp, d.sigma_s, d.cubic[1], d.cubic[2], d.cubic[3], d.roots[0],
        d.roots[1], d.roots[2]}) {
    if (!std::isfinite(v)) return false;
  }
  return true;
}

TEST(SectionStress, PureBendingSinglyReinforcedMatchesTheTextbook) {
  // k = √(2np + (np)²) − np, j = 1 − k/3, σc = 2M/(k·j·b·d²), σs = M/(As·j·d),
  // τ = S/(b·j·d): x = 137.033, σc = 7.2195, σs = 247.327, τ = 0.24733.
  const SectionStressResult r = SectionStress(Rect(0, 2000, 200e6, 0, 100e3));
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.detail.case_text, "⑤ 軸力無しの計算");
  EXPECT_NEAR(r.x, 137.0329, 1e-3);
  EXPECT_NEAR(r.sigma_c, 7.21950, 1e-4);
  EXPECT_NEAR(r.sigma_s, 247.3274, 1e-3);
  EXPECT_NEAR(r.j, 0.898494, 1e-6);
  EXPECT_NEAR(r.tau, 0.247327, 1e-6);
  // σc also from σc = 2M/(b·x·(d − x/3)).
  EXPECT_NEAR(r.sigma_c, 2 * 200e6 / (1000 * r.x * (450 - r.x / 3)), 1e-9);
}

TEST(SectionStress, PureBendingDoublyReinforcedMatchesTheCrackedInertia) {
  const Section s{1000, 500, 15, 50, 1000, 450, 2000};
  const testref::Stresses ref = testref::CrackedBending(s, 200e6);
  const SectionStressResult r = SectionStress(Rect(1000, 2000, 200e6, 0));
  EXPECT_EQ(r.code, 1);
  EXPECT_NEAR(r.x, ref.x, 1e-6);
  EXPECT_NEAR(r.sigma_c, ref.sc, 1e-6);
  EXPECT_NEAR(r.detail.sigma_s_comp, ref.ssc, 1e-4);
  EXPECT_NEAR(r.sigma_s, ref.ss, 1e-4);
}

TEST(SectionStress, OnlyCompressionSideSteelServesAsTensionSteelAtItsDepth) {
  // A′s = 2000 at 450 mm from the compression edge and no As: the section of
  // the singly reinforced case above.
  SectionStressInput in = Rect(2000, 0, 200e6, 0, 100e3);
  in.c_comp = 450;
  const SectionStressResult r = SectionStress(in);
  EXPECT_NEAR(r.sigma_c, 7.21950, 1e-4);
  EXPECT_NEAR(r.sigma_s, 247.3274, 1e-3);
  EXPECT_NEAR(r.tau, 0.247327, 1e-6);
}

TEST(SectionStress, CompressionInsideTheCoreUsesTheUncrackedTransformedSection) {
  // N = 1000 kN at e = 20 mm: σ = N/A ± M·y/I on A = bH + n(As + A′s).
  const Section s{1000, 500, 15, 50, 2000, 450, 2000};
  const double N = 1e6, M = 20e6;
  const double A = s.Area(), I = s.Inertia(), yc = s.Centroid();
  ASSERT_NEAR(yc, 250, 1e-9);
  const double top = N / A + M * yc / I, bottom = N / A - M * (500 - yc) / I;
  auto sigma = [&](double y) { return top - (top - bottom) * y / 500; };
  const SectionStressResult r = SectionStress(Rect(2000, 2000, M, N));
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.detail.case_text, "① 偏心圧縮力を'心内'に受ける");
  EXPECT_NEAR(r.sigma_c, top, 1e-9);  // 2.1758
  EXPECT_NEAR(r.detail.sigma_c2, bottom, 1e-9);
  EXPECT_NEAR(r.detail.sigma_s_comp, -15 * sigma(50), 1e-9);
  EXPECT_NEAR(r.detail.sigma_s, -15 * sigma(450), 1e-9);
  EXPECT_NEAR(r.sigma_s, -15 * sigma(450), 1e-9);  // both steels in compression
  EXPECT_NEAR(r.detail.kc, I / (A * yc), 1e-9);
  EXPECT_NEAR(r.x, 250, 1e-12);  // no cubic: H/2
  EXPECT_FALSE(r.has_cubic);
}

TEST(SectionStress, CompressionJustOutsideTheCoreWithSmallTensionStaysUncracked) {
  // e = 100 mm > kc = 91.6 mm, but the bottom tension is within a quarter of the top.
  const Section s{1000, 500, 15, 50, 2000, 450, 2000};
  const double N = 1e6, M = 100e6;
  const double top = N / s.Area() + M * 250 / s.Inertia();
  const SectionStressResult r = SectionStress(Rect(2000, 2000, M, N));
  EXPECT_EQ(r.code, 3);
  EXPECT_EQ(r.detail.case_text, "②-(1) 偏心圧縮力を'心外'に受ける場合でσc≦σc'");
  EXPECT_NEAR(r.sigma_c, top, 1e-9);
}

TEST(SectionStress, CompressionOutsideTheCoreCracksTheSection) {
  const Section s{1000, 500, 15, 50, 2000, 450, 2000};
  const testref::Stresses ref = testref::CrackedEccentric(s, 200e3, 1000);
  const SectionStressResult r = SectionStress(Rect(2000, 2000, 200e6, 200e3));
  EXPECT_EQ(r.code, 3);
  EXPECT_EQ(r.detail.case_text, "②-(2) 偏心圧縮力を'心外'に受ける場合でσc'＜σc");
  EXPECT_TRUE(r.has_cubic);
  EXPECT_NEAR(r.x, ref.x, 1e-3);  // the root is rounded to 0.001
  EXPECT_NEAR(r.sigma_c, ref.sc, 1e-4 * ref.sc);
  EXPECT_NEAR(r.sigma_s, ref.ss, 1e-4 * ref.ss);
  EXPECT_NEAR(r.detail.sigma_s_comp, ref.ssc, 1e-4 * std::fabs(ref.ssc));
}

TEST(SectionStress, TensionBetweenTheSteelLayersIsCarriedByTheSteelAlone) {
  // T = 500 kN at depth yc − e = 270 mm: the steel at 450 takes 500·220/400,
  // the steel at 50 takes 500·180/400.
  const SectionStressResult r = SectionStress(Rect(2000, 2000, 10e6, -500e3));
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.detail.case_text, "③ 偏心引張力を'心内'に受ける");
  EXPECT_DOUBLE_EQ(r.sigma_c, 0);
  EXPECT_NEAR(r.detail.sigma_s, 137.5, 1e-9);
  EXPECT_NEAR(r.detail.sigma_s_comp, 112.5, 1e-9);
  EXPECT_NEAR(r.sigma_s, 137.5, 1e-9);
}

TEST(SectionStress, PureTensionWithATinyMomentSharesTheForceEqually) {
  const SectionStressResult r = SectionStress(Rect(2000, 2000, 0, -100e3));
  EXPECT_EQ(r.code, 2);
  EXPECT_DOUBLE_EQ(r.sigma_c, 0);
  EXPECT_NEAR(r.sigma_s, 25, 1e-6);
}

TEST(SectionStress, TensionOutsideTheCoreCracksTheSection) {
  const Section s{1000, 500, 15, 50, 2000, 450, 2000};
  const testref::Stresses ref = testref::CrackedEccentric(s, -100e3, -1000);
  const SectionStressResult r = SectionStress(Rect(2000, 2000, 100e6, -100e3));
  EXPECT_EQ(r.code, 4);
  EXPECT_EQ(r.detail.case_text, "④ 偏心引張力を'心外'に受ける");
  EXPECT_NEAR(r.x, ref.x, 1e-3);
  EXPECT_NEAR(r.sigma_c, ref.sc, 1e-4 * ref.sc);
  EXPECT_NEAR(r.sigma_s, ref.ss, 1e-4 * ref.ss);
}

TEST(SectionStress, NegativeMomentExchangesTheFacesAndNegatesTheCode) {
  // A′s = 1000 at 40 mm and As = 2500 at 60 mm under −M equals the mirrored
  // section under +M.
  struct Case {
    double N;
  } cases[] = {{0}, {200e3}, {-100e3}, {1e6}};
  for (const Case& c : cases) {
    SectionStressInput neg = Rect(1000, 2500, -150e6, c.N, 80e3);
    neg.c_comp = 40;
    neg.c_tens = 60;
    SectionStressInput pos = Rect(2500, 1000, 150e6, c.N, 80e3);
    pos.c_comp = 60;
    pos.c_tens = 40;
    const SectionStressResult a = SectionStress(neg), b = SectionStress(pos);
    EXPECT_EQ(a.code, -b.code) << c.N;
    EXPECT_LT(a.code, 0) << c.N;
    EXPECT_DOUBLE_EQ(a.sigma_c, b.sigma_c) << c.N;
    EXPECT_DOUBLE_EQ(a.sigma_s, b.sigma_s) << c.N;
    EXPECT_DOUBLE_EQ(a.tau, b.tau) << c.N;
  }
  // And against the hand solution for pure bending: the tension steel 1000 mm²
  // at d = 460, the compression steel 2500 mm² at d′ = 60.
  const Section s{1000, 500, 15, 60, 2500, 460, 1000};
  const testref::Stresses ref = testref::CrackedBending(s, 150e6);
  SectionStressInput neg = Rect(1000, 2500, -150e6, 0);
  neg.c_comp = 40;
  neg.c_tens = 60;
  const SectionStressResult r = SectionStress(neg);
  EXPECT_NEAR(r.sigma_c, ref.sc, 1e-6);
  EXPECT_NEAR(r.sigma_s, ref.ss, 1e-4);
}

TEST(SectionStress, ShearStressUsesTheLeverArmOfTheDoublyReinforcedSection) {
  // k = √(2n(p′·d′/d + p) + (n(p + p′))²) − n(p + p′), j = 1 − k/3.
  const double d = 450, b = 1000, n = 15, p = 2000 / (b * d), pc = 1000 / (b * d);
  const double k = std::sqrt(2 * n * (pc * 50 / d + p) + std::pow(n * (p + pc), 2)) - n * (p + pc);
  const double j = 1 - k / 3;
  SectionStressInput in = Rect(1000, 2000, 100e6, 0, 300e3);
  EXPECT_NEAR(SectionStress(in).tau, 300e3 / (b * j * d), 1e-9);
  in.j_is_one = true;
  EXPECT_NEAR(SectionStress(in).tau, 300e3 / (b * d), 1e-12);
  // A negative shear force gives the same stress.
  in.S = -300e3;
  EXPECT_NEAR(SectionStress(in).tau, 300e3 / (b * d), 1e-12);
}

TEST(SolveNeutralAxisCubic, PicksTheRootByTheNeutralAxisRule) {
  struct Case {
    double p, q, r;
    double r0, r1, r2, chosen;
    const char* what;
  } cases[] = {
      {-6, 11, -6, 1, 2, 3, 2, "three positive roots: the middle one"},
      {-6, 3, 10, -1, 2, 5, 2, "smallest negative: the middle one"},
      {-1, -10, -8, -2, -1, 4, 4, "two negative: the largest"},
      {-9, 24, -20, 2, 2, 5, 2, "double root"},
      {6, 11, 6, -3, -2, -1, 0.001, "all negative: at least 0.001"},
      // (x − 10)(x² − 2x + 5): one real root; the complex pair 1 ± 2i is no root.
      {-12, 25, -50, 10, 10, 10, 10, "complex pair"},
      // (x − 0.4)(x² + 2x + 10)
      {1.6, 9.2, -4, 0.4, 0.4, 0.4, 0.4, "complex pair with negative real part"},
  };
  for (const Case& c : cases) {
    const CubicRoots roots = SolveCubicRoots(c.p, c.q, c.r);
    EXPECT_NEAR(roots.sorted[0], c.r0, 1e-9) << c.what;
    EXPECT_NEAR(roots.sorted[1], c.r1, 1e-9) << c.what;
    EXPECT_NEAR(roots.sorted[2], c.r2, 1e-9) << c.what;
    EXPECT_NEAR(roots.chosen, c.chosen, 1e-9) << c.what;
    EXPECT_NEAR(SolveNeutralAxisCubic(c.p, c.q, c.r), c.chosen, 1e-9) << c.what;
  }
  // Roots are rounded to 0.001: (x − 1.23456)(x − 2)(x − 3).
  const CubicRoots r = SolveCubicRoots(-6.23456, 6 + 5 * 1.23456, -6 * 1.23456);
  EXPECT_DOUBLE_EQ(r.sorted[0], 1.235);
}

TEST(SectionStress, DegenerateSectionsGiveFiniteNumbers) {
  struct Case {
    const char* what;
    SectionStressInput in;
  };
  SectionStressInput zero;  // everything 0
  SectionStressInput no_steel = Rect(0, 0, 100e6, 0, 50e3);
  SectionStressInput no_steel_n = Rect(0, 0, 100e6, 300e3, 50e3);
  SectionStressInput same_depth = Rect(2000, 2000, 50e6, -100e3);  // d = d′
  same_depth.c_comp = 250;
  same_depth.c_tens = 250;
  SectionStressInput same_depth_tension = same_depth;
  same_depth_tension.M = 0;
  SectionStressInput crossing = Rect(2000, 2000, 50e6, 200e3);  // covers cross each other
  crossing.c_comp = 400;
  crossing.c_tens = 400;
  SectionStressInput shallow_shear = Rect(2000, 2000, 50e6, 0, 10e3);  // Hs below the cover
  shallow_shear.Hs = 20;
  SectionStressInput huge = Rect(2000, 2000, 1e15, -1e12);
  const Case cases[] = {
      {"all zero", zero},
      {"no reinforcement", no_steel},
      {"no reinforcement, compression", no_steel_n},
      {"d = d′ in tension", same_depth},
      {"d = d′, pure tension", same_depth_tension},
      {"crossing covers", crossing},
      {"shear height below the cover", shallow_shear},
      {"huge forces", huge},
  };
  for (const Case& c : cases) {
    const SectionStressResult r = SectionStress(c.in);
    EXPECT_TRUE(AllFinite(r)) << c.what;
    EXPECT_NE(r.detail.case_text, "(エラー)") << c.what;
  }
  // d = d′ under pure tension: both layers share the force, 100 kN / 4000 mm².
  EXPECT_NEAR(SectionStress(same_depth_tension).sigma_s, 25, 1e-6);
  // Zero forces become M = N = 0.01: pure bending of a 1 × 1 section.
  EXPECT_EQ(SectionStress(zero).code, 1);
}

}  // namespace
}  // namespace vaultra
