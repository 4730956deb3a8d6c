#include "analysis/frame_solver.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <utility>
#include <vector>

#include "core/number.h"

namespace vaultra {

namespace {

constexpr double kMinLength = 0.0001;
constexpr double kZeroRow = 1e-32;
// A pivot below this fraction of the largest diagonal term marks the system
// singular: the structure is a mechanism for this support and spring case.
constexpr double kSingularRatio = 1e-12;

// ---------------------------------------------------------------------------
// Polynomials in the load position h, so that one formula serves a single
// load (evaluated), a strip sum (coefficients times power sums), an exact
// integral over a loaded length and a concentrated moment (derivative).

struct Poly {
  static constexpr int kN = 6;  // degree 5 at most: a cubic times a linear load
  std::array<double, kN> c{};
  Poly() = default;
  Poly(double v) { c[0] = v; }  // NOLINT: constants mix into formulas
  static Poly Var() {
    Poly p;
    p.c[1] = 1;
    return p;
  }
  double Eval(double h) const {
    double v = 0;
    for (int i = kN - 1; i >= 0; --i) v = v * h + c[i];
    return v;
  }
  Poly Derivative() const {
    Poly d;
    for (int i = 1; i < kN; ++i) d.c[i - 1] = c[i] * i;
    return d;
  }
  // Integral from a to b.
  double Integral(double a, double b) const {
    double fa = 0, fb = 0;
    for (int i = kN - 1; i >= 0; --i) {
      fa = fa * a + c[i] / (i + 1);
      fb = fb * b + c[i] / (i + 1);
    }
    return fb * b - fa * a;
  }
};
Poly operator+(const Poly& a, const Poly& b) {
  Poly r;
  for (int i = 0; i < Poly::kN; ++i) r.c[i] = a.c[i] + b.c[i];
  return r;
}
Poly operator-(const Poly& a, const Poly& b) {
  Poly r;
  for (int i = 0; i < Poly::kN; ++i) r.c[i] = a.c[i] - b.c[i];
  return r;
}
Poly operator*(const Poly& a, const Poly& b) {
  Poly r;
  for (int i = 0; i < Poly::kN; ++i)
    for (int j = 0; i + j < Poly::kN; ++j) r.c[i + j] += a.c[i] * b.c[j];
  return r;
}
Poly operator/(const Poly& a, double d) {
  Poly r;
  for (int i = 0; i < Poly::kN; ++i) r.c[i] = a.c[i] / d;
  return r;
}

// Fixed-end quantities of a unit force normal to the member at h, by the
// end codes: the shares ri, rj carried to the ends and the end moments
// mi, mj (moments on the member, counter-clockwise positive).
template <class T>
struct UnitEnds {
  T ri, rj, mi, mj;
};

template <class T>
UnitEnds<T> UnitFixedEnd(int ei, int ej, double L, const T& h) {
  T a = h;
  T b = T(L) - h;
  double L2 = L * L, L3 = L2 * L;
  UnitEnds<T> u{T(0.0), T(0.0), T(0.0), T(0.0)};
  if (ei == kEndRigid && ej == kEndRigid) {
    u.ri = b * b * (T(L) + a * 2.0) / L3;
    u.rj = a * a * (T(L) + b * 2.0) / L3;
    u.mi = T(0.0) - a * b * b / L2;
    u.mj = a * a * b / L2;
  } else if (ei == kEndPin && ej == kEndRigid) {
    u.ri = b * b * (a * 3.0 + b * 2.0) / (2 * L3);
    u.rj = T(1.0) - u.ri;
    u.mj = a * b * (b + a * 2.0) / (2 * L2);
  } else if (ei == kEndRigid && ej == kEndPin) {
    u.rj = a * a * (b * 3.0 + a * 2.0) / (2 * L3);
    u.ri = T(1.0) - u.rj;
    u.mi = T(0.0) - a * b * (a + b * 2.0) / (2 * L2);
  } else {
    u.ri = b / L;
    u.rj = a / L;
  }
  return u;
}

inline Poly operator*(const Poly& a, double d) {
  Poly r;
  for (int i = 0; i < Poly::kN; ++i) r.c[i] = a.c[i] * d;
  return r;
}

// Moment m_load at x of a unit normal force at h, for the branch the force
// lies in (left: h <= x): simple-beam moment minus the line of the
// fixed-end moments.
template <class T>
T UnitMomentLoad(const UnitEnds<T>& u, double L, const T& h, double x, bool left) {
  T simple = left ? h * ((L - x) / L) : (T(L) - h) * (x / L);
  T mi_sag = T(0.0) - u.mi;
  return simple - (mi_sag * (1 - x / L) + u.mj * (x / L));
}

// Deflection (in the force's direction) at x of a unit normal force at h,
// by beam theory for the end codes; a member with one pinned end is the
// propped cantilever (simple beam less the deflection of its end moment).
template <class T>
T UnitDeflection(int ei, int ej, const UnitEnds<T>& u, double L, double EI, const T& h, double x,
                 bool left) {
  T a = h;
  T b = T(L) - h;
  if (ei == kEndRigid && ej == kEndRigid) {
    double den = std::max(6 * EI * L * L, 1.0);
    if (!left) return b * b * (x * x) * (a * 3.0 - T(3 * x) + b * (2 * x / L)) / den;
    double xr = L - x;
    return a * a * (xr * xr) * (b * 3.0 - T(3 * xr) + a * (2 * xr / L)) / den;
  }
  double den = std::max(6 * EI * L, 1.0);
  T simple = left ? a * (L - x) * (b * (b + a * 2.0) - T((L - x) * (L - x))) / den
                  : b * x * (a * (a + b * 2.0) - T(x * x)) / den;
  if (ei == kEndPin && ej == kEndPin) return simple;
  if (ei == kEndPin) return simple - u.mj * (x * (L * L - x * x) / den);
  double xr = L - x;
  return simple - (T(0.0) - u.mi) * (xr * (L * L - xr * xr) / den);
}

// ---------------------------------------------------------------------------
// Member data prepared once per run.

using Mat6 = std::array<double, 36>;
using Vec6 = std::array<double, 6>;

struct MemberData {
  bool valid = false;  // both nodes found
  int ni = 0, nj = 0;  // node indices (1-based)
  double L = 0;        // length
  double Lc = 0;       // length floored for divisions
  double c = 1, s = 0;
  double E = 1, A = 1, I = 1, alpha = 0;
  int ei = 0, ej = 0;
  Mat6 k{};   // local stiffness
  Mat6 kg{};  // global stiffness
  std::vector<double> points;
  UnitEnds<Poly> ends;  // fixed-end quantities of a unit force, in its position
};

// Fixed-end quantities of a unit force at h: evaluated for one position,
// the member's cached polynomials for a strip sum.
inline UnitEnds<double> Ends(const MemberData& m, double h) {
  return UnitFixedEnd(m.ei, m.ej, m.Lc, h);
}
inline const UnitEnds<Poly>& Ends(const MemberData& m, const Poly&) {
  return m.ends;
}

// Moment and deflection at x of a unit normal force at h.
template <class T>
T MomentAt(const MemberData& m, const T& h, double x, bool left) {
  return UnitMomentLoad(Ends(m, h), m.Lc, h, x, left);
}
template <class T>
T DeflectionAt(const MemberData& m, const T& h, double x, bool left) {
  return UnitDeflection(m.ei, m.ej, Ends(m, h), m.Lc, m.E * m.I, h, x, left);
}

// The unit formulas at one evaluation point x of a member, as cubics in the
// load position: [0] for a force at or left of x, [1] right of it.
struct PointCubics {
  std::array<Poly, 2> moment, deflection;
};

PointCubics CubicsAt(const MemberData& m, double x) {
  PointCubics c;
  for (int b = 0; b < 2; ++b) {
    c.moment[b] = MomentAt(m, Poly::Var(), x, b == 0);
    c.deflection[b] = DeflectionAt(m, Poly::Var(), x, b == 0);
  }
  return c;
}

double Clamp88(double v) {
  if (v > 1e88) return 1e88;
  if (v < -1e88) return -1e88;
  if (std::fabs(v) < 1e-88) return 0;
  return v;
}

Mat6 LocalStiffness(const MemberData& m) {
  Mat6 k{};
  auto set = [&](int r, int c, double v) {
    k[r * 6 + c] = v;
    k[c * 6 + r] = v;
  };
  double L = m.Lc;
  double ea = m.E * m.A / L, ei = m.E * m.I;
  set(0, 0, ea);
  set(3, 3, ea);
  set(0, 3, -ea);
  if (m.ei == kEndRigid && m.ej == kEndRigid) {
    double a = 12 * ei / (L * L * L), b = 6 * ei / (L * L), c4 = 4 * ei / L, c2 = 2 * ei / L;
    set(1, 1, a), set(1, 2, b), set(1, 4, -a), set(1, 5, b);
    set(2, 2, c4), set(2, 4, -b), set(2, 5, c2);
    set(4, 4, a), set(4, 5, -b), set(5, 5, c4);
  } else if (m.ei == kEndPin && m.ej == kEndRigid) {
    double a = 3 * ei / (L * L * L), b = 3 * ei / (L * L), c3 = 3 * ei / L;
    set(1, 1, a), set(1, 4, -a), set(1, 5, b);
    set(4, 4, a), set(4, 5, -b), set(5, 5, c3);
  } else if (m.ei == kEndRigid && m.ej == kEndPin) {
    double a = 3 * ei / (L * L * L), b = 3 * ei / (L * L), c3 = 3 * ei / L;
    set(1, 1, a), set(1, 2, b), set(1, 4, -a);
    set(2, 2, c3), set(2, 4, -b), set(4, 4, a);
  }
  return k;
}

// T for one end: rows (c, s, 0), (-s, c, 0), (0, 0, 1).
Mat6 Transform(double c, double s) {
  Mat6 t{};
  for (int e = 0; e < 2; ++e) {
    int o = 3 * e;
    t[(o + 0) * 6 + o + 0] = c;
    t[(o + 0) * 6 + o + 1] = s;
    t[(o + 1) * 6 + o + 0] = -s;
    t[(o + 1) * 6 + o + 1] = c;
    t[(o + 2) * 6 + o + 2] = 1;
  }
  return t;
}

Mat6 MulClamped(const Mat6& a, const Mat6& b, bool transpose_a) {
  Mat6 r{};
  for (int i = 0; i < 6; ++i)
    for (int j = 0; j < 6; ++j) {
      double v = 0;
      for (int k = 0; k < 6; ++k) v += (transpose_a ? a[k * 6 + i] : a[i * 6 + k]) * b[k * 6 + j];
      r[i * 6 + j] = Clamp88(v);
    }
  return r;
}

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

// x + 0 and x - 0 are x for every x but a negative zero (with a zero of
// either sign): what lets the member results skip the sums of a zero part.
bool NegativeZero(double v) {
  return v == 0 && std::signbit(v);
}
bool NoNegativeZero(const std::vector<double>& values) {
  return std::none_of(values.begin(), values.end(), NegativeZero);
}

// Parts of a load item in member axes.
struct ItemParts {
  int kind = 0;           // 0 none, 1 distributed, 2 concentrated, 3 moment, 4 temperature
  double a1 = 0, a2 = 0;  // axial part (start, end)
  double n1 = 0, n2 = 0;  // normal part (start, end)
  double h0 = 0, h1 = 0;  // loaded extent (distributed) or position (h0)
  double dt = 0;
};

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

// The first value of the model that is not a finite number (or a
// coordinate too large to square), named; empty when every value is usable. The solver's arithmetic and the indexes it
// derives from positions rely on finite inputs.
std::string NonFiniteInput(const FrameModel& m) {
  auto bad = [](double v) { return !std::isfinite(v); };
  // Lengths are squared: coordinates beyond this overflow into infinities.
  constexpr double kMaxCoordinate = 1e6;
  for (int i = 1; i <= m.nodes.Count(); ++i)
    if (bad(m.nodes[i].x) || bad(m.nodes[i].y) || std::fabs(m.nodes[i].x) > kMaxCoordinate ||
        std::fabs(m.nodes[i].y) > kMaxCoordinate)
      return Format("格点 %d の座標 (%g, %g) が数値でないか大きすぎます", m.nodes[i].number,
                    m.nodes[i].x, m.nodes[i].y);
  for (int i = 1; i <= m.materials.Count(); ++i)
    if (bad(m.materials[i].e) || bad(m.materials[i].alpha))
      return Format("材質 %d の値が数値ではありません", m.materials[i].number);
  for (int i = 1; i <= m.sections.Count(); ++i)
    if (bad(m.sections[i].area) || bad(m.sections[i].inertia))
      return Format("断面 %d の値が数値ではありません", m.sections[i].number);
  for (int c = 1; c <= m.load_cases.Count(); ++c)
    for (int i = 1; i <= m.load_cases[c].items.Count(); ++i) {
      const FrameLoadItem& it = m.load_cases[c].items[i];
      if (bad(it.d1) || bad(it.d2) || bad(it.d3) || bad(it.d4))
        return Format("荷重ケース %d の荷重 %d の値が数値ではありません", m.load_cases[c].number,
                      i);
    }
  for (int c = 1; c <= m.spring_cases.Count(); ++c)
    for (int i = 1; i <= m.spring_cases[c].springs.Count(); ++i) {
      const FrameSpring& sp = m.spring_cases[c].springs[i];
      if (bad(sp.k_normal) || bad(sp.k_tangent))
        return Format("バネケース %d のバネ %d の値が数値ではありません",
                      m.spring_cases[c].number, i);
    }
  for (int c = 1; c <= m.support_cases.Count(); ++c)
    for (int i = 1; i <= m.support_cases[c].supports.Count(); ++i)
      for (double v : m.support_cases[c].supports[i].values)
        if (bad(v))
          return Format("支点ケース %d の支点 %d の値が数値ではありません",
                        m.support_cases[c].number, i);
  for (int e = 1; e <= m.specified.Count(); ++e)
    for (int i = 1; i <= m.specified[e].positions.Count(); ++i)
      if (bad(m.specified[e].positions[i].x))
        return Format("部材 %d の着目位置が数値ではありません", m.specified[e].member);
  return {};
}

// Strips of 0.01 m over a loaded length l > 0; members of a kilometre and
// more (no frame of this system) get wider strips instead of an overflow.
int StripCount(double l) {
  constexpr double kMaxStrips = 1e5;
  return static_cast<int>(std::min(std::floor(l / 0.01), kMaxStrips)) + 1;
}

// Strips of a distributed normal load: centres and forces, ascending. The
// strips are 0.01 m wide at most; the load acts at each strip's centre.
struct Strips {
  std::vector<double> h, F;
};

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

// Sum over the strips of F_k * g(h_k), g chosen by the branch of each strip
// (strip by strip: the reference path).
template <class Fn>
double StripSum(const Strips& st, double x, Fn&& unit) {
  double v = 0;
  for (std::size_t k = 0; k < st.h.size(); ++k) {
    bool left = st.h[k] <= x;
    v += st.F[k] * unit(st.h[k], left);
  }
  return v;
}

// The same strips as power sums: a unit formula is a cubic g in the load
// position on either side of x, so the strip sum is the left cubic's
// coefficients times the sums of F_k h_k^p over the strips at or left of x
// plus the right cubic's times the rest. One pass over the strips serves
// every evaluation point.
struct StripSums {
  int n = 0;                                // strips
  std::vector<int> split;                   // strips at or left of each point
  std::vector<std::array<double, 4>> left;  // power sums of those strips
  std::array<double, 4> total{};            // power sums of all strips
};

// Fills sums for the ascending points xs[0..nx).
void SumStrips(double q1, double q2, double h0, double h1, const double* xs, int nx,
               StripSums& sums) {
  sums.n = 0;
  sums.split.assign(static_cast<std::size_t>(nx), 0);
  sums.left.assign(static_cast<std::size_t>(nx), {});
  sums.total = {};
  double l = h1 - h0;
  if (!(l > 0) || !std::isfinite(l)) return;
  const int n = StripCount(l);
  double w = l / n;
  std::array<double, 4> s{};
  int i = 0;
  for (int k = 0; k < n; ++k) {
    double hm = h0 + (k + 0.5) * w;
    for (; i < nx && xs[i] < hm; ++i) {
      sums.split[static_cast<std::size_t>(i)] = k;
      sums.left[static_cast<std::size_t>(i)] = s;
    }
    double F = (q1 + (q2 - q1) * (hm - h0) / l) * w;
    // F h^p with the powers built by successive products.
    double h2 = hm * hm, h3 = h2 * hm;
    s[0] = s[0] + F;
    s[1] = s[1] + F * hm;
    s[2] = s[2] + F * h2;
    s[3] = s[3] + F * h3;
  }
  for (; i < nx; ++i) {
    sums.split[static_cast<std::size_t>(i)] = n;
    sums.left[static_cast<std::size_t>(i)] = s;
  }
  sums.n = n;
  sums.total = s;
}

// The strip sum at point i with the cubics left and right of it.
double StripValue(const StripSums& sums, int i, const Poly& left, const Poly& right) {
  if (sums.n == 0) return 0;
  std::size_t k = static_cast<std::size_t>(i);
  int split = sums.split[k];
  const auto& below = sums.left[k];
  double v = 0;
  if (split > 0)
    for (int p = 0; p < 4; ++p) v += left.c[p] * below[p];
  if (split < sums.n)
    for (int p = 0; p < 4; ++p) v += right.c[p] * (sums.total[p] - below[p]);
  return v;
}

// ---------------------------------------------------------------------------
// Linear systems.

struct System {
  int n = 0;  // degrees of freedom (3 per node)
  std::vector<bool> restrained;
  // Global matrix as 3x3 node blocks: blocks[p] maps node q -> block (p, q).
  std::vector<std::map<int, std::array<double, 9>>> blocks;
  std::vector<double> row_max;  // largest |element| of each full row
};

// Dense Gaussian elimination without row exchange, on the free degrees of
// freedom; a vanishing pivot takes the following rows added to its own
// until it does not vanish. False when the system is singular.
bool SolveDense(const System& sys, const std::vector<double>& load, std::vector<double>& u) {
  int n = sys.n;
  std::vector<int> map(n, -1);
  std::vector<int> free;
  for (int d = 0; d < n; ++d) {
    if (sys.restrained[d]) continue;
    if (sys.row_max[d] <= kZeroRow && std::fabs(load[d]) < kZeroRow) continue;
    map[d] = static_cast<int>(free.size());
    free.push_back(d);
  }
  int m = static_cast<int>(free.size());
  u.assign(n, 0.0);
  if (m == 0) return true;
  std::vector<double> a(static_cast<std::size_t>(m) * m, 0.0), b(m);
  for (int r = 0; r < m; ++r) b[r] = load[free[r]];
  for (int p = 0; p < n / 3; ++p)
    for (const auto& [q, blk] : sys.blocks[p])
      for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
          int ri = map[3 * p + i], cj = map[3 * q + j];
          if (ri >= 0 && cj >= 0) a[static_cast<std::size_t>(ri) * m + cj] += blk[i * 3 + j];
        }
  double maxdiag = 0;
  for (int i = 0; i < m; ++i)
    maxdiag = std::max(maxdiag, std::fabs(a[static_cast<std::size_t>(i) * m + i]));
  double tol = std::max(kZeroRow, kSingularRatio * maxdiag);
  auto A = [&](int i, int j) -> double& { return a[static_cast<std::size_t>(i) * m + j]; };
  for (int i = 0; i < m; ++i) {
    if (std::fabs(A(i, i)) < kZeroRow) {
      for (int r = i + 1; r < m && std::fabs(A(i, i)) <= kZeroRow; ++r) {
        for (int j = i; j < m; ++j) A(i, j) += A(r, j);
        b[i] += b[r];
      }
      if (std::fabs(A(i, i)) <= kZeroRow) return false;
    }
    double piv = A(i, i);
    if (std::fabs(piv) < tol) return false;
    for (int j = i; j < m; ++j) A(i, j) /= piv;
    b[i] /= piv;
    for (int r = i + 1; r < m; ++r) {
      double f = A(r, i);
      for (int j = i; j < m; ++j) A(r, j) -= f * A(i, j);
      b[r] -= f * b[i];
    }
  }
  for (int i = m - 1; i >= 0; --i) {
    double v = b[i];
    for (int j = i + 1; j < m; ++j) v -= A(i, j) * b[j];
    b[i] = v;
  }
  for (int r = 0; r < m; ++r) u[free[r]] = b[r];
  return true;
}

// Banded (skyline) LDL^T of the free degrees of freedom, numbered in the
// reverse Cuthill-McKee order of the nodes.
struct Factor {
  bool usable = false;             // false: a pivot vanished, use the dense path
  std::vector<int> dof_of;         // reduced index -> dof
  std::vector<int> first;          // first column of each row
  std::vector<std::size_t> start;  // offset of each row's entries
  std::vector<double> lower;       // rows, columns first..i-1: L
  std::vector<double> diag;
  std::vector<int> zero_rows;  // free dofs with an empty row, left out
};

std::vector<int> ReverseCuthillMcKee(const System& sys) {
  int nn = sys.n / 3;
  std::vector<std::vector<int>> adj(nn);
  for (int p = 0; p < nn; ++p)
    for (const auto& kv : sys.blocks[p])
      if (kv.first != p) adj[p].push_back(kv.first);
  std::vector<int> order;
  std::vector<bool> seen(nn, false);
  order.reserve(nn);
  while (static_cast<int>(order.size()) < nn) {
    int start = -1;
    for (int p = 0; p < nn; ++p)
      if (!seen[p] && (start < 0 || adj[p].size() < adj[start].size())) start = p;
    std::size_t head = order.size();
    order.push_back(start);
    seen[start] = true;
    while (head < order.size()) {
      int p = order[head++];
      std::vector<int> next;
      for (int q : adj[p])
        if (!seen[q]) next.push_back(q), seen[q] = true;
      std::sort(next.begin(), next.end(), [&](int x, int y) {
        return adj[x].size() != adj[y].size() ? adj[x].size() < adj[y].size() : x < y;
      });
      order.insert(order.end(), next.begin(), next.end());
    }
  }
  std::reverse(order.begin(), order.end());
  return order;
}

Factor FactorSystem(const System& sys, const std::vector<int>& node_order) {
  Factor f;
  int n = sys.n;
  std::vector<int> red(n, -1);
  for (int p : node_order)
    for (int i = 0; i < 3; ++i) {
      int d = 3 * p + i;
      if (sys.restrained[d]) continue;
      if (sys.row_max[d] <= kZeroRow) {
        f.zero_rows.push_back(d);
        continue;
      }
      red[d] = static_cast<int>(f.dof_of.size());
      f.dof_of.push_back(d);
    }
  int m = static_cast<int>(f.dof_of.size());
  f.first.assign(m, 0);
  for (int r = 0; r < m; ++r) f.first[r] = r;
  for (int p = 0; p < n / 3; ++p)
    for (const auto& kv : sys.blocks[p])
      for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
          int ri = red[3 * p + i], cj = red[3 * kv.first + j];
          if (ri >= 0 && cj >= 0 && cj < ri) f.first[ri] = std::min(f.first[ri], cj);
        }
  f.start.assign(m + 1, 0);
  for (int r = 0; r < m; ++r)
    f.start[r + 1] = f.start[r] + static_cast<std::size_t>(r - f.first[r]);
  f.lower.assign(f.start[m], 0.0);
  f.diag.assign(m, 0.0);
  for (int p = 0; p < n / 3; ++p)
    for (const auto& kv : sys.blocks[p])
      for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
          int ri = red[3 * p + i], cj = red[3 * kv.first + j];
          if (ri < 0 || cj < 0) continue;
          double v = kv.second[i * 3 + j];
          if (cj == ri)
            f.diag[ri] += v;
          else if (cj < ri)
            f.lower[f.start[ri] + static_cast<std::size_t>(cj - f.first[ri])] += v;
        }
  double maxdiag = 0;
  for (double d : f.diag) maxdiag = std::max(maxdiag, std::fabs(d));
  double tol = std::max(kZeroRow, kSingularRatio * maxdiag);
  for (int i = 0; i < m; ++i) {
    int fi = f.first[i];
    double* ri = f.lower.data() + f.start[i] - fi;  // ri[j] for j in [fi, i)
    for (int j = fi; j < i; ++j) {
      int fj = f.first[j];
      const double* rj = f.lower.data() + f.start[j] - fj;
      int k0 = std::max(fi, fj);
      double s = ri[j];
      for (int k = k0; k < j; ++k) s -= ri[k] * rj[k];
      ri[j] = s;
    }
    double d = f.diag[i];
    for (int j = fi; j < i; ++j) {
      double l = ri[j] / f.diag[j];
      d -= l * ri[j];
      ri[j] = l;
    }
    if (!(std::fabs(d) >= tol)) return f;  // not usable
    f.diag[i] = d;
  }
  f.usable = true;
  return f;
}

