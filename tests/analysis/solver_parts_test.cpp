// The internal solver's parts on their own, against beam-table values
// worked by hand: the element stiffness, the equivalent end loads of
// distributed and concentrated loads, the strip sums of both paths, and the
// banded factorisation against the dense reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis/banded_factor.h"
#include "analysis/beam_element.h"
#include "analysis/member_loads.h"
#include "analysis/stiffness_system.h"

namespace vaultra::solver {
namespace {

// A horizontal member of length L with the given end codes, EI = 2000,
// EA = 1e6.
MemberData Member(double L, int ei, int ej) {
  MemberData m;
  m.valid = true;
  m.L = m.Lc = L;
  m.E = 1000;
  m.A = 1000;
  m.I = 2;
  m.ei = ei;
  m.ej = ej;
  m.ends = UnitFixedEnd(ei, ej, L, Poly::Var());
  return m;
}

FrameLoadItem Item(int type, double d1, double d2, double d3, double d4) {
  FrameLoadItem it;
  it.type = type;
  it.d1 = d1, it.d2 = d2, it.d3 = d3, it.d4 = d4;
  return it;
}

TEST(BeamElement, StiffnessTermsAreTheSlopeDeflectionValues) {
  const double L = 4, EI = 2000, EA = 1e6;
  const Mat6 k = LocalStiffness(Member(L, kEndRigid, kEndRigid));
  auto at = [&k](int r, int c) { return k[static_cast<std::size_t>(r * 6 + c)]; };
  EXPECT_DOUBLE_EQ(at(0, 0), EA / L);
  EXPECT_DOUBLE_EQ(at(0, 3), -EA / L);
  EXPECT_DOUBLE_EQ(at(1, 1), 12 * EI / (L * L * L));
  EXPECT_DOUBLE_EQ(at(1, 2), 6 * EI / (L * L));
  EXPECT_DOUBLE_EQ(at(2, 2), 4 * EI / L);
  EXPECT_DOUBLE_EQ(at(2, 5), 2 * EI / L);
  EXPECT_DOUBLE_EQ(at(5, 2), 2 * EI / L);  // symmetric
  // A pinned i-end condenses its rotation out: 3EI terms, nothing at i.
  const Mat6 p = LocalStiffness(Member(L, kEndPin, kEndRigid));
  EXPECT_DOUBLE_EQ(p[1 * 6 + 1], 3 * EI / (L * L * L));
  EXPECT_DOUBLE_EQ(p[5 * 6 + 5], 3 * EI / L);
  EXPECT_EQ(p[2 * 6 + 2], 0.0);
  EXPECT_EQ(p[2 * 6 + 5], 0.0);
}

TEST(MemberLoads, EquivalentEndLoadsAreTheBeamTableValues) {
  const double L = 4, q = 10, P = 8;
  struct Case {
    const char* what;
    int ei, ej;
    FrameLoadItem item;
    Vec6 expected;  // [Ni, Si, Mi, Nj, Sj, Mj]
  };
  const Case cases[] = {
      {"uniform load, both ends fixed",
       kEndRigid,
       kEndRigid,
       Item(kLoadDistNormal, q, q, 0, 0),
       {0, q * L / 2, q * L * L / 12, 0, q * L / 2, -q * L * L / 12}},
      {"uniform load, i-end pinned",
       kEndPin,
       kEndRigid,
       Item(kLoadDistNormal, q, q, 0, 0),
       {0, 3 * q * L / 8, 0, 0, 5 * q * L / 8, -q * L * L / 8}},
      {"point load at mid-span, both ends fixed",
       kEndRigid,
       kEndRigid,
       Item(kLoadPointNormal, P, 0, L / 2, 0),
       {0, P / 2, P * L / 8, 0, P / 2, -P * L / 8}},
      {"point load at a quarter, both ends pinned",
       kEndPin,
       kEndPin,
       Item(kLoadPointNormal, P, 0, L / 4, 0),
       {0, 0.75 * P, 0, 0, 0.25 * P, 0}},
      {"uniform axial load",
       kEndRigid,
       kEndRigid,
       Item(kLoadDistAxial, q, q, 0, 0),
       {q * L / 2, 0, 0, q * L / 2, 0, 0}},
  };
  for (const Case& c : cases) {
    const MemberData m = Member(L, c.ei, c.ej);
    Vec6 f{};
    AddEquivalent(Decompose(c.item, m), m, f);
    for (std::size_t i = 0; i < 6; ++i)
      EXPECT_NEAR(f[i], c.expected[i], 1e-9) << c.what << " " << i;
  }
}

TEST(MemberLoads, BothStripPathsGiveTheMidSpanMomentOfAUniformLoad) {
  // Fixed-fixed, uniform q: the load's own moment at mid-span is the simple
  // beam's qL^2/8 less the fixed-end line qL^2/12, i.e. qL^2/24.
  const double L = 4, q = 10;
  MemberData m = Member(L, kEndRigid, kEndRigid);
  const std::vector<double> xs = {L / 4, L / 2};
  const Strips st = MakeStrips(q, q, 0, L);
  StripSums sums;
  SumStrips(q, q, 0, L, xs.data(), static_cast<int>(xs.size()), sums);
  ASSERT_GT(sums.n, 399);  // 0.01 m strips
  for (std::size_t i = 0; i < xs.size(); ++i) {
    const double x = xs[i];
    const double reference =
        StripSum(st, x, [&](double h, bool left) { return MomentAt(m, h, x, left); });
    const PointCubics c = CubicsAt(m, x);
    const double fast = StripValue(sums, static_cast<int>(i), c.moment[0], c.moment[1]);
    EXPECT_NEAR(fast, reference, 1e-9 * std::fabs(reference)) << x;
    // Exact: q x (L - x) / 2 - q L^2 / 12 (the strips approximate it).
    const double exact = q * x * (L - x) / 2 - q * L * L / 12;
    EXPECT_NEAR(reference, exact, 1e-4 * q * L * L) << x;
  }
  EXPECT_NEAR(StripSum(st, L / 2, [&](double h, bool left) { return MomentAt(m, h, L / 2, left); }),
              q * L * L / 24, 1e-4 * q * L * L);
}

// Three nodes, each direction the chain [e -1 0; -1 m -1; 0 -1 e]. With
// e = m = 2 one load of 1 in every degree of freedom gives 1.5, 2, 1.5 by
// hand; with e = 1, m = 2 it is two springs with nothing held: a mechanism.
System Chain(double end, double middle) {
  System sys;
  sys.n = 9;
  sys.restrained.assign(9, false);
  sys.blocks.assign(3, {});
  for (int p = 0; p < 3; ++p)
    for (int q = std::max(0, p - 1); q <= std::min(2, p + 1); ++q) {
      auto& b = sys.blocks[static_cast<std::size_t>(p)][q];
      for (int d = 0; d < 3; ++d)
        b[static_cast<std::size_t>(d * 3 + d)] = p != q ? -1 : p == 1 ? middle : end;
    }
  sys.row_max.assign(9, 2.0);
  return sys;
}

TEST(StiffnessSystem, BandedFactorAndDenseReferenceSolveTheChainByHand) {
  const System sys = Chain(2, 2);
  const std::vector<double> load(9, 1.0);
  std::vector<double> dense, banded;
  ASSERT_TRUE(SolveDense(sys, load, dense));
  std::vector<int> order = ReverseCuthillMcKee(sys);
  std::vector<int> sorted = order;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, (std::vector<int>{0, 1, 2}));  // a permutation of the nodes
  const Factor f = FactorSystem(sys, order);
  ASSERT_TRUE(f.usable);
  ASSERT_TRUE(SolveFactor(f, sys.n, load, banded));
  const double hand[3] = {1.5, 2, 1.5};
  for (int d = 0; d < 9; ++d) {
    EXPECT_NEAR(dense[static_cast<std::size_t>(d)], hand[d / 3], 1e-12) << d;
    EXPECT_NEAR(banded[static_cast<std::size_t>(d)], hand[d / 3], 1e-12) << d;
  }
  // A restrained degree of freedom stays at zero in both.
  System held = sys;
  held.restrained[4] = true;
  ASSERT_TRUE(SolveDense(held, load, dense));
  ASSERT_TRUE(SolveFactor(FactorSystem(held, order), held.n, load, banded));
  EXPECT_EQ(dense[4], 0.0);
  EXPECT_EQ(banded[4], 0.0);
  EXPECT_NEAR(dense[1], 0.5, 1e-12);  // 2 u = 1 with the middle held
  EXPECT_NEAR(banded[1], 0.5, 1e-12);
}

TEST(StiffnessSystem, AMechanismIsRefusedByBothPaths) {
  const System sys = Chain(1, 2);
  const std::vector<double> load(9, 1.0);
  std::vector<double> u;
  EXPECT_FALSE(SolveDense(sys, load, u));
  EXPECT_FALSE(FactorSystem(sys, ReverseCuthillMcKee(sys)).usable);
}

}  // namespace
}  // namespace vaultra::solver
