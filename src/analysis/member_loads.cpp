#include "analysis/member_loads.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

namespace vaultra::solver {

// Loaded part of a linearly varying load: resultant and centroid (from the
// i-end) of q1..q2 over [h0, h1].
void Resultant(double q1, double q2, double h0, double h1, double* R, double* xbar) {
  double l = h1 - h0;
  *R = l * (q1 + q2) / 2;
  if (std::fabs(*R) <= 1e-9 || std::fabs(q1 + q2) < 1e-300)
    *xbar = h0 + l / 2;
  else
    *xbar = h0 + l * (q1 + 2 * q2) / (3 * (q1 + q2));
}

ItemParts Decompose(const FrameLoadItem& it, const MemberData& m) {
  ItemParts p;
  double c = m.c, s = m.s;
  auto split = [&](double d, double* ax, double* no) {
    switch (it.type) {
      case kLoadDistAxial:
      case kLoadPointAxial:
        *ax = d, *no = 0;
        break;
      case kLoadDistNormal:
      case kLoadPointNormal:
      case kLoadMoment:
        *ax = 0, *no = d;
        break;
      case kLoadDistGlobalX:
      case kLoadPointGlobalX:
        *ax = c * d, *no = -s * d;
        break;
      case kLoadDistGlobalY:
      case kLoadPointGlobalY:
        *ax = s * d, *no = c * d;
        break;
      default:
        *ax = 0, *no = 0;
    }
  };
  switch (it.type) {
    case kLoadDistAxial:
    case kLoadDistNormal:
    case kLoadDistGlobalX:
    case kLoadDistGlobalY:
      p.kind = 1;
      split(it.d1, &p.a1, &p.n1);
      split(it.d2, &p.a2, &p.n2);
      p.h0 = it.d3;
      p.h1 = m.L - it.d4;
      break;
    case kLoadPointAxial:
    case kLoadPointNormal:
    case kLoadPointGlobalX:
    case kLoadPointGlobalY:
      p.kind = 2;
      split(it.d1, &p.a1, &p.n1);
      p.h0 = it.d3;
      break;
    case kLoadMoment:
      p.kind = 3;
      p.n1 = it.d1;
      p.h0 = it.d3;
      break;
    case kLoadTemperature:
      p.kind = 4;
      p.dt = it.d1;
      break;
    default:
      break;
  }
  return p;
}

// Equivalent member-end loads [Ni, Si, Mi, Nj, Sj, Mj] of one item part.
void AddEquivalent(const ItemParts& p, const MemberData& m, Vec6& f) {
  double L = m.Lc;
  double Ni = 0, Nj = 0, Ri = 0, Rj = 0, mi = 0, mj = 0;
  if (p.kind == 1) {
    double l = p.h1 - p.h0;
    if (l >= kMinLength && std::fabs(m.L) >= kMinLength) {
      Poly q = Poly(p.n1 - (p.n2 - p.n1) * p.h0 / l) + Poly::Var() * ((p.n2 - p.n1) / l);
      const UnitEnds<Poly>& u = m.ends;
      Ri = (q * u.ri).Integral(p.h0, p.h1);
      Rj = (q * u.rj).Integral(p.h0, p.h1);
      mi = (q * u.mi).Integral(p.h0, p.h1);
      mj = (q * u.mj).Integral(p.h0, p.h1);
      double R, xb;
      Resultant(p.a1, p.a2, p.h0, p.h1, &R, &xb);
      Ni = R * (L - xb) / L;
      Nj = R * xb / L;
    }
  } else if (p.kind == 2) {
    UnitEnds<double> u = UnitFixedEnd(m.ei, m.ej, L, p.h0);
    Ri = p.n1 * u.ri, Rj = p.n1 * u.rj, mi = p.n1 * u.mi, mj = p.n1 * u.mj;
    Ni = p.a1 * (L - p.h0) / L;
    Nj = p.a1 * p.h0 / L;
  } else if (p.kind == 3) {
    // A couple is the limit of two opposite forces: the derivative of the
    // force formulas with respect to the position.
    const UnitEnds<Poly>& u = m.ends;
    Ri = p.n1 * u.ri.Derivative().Eval(p.h0);
    Rj = p.n1 * u.rj.Derivative().Eval(p.h0);
    mi = p.n1 * u.mi.Derivative().Eval(p.h0);
    mj = p.n1 * u.mj.Derivative().Eval(p.h0);
  } else if (p.kind == 4) {
    double u = p.dt * m.E * m.A * m.alpha;
    Ni = -u;
    Nj = u;
  }
  f[0] += Ni, f[1] += Ri, f[2] -= mi, f[3] += Nj, f[4] += Rj, f[5] -= mj;
}

// The tenth (0 .. 9) of a member that a relative position r lies in; a
// position that is no number lies in the first.
int TenthIndex(double r) {
  if (!(r > 0)) return 0;
  if (!(r < 1)) return 9;
  return std::min(static_cast<int>(r * 10), 9);
}

// Strips of 0.01 m over a loaded length l > 0; members of a kilometre and
// more (no frame of this system) get wider strips instead of an overflow.
int StripCount(double l) {
  constexpr double kMaxStrips = 1e5;
  return static_cast<int>(std::min(std::floor(l / 0.01), kMaxStrips)) + 1;
}

Strips MakeStrips(double q1, double q2, double h0, double h1) {
  Strips st;
  double l = h1 - h0;
  if (!(l > 0) || !std::isfinite(l)) return st;
  const int n = StripCount(l);
  double w = l / n;
  st.h.resize(n);
  st.F.resize(n);
  for (int k = 0; k < n; ++k) {
    double hm = h0 + (k + 0.5) * w;
    st.h[k] = hm;
    st.F[k] = (q1 + (q2 - q1) * (hm - h0) / l) * w;
  }
  return st;
}

namespace {

// Adds the strips [k0, k1) to the power sums. The centres and forces are
// the expressions of MakeStrips, term by term, so the sums are those of the
// strip-by-strip path added in the same order.
void AddStrips(double q1, double q2, double h0, double l, double w, int k0, int k1,
               std::array<double, 4>& s) {
  double s0 = s[0], s1 = s[1], s2 = s[2], s3 = s[3];
  int k = k0;
  // Two strips at a time in the two lanes of a vector: each lane does the
  // scalar operations, so only the sums wait on each other (added in strip
  // order below), and one division serves two strips.
  using Pair = double __attribute__((vector_size(16)));
  const Pair ph0 = {h0, h0}, pw = {w, w}, pl = {l, l}, pq1 = {q1, q1}, pdq = {q2 - q1, q2 - q1};
  for (; k + 1 < k1; k += 2) {
    const Pair centre = {k + 0.5, k + 1.5};
    const Pair hm = ph0 + centre * pw;
    const Pair F = (pq1 + pdq * (hm - ph0) / pl) * pw;
    const Pair h2 = hm * hm, h3 = h2 * hm;
    const Pair Fh = F * hm, Fh2 = F * h2, Fh3 = F * h3;
    s0 = s0 + F[0], s1 = s1 + Fh[0], s2 = s2 + Fh2[0], s3 = s3 + Fh3[0];
    s0 = s0 + F[1], s1 = s1 + Fh[1], s2 = s2 + Fh2[1], s3 = s3 + Fh3[1];
  }
  for (; k < k1; ++k) {
    double hm = h0 + (k + 0.5) * w;
    double F = (q1 + (q2 - q1) * (hm - h0) / l) * w;
    // F h^p with the powers built by successive products.
    double h2 = hm * hm, h3 = h2 * hm;
    s0 = s0 + F;
    s1 = s1 + F * hm;
    s2 = s2 + F * h2;
    s3 = s3 + F * h3;
  }
  s = {s0, s1, s2, s3};
}

}  // namespace

// Fills sums for the ascending points xs[0..nx).
void SumStrips(double q1, double q2, double h0, double h1, const double* xs, int nx,
               StripSums& sums) {
  sums.n = 0;
  sums.split.resize(static_cast<std::size_t>(nx));  // every entry is set below
  sums.left.resize(static_cast<std::size_t>(nx));
  sums.total = {};
  double l = h1 - h0;
  if (!(l > 0) || !std::isfinite(l)) {
    std::fill(sums.split.begin(), sums.split.end(), 0);
    std::fill(sums.left.begin(), sums.left.end(), std::array<double, 4>{});
    return;
  }
  const int n = StripCount(l);
  double w = l / n;
  auto centre = [&](int k) { return h0 + (k + 0.5) * w; };
  std::array<double, 4> s{};
  // A point's split is the first strip, not before the last point's, whose
  // centre lies beyond it. The centres grow with k (every operation rounds
  // monotonically), so the split is found by a guess from the width and a
  // step or two, and the strips between two splits are summed without a
  // test per strip. Points before the next strip or past the last centre
  // (most points of a load on part of a member) need no guess.
  const double last_centre = centre(n - 1);
  int k = 0;
  for (int i = 0; i < nx; ++i) {
    const double x = xs[i];
    int e = k;
    if (k == n || x >= last_centre) {
      e = n;
    } else if (!(x < centre(k))) {
      const double guess = (x - h0) / w + 0.5;  // not a number: no strip lies beyond x
      e = guess > k ? (guess < n ? static_cast<int>(guess) : n) : k;
      while (e > k && x < centre(e - 1)) --e;
      while (e < n && !(x < centre(e))) ++e;
    }
    if (e > k) AddStrips(q1, q2, h0, l, w, k, e, s);
    k = e;
    sums.split[static_cast<std::size_t>(i)] = k;
    sums.left[static_cast<std::size_t>(i)] = s;
  }
  if (k < n) AddStrips(q1, q2, h0, l, w, k, n, s);
  sums.n = n;
  sums.total = s;
}

namespace {

// x + 0 and x - 0 are x for every x but a negative zero (with a zero of
// either sign): what lets the member results skip the sums of a zero part.
bool NegativeZero(double v) {
  return v == 0 && std::signbit(v);
}
bool NoNegativeZero(const std::vector<double>& values) {
  return std::none_of(values.begin(), values.end(), NegativeZero);
}

}  // namespace

void AddItemEffects(const FrameLoadItem& it, const MemberData& m, bool reference,
                    const std::function<const std::vector<PointCubics>&()>& cubics_of,
                    StripSums& sums, PointValues& values, bool deflections) {
  auto& [M, N, D, sload] = values;
  const int np = static_cast<int>(m.points.size());
  const double L = m.Lc;
  ItemParts p = Decompose(it, m);
  if (p.kind == 1) {
    double l = p.h1 - p.h0;
    // A part that is zero (the axial part of a vertical load on a slab, the
    // normal part of one on a wall) adds a signed zero to every value:
    // nothing changes but a negative zero, so its sums are skipped wherever
    // no value is one.
    const bool fast_zero = !reference && L > 0;
    const bool no_axial = fast_zero && p.a1 == 0 && p.a2 == 0;
    const bool no_normal = fast_zero && p.n1 == 0 && p.n2 == 0;
    if (reference) {
      Strips st = MakeStrips(p.n1, p.n2, p.h0, p.h1);
      for (int k = 0; k < np; ++k) {
        double x = m.points[k];
        M[k] -= StripSum(st, x, [&](double h, bool left) { return MomentAt(m, h, x, left); });
        if (deflections)
          D[k] -= 1000 *
                  StripSum(st, x, [&](double h, bool left) { return DeflectionAt(m, h, x, left); });
      }
    } else if (!(no_normal && NoNegativeZero(M) && NoNegativeZero(D))) {
      const std::vector<PointCubics>& cubics = cubics_of();
      SumStrips(p.n1, p.n2, p.h0, p.h1, m.points.data(), np, sums);
      for (int k = 0; k < np; ++k) {
        const PointCubics& c = cubics[static_cast<std::size_t>(k)];
        M[k] -= StripValue(sums, k, c.moment[0], c.moment[1]);
        if (deflections) D[k] -= 1000 * StripValue(sums, k, c.deflection[0], c.deflection[1]);
      }
    }
    // Axial and normal parts beyond and before x, exactly. They depend on x
    // only through its place xc on the load: the points before the load all
    // have xc = h0 and those beyond it xc = h1, so a share is worked out
    // once for a run of points with the same xc (bit for bit the same
    // value) - most points of the tenth-long spring loads lie off them.
    auto at = [&](double q1, double q2, double h) { return q1 + (q2 - q1) * (h - p.h0) / l; };
    auto share = [&](double q1, double q2, double xc) {
      double Ra, xa, Rb, xb;
      Resultant(q1, at(q1, q2, xc), p.h0, xc, &Ra, &xa);
      Resultant(at(q1, q2, xc), q2, xc, p.h1, &Rb, &xb);
      return Rb * (L - xb) / L - Ra * xa / L;
    };
    std::uint64_t shares_at = 0;
    bool have_axial = false, have_normal = false;
    double axial = 0, normal = 0;
    for (int k = 0; k < np && l > 0; ++k) {
      const double xc = std::clamp(m.points[k], p.h0, p.h1);
      const auto xc_bits = std::bit_cast<std::uint64_t>(xc);
      if (xc_bits != shares_at || xc != xc) {
        shares_at = xc_bits;
        have_axial = have_normal = false;
      }
      if (!(no_axial && !NegativeZero(N[k]))) {
        if (!have_axial) axial = share(p.a1, p.a2, xc), have_axial = true;
        N[k] += axial;
      }
      if (!(no_normal && !NegativeZero(sload[k]))) {
        if (!have_normal) normal = share(p.n1, p.n2, xc), have_normal = true;
        sload[k] += normal;
      }
    }
  } else if (p.kind == 2) {
    for (int k = 0; k < np; ++k) {
      double x = m.points[k];
      bool left = p.h0 <= x;
      M[k] -= p.n1 * MomentAt(m, p.h0, x, left);
      if (deflections) D[k] -= 1000 * p.n1 * DeflectionAt(m, p.h0, x, left);
      bool before = x <= p.h0;
      N[k] += p.a1 * (before ? (L - p.h0) / L : -p.h0 / L);
      sload[k] += p.n1 * (before ? (L - p.h0) / L : -p.h0 / L);
    }
  } else if (p.kind == 3) {
    const std::vector<PointCubics>& cubics = cubics_of();
    for (int k = 0; k < np; ++k) {
      const PointCubics& c = cubics[static_cast<std::size_t>(k)];
      int b = p.h0 <= m.points[k] ? 0 : 1;
      M[k] -= p.n1 * c.moment[b].Derivative().Eval(p.h0);
      if (deflections) D[k] -= 1000 * p.n1 * c.deflection[b].Derivative().Eval(p.h0);
      sload[k] += -p.n1 / L;
    }
  } else if (p.kind == 4) {
    for (int k = 0; k < np; ++k) N[k] += -p.dt * m.E * m.A * m.alpha;
  }
}

}  // namespace vaultra::solver