// Solves with a factorization; false when the load needs the dense path.
bool SolveFactor(const Factor& f, int n, const std::vector<double>& load, std::vector<double>& u) {
  for (int d : f.zero_rows)
    if (std::fabs(load[d]) >= kZeroRow) return false;
  int m = static_cast<int>(f.dof_of.size());
  std::vector<double> y(m);
  for (int r = 0; r < m; ++r) y[r] = load[f.dof_of[r]];
  for (int i = 0; i < m; ++i) {
    const double* ri = f.lower.data() + f.start[i] - f.first[i];
    double s = y[i];
    for (int j = f.first[i]; j < i; ++j) s -= ri[j] * y[j];
    y[i] = s;
  }
  for (int i = 0; i < m; ++i) y[i] /= f.diag[i];
  for (int i = m - 1; i >= 0; --i) {
    const double* ri = f.lower.data() + f.start[i] - f.first[i];
    double xi = y[i];
    for (int j = f.first[i]; j < i; ++j) y[j] -= ri[j] * xi;
  }
  u.assign(n, 0.0);
  for (int r = 0; r < m; ++r) u[f.dof_of[r]] = y[r];
  return true;
}

// ---------------------------------------------------------------------------

// What the load-case solutions depend on, byte for byte: everything of the
// model but its output points, names and combinations.
std::string SolutionKey(const FrameModel& m) {
  std::string key;
  auto put = [&key](const auto& v) { key.append(reinterpret_cast<const char*>(&v), sizeof v); };
  put(m.solver_mode);
  put(m.nodes.Count());
  for (const auto& n : m.nodes) put(n.number), put(n.x), put(n.y);
  put(m.materials.Count());
  for (const auto& x : m.materials) put(x.number), put(x.e), put(x.alpha);
  put(m.sections.Count());
  for (const auto& x : m.sections) put(x.number), put(x.area), put(x.inertia);
  put(m.members.Count());
  for (const auto& e : m.members)
    put(e.number), put(e.node_i), put(e.node_j), put(e.section), put(e.material), put(e.end_i),
        put(e.end_j);
  put(m.spring_cases.Count());
  for (const auto& c : m.spring_cases) {
    put(c.number), put(c.springs.Count());
    for (const auto& sp : c.springs) put(sp.member), put(sp.k_normal), put(sp.k_tangent);
  }
  put(m.support_cases.Count());
  for (const auto& c : m.support_cases) {
    put(c.number), put(c.supports.Count());
    for (const auto& su : c.supports) put(su.node), put(su.values), put(su.type);
  }
  put(m.load_cases.Count());
  for (const auto& lc : m.load_cases) {
    put(lc.number), put(lc.spring_case), put(lc.support_case), put(lc.items.Count());
    for (const auto& it : lc.items)
      put(it.type), put(it.first_member), put(it.last_member), put(it.d1), put(it.d2), put(it.d3),
          put(it.d4);
  }
  return key;
}

