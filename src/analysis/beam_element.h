// The plane beam element of the internal frame solver: its stiffness in
// member and global axes, and the unit-load formulas (fixed-end shares and
// moments, moment and deflection at a point) of a unit force normal to the
// member, written once for a single position and once as polynomials in
// the load position.
#pragma once

#include <algorithm>
#include <array>
#include <vector>

#include "model/frame_model.h"

namespace vaultra::solver {

// Members shorter than this are floored to it where a length divides.
constexpr double kMinLength = 0.0001;

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
inline Poly operator+(const Poly& a, const Poly& b) {
  Poly r;
  for (int i = 0; i < Poly::kN; ++i) r.c[i] = a.c[i] + b.c[i];
  return r;
}
inline Poly operator-(const Poly& a, const Poly& b) {
  Poly r;
  for (int i = 0; i < Poly::kN; ++i) r.c[i] = a.c[i] - b.c[i];
  return r;
}
inline Poly operator*(const Poly& a, const Poly& b) {
  Poly r;
  for (int i = 0; i < Poly::kN; ++i)
    for (int j = 0; i + j < Poly::kN; ++j) r.c[i + j] += a.c[i] * b.c[j];
  return r;
}
inline Poly operator/(const Poly& a, double d) {
  Poly r;
  for (int i = 0; i < Poly::kN; ++i) r.c[i] = a.c[i] / d;
  return r;
}

inline Poly operator*(const Poly& a, double d) {
  Poly r;
  for (int i = 0; i < Poly::kN; ++i) r.c[i] = a.c[i] * d;
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

// One member, prepared once per run.
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

// Without deflection the deflection cubics stay zero.
PointCubics CubicsAt(const MemberData& m, double x, bool deflection = true);

// Stiffness of the member in its own axes by the end codes, a pinned end
// condensed out.
Mat6 LocalStiffness(const MemberData& m);

// T for one end: rows (c, s, 0), (-s, c, 0), (0, 0, 1).
Mat6 Transform(double c, double s);

// a * b (a transposed when asked), every element clamped.
Mat6 MulClamped(const Mat6& a, const Mat6& b, bool transpose_a);

// The member as the solver uses it: end nodes, length and direction (also
// written back to the member), section and material values, stiffness, its
// two ends as output points and the unit-load polynomials.
MemberData PrepareMember(const FrameModel& model, FrameMember& fm);

}  // namespace vaultra::solver
