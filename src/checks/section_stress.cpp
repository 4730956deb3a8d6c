#include "checks/section_stress.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/number.h"

namespace vaultra {

namespace {

// Smallest force-per-unit-stress (mm²) a cracked section is given as a divisor.
constexpr double kAreaFloor = 1e-6;
// Smallest lever (mm) between two steel layers used as a divisor.
constexpr double kLeverFloor = 1e-6;

}  // namespace

CubicRoots SolveCubicRoots(double p, double q, double r) {
  CubicRoots out;
  if (!std::isfinite(p) || !std::isfinite(q) || !std::isfinite(r)) {
    out.sorted = {0.001, 0.001, 0.001};
    out.chosen = 0.001;
    return out;
  }
  const double a = p / 3;
  const double q2 = (a * (q - 2 * a * a) - r) / 2;
  const double p3 = a * a - q / 3;
  const double disc = q2 * q2 - p3 * p3 * p3;
  double y;
  if (disc > 0) {
    const double s = Sign(q2);
    const double u = s * std::cbrt(std::fabs(q2) + std::sqrt(disc));
    y = u + p3 / SafeDivisor(u);
  } else if (p3 * p3 * p3 - q2 * q2 > 1e-31) {
    const double ratio = std::clamp(q2 / std::pow(p3, 1.5), -1.0, 1.0);
    y = 2 * std::sqrt(p3) * std::cos(std::acos(ratio) / 3);
  } else {
    y = 2 * std::cbrt(q2);
  }
  const double x1 = y - a;
  // The other two roots from the quadratic factor x² + (p + x1)x + (x1² + p·x1 + q).
  const double b1 = p + x1;
  const double c1 = x1 * x1 + q + p * x1;
  double d = b1 * b1 - 4 * c1;
  const double tol = 1e-9 * (b1 * b1 + 4 * std::fabs(c1));
  double x2, x3;
  if (d < -tol) {
    // A complex pair: x1 is the only real root.
    x2 = x3 = x1;
  } else {
    if (d < 0) d = 0;  // a double root, lost to rounding
    x2 = (std::sqrt(d) - b1) / 2;
    x3 = (-std::sqrt(d) - b1) / 2;
  }
  std::array<double, 3> v = {x1, x2, x3};
  std::sort(v.begin(), v.end());
  for (double& x : v) {
    if (std::fabs(x) < 1e6) x = RoundTo3(x);
  }
  out.sorted = v;
  double chosen;
  if (v[0] < 0) {
    chosen = v[1] >= 0 ? v[1] : v[2];
  } else {
    chosen = v[1];
  }
  out.chosen = chosen < 0.001 ? 0.001 : chosen;
  return out;
}

double SolveNeutralAxisCubic(double p, double q, double r) {
  return SolveCubicRoots(p, q, r).chosen;
}

SectionStressResult SectionStress(const SectionStressInput& in) {
  SectionStressResult res;
  SectionStressDetail& det = res.detail;
  det.case_text = "(エラー)";

  // Preparation.
  const double H = std::max(in.H, 1.0);
  const double Hs = std::max(in.Hs, 1.0);
  const double b = std::max(in.b, 1.0);
  const double n = in.n;
  const double c_comp0 = std::clamp(in.c_comp, 0.0001 * H, 0.9999 * H);
  const double c_tens0 = std::clamp(in.c_tens, 0.0001 * H, 0.9999 * H);
  double M = in.M;
  double N = in.N;
  if (std::fabs(M) < 0.01) M = 0.01;
  if (std::fabs(N) < 0.01) N = 0.01;
  double cc = c_comp0, ct = c_tens0;
  double Asc = in.As_comp, Ast = in.As_tens;
  int sign = 1;
  if (M < 0) {
    std::swap(cc, ct);
    std::swap(Asc, Ast);
    M = std::fabs(M);
    sign = -1;
  }
  double d = H - ct;
  double dc = cc;  // d′
  double ds0 = Hs - ct;
  if (Ast >= 1 && Asc < 1) dc = 0;
  if (Ast < 1) {
    // Only the compression-side steel: it serves as the tension steel at depth c′.
    Ast = std::max(Ast, Asc);
    Asc = 0;
    d = ds0 = cc;
    dc = 0;
  }
  if (Ast < 1) Ast = 1;

  int code = kStressCompressionInCore;
  double sc = 0, sc2 = 0, ssc = 0, sst = 0;
  double x = H / 2;

  // Cracked section with the axial force at eccentricity e: neutral axis from
  // the moment about the force's line, σc from the force equilibrium.
  auto cracked = [&](double e, double yc) {
    const double s = e - yc;
    const double p = 3 * s;
    const double q = (6 * n / b) * (Ast * (d + s) + Asc * (dc + s));
    const double r = -(6 * n / b) * (Ast * d * (d + s) + Asc * dc * (dc + s));
    const CubicRoots roots = SolveCubicRoots(p, q, r);
    res.has_cubic = true;
    res.cubic = {1, p, q, r};
    det.cubic = res.cubic;
    det.roots = roots.sorted;
    x = roots.chosen;
    const double per_stress = n * Asc * (x - dc) / x + b * x / 2 - n * Ast * (d - x) / x;
    sc = N / SafeDivisor(per_stress, kAreaFloor);
    ssc = -n * sc * (x - dc) / x;
    sst = n * sc * (d - x) / x;
    sc2 = 0;
  };

  if (std::fabs(N) >= 0.1) {
    const double Ai = n * (Ast + Asc) + b * H;
    const double G = n * (Ast * d + Asc * dc) + b * H * H / 2;
    const double yc = G / Ai;
    const double yt = H - yc;
    const double e = M / N;
    const double Ii = b * yc * yc * yc / 3 + b * yt * yt * yt / 3 + n * Ast * (d - yc) * (d - yc) +
                      n * Asc * (yc - dc) * (yc - dc);
    const double kt = Ii / SafeDivisor(Ai * yt);
    const double kc = Ii / SafeDivisor(Ai * yc);
    const double et = (yc - dc) * (d - yc) / SafeDivisor(yc);
    const double et2 = (H - yt - dc) * (d - yc) / SafeDivisor(yt);
    det.Ai = Ai;
    det.G = G;
    det.yc = yc;
    det.yt = yt;
    det.e = e;
    det.Ii = Ii;
    det.kt = kt;
    det.kc = kc;
    det.et = et;
    det.et2 = et2;
    res.e = e;
    res.yc = yc;
    auto uncracked = [&]() {
      sc = N / Ai + M * yc / Ii;
      sc2 = N / Ai - M * yt / Ii;
      ssc = -n * (sc - (dc / H) * (sc - sc2));
      sst = -n * (sc - (d / H) * (sc - sc2));
    };
    if (N > 0) {
      if (e <= kc) {
        code = kStressCompressionInCore;
        det.case_text = "① 偏心圧縮力を'心内'に受ける";
        uncracked();
      } else {
        code = kStressCompressionOutCore;
        det.case_text = "② 偏心圧縮力を'心外'に受ける";
        const double top = N / Ai + N * e * yc / Ii;
        const double bottom = N / Ai - N * e * yt / Ii;
        if (std::fabs(bottom) <= 0.25 * top) {
          det.case_text = "②-(1) 偏心圧縮力を'心外'に受ける場合でσc≦σc'";
          uncracked();
        } else {
          det.case_text = "②-(2) 偏心圧縮力を'心外'に受ける場合でσc'＜σc";
          cracked(e, yc);
        }
      }
    } else if (std::fabs(e) <= et) {
      // Tension between the two steel layers: the steel carries it alone.
      code = kStressTensionInCore;
      det.case_text = "③ 偏心引張力を'心内'に受ける";
      sc = sc2 = 0;
      const double lever = SafeDivisor(d - dc, kLeverFloor);
      ssc = Asc >= 1 ? (d - yc + e) * std::fabs(N) / (lever * Asc) : 0;
      sst = Ast >= 1 ? (yc - dc - e) * std::fabs(N) / (lever * Ast) : 0;
    } else {
      code = kStressTensionOutCore;
      det.case_text = "④ 偏心引張力を'心外'に受ける";
      cracked(e, yc);
    }
  } else {
    // No axial force: cracked section in pure bending.
    code = kStressCompressionInCore;
    det.case_text = "⑤ 軸力無しの計算";
    const double P = n * (Asc + Ast) / b;
    const double Q = 2 * n * (Asc * dc + Ast * d) / b;
    x = std::sqrt(P * P + Q) - P;
    if (!(x >= 0.1)) x = 0.1;
    const double den = (d - x / 3) * x * b + 2 * n * Asc * (x - dc) * (d - dc) / x;
    sc = 2 * M / SafeDivisor(den, kAreaFloor);
    ssc = -n * sc * (x - dc) / x;
    sst = n * sc * (d - x) / x;
    sc2 = 0;
  }

  res.sigma_c = std::max(sc, sc2);
  res.sigma_s = std::max(ssc, sst);
  res.x = x;
  det.x = x;
  det.sigma_c = sc;
  det.sigma_c2 = sc2;
  det.sigma_s_comp = ssc;
  det.sigma_s = sst;
  det.sigma_c_max = res.sigma_c;
  det.sigma_s_max = res.sigma_s;

  // Shear stress with the lever arm of the cracked section.
  double ds = ds0;
  if (std::fabs(M) < 0.1 && (Asc < 1 || Ast < 1)) {
    if (Asc >= 1) ds = Hs - c_comp0;
    if (Ast >= 1) ds = Hs - c_tens0;
  }
  ds = std::max(ds, Hs - ds);
  if (ds < 1) ds = 1;
  const double pt = Ast / std::max(b * ds, 1.0);
  const double pc = Asc / std::max(b * ds, 1.0);
  const double np = n * (pt + pc);
  const double k = std::sqrt(std::max(0.0, 2 * n * (pc * (Hs - ds) / ds + pt) + np * np)) - np;
  double j = 1 - k / 3;
  if (in.j_is_one) j = 1;
  const double tau = std::fabs(in.S) / std::max(b * j * ds0, 1.0);
  res.j = j;
  res.d = ds0;
  res.tau = tau;
  det.j = j;
  det.tau = tau;
  res.code = sign * code;
  return res;
}

}  // namespace vaultra