struct Solver {
  Solver(FrameModel& m, AnalysisResults& r, const FrameSolveOptions& o)
      : model(m),
        res(r),
        reference(o.dense_reference),
        cache(reference ? nullptr : o.cache),
        only(o.members),
        only_combinations(o.combinations) {}
  FrameModel& model;
  AnalysisResults& res;
  bool reference;
  FrameSolveCache* cache;                      // null: nothing kept
  bool cache_hit = false;                      // the cache holds this model's solutions
  const std::vector<bool>* only;               // null: every member's values
  const std::vector<bool>* only_combinations;  // null: every case's values
  std::vector<bool> case_values;               // per case: member values computed

  // Which cases get member values: every case, or the combinations asked
  // for and the load cases they take.
  void SelectCases(int nlc, int nco) {
    case_values.assign(static_cast<std::size_t>(nlc + nco) + 1, only_combinations == nullptr);
    if (!only_combinations) return;
    for (int k = 1; k <= nco; ++k) {
      if (k >= static_cast<int>(only_combinations->size()) ||
          !(*only_combinations)[static_cast<std::size_t>(k)])
        continue;
      case_values[static_cast<std::size_t>(nlc + k)] = true;
      for (const auto& en : model.combinations[k].entries) {
        int li = FindByNumber(model.load_cases, en.load_case);
        if (li > 0) case_values[static_cast<std::size_t>(li)] = true;
      }
    }
  }

