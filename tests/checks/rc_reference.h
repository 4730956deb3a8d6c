// Independent reference solutions of rectangular RC sections for the tests:
// textbook equilibrium solved by bisection, not by the program's cubic.
#pragma once

#include <cmath>
#include <functional>
#include <optional>

namespace vaultra::testref {

// Root of f in [lo, hi] by bisection; f(lo) and f(hi) must differ in sign.
inline double Bisect(const std::function<double(double)>& f, double lo, double hi) {
  double flo = f(lo);
  for (int i = 0; i < 200; ++i) {
    const double mid = (lo + hi) / 2;
    const double fm = f(mid);
    if ((fm < 0) == (flo < 0)) {
      lo = mid;
      flo = fm;
    } else {
      hi = mid;
    }
  }
  return (lo + hi) / 2;
}

// Scans [lo, hi] for the first sign change of f where accept(x) holds.
inline std::optional<double> FirstRoot(const std::function<double(double)>& f,
                                       const std::function<bool(double)>& accept, double lo,
                                       double hi, int steps = 20000) {
  double x0 = lo, f0 = f(lo);
  for (int i = 1; i <= steps; ++i) {
    const double x1 = lo + (hi - lo) * i / steps;
    const double f1 = f(x1);
    if ((f0 < 0) != (f1 < 0)) {
      const double r = Bisect(f, x0, x1);
      if (accept(r)) return r;
    }
    x0 = x1;
    f0 = f1;
  }
  return std::nullopt;
}

// Transformed rectangular section: b x H, steel A′s at d′ and As at d, ratio n.
struct Section {
  double b, H, n, dc, Asc, d, As;
  double Area() const { return b * H + n * (As + Asc); }
  double Centroid() const { return (b * H * H / 2 + n * (As * d + Asc * dc)) / Area(); }
  double Inertia() const {  // about the centroid
    const double yc = Centroid();
    return b * H * H * H / 12 + b * H * (H / 2 - yc) * (H / 2 - yc) + n * As * (d - yc) * (d - yc) +
           n * Asc * (yc - dc) * (yc - dc);
  }
};

struct Stresses {
  double x = 0, sc = 0, ssc = 0, ss = 0;  // σc at the compression edge, σs′, σs (tension +)
};

// Cracked section under N (compression +) acting at eccentricity e from the
// transformed centroid yc (M = N·e): force and moment equilibrium about the
// centroid with a linear concrete stress over the depth x.
inline Stresses CrackedEccentric(const Section& s, double N, double e) {
  const double yc = s.Centroid();
  auto force = [&](double x) {  // per unit σc
    return s.b * x / 2 + s.n * s.Asc * (x - s.dc) / x - s.n * s.As * (s.d - x) / x;
  };
  auto moment = [&](double x) {
    return s.b * x / 2 * (yc - x / 3) + s.n * s.Asc * (x - s.dc) / x * (yc - s.dc) +
           s.n * s.As * (s.d - x) / x * (s.d - yc);
  };
  auto g = [&](double x) { return moment(x) - e * force(x); };
  auto ok = [&](double x) { return force(x) * N > 0; };
  const double x = *FirstRoot(g, ok, 1e-3, s.d);
  Stresses r;
  r.x = x;
  r.sc = N / force(x);
  r.ssc = -s.n * r.sc * (x - s.dc) / x;
  r.ss = s.n * r.sc * (s.d - x) / x;
  return r;
}

// Pure bending of the cracked section: neutral axis from the first moment
// of the transformed area, stresses from the cracked moment of inertia.
inline Stresses CrackedBending(const Section& s, double M) {
  auto first_moment = [&](double x) {
    return s.b * x * x / 2 + s.n * s.Asc * (x - s.dc) - s.n * s.As * (s.d - x);
  };
  const double x = Bisect(first_moment, 1e-9, s.d);
  const double I = s.b * x * x * x / 3 + s.n * s.Asc * (x - s.dc) * (x - s.dc) +
                   s.n * s.As * (s.d - x) * (s.d - x);
  Stresses r;
  r.x = x;
  r.sc = M * x / I;
  r.ssc = -s.n * M * (x - s.dc) / I;
  r.ss = s.n * M * (s.d - x) / I;
  return r;
}

// Rectangular stress block (0.68·f′cd·b·x at 0.4·x), ultimate strain 0.0035.
struct UltSection {
  double b, H, dc, Asc, d, As;
  double fcd, fyd, Es, n;  // n = Es/Ec for the centroid
  double Centroid() const {
    const double A = b * H + n * (Asc + As);
    return (b * H * H / 2 + n * Asc * dc + n * As * d) / A;
  }
};

struct UltResult {
  double x = 0, Nu = 0, Mu = 0;  // mm, N, N·mm
};

// Capacity at eccentricity e (mm, from the centroid): x where M(x) = e·N(x),
// with the steel stresses given as functions of x.
inline UltResult UltimateAtEccentricity(const UltSection& s, double e,
                                        const std::function<double(double)>& comp_steel,
                                        const std::function<double(double)>& tens_steel, double lo,
                                        double hi) {
  const double yc = s.Centroid();
  auto N = [&](double x) {
    return 0.68 * s.fcd * s.b * x + s.Asc * comp_steel(x) - s.As * tens_steel(x);
  };
  auto M = [&](double x) {
    return 0.68 * s.fcd * s.b * x * (yc - 0.4 * x) + s.Asc * comp_steel(x) * (yc - s.dc) +
           s.As * tens_steel(x) * (s.d - yc);
  };
  auto g = [&](double x) { return M(x) - e * N(x); };
  const double x = *FirstRoot(
      g, [](double) { return true; }, lo, hi);
  return {x, N(x), M(x)};
}

}  // namespace vaultra::testref
