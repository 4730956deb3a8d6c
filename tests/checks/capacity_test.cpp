#include "checks/capacity.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "checks/rc_reference.h"
#include "core/number.h"

namespace vaultra {
namespace {

constexpr double kEcu = 0.0035;

// f′ck = 24 with γc = 1, fyk = 345 with γs = 1, Es = 200000, Ec = 25000.
UltimateParams Params() {
  UltimateParams p;
  p.SetGammaC(1);
  p.SetGammaS(1);
  p.SetFck(24);
  p.SetFyk(345);
  p.SetEc(25000);
  p.SetEs(200000);
  return p;
}

TEST(UltimateParams, SettersIgnoreZeroAndKeepTheDefaults) {
  UltimateParams p;
  EXPECT_DOUBLE_EQ(p.gamma_c(), 1.3);
  EXPECT_DOUBLE_EQ(p.gamma_s(), 1.0);
  EXPECT_DOUBLE_EQ(p.gamma_b(), 1.15);
  EXPECT_DOUBLE_EQ(p.fck(), 40);
  EXPECT_DOUBLE_EQ(p.fyk(), 295);
  EXPECT_DOUBLE_EQ(p.Ec(), 25000);
  EXPECT_DOUBLE_EQ(p.Es(), 200000);
  EXPECT_DOUBLE_EQ(p.theta(), std::numbers::pi / 2);
  EXPECT_DOUBLE_EQ(p.SetFck(0), 40);
  EXPECT_DOUBLE_EQ(p.SetFck(30), 30);
  EXPECT_DOUBLE_EQ(p.SetGammaC(0), 1.3);
  EXPECT_DOUBLE_EQ(p.fcd(), 30 / 1.3);
  EXPECT_DOUBLE_EQ(p.n(), 8);
  EXPECT_DOUBLE_EQ(p.eps_y(), 295.0 / 200000);
}

TEST(UltimateFlexure, AxialForceAloneGivesTheSquashLoad) {
  const UltimateParams p;  // defaults: f′cd = 40/1.3, fyd = 295
  const UltimateFlexureResult r = UltimateFlexure(p, 300, 1000, 50, 1000, 50, 1000, 0, 500);
  EXPECT_EQ(r.code, 1);
  EXPECT_NEAR(r.Nud, (295.0 * 2000 + 0.85 * (40 / 1.3) * 300000) * 0.001, 1e-9);  // 8436.15
  EXPECT_NEAR(r.Nud, 8436.15, 0.01);
  EXPECT_DOUBLE_EQ(r.Mud, 0.001);
  EXPECT_EQ(r.detail.case_text, "① 軸力のみが作用する場合");
  // Under tension only the steel counts.
  EXPECT_NEAR(UltimateFlexure(p, 300, 1000, 50, 1000, 50, 1000, 0, -500).Nud, -295.0 * 2000 * 0.001,
              1e-9);
}

TEST(UltimateFlexure, PureBendingOfASinglyReinforcedSection) {
  // C = T: x = As·fyd/(0.68·f′cd·b) = 42.279 mm; Mu = T·(d − 0.4x) = 298.83 kN·m.
  const UltimateFlexureResult r = UltimateFlexure(Params(), 500, 1000, 50, 0, 50, 2000, 200, 0);
  const double x = 2000 * 345 / (0.68 * 24 * 1000);
  EXPECT_EQ(r.code, 5);
  // N′d = 0 is taken as 0.001 kN, which moves x by about 1 N / (0.68·f′cd·b).
  EXPECT_NEAR(r.detail.x, x, 2e-4);
  EXPECT_NEAR(r.Mud, 2000 * 345 * (450 - 0.4 * x) * 1e-6, 1e-3);
  EXPECT_NEAR(r.Mud, 298.83, 0.01);
}

TEST(UltimateFlexure, TensionFailureWithYieldedCompressionSteel) {
  // A′s = 1000 at 30 mm, As = 3000 at d = 450; N′d = 1000 kN at e = 400 mm.
  const testref::UltSection s{1000, 500, 30, 1000, 450, 3000, 24, 345, 200000, 8};
  const testref::UltResult ref = testref::UltimateAtEccentricity(
      s, 400, [](double) { return 345.0; }, [](double) { return 345.0; }, 1, 450);
  ASSERT_GE(kEcu * (ref.x - 30) / ref.x, 345.0 / 200000);  // the compression steel yields
  const UltimateFlexureResult r =
      UltimateFlexure(Params(), 500, 1000, 30, 1000, 50, 3000, 400, 1000);
  EXPECT_EQ(r.code, 5);
  EXPECT_EQ(r.detail.case_text, "③-(1) 鉄筋の引張破壊で圧縮鉄筋が降伏している   ε's≧ε'yd");
  EXPECT_NEAR(r.detail.x, ref.x, 1e-6);
  EXPECT_NEAR(r.Nud, ref.Nu * 0.001, 1e-4);
  EXPECT_NEAR(r.Mud, ref.Mu * 1e-6, 1e-4);
  EXPECT_NEAR(r.Mud / r.Nud, 0.4, 1e-6);  // on the line of the force
  EXPECT_GT(r.detail.e, r.detail.eb);
}

TEST(UltimateFlexure, TensionFailureWithElasticCompressionSteel) {
  // A′s = 2000 at 100 mm stays elastic: σ′s = Es·ε′cu·(x − d′)/x.
  const testref::UltSection s{1000, 500, 100, 2000, 450, 2000, 24, 345, 200000, 8};
  auto comp = [](double x) { return std::min(200000 * kEcu * (x - 100) / x, 345.0); };
  const testref::UltResult ref = testref::UltimateAtEccentricity(
      s, 3000, comp, [](double) { return 345.0; }, 1, 450);
  const UltimateFlexureResult r =
      UltimateFlexure(Params(), 500, 1000, 100, 2000, 50, 2000, 300, 100);
  EXPECT_EQ(r.code, 6);
  EXPECT_EQ(r.detail.case_text, "③-(2) 鉄筋の引張破壊で圧縮鉄筋は降伏していない ε's＜ε'yd");
  EXPECT_NEAR(r.detail.x, ref.x, 1e-3);
  EXPECT_NEAR(r.Nud, ref.Nu * 0.001, 0.05);
  EXPECT_NEAR(r.Mud, ref.Mu * 1e-6, 0.1);
  EXPECT_DOUBLE_EQ(r.detail.poly[0], 1);  // a cubic was solved
}

TEST(UltimateFlexure, TensileAxialForceAlwaysTakesTheTensionPath) {
  const testref::UltSection s{1000, 500, 50, 2000, 450, 2000, 24, 345, 200000, 8};
  auto comp = [](double x) { return std::min(200000 * kEcu * (x - 50) / x, 345.0); };
  const testref::UltResult ref = testref::UltimateAtEccentricity(
      s, -2000, comp, [](double) { return 345.0; }, 1, 450);
  const UltimateFlexureResult r =
      UltimateFlexure(Params(), 500, 1000, 50, 2000, 50, 2000, 200, -100);
  EXPECT_EQ(r.code, 6);  // ③-(2) even if ε′s ≥ εy would hold
  EXPECT_NEAR(r.Nud, ref.Nu * 0.001, 0.05);
  EXPECT_NEAR(r.Mud, ref.Mu * 1e-6, 0.1);
  EXPECT_LT(r.Nud, 0);
}

TEST(UltimateFlexure, SteelStressesStayWithinYieldUnderNearlyCentricTension) {
  // Both layers 2000 mm² (d′ = 50, d = 450). The upper layer is stretched
  // beyond yield and carries −fyd; the capacity lies on the line of the force
  // and never exceeds the steel's (As + A′s)·fyd = 1380 kN.
  const testref::UltSection s{1000, 500, 50, 2000, 450, 2000, 24, 345, 200000, 8};
  auto comp = [](double x) { return std::clamp(200000 * kEcu * (x - 50) / x, -345.0, 345.0); };
  struct Case {
    double M, N;
  } cases[] = {{1, -2000}, {10, -500}, {50, -500}, {100, -2000}};
  for (const Case& c : cases) {
    const double e = c.M * 1000 / c.N;
    const testref::UltResult ref = testref::UltimateAtEccentricity(
        s, e, comp, [](double) { return 345.0; }, 1e-4, 450);
    const UltimateFlexureResult r =
        UltimateFlexure(Params(), 500, 1000, 50, 2000, 50, 2000, c.M, c.N);
    EXPECT_EQ(r.code, 6) << e;
    EXPECT_NEAR(r.detail.x, ref.x, 1e-6) << e;
    EXPECT_NEAR(r.Nud, ref.Nu * 1e-3, 1e-4) << e;
    EXPECT_NEAR(r.Mud, ref.Mu * 1e-6, 1e-4) << e;
    EXPECT_GE(r.Nud, -1380.0) << e;
    EXPECT_NEAR(r.Mud / r.Nud * 1000, e, 1e-6 * std::fabs(e) + 1e-9) << e;
  }
}

TEST(UltimateFlexure, TensionAboveTheOnlySteelLayerHasNoCapacity) {
  // As = 2000 at d = 450, centroid 256 mm: a tension 5 mm below the centroid
  // lies above the steel; concrete compression and steel tension cannot
  // have their resultant there.
  const UltimateFlexureResult r = UltimateFlexure(Params(), 500, 1000, 50, 0, 50, 2000, 10, -2000);
  EXPECT_DOUBLE_EQ(r.Nud, 0);
  EXPECT_DOUBLE_EQ(r.Mud, 0);
  // Below the steel (e = −400 mm) the section carries it on the load line.
  const UltimateFlexureResult ok = UltimateFlexure(Params(), 500, 1000, 50, 0, 50, 2000, 200, -500);
  EXPECT_LT(ok.Nud, 0);
  EXPECT_NEAR(ok.Mud / ok.Nud * 1000, -400, 0.01);  // x rounded to 0.001
}

TEST(UltimateFlexure, TensionBetweenTheLayersBeyondTheCrushingModelIsCarriedByTheSteel) {
  // A′s = 2000 at 100, As = 5000 at 450, centroid (n′ = 8) 260.07 mm;
  // 500 kN tension at e = −20 mm acts at 280.07 mm. The upper layer yields,
  // the lower one takes the rest by the lever rule.
  const double yc = (1000 * 500.0 * 250 + 8 * 2000 * 100.0 + 8 * 5000 * 450.0) / (500000 + 56000.0);
  const double yT = yc + 20;
  const double T = std::min(2000 * 345 * 350 / (450 - yT), 5000 * 345 * 350 / (yT - 100));
  const UltimateFlexureResult r =
      UltimateFlexure(Params(), 500, 1000, 100, 2000, 50, 5000, 10, -500);
  EXPECT_NEAR(r.Nud, -T * 1e-3, 1e-6);  // 1421.2 kN
  EXPECT_NEAR(r.Nud, -1421.2, 0.1);
  EXPECT_NEAR(r.Mud, T * 20 * 1e-6, 1e-6);
  // Below the lower layer's share limit the result never exceeds the steel's yield force.
  EXPECT_GE(r.Nud, -(2000 + 5000) * 345 * 1e-3);
}

TEST(UltimateFlexure, CompressionFailureWithElasticTensionSteel) {
  // N′d = 5000 kN at e = 20 mm < eb = 185.5 mm.
  const testref::UltSection s{1000, 500, 50, 2000, 450, 2000, 24, 345, 200000, 8};
  auto tens = [](double x) { return 200000 * kEcu * (450 - x) / x; };
  const testref::UltResult ref = testref::UltimateAtEccentricity(
      s, 20, [](double) { return 345.0; }, tens, 100, 2000);
  const UltimateFlexureResult r =
      UltimateFlexure(Params(), 500, 1000, 50, 2000, 50, 2000, 100, 5000);
  EXPECT_EQ(r.code, 4);
  EXPECT_EQ(r.detail.case_text, "② コンクリート圧縮の破壊");
  // Balanced point by hand: xb = 0.0035/(0.0035 + 345/200000)·450, eb = Mb/N′b.
  const double xb = kEcu / (kEcu + 345.0 / 200000) * 450;
  const double Cb = 0.68 * 24 * 1000 * xb;
  EXPECT_NEAR(r.detail.Nb, Cb, 1e-6);
  EXPECT_NEAR(r.detail.eb, ((250 - 0.4 * xb) * Cb + 2 * 2000 * 345 * 200) / Cb, 1e-6);
  EXPECT_NEAR(r.detail.x, ref.x, 1e-3);
  EXPECT_NEAR(r.Nud, ref.Nu * 0.001, 0.05);
  EXPECT_NEAR(r.Mud, ref.Mu * 1e-6, 0.01);
}

TEST(UltimateFlexure, HeavilyReinforcedSectionUnderCompressionCrushesTheConcrete) {
  // b = H = 300, As = 6000 at d = 250: As·fyd exceeds the balanced concrete
  // force, so N′b < 0 and eb < 0. Under a compressive force the steel stays
  // elastic at the capacity (ε_s < εy); a yielding-steel solution would
  // overstate the moment.
  const testref::UltSection s{300, 300, 0, 0, 250, 6000, 24, 345, 200000, 8};
  auto tens = [](double x) { return 200000 * kEcu * (250 - x) / x; };
  const testref::UltResult ref = testref::UltimateAtEccentricity(
      s, 1000, [](double) { return 0.0; }, tens, 1, 250);
  ASSERT_LT(kEcu * (250 - ref.x) / ref.x, 345.0 / 200000);
  const UltimateFlexureResult r = UltimateFlexure(Params(), 300, 300, 50, 0, 50, 6000, 100, 100);
  EXPECT_LT(r.detail.Nb, 0);
  EXPECT_EQ(r.code, 4);
  EXPECT_NEAR(r.detail.x, ref.x, 1e-3);
  // The cubic's roots are rounded to 0.001 mm.
  EXPECT_NEAR(r.Mud, ref.Mu * 1e-6, 0.05);
  EXPECT_NEAR(r.Nud, ref.Nu * 1e-3, 0.05);
}

TEST(UltimateFlexure, NegativeMomentMirrorsTheSection) {
  const UltimateFlexureResult a =
      UltimateFlexure(Params(), 500, 1000, 30, 1000, 50, 3000, -400, 1000);
  const UltimateFlexureResult b =
      UltimateFlexure(Params(), 500, 1000, 50, 3000, 30, 1000, 400, 1000);
  EXPECT_EQ(a.code, -b.code);
  EXPECT_DOUBLE_EQ(a.Mud, b.Mud);
  EXPECT_DOUBLE_EQ(a.Nud, b.Nud);
}

TEST(UltimateFlexure, DegenerateInputsGiveFiniteResults) {
  UltimateParams p = Params();
  // As·fyd = Cb: the balanced axial force N′b is zero.
  const double As_balanced = 0.68 * 24 * 1000 * (kEcu / (kEcu + 345.0 / 200000) * 450) / 345;
  struct Case {
    const char* what;
    double H, b, cc, Asc, ct, Ast, M, N;
  } cases[] = {
      {"all zero", 0, 0, 0, 0, 0, 0, 0, 0},
      {"no steel", 500, 1000, 50, 0, 50, 0, 100, 100},
      {"no steel in tension", 500, 1000, 50, 0, 50, 0, 100, -100},
      {"cover beyond the height", 100, 1000, 150, 1000, 150, 1000, 50, 10},
      {"balanced force zero", 500, 1000, 50, 0, 50, As_balanced, 10, 10},
      {"zero width", 500, 0, 50, 1000, 50, 1000, 100, 1000},
  };
  for (const Case& c : cases) {
    const UltimateFlexureResult r =
        UltimateFlexure(p, c.H, c.b, c.cc, c.Asc, c.ct, c.Ast, c.M, c.N);
    EXPECT_TRUE(std::isfinite(r.Nud) && std::isfinite(r.Mud)) << c.what;
    EXPECT_TRUE(std::isfinite(r.detail.eb) && std::isfinite(r.detail.x)) << c.what;
    for (double v : r.detail.roots) EXPECT_TRUE(std::isfinite(v)) << c.what;
  }
}

// b = 1000, H = 500, c = 50 (d = 450), As = 2000, f′ck = 24, γc = 1.3, γb1 = γb2 = 1.15.
ShearCapacityResult Shear(double Md, double Nd, double Aw = 0, double s = 0, double fck = 24,
                          double H = 500, double As = 2000) {
  UltimateParams p;
  p.SetFck(fck);
  p.SetFyk(345);
  return ShearCapacity(p, Aw, H, 1000, 50, 0, 50, As, Md, Nd, 345, s);
}

TEST(ShearCapacity, ConcreteShareByTheDesignFormula) {
  // Vcd = βd·βp·βn·fvcd·bw·d/γb1 with fvcd = 0.2·∛f′cd, βd = ⁴√(1000/d), βp = ∛(100·pw).
  const double fcd = 24 / 1.3;
  const double fvcd = 0.2 * std::cbrt(fcd);
  const double bd = std::pow(1000.0 / 450, 0.25), bp = std::cbrt(100 * 2000 / (1000.0 * 450));
  const ShearCapacityResult r = Shear(100, 0);
  EXPECT_NEAR(r.detail.fvcd, fvcd, 1e-12);
  EXPECT_NEAR(r.detail.beta_d, bd, 1e-12);
  EXPECT_NEAR(r.detail.beta_p, bp, 1e-12);
  EXPECT_DOUBLE_EQ(r.detail.beta_n, 1);
  EXPECT_NEAR(r.Vcd, bd * bp * fvcd * 1000 * 450 / 1.15 * 0.001, 1e-9);
  EXPECT_NEAR(r.Vcd, 192.72, 0.01);
  EXPECT_DOUBLE_EQ(r.Vsd, 0);
  // βn with an axial force: M0 = N·H/6 against max(2·Md, Mu0).
  const double Mu0 = 2000 * 345 * (450 - 450 * (345 / (0.85 * 24)) * (2000 / 450000.0) / 2);
  const ShearCapacityResult c = Shear(100, 300);
  EXPECT_NEAR(c.detail.Mud, std::max(2 * 100e6, Mu0), 1e-3);
  EXPECT_NEAR(c.detail.beta_n, 1 + 2 * (300e3 * 500 / 6) / std::max(2 * 100e6, Mu0), 1e-12);
  const ShearCapacityResult t = Shear(100, -300);
  EXPECT_NEAR(t.detail.beta_n, 1 - 4 * (300e3 * 500 / 6) / std::max(2 * 100e6, Mu0), 1e-12);
}

TEST(ShearCapacity, FactorsAreCapped) {
  struct Case {
    const char* what;
    ShearCapacityResult r;
    double fvcd, beta_d, beta_p, beta_n;  // < 0: not checked
  } cases[] = {
      {"thin member: βd at most 1.5", Shear(10, 0, 0, 0, 24, 150, 100), -1, 1.5, -1, -1},
      {"heavy steel: βp at most 1.5", Shear(10, 0, 0, 0, 24, 500, 20000), -1, -1, 1.5, -1},
      {"high strength: fvcd at most 0.72", Shear(10, 0, 0, 0, 80), 0.72, -1, -1, -1},
      {"large compression: βn at most 2", Shear(1, 100000), -1, -1, -1, 2},
      {"large tension: βn at least 0", Shear(1, -100000), -1, -1, -1, 0},
  };
  for (const Case& c : cases) {
    if (c.fvcd >= 0) {
      EXPECT_DOUBLE_EQ(c.r.detail.fvcd, c.fvcd) << c.what;
    }
    if (c.beta_d >= 0) {
      EXPECT_DOUBLE_EQ(c.r.detail.beta_d, c.beta_d) << c.what;
    }
    if (c.beta_p >= 0) {
      EXPECT_DOUBLE_EQ(c.r.detail.beta_p, c.beta_p) << c.what;
    }
    if (c.beta_n >= 0) {
      EXPECT_DOUBLE_EQ(c.r.detail.beta_n, c.beta_n) << c.what;
    }
  }
  EXPECT_DOUBLE_EQ(Shear(1, -100000).Vcd, 0);
}

TEST(ShearCapacity, StirrupShareAndItsSpacing) {
  // Vsd = Aw·fwyd·(sin θ + cos θ)·(d/1.15)/s/γb2 = 400·345·(450/1.15)/200/1.15 N.
  EXPECT_NEAR(Shear(100, 0, 400, 200).Vsd, 400 * 345 * (450 / 1.15) / 200 / 1.15 * 0.001, 1e-9);
  // Spacing 0 means no stirrups (spacing 10⁶).
  EXPECT_NEAR(Shear(100, 0, 400, 0).Vsd, 400 * 345 * (450 / 1.15) / 1e6 / 1.15 * 0.001, 1e-12);
  // A negative moment uses the other face: its steel and cover.
  UltimateParams p;
  const ShearCapacityResult neg = ShearCapacity(p, 0, 500, 1000, 80, 2000, 50, 0, -100, 0, 345, 0);
  EXPECT_DOUBLE_EQ(neg.detail.d, 420);
}

TEST(RequiredShearSteel, CoversTheShearBeyondTheConcreteShare) {
  // Aw = s·γb2·(γi·|Vd| − Vcd)/(fwyd·d/1.15).
  EXPECT_NEAR(RequiredShearSteel(1.1, 1.15, 345, 200e3, -300e3, 150, 450),
              150 * 1.15 * (1.1 * 300e3 - 200e3) / (345 * 450 / 1.15), 1e-9);
  EXPECT_TRUE(std::isfinite(RequiredShearSteel(1, 1, 0, 0, 1e3, 100, 0)));
}

TEST(AllowableShearCorrection, FactorsForDepthSteelRatioAndAxialForce) {
  struct Case {
    double d, As, N, M;
    double Ce, Cpt, CN;
  } cases[] = {
      {300, 300, 0, 1e6, 1.4, 0.7, 1},         // pt = 0.1 exactly
      {200, 300, 0, 1e6, 1.4, 0.8, 1},         // pt = 0.15
      {650, 2600, 0, 1e6, 1.2, 1.1, 1},        // pt = 0.4
      {1000, 20000, 0, 1e6, 1.0, 1.5, 1},      // pt = 2
      {450, 4500, -1e5, 5e7, 1.31, 1.5, 1},    // tension: CN = 1
      {450, 4500, 1e5, 5e7, 1.31, 1.5, 1.17},  // M0 = N·h/6 = 8.33 kN·m
      {450, 4500, 1e6, 5e7, 1.31, 1.5, 2},     // limited to 2
  };
  const double h = 500, b = 1000;
  for (const Case& c : cases) {
    const ShearCorrection r =
        AllowableShearCorrection(0.5, h, b, c.d, b * h, c.As, b * h * h * h / 12, c.M, c.N);
    EXPECT_DOUBLE_EQ(r.Ce, c.Ce) << c.d;
    EXPECT_DOUBLE_EQ(r.Cpt, c.Cpt) << c.d;
    EXPECT_DOUBLE_EQ(r.CN, c.CN) << c.d;
    EXPECT_NEAR(r.tau_a, RoundTo3(0.5 * c.Ce * c.Cpt * c.CN), 1e-12) << c.d;
  }
  // Project switches replace a factor by 1.
  const ShearCorrection off =
      AllowableShearCorrection(0.5, h, b, 200, b * h, 300, 1e10, 1e6, 1e5, {true, true, true});
  EXPECT_DOUBLE_EQ(off.tau_a, 0.5);
  // A section without area or moment stays finite.
  const ShearCorrection zero = AllowableShearCorrection(0.5, 0, 0, 0, 0, 0, 0, 0, 1e5);
  EXPECT_TRUE(std::isfinite(zero.tau_a));
  EXPECT_DOUBLE_EQ(zero.CN, 1);
}

TEST(AllowableShearCorrection, ThickMembersFollowTheTableBelowOne) {
  const double h = 3000, b = 1000;
  auto ce = [&](double d) { return AllowableShearCorrection(0.5, h, b, d, b * h, 0, 1, 1, 0).Ce; };
  EXPECT_DOUBLE_EQ(ce(2000), 0.85);
  EXPECT_DOUBLE_EQ(ce(3000), 0.7);
  EXPECT_DOUBLE_EQ(ce(20000), 0.5);
  EXPECT_GT(ce(4000), 0);
}

TEST(AllowableShearAndStirrups, TablesAndRequiredStirrups) {
  // Table 1, σck = 24: τa1 = 0.23, τa2 = 1.7; Aw = 1.15·(S − τa1·b·d)·s/(σsa·d).
  const StirrupDemand t1 =
      AllowableShearAndStirrups(24, 1000, 450, 160, 2000, 200, -200e3, false, false);
  EXPECT_DOUBLE_EQ(t1.tau_a1, 0.23);
  EXPECT_DOUBLE_EQ(t1.tau_a2, 1.7);
  EXPECT_NEAR(t1.Aw, 1.15 * (200e3 - 0.23 * 1000 * 450) * 200 / (160 * 450), 1e-9);  // 308.26
  // Table 2 with the lever arm of the singly reinforced section and half the concrete share.
  const double p = 2000 / 450000.0, k = std::sqrt(225 * p * p + 30 * p) - 15 * p, j = 1 - k / 3;
  const StirrupDemand t2 =
      AllowableShearAndStirrups(24, 1000, 450, 160, 2000, 200, 200e3, true, false);
  EXPECT_DOUBLE_EQ(t2.tau_a1, 0.45);
  EXPECT_DOUBLE_EQ(t2.tau_a2, 2.0);
  EXPECT_NEAR(t2.j, j, 1e-12);
  EXPECT_NEAR(t2.Aw, (200e3 - 0.5 * 0.45 * 1000 * j * 450) * 200 / (160 * j * 450), 1e-9);
  // Seismic: both allowables times 1.5.
  const StirrupDemand s =
      AllowableShearAndStirrups(24, 1000, 450, 160, 2000, 200, 1e3, false, true);
  EXPECT_DOUBLE_EQ(s.tau_a1, 0.23 * 1.5);
  EXPECT_DOUBLE_EQ(s.tau_a2, 1.7 * 1.5);
  EXPECT_DOUBLE_EQ(s.Aw, 0);
  // Row bounds.
  struct Row {
    double sigma_ck, t1;
  } rows[] = {{18.01, 0.22}, {18.02, 0.22}, {21.02, 0.23}, {24.01, 0.23}, {27, 0.24},
              {30.01, 0.25}, {36, 0.26},    {36.02, 0.27}, {60, 0.27}};
  for (const Row& r : rows) EXPECT_DOUBLE_EQ(ConcreteShearStress(r.sigma_ck), r.t1) << r.sigma_ck;
  // A zero section gives a finite area.
  EXPECT_TRUE(std::isfinite(AllowableShearAndStirrups(24, 0, 0, 0, 0, 100, 1e3, true, false).Aw));
}

}  // namespace
}  // namespace vaultra