  // Whether member e gets values at its output points.
  bool Wanted(int e) const {
    return !only || (e < static_cast<int>(only->size()) && (*only)[static_cast<std::size_t>(e)]);
  }
  int nn = 0, nm = 0;
  std::vector<MemberData> mem;  // 1-based
  std::vector<int> node_order;
  std::map<std::pair<int, int>, std::pair<System, Factor>> systems;
  // Unit cubics per member at its output points and at the tenth points of
  // the spring feedback, made when a member first needs them.
  struct SpringPoints {
    std::array<double, 9> x{};
    std::vector<PointCubics> cubics;
  };
  std::vector<std::vector<PointCubics>> point_cubics;
  std::vector<SpringPoints> spring_points;
  std::vector<int> spring_slot;  // see SpringEntry
  // Scratch of the member results.
  std::vector<double> M, N, D, sload;
  StripSums sums;

  const std::vector<PointCubics>& PointCubicsOf(int e) {
    auto& c = point_cubics[static_cast<std::size_t>(e)];
    const MemberData& m = mem[e];
    if (c.size() != m.points.size()) {
      c.clear();
      for (double x : m.points) c.push_back(CubicsAt(m, x));
    }
    return c;
  }
  const SpringPoints& SpringPointsOf(int e) {
    SpringPoints& sp = spring_points[static_cast<std::size_t>(e)];
    if (sp.cubics.empty()) {
      const MemberData& m = mem[e];
      for (int k = 1; k <= 9; ++k) {
        double x = k * m.L / 10;
        sp.x[static_cast<std::size_t>(k - 1)] = x;
        sp.cubics.push_back(CubicsAt(m, x));
      }
    }
    return sp;
  }

  // Node index of a node number (0: none).
  int NodeIndex(int number) const { return FindByNumber(model.nodes, number); }

