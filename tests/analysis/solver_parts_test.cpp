// The internal solver's parts on their own, against beam-table values
// worked by hand: the element stiffness, the equivalent end loads of
// distributed and concentrated loads, the strip sums of both paths, and the
// banded factorisation against the dense reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
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

TEST(MemberLoads, PowerSumsAreThoseOfTheStripsTakenOneByOne) {
  // The sums must be the bits of a walk over the strips that snapshots the
  // sums at each point: the result files are compared byte for byte. Points
  // on strip centres, between them, repeated, outside the load, out of
  // order and not numbers.
  auto walk = [](double q1, double q2, double h0, double h1, const std::vector<double>& xs) {
    StripSums r;
    r.split.assign(xs.size(), 0);
    r.left.assign(xs.size(), {});
    const double l = h1 - h0;
    const int n = StripCount(l);
    const double w = l / n;
    std::array<double, 4> s{};
    std::size_t i = 0;
    for (int k = 0; k < n; ++k) {
      const double hm = h0 + (k + 0.5) * w;
      for (; i < xs.size() && xs[i] < hm; ++i) r.split[i] = k, r.left[i] = s;
      const double F = (q1 + (q2 - q1) * (hm - h0) / l) * w;
      const double h2 = hm * hm, h3 = h2 * hm;
      s[0] = s[0] + F, s[1] = s[1] + F * hm, s[2] = s[2] + F * h2, s[3] = s[3] + F * h3;
    }
    for (; i < xs.size(); ++i) r.split[i] = n, r.left[i] = s;
    r.n = n;
    r.total = s;
    return r;
  };
  const double nan = std::nan("");
  struct Load {
    double q1, q2, h0, h1;
  };
  const std::vector<Load> loads = {{10, 10, 0, 4},
                                   {-3.7, 12.1, 0.35, 2.917},
                                   {5, 0, 1.2, 1.2004},
                                   {1e-3, 7, 0.1, 0.1 + 1e-9},
                                   {2, 3, -1, 7.777}};
  for (const Load& ld : loads) {
    const double l = ld.h1 - ld.h0, w = l / StripCount(l);
    const double c7 = ld.h0 + 7.5 * w;  // a strip centre, when there are eight strips
    const std::vector<std::vector<double>> point_sets = {
        {ld.h0 - 1, ld.h0, ld.h0 + l / 3, ld.h0 + l / 2, ld.h1, ld.h1 + 1},
        {c7, c7, std::nextafter(c7, 0.0), std::nextafter(c7, 10.0), ld.h1},
        {ld.h0 + 0.7 * l, ld.h0 + 0.2 * l, ld.h0 + 0.9 * l},  // out of order
        {nan, ld.h0 + l / 2, nan},
        {-std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity()},
        {}};
    for (const auto& xs : point_sets) {
      StripSums got;
      SumStrips(ld.q1, ld.q2, ld.h0, ld.h1, xs.data(), static_cast<int>(xs.size()), got);
      const StripSums want = walk(ld.q1, ld.q2, ld.h0, ld.h1, xs);
      ASSERT_EQ(got.n, want.n);
      EXPECT_EQ(got.split, want.split) << ld.h0 << ".." << ld.h1;
      for (std::size_t i = 0; i < xs.size(); ++i)
        for (std::size_t p = 0; p < 4; ++p)
          EXPECT_EQ(std::bit_cast<std::uint64_t>(got.left[i][p]),
                    std::bit_cast<std::uint64_t>(want.left[i][p]))
              << "point " << i << " power " << p;
      for (std::size_t p = 0; p < 4; ++p)
        EXPECT_EQ(std::bit_cast<std::uint64_t>(got.total[p]),
                  std::bit_cast<std::uint64_t>(want.total[p]));
    }
  }
}

TEST(MemberLoads, AllPointsAtOnceGiveTheBitsOfEachPointAlone) {
  // The effects at a member's points are worked out in one pass, sharing
  // strip sums and the parts before and beyond the load between points;
  // each point must still get the bits it gets on its own. Loads on part
  // of the member (points before, on and beyond them), a tenth-long spring
  // load, global loads with both parts, a point load and a couple.
  const double L = 3.2;
  const MemberData base = [&] {
    MemberData m = Member(L, kEndRigid, kEndPin);
    m.c = 0.6, m.s = 0.8;  // inclined: global loads have an axial part
    m.points = {0, 0.01, 0.32, 0.64, 0.64, 0.96, 1.1, 1.6, 2.24, 2.5, 3.19, L};
    return m;
  }();
  const std::vector<FrameLoadItem> items = {
      Item(kLoadDistNormal, 4, 9, 0.64, 0.96),           // on [0.64, 2.24]: points on both ends
      Item(kLoadDistNormal, -2.5, 1.5, 0.32, L - 0.64),  // a tenth, as a spring load
      Item(kLoadDistGlobalY, 12, 3, 0, 0),
      Item(kLoadDistGlobalX, -1, 6, 1.0, 0.5),
      Item(kLoadDistAxial, 2, 2, 0.2, 0.2),
      Item(kLoadPointGlobalY, 30, 0, 1.6, 0),
      Item(kLoadMoment, 7, 0, 1.1, 0),
  };
  for (bool reference : {false, true}) {
    for (const FrameLoadItem& it : items) {
      auto run = [&](const std::vector<double>& points, bool deflections = true) {
        MemberData m = base;
        m.points = points;
        std::vector<PointCubics> cubics;
        for (double x : points) cubics.push_back(CubicsAt(m, x, deflections));
        const std::function<const std::vector<PointCubics>&()> cubics_of =
            [&]() -> const std::vector<PointCubics>& { return cubics; };
        PointValues v;
        for (auto* c : {&v.M, &v.N, &v.D, &v.sload}) c->assign(points.size(), 0.5);
        StripSums sums;
        AddItemEffects(it, m, reference, cubics_of, sums, v, deflections);
        return v;
      };
      const PointValues all = run(base.points);
      // Without deflections: the same moments and forces, deflections untouched.
      const PointValues lean = run(base.points, false);
      EXPECT_EQ(lean.M, all.M) << "type " << it.type;
      EXPECT_EQ(lean.N, all.N) << "type " << it.type;
      EXPECT_EQ(lean.sload, all.sload) << "type " << it.type;
      EXPECT_EQ(lean.D, std::vector<double>(base.points.size(), 0.5)) << "type " << it.type;
      for (std::size_t k = 0; k < base.points.size(); ++k) {
        const PointValues one = run({base.points[k]});
        auto bits = [](double v) { return std::bit_cast<std::uint64_t>(v); };
        EXPECT_EQ(bits(all.M[k]), bits(one.M[0])) << "M type " << it.type << " point " << k;
        EXPECT_EQ(bits(all.N[k]), bits(one.N[0])) << "N type " << it.type << " point " << k;
        EXPECT_EQ(bits(all.D[k]), bits(one.D[0])) << "D type " << it.type << " point " << k;
        EXPECT_EQ(bits(all.sload[k]), bits(one.sload[0])) << "S type " << it.type << " point " << k;
      }
    }
  }
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