  void Prepare() {
    nn = model.nodes.Count();
    nm = model.members.Count();
    mem.assign(nm + 1, {});
    point_cubics.assign(nm + 1, {});
    spring_points.assign(nm + 1, {});
    spring_slot.assign(nm + 1, -1);
    for (int e = 1; e <= nm; ++e) {
      FrameMember& fm = model.members[e];
      MemberData& m = mem[e];
      m.ni = NodeIndex(fm.node_i);
      m.nj = NodeIndex(fm.node_j);
      m.ei = fm.end_i == kEndPin ? kEndPin : kEndRigid;
      m.ej = fm.end_j == kEndPin ? kEndPin : kEndRigid;
      double dx = 0, dy = 0;
      if (m.ni > 0 && m.nj > 0) {
        dx = model.nodes[m.nj].x - model.nodes[m.ni].x;
        dy = model.nodes[m.nj].y - model.nodes[m.ni].y;
        m.valid = true;
      }
      double r = dx * dx + dy * dy;
      m.L = r > 0 ? std::sqrt(r) : 0;
      double th = (dx == 0 && dy == 0) ? 0 : std::atan2(dy, dx);
      fm.length = m.L;
      fm.angle = th;
      m.Lc = std::max(m.L, kMinLength);
      m.c = RoundTo9(std::cos(th));
      m.s = RoundTo9(std::sin(th));
      int si = FindByNumber(model.sections, fm.section);
      int mi = FindByNumber(model.materials, fm.material);
      m.A = si ? model.sections[si].area : 1;
      m.I = si ? model.sections[si].inertia : 1;
      m.E = mi ? model.materials[mi].e : 1;
      m.alpha = mi ? model.materials[mi].alpha : 0;
      m.k = LocalStiffness(m);
      Mat6 t = Transform(m.c, m.s);
      m.kg = MulClamped(t, MulClamped(m.k, t, false), true);
      m.points = {0.0, m.L};
      m.ends = UnitFixedEnd(m.ei, m.ej, m.Lc, Poly::Var());
    }
    // Output points.
    for (const auto& d : model.equal_divisions) {
      int last = d.last_member == 0 ? d.first_member : d.last_member;
      int p = std::clamp(d.parts, 1, 20);
      for (int num = d.first_member; num <= last; ++num) {
        int e = FindByNumber(model.members, num);
        if (e == 0 || p <= 1) continue;
        auto& pts = mem[e].points;
        pts.clear();
        for (int k = 0; k < p; ++k) pts.push_back(RoundTo3(k * mem[e].L / p));
        pts.push_back(mem[e].L);
      }
    }
    for (const auto& sp : model.specified) {
      int e = FindByNumber(model.members, sp.member);
      if (e == 0) continue;
      for (const auto& pos : sp.positions)
        if (static_cast<int>(mem[e].points.size()) < kResultMaxPoints)
          mem[e].points.push_back(RoundTo3(pos.x));
    }
    for (int e = 1; e <= nm; ++e) {
      auto& pts = mem[e].points;
      std::sort(pts.begin(), pts.end());
      std::vector<double> kept;
      for (double x : pts)
        if (kept.empty() || std::fabs(x - kept.back()) > 0.0001) kept.push_back(x);
      pts = kept;
    }
    // Node order for the banded solver: members couple their end nodes.
    if (!reference) {
      System graph;
      graph.n = 3 * nn;
      graph.blocks.assign(nn, {});
      for (int e = 1; e <= nm; ++e) {
        if (!mem[e].valid) continue;
        int p = mem[e].ni - 1, q = mem[e].nj - 1;
        graph.blocks[p][q];
        graph.blocks[q][p];
        graph.blocks[p][p];
        graph.blocks[q][q];
      }
      node_order = ReverseCuthillMcKee(graph);
    }
  }

  System BuildSystem(int spring_idx, int support_idx) {
    System sys;
    sys.n = 3 * nn;
    sys.blocks.assign(nn, {});
    sys.restrained.assign(sys.n, false);
    for (int p = 0; p < nn; ++p) sys.blocks[p][p];
    auto add_diag = [&](int node, int dir, double v) {
      sys.blocks[node - 1][node - 1][dir * 3 + dir] += v;
    };
    if (support_idx > 0) {
      for (const auto& su : model.support_cases[support_idx].supports) {
        int node = NodeIndex(su.node);
        if (node == 0) continue;
        if (su.type == 5)
          for (int d = 0; d < 3; ++d) add_diag(node, d, su.values[d]);
      }
    }
    if (spring_idx > 0) {
      for (const auto& sp : model.spring_cases[spring_idx].springs) {
        int e = FindByNumber(model.members, sp.member);
        if (e == 0 || !mem[e].valid) continue;
        const MemberData& m = mem[e];
        double kn = sp.k_normal * m.L / 2, kt = sp.k_tangent * m.L / 2;
        double kx = std::fabs(m.c * kt - m.s * kn), ky = std::fabs(m.s * kt + m.c * kn);
        for (int node : {m.ni, m.nj}) {
          add_diag(node, 0, kx);
          add_diag(node, 1, ky);
        }
      }
    }
    for (int e = 1; e <= nm; ++e) {
      const MemberData& m = mem[e];
      if (!m.valid) continue;
      int nodes[2] = {m.ni - 1, m.nj - 1};
      for (int a = 0; a < 2; ++a)
        for (int b = 0; b < 2; ++b) {
          auto& blk = sys.blocks[nodes[a]][nodes[b]];
          for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) blk[i * 3 + j] += m.kg[(3 * a + i) * 6 + 3 * b + j];
        }
    }
    if (support_idx > 0) {
      for (const auto& su : model.support_cases[support_idx].supports) {
        int node = NodeIndex(su.node);
        if (node == 0) continue;
        int base = 3 * (node - 1);
        bool rx = su.type == 1 || su.type == 3 || su.type == 4;
        bool ry = su.type == 1 || su.type == 2 || su.type == 4;
        bool rr = su.type == 4;
        if (rx) sys.restrained[base] = true;
        if (ry) sys.restrained[base + 1] = true;
        if (rr) sys.restrained[base + 2] = true;
      }
    }
    sys.row_max.assign(sys.n, 0.0);
    for (int p = 0; p < nn; ++p)
      for (const auto& kv : sys.blocks[p])
        for (int i = 0; i < 3; ++i)
          for (int j = 0; j < 3; ++j)
            sys.row_max[3 * p + i] =
                std::max(sys.row_max[3 * p + i], std::fabs(kv.second[i * 3 + j]));
    return sys;
  }

  bool Solve(int spring_idx, int support_idx, const std::vector<double>& load,
             std::vector<double>& u) {
    if (reference) {
      System sys = BuildSystem(spring_idx, support_idx);
      return SolveDense(sys, load, u);
    }
    auto key = std::make_pair(spring_idx, support_idx);
    auto it = systems.find(key);
    if (it == systems.end()) {
      System sys = BuildSystem(spring_idx, support_idx);
      Factor f = FactorSystem(sys, node_order);
      it = systems.emplace(key, std::make_pair(std::move(sys), std::move(f))).first;
    }
    const auto& [sys, f] = it->second;
    if (f.usable && SolveFactor(f, sys.n, load, u)) return true;
    // (Nearly) singular or a load on an empty row: the dense rule decides.
    return SolveDense(sys, load, u);
  }

  // What the supports of a case exert on the frame after the last pass: at
  // a restrained direction the force the frame's stiffness needs beyond the
  // nodal loads, at a support spring the spring's force.
  std::vector<SupportReaction> Reactions(int spring_idx, int support_idx,
                                         const std::vector<double>& load,
                                         const std::vector<double>& u) {
    std::vector<SupportReaction> out;
    if (support_idx == 0) return out;
    System built;
    const System* sys = nullptr;
    if (reference) {
      built = BuildSystem(spring_idx, support_idx);
      sys = &built;
    } else {
      sys = &systems.at({spring_idx, support_idx}).first;
    }
    // One entry per node, in the order the nodes first appear: a node may
    // carry a restraint and springs in separate entries.
    const auto& supports = model.support_cases[support_idx].supports;
    for (int k = 1; k <= supports.Count(); ++k) {
      int node = NodeIndex(supports[k].node);
      bool seen = false;
      for (int j = 1; j < k && !seen; ++j) seen = NodeIndex(supports[j].node) == node;
      if (node == 0 || seen) continue;
      SupportReaction r;
      r.node = supports[k].node;
      int base = 3 * (node - 1);
      for (int d = 0; d < 3; ++d) {
        if (sys->restrained[base + d]) {
          double v = -load[base + d];
          for (const auto& [q, blk] : sys->blocks[node - 1])
            for (int j = 0; j < 3; ++j) v += blk[d * 3 + j] * u[3 * q + j];
          r.values[d] = v;
          continue;
        }
        for (int j = k; j <= supports.Count(); ++j)
          if (supports[j].type == 5 && NodeIndex(supports[j].node) == node)
            r.values[d] -= supports[j].values[d] * u[base + d];
      }
      out.push_back(r);
    }
    return out;
  }

  // Member results at the output points for one case (after the last pass).
  void MemberResults(int ci, const std::vector<double>& u,
                     const std::vector<std::vector<FrameLoadItem>>& member_items) {
    if (!case_values[static_cast<std::size_t>(ci)]) return;  // counts stay 0
    FrameSolveCache::Case* kept = cache ? &cache->cases[static_cast<std::size_t>(ci)] : nullptr;
    if (kept && kept->values.empty()) {
      kept->points.assign(nm + 1, {});
      kept->values.assign(nm + 1, {});
    }
    for (int e = 1; e <= nm; ++e) {
      if (!Wanted(e)) continue;  // count stays 0
      const MemberData& m = mem[e];
      MemberCaseResult& out = res.At(ci, e);
      std::size_t ke = static_cast<std::size_t>(e);
      if (kept && !kept->points[ke].empty() && kept->points[ke] == m.points) {
        out = kept->values[ke];  // the same solution at the same points
        continue;
      }
      int np = static_cast<int>(m.points.size());
      out.count = np;
      double L = m.Lc;
      Vec6 ug{}, d{}, f{};
      if (m.valid) {
        for (int k = 0; k < 3; ++k) {
          ug[k] = u[3 * (m.ni - 1) + k];
          ug[3 + k] = u[3 * (m.nj - 1) + k];
        }
      }
      if (m.ei == kEndPin) ug[2] = 0;
      if (m.ej == kEndPin) ug[5] = 0;
      Mat6 t = Transform(m.c, m.s);
      for (int i = 0; i < 6; ++i)
        for (int k = 0; k < 6; ++k) d[i] += t[i * 6 + k] * ug[k];
      for (int i = 0; i < 6; ++i)
        for (int k = 0; k < 6; ++k) f[i] += m.k[i * 6 + k] * d[k];
      M.assign(np, 0.0);
      N.assign(np, 0.0);
      D.assign(np, 0.0);
      sload.assign(np, 0.0);
      for (int k = 0; k < np; ++k) {
        double x = m.points[k];
        M[k] = m.L < 1e-6 ? (-f[2] + f[5]) / 2 : -f[2] * (1 - x / L) + f[5] * x / L;
        N[k] = f[3];
      }
      for (const FrameLoadItem& it : member_items[e]) {
        ItemParts p = Decompose(it, m);
        if (p.kind == 1) {
          double l = p.h1 - p.h0;
          // A part that is zero (the axial part of a vertical load on a
          // slab, the normal part of one on a wall) adds a signed zero to
          // every value: nothing changes but a negative zero, so its sums
          // are skipped wherever no value is one.
          const bool fast_zero = !reference && L > 0;
          const bool no_axial = fast_zero && p.a1 == 0 && p.a2 == 0;
          const bool no_normal = fast_zero && p.n1 == 0 && p.n2 == 0;
          if (reference) {
            Strips st = MakeStrips(p.n1, p.n2, p.h0, p.h1);
            for (int k = 0; k < np; ++k) {
              double x = m.points[k];
              M[k] -= StripSum(st, x, [&](double h, bool left) { return MomentAt(m, h, x, left); });
              D[k] -= 1000 * StripSum(st, x, [&](double h, bool left) {
                        return DeflectionAt(m, h, x, left);
                      });
            }
          } else if (!(no_normal && NoNegativeZero(M) && NoNegativeZero(D))) {
            const std::vector<PointCubics>& cubics = PointCubicsOf(e);
            SumStrips(p.n1, p.n2, p.h0, p.h1, m.points.data(), np, sums);
            for (int k = 0; k < np; ++k) {
              const PointCubics& c = cubics[static_cast<std::size_t>(k)];
              M[k] -= StripValue(sums, k, c.moment[0], c.moment[1]);
              D[k] -= 1000 * StripValue(sums, k, c.deflection[0], c.deflection[1]);
            }
          }
          for (int k = 0; k < np && l > 0; ++k) {
            double x = m.points[k];
            // Axial and normal parts beyond and before x, exactly.
            double xc = std::clamp(x, p.h0, p.h1);
            auto at = [&](double q1, double q2, double h) {
              return q1 + (q2 - q1) * (h - p.h0) / l;
            };
            double Ra, xa, Rb, xb;
            if (!(no_axial && !NegativeZero(N[k]))) {
              Resultant(p.a1, at(p.a1, p.a2, xc), p.h0, xc, &Ra, &xa);
              Resultant(at(p.a1, p.a2, xc), p.a2, xc, p.h1, &Rb, &xb);
              N[k] += Rb * (L - xb) / L - Ra * xa / L;
            }
            if (!(no_normal && !NegativeZero(sload[k]))) {
              Resultant(p.n1, at(p.n1, p.n2, xc), p.h0, xc, &Ra, &xa);
              Resultant(at(p.n1, p.n2, xc), p.n2, xc, p.h1, &Rb, &xb);
              sload[k] += Rb * (L - xb) / L - Ra * xa / L;
            }
          }
        } else if (p.kind == 2) {
          for (int k = 0; k < np; ++k) {
            double x = m.points[k];
            bool left = p.h0 <= x;
            M[k] -= p.n1 * MomentAt(m, p.h0, x, left);
            D[k] -= 1000 * p.n1 * DeflectionAt(m, p.h0, x, left);
            bool before = x <= p.h0;
            N[k] += p.a1 * (before ? (L - p.h0) / L : -p.h0 / L);
            sload[k] += p.n1 * (before ? (L - p.h0) / L : -p.h0 / L);
          }
        } else if (p.kind == 3) {
          const std::vector<PointCubics>& cubics = PointCubicsOf(e);
          for (int k = 0; k < np; ++k) {
            const PointCubics& c = cubics[static_cast<std::size_t>(k)];
            int b = p.h0 <= m.points[k] ? 0 : 1;
            M[k] -= p.n1 * c.moment[b].Derivative().Eval(p.h0);
            D[k] -= 1000 * p.n1 * c.deflection[b].Derivative().Eval(p.h0);
            sload[k] += -p.n1 / L;
          }
        } else if (p.kind == 4) {
          for (int k = 0; k < np; ++k) N[k] += -p.dt * m.E * m.A * m.alpha;
        }
      }
      double shear = np > 0 ? (M[np - 1] - M[0]) / L : 0;
      // End rotations of the member: the node's at a rigid end; at a pinned
      // end the one the condensed member takes from the other end.
      double chord = (d[4] - d[1]) / L;
      double ti = u.empty() || !m.valid ? 0 : u[3 * (m.ni - 1) + 2];
      double tj = u.empty() || !m.valid ? 0 : u[3 * (m.nj - 1) + 2];
      if (m.ei == kEndPin && m.ej == kEndPin) {
        ti = tj = chord;
      } else if (m.ei == kEndPin) {
        ti = 1.5 * chord - 0.5 * tj;
      } else if (m.ej == kEndPin) {
        tj = 1.5 * chord - 0.5 * ti;
      }
      for (int k = 0; k < np && k <= kResultMaxPoints; ++k) {
        double x = m.points[k];
        D[k] -= 1000 * (tj - ti) * x * (x - L) / (2 * L);
        auto& pt = out.points[static_cast<std::size_t>(k + 1)];
        pt[kCompX] = x;
        pt[kCompM] = M[k];
        pt[kCompS] = shear - sload[k];
        pt[kCompN] = N[k];
        pt[kCompDefl] = D[k];
      }
      if (kept) {
        kept->points[ke] = m.points;
        kept->values[ke] = out;
      }
    }
  }

  // Items of a case per member, the spring items of pass 2 included.
  std::vector<std::vector<FrameLoadItem>> ItemsPerMember(
      const FrameLoadCase& lc, const std::vector<std::pair<int, FrameLoadItem>>& extra) {
    std::vector<std::vector<FrameLoadItem>> per(nm + 1);
    for (const auto& it : lc.items) {
      int last = it.last_member == 0 ? it.first_member : it.last_member;
      for (int num = it.first_member; num <= last; ++num) {
        int e = FindByNumber(model.members, num);
        if (e == 0 || !mem[e].valid) continue;
        per[e].push_back(it);
      }
    }
    for (const auto& [e, it] : extra) per[e].push_back(it);
    return per;
  }

  // Spring reactions of pass 1 as member loads (items) and end loads, and
  // the pressures they stand for. Without feedback (a single pass) only the
  // pressures, from the displacements alone: no deflection correction.
  void SpringFeedback(int spring_idx, const std::vector<double>& u, bool feedback,
                      std::vector<std::pair<int, FrameLoadItem>>& extra,
                      std::vector<Vec6>& end_loads, std::vector<SpringPressure>& pressures) {
    for (const auto& sp : model.spring_cases[spring_idx].springs) {
      int e = FindByNumber(model.members, sp.member);
      if (e == 0 || !mem[e].valid) continue;
      const MemberData& m = mem[e];
      double L = m.Lc;
      const double* ui = &u[3 * (m.ni - 1)];
      const double* uj = &u[3 * (m.nj - 1)];
      double ai = m.c * ui[0] + m.s * ui[1], aj = m.c * uj[0] + m.s * uj[1];
      double vi = -m.s * ui[0] + m.c * ui[1], vj = -m.s * uj[0] + m.c * uj[1];
      // Deflection of the member under its spring load at the tenth points.
      std::array<double, 11> w{};
      double e_sum = 0;
      if (feedback && reference) {
        Strips st = MakeStrips(vi * sp.k_normal, vj * sp.k_normal, 0, m.L);
        for (int k = 1; k <= 9; ++k) {
          double x = k * m.L / 10;
          w[k] = StripSum(st, x, [&](double h, bool left) { return DeflectionAt(m, h, x, left); });
          e_sum += w[k];
        }
      } else if (feedback) {
        const SpringPoints& sp_points = SpringPointsOf(e);
        SumStrips(vi * sp.k_normal, vj * sp.k_normal, 0, m.L, sp_points.x.data(), 9, sums);
        for (int k = 1; k <= 9; ++k) {
          const PointCubics& c = sp_points.cubics[static_cast<std::size_t>(k - 1)];
          w[k] = StripValue(sums, k - 1, c.deflection[0], c.deflection[1]);
          e_sum += w[k];
        }
      }
      double e_mean = e_sum / 10;
      double vbar = (vi + vj) / 2;
      double phi = std::fabs(vbar) <= 1e-9 ? 0 : 0.2 * (1 - e_mean / vbar);
      for (auto& v : w) v *= phi;
      e_mean *= phi;
      SpringPressure& pr = pressures.emplace_back();
      pr.member = e;
      pr.axial = {-ai * sp.k_tangent, -aj * sp.k_tangent};
      auto line = [&](double x) { return vi + (vj - vi) * x / std::max(m.L, kMinLength); };
      for (int t = 0; t <= 10; ++t) pr.normal[t] = -sp.k_normal * (line(t * m.L / 10) - w[t]);
      if (!feedback) continue;
      FrameLoadItem ax;
      ax.type = kLoadDistAxial;
      ax.first_member = ax.last_member = model.members[e].number;
      ax.d1 = pr.axial[0];
      ax.d2 = pr.axial[1];
      extra.push_back({e, ax});
      for (int t = 0; t < 10; ++t) {
        double x0 = t * m.L / 10, x1 = (t + 1) * m.L / 10;
        FrameLoadItem it;
        it.type = kLoadDistNormal;
        it.first_member = it.last_member = model.members[e].number;
        it.d1 = pr.normal[t];
        it.d2 = pr.normal[t + 1];
        it.d3 = x0;
        it.d4 = m.L - x1;
        extra.push_back({e, it});
      }
      double Ra, xa, Rn, xn;
      Resultant(ai * sp.k_tangent, aj * sp.k_tangent, 0, m.L, &Ra, &xa);
      Resultant((vi + e_mean / 3) * sp.k_normal, (vj + e_mean / 3) * sp.k_normal, 0, m.L, &Rn, &xn);
      Vec6& f = end_loads[e];
      f[0] += (L - xa) * Ra / L;
      f[3] += xa * Ra / L;
      f[1] += (L - xn) * Rn / L;
      f[4] += xn * Rn / L;
    }
  }

  // Member e's entry in a list of spring reactions, appended when it has
  // none. The list is built one at a time: spring_slot remembers where each
  // member went, and a slot left from another list fails the member check.
  MemberSpringReaction& SpringEntry(std::vector<MemberSpringReaction>& list, int e) {
    int& slot = spring_slot[static_cast<std::size_t>(e)];
    if (slot < 0 || slot >= static_cast<int>(list.size()) ||
        list[static_cast<std::size_t>(slot)].member != e) {
      slot = static_cast<int>(list.size());
      MemberSpringReaction& added = list.emplace_back();
      added.member = e;
      added.count = std::min(static_cast<int>(mem[e].points.size()), kResultMaxPoints);
    }
    return list[static_cast<std::size_t>(slot)];
  }

  // The spring reactions of a case at its members' output points: each
  // spring's pressure taken at the points, springs on one member summed.
  void SpringReactions(int ci, const std::vector<SpringPressure>& pressures) {
    auto& out = res.cases[static_cast<std::size_t>(ci)].springs;
    out.clear();
    out.reserve(pressures.size());
    for (const SpringPressure& pr : pressures) {
      const MemberData& m = mem[pr.member];
      MemberSpringReaction& at = SpringEntry(out, pr.member);
      double tenth = m.L / 10;
      for (int k = 1; k <= at.count; ++k) {
        double x = m.points[static_cast<std::size_t>(k - 1)];
        double r = m.L > 0 ? std::clamp(x / m.L, 0.0, 1.0) : 0;
        const int t = TenthIndex(r);
        double f = tenth > 0 ? std::clamp((x - t * tenth) / tenth, 0.0, 1.0) : 0;
        auto& v = at.points[static_cast<std::size_t>(k)];
        v[0] += pr.normal[t] + (pr.normal[t + 1] - pr.normal[t]) * f;
        v[1] += pr.axial[0] + (pr.axial[1] - pr.axial[0]) * r;
      }
    }
  }

  std::string Run() {
    nn = model.nodes.Count();
    nm = model.members.Count();
    int nlc = model.load_cases.Count(), nco = model.combinations.Count();
    bool fits = nn <= kResultMaxNodes && nm <= kResultMaxMembers && nlc + nco <= kResultMaxCases;
    if (fits)
      res.ClearForAllocate();  // allocated below
    else
      res.Clear();
    res.failed = true;  // until every case is solved
    if (nn > kResultMaxNodes || nm > kResultMaxMembers)
      return Format("格点数 %d または部材数 %d が解析結果の上限 %d を超えています", nn, nm,
                    kResultMaxNodes);
    if (nlc + nco > kResultMaxCases)
      return Format("荷重ケースと組合せの数 %d が解析結果の上限 %d を超えています", nlc + nco,
                    kResultMaxCases);
    if (std::string bad = NonFiniteInput(model); !bad.empty()) return bad;
    Prepare();
    res.Allocate(nn, nm);
    res.failed = false;
    res.load_case_count = nlc;
    res.combination_count = nco;
    res.max_load_case = nlc;
    for (int p = 1; p <= nn; ++p) {
      res.nodes[p] = {model.nodes[p].x, model.nodes[p].y};
      res.max_x = p == 1 ? model.nodes[p].x : std::max(res.max_x, model.nodes[p].x);
      res.max_y = p == 1 ? model.nodes[p].y : std::max(res.max_y, model.nodes[p].y);
    }
    for (int e = 1; e <= nm; ++e) {
      const FrameMember& fm = model.members[e];
      ResultMember& rm = res.members[e];
      rm.node_i = fm.node_i;
      rm.node_j = fm.node_j;
      rm.end_i = fm.end_i;
      rm.end_j = fm.end_j;
      rm.count = static_cast<int>(mem[e].points.size());
      for (int k = 0; k < rm.count; ++k) rm.positions[k + 1] = mem[e].points[k];
      rm.length = rm.count > 0 ? mem[e].points.back() : 0;
    }
    int mode = std::clamp(model.solver_mode, 1, 2);
    SelectCases(nlc, nco);
    if (cache) {
      std::string key = SolutionKey(model);
      cache_hit = cache->key == key && static_cast<int>(cache->cases.size()) == nlc + 1;
      if (!cache_hit) {
        cache->key = std::move(key);
        cache->cases.assign(static_cast<std::size_t>(nlc) + 1, {});
      }
    }
    for (int ci = 1; ci <= nlc; ++ci) {
      const FrameLoadCase& lc = model.load_cases[ci];
      if (cache_hit) {
        const FrameSolveCache::Case& kept = cache->cases[static_cast<std::size_t>(ci)];
        for (int p = 1; p <= nn; ++p)
          res.Disp(ci, p) = {kept.u[3 * (p - 1)], kept.u[3 * (p - 1) + 1], kept.u[3 * (p - 1) + 2]};
        MemberResults(ci, kept.u, kept.items);
        res.cases[static_cast<std::size_t>(ci)].reactions = kept.reactions;
        SpringReactions(ci, kept.pressures);
        continue;
      }
      int spring_idx = lc.spring_case > 0 ? FindByNumber(model.spring_cases, lc.spring_case) : 0;
      int support_idx = model.support_cases.InRange(lc.support_case) ? lc.support_case : 0;
      int passes = spring_idx > 0 ? mode : 1;
      std::vector<std::pair<int, FrameLoadItem>> extra;
      std::vector<Vec6> end_extra(nm + 1, Vec6{});
      std::vector<double> u;
      std::vector<std::vector<FrameLoadItem>> per;
      std::vector<double> load;
      std::vector<SpringPressure> pressures;
      for (int pass = 1; pass <= passes; ++pass) {
        per = ItemsPerMember(lc, extra);
        load.assign(3 * nn, 0.0);
        for (int e = 1; e <= nm; ++e) {
          const MemberData& m = mem[e];
          if (!m.valid) continue;
          Vec6 f = end_extra[e];
          for (const auto& it : per[e]) AddEquivalent(Decompose(it, m), m, f);
          Mat6 t = Transform(m.c, m.s);
          for (int i = 0; i < 6; ++i) {
            double v = 0;
            for (int k = 0; k < 6; ++k) v += t[k * 6 + i] * f[k];
            int node = i < 3 ? m.ni : m.nj;
            load[3 * (node - 1) + i % 3] += v;
          }
        }
        if (!Solve(spring_idx, support_idx, load, u)) {
          std::string msg =
              Format("荷重ケース %d の剛性方程式が解けません（不安定な構造です）", lc.number);
          res.Clear();
          res.failed = true;
          if (cache) *cache = {};
          return msg;
        }
        if (pass < passes) {
          extra.clear();
          end_extra.assign(nm + 1, Vec6{});
          SpringFeedback(spring_idx, u, true, extra, end_extra, pressures);
        } else if (passes == 1 && spring_idx > 0) {
          SpringFeedback(spring_idx, u, false, extra, end_extra, pressures);
        }
      }
      for (int p = 1; p <= nn; ++p)
        res.Disp(ci, p) = {u[3 * (p - 1)], u[3 * (p - 1) + 1], u[3 * (p - 1) + 2]};
      auto& reactions = res.cases[static_cast<std::size_t>(ci)].reactions;
      reactions = Reactions(spring_idx, support_idx, load, u);
      if (cache) {
        cache->cases[static_cast<std::size_t>(ci)].u = u;
        cache->cases[static_cast<std::size_t>(ci)].items = per;
        cache->cases[static_cast<std::size_t>(ci)].reactions = reactions;
        cache->cases[static_cast<std::size_t>(ci)].pressures = pressures;
      }
      MemberResults(ci, u, per);
      SpringReactions(ci, pressures);
    }
    for (int k = 1; k <= nco; ++k) {
      const FrameCombination& co = model.combinations[k];
      int ci = nlc + k;
      if (!case_values[static_cast<std::size_t>(ci)]) continue;  // counts stay 0
      // Members not wanted keep count 0 (the record is all zero).
      for (int e = 1; e <= nm; ++e) {
        if (!Wanted(e)) continue;
        auto& out = res.At(ci, e);
        out.count = static_cast<int>(mem[e].points.size());
        for (int p = 1; p <= out.count; ++p) out.points[p][kCompX] = mem[e].points[p - 1];
      }
      for (const auto& en : co.entries) {
        int li = FindByNumber(model.load_cases, en.load_case);
        if (li == 0) continue;
        // Reactions summed node by node, in the order the nodes appear.
        auto& sum = res.cases[static_cast<std::size_t>(ci)].reactions;
        for (const SupportReaction& r : res.cases[static_cast<std::size_t>(li)].reactions) {
          auto at = std::find_if(sum.begin(), sum.end(),
                                 [&](const SupportReaction& x) { return x.node == r.node; });
          if (at == sum.end()) at = sum.insert(sum.end(), SupportReaction{r.node, {}});
          for (int d = 0; d < 3; ++d) at->values[d] += en.factor * r.values[d];
        }
        // Spring reactions likewise member by member, point by point.
        auto& springs = res.cases[static_cast<std::size_t>(ci)].springs;
        for (const MemberSpringReaction& sr : res.cases[static_cast<std::size_t>(li)].springs) {
          MemberSpringReaction& at = SpringEntry(springs, sr.member);
          for (int p = 1; p <= at.count; ++p)
            for (int d = 0; d < 2; ++d) at.points[p][d] += en.factor * sr.points[p][d];
        }
        for (int p = 1; p <= nn; ++p) {
          auto& d = res.Disp(ci, p);
          const auto& s = res.Disp(li, p);
          d.dx += en.factor * s.dx, d.dy += en.factor * s.dy, d.rot += en.factor * s.rot;
        }
        for (int e = 1; e <= nm; ++e) {
          if (!Wanted(e)) continue;
          auto& out = res.At(ci, e);
          const auto& src = std::as_const(res).At(li, e);
          for (int p = 1; p <= out.count; ++p)
            for (int c = kCompM; c <= kCompDefl; ++c)
              out.points[p][c] += en.factor * src.points[p][c];
        }
      }
    }
    return {};
  }
};

}  // namespace

std::string SolveFrame(FrameModel& model, AnalysisResults& results,
                       const FrameSolveOptions& options) {
  Solver s(model, results, options);
  return s.Run();
}

}  // namespace vaultra
