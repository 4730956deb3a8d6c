#include "checks/capacity.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "checks/section_stress.h"
#include "core/number.h"

namespace vaultra {

namespace {

constexpr double kEpsCu = UltimateParams::kEpsCu;

// The larger real root of x² + B·x + C = 0 without the cancellation of the
// textbook formula when |B| is large; false when the roots are complex.
bool LargerQuadraticRoot(double B, double C, double* larger, double* smaller) {
  const double disc = B * B - 4 * C;
  if (!(disc >= 0)) return false;
  const double q = -(B + Sign(B) * std::sqrt(disc)) / 2;
  const double r1 = q;
  const double r2 = q != 0 ? C / q : 0;
  *larger = std::max(r1, r2);
  *smaller = std::min(r1, r2);
  return true;
}

// A negative moment puts the tension on the other face: exchanges the faces
// and makes the moment positive. Returns the sign of the moment.
int ExchangeFacesForNegativeMoment(double& c_comp, double& As_comp, double& c_tens, double& As_tens,
                                   double& Md) {
  if (Md >= 0) return 1;
  std::swap(c_comp, c_tens);
  std::swap(As_comp, As_tens);
  Md = std::fabs(Md);
  return -1;
}

// Effective depth of the tension steel. A section without tension steel uses
// its only steel as tension steel at depth c′ (singly reinforced).
double TensionSteelDepth(double H, double& c_comp, double& As_comp, double c_tens,
                         double& As_tens) {
  if (As_tens >= 1) return H - c_tens;
  As_tens = As_comp;
  As_comp = 0;
  const double d = c_comp;
  c_comp = 0;
  return d;
}

}  // namespace

UltimateFlexureResult UltimateFlexure(const UltimateParams& prm, double H, double b, double c_comp,
                                      double As_comp, double c_tens, double As_tens, double Md,
                                      double Nd) {
  UltimateFlexureResult res;
  UltimateDetail& det = res.detail;
  det.params = prm;
  const double fcd = prm.fcd();
  const double fyd = prm.fyd();
  const double Es = prm.Es();
  const double n = prm.n();
  det.fcd = fcd;
  det.fyd = fyd;
  det.n = n;
  det.eps_y = prm.eps_y();

  H = std::max(H, 1.0);
  b = std::max(b, 1.0);
  if (std::fabs(Nd) < 0.001) Nd = Nd < 0 ? -0.001 : 0.001;
  const int sign = ExchangeFacesForNegativeMoment(c_comp, As_comp, c_tens, As_tens, Md);

  if (Md < 0.001) {
    det.case_text = "① 軸力のみが作用する場合";
    const double Nud = Nd < 0 ? -fyd * (As_tens + As_comp) * 0.001
                              : (fyd * (As_tens + As_comp) + 0.85 * fcd * b * H) * 0.001;
    res.code = sign * kUltAxialOnly;
    res.Nud = det.Nud = Nud;
    res.Mud = det.Mud = 0.001;
    return res;
  }

  det.case_text = "② 曲げモーメントが作用する場合";
  const double d = TensionSteelDepth(H, c_comp, As_comp, c_tens, As_tens);
  const double Asc = As_comp, Ast = As_tens;
  const double e = Md * 1000 / Nd;

  // Balanced point.
  const double xb = kEpsCu / (kEpsCu + fyd / Es) * d;
  const double Cb = 0.68 * fcd * b * xb;
  const double Nb = Cb + Asc * fyd - Ast * fyd;
  const double dc = Asc >= 1 ? c_comp : 0;
  const double yc = (b * H * H / 2 + n * Asc * dc + n * Ast * d) / (b * H + n * Asc + n * Ast);
  const double Mb = (yc - 0.4 * xb) * Cb + Asc * fyd * (yc - dc) + Ast * fyd * (d - yc);
  const double eb = Mb / SafeDivisor(Nb, 1e-6);
  const double es = e + d - yc;
  det.d = d;
  det.dc = dc;
  det.xb = xb;
  det.Nb = Nb;
  det.Mb = Mb;
  det.eb = eb;
  det.yc = yc;
  det.e = e;
  det.es = es;

  const double K = SafeDivisor(0.272 * fcd * b);
  double x, Nu, Mu;
  int code;
  // Tension failure beyond the balanced eccentricity. When even the balanced
  // axial force is not compressive (N′b ≤ 0, a heavily reinforced section)
  // the balanced eccentricity is negative and says nothing: a compressive
  // force then crushes the concrete before the tension steel yields.
  const bool tension_failure = e < 0 || (Nb > 0 && e >= eb);
  if (tension_failure) {
    // Tension failure: the tension steel yields.
    code = kUltTensionYielded;
    det.case_text = "③-○鉄筋の引張破壊のケース";
    const double B = 0.68 * fcd * b * (es - d) / K;
    const double C = ((Asc - Ast) * fyd * es - Asc * fyd * (d - dc)) / K;
    det.poly = {0, 1, B, C};
    double big, small;
    if (LargerQuadraticRoot(B, C, &big, &small)) {
      x = std::max(big, 0.001);
      det.roots = {small, big, big};
    } else {
      x = 0.001;
      det.roots = {-B / 2, -B / 2, -B / 2};  // no real root: the vertex
    }
    det.eps_s = kEpsCu * (x - dc) / x;
    if (e >= 0 && det.eps_s >= prm.eps_y()) {
      det.case_text = "③-(1) 鉄筋の引張破壊で圧縮鉄筋が降伏している   ε's≧ε'yd";
      const double C0 = 0.68 * fcd * b * x;
      Nu = C0 + Asc * fyd - Ast * fyd;
      Mu = (yc - 0.4 * x) * C0 + Asc * fyd * (yc - dc) + Ast * fyd * (d - yc);
    } else {
      code = kUltTensionNotYielded;
      det.case_text = "③-(2) 鉄筋の引張破壊で圧縮鉄筋は降伏していない ε's＜ε'yd";
      const double p = 0.68 * fcd * b * (es - d) / K;
      const double q = (es * (Asc * Es * kEpsCu - Ast * fyd) - (d - dc) * Asc * Es * kEpsCu) / K;
      const double r = -(es - (d - dc)) * dc * Asc * Es * kEpsCu / K;
      const CubicRoots roots = SolveCubicRoots(p, q, r);
      det.poly = {1, p, q, r};
      det.roots = roots.sorted;
      x = roots.chosen;
      double sc = std::min(Es * kEpsCu * (x - dc) / x, fyd);
      bool in_equilibrium = true;
      if (Asc < 1 && Nd < 0 && es > 0) {
        // A tension whose line lies above the only steel layer: the resultant
        // of the concrete compression and the steel tension always lies
        // below the steel, so no state on this load line exists.
        in_equilibrium = false;
      } else if (Asc >= 1 && sc < -fyd) {
        // The compression-side steel is stretched beyond its yield: it can
        // carry no more than fyd in tension. Equilibrium about the tension
        // steel with both layers yielded, for a neutral axis shallow enough
        // (x ≤ d′·ε′cu/(ε′cu + fyd/Es)) that the upper layer does yield.
        const double B = 0.68 * fcd * b * (es - d) / K;
        const double C = (-(Asc + Ast) * fyd * es + Asc * fyd * (d - dc)) / K;
        const double x_yield = dc * kEpsCu / (kEpsCu + fyd / Es);
        double big, small;
        in_equilibrium = false;
        if (LargerQuadraticRoot(B, C, &big, &small)) {
          for (double root : {big, small}) {
            if (root > 0 && root <= x_yield) {
              x = root;
              in_equilibrium = true;
              break;
            }
          }
          det.poly = {0, 1, B, C};
          det.roots = {small, big, big};
        }
        sc = -fyd;
      }
      if (in_equilibrium) {
        const double C0 = 0.68 * fcd * b * x;
        Nu = C0 + Asc * sc - Ast * fyd;
        Mu = (yc - 0.4 * x) * C0 + Asc * sc * (yc - dc) + Ast * fyd * (d - yc);
      } else {
        // Whole section in tension: the steel alone carries the force, the
        // layer nearer the force's line yielding first; a line outside the
        // two layers (or beside a single layer) cannot be carried at all.
        const double yT = yc - e;  // depth of the force's line
        double T = 0;
        if (Asc >= 1 && d - dc > 1e-6 && yT >= dc && yT <= d) {
          const double by_upper = yT < d ? Asc * fyd * (d - dc) / (d - yT) : HUGE_VAL;
          const double by_lower = yT > dc ? Ast * fyd * (d - dc) / (yT - dc) : HUGE_VAL;
          T = std::min(by_upper, by_lower);
        }
        x = 0;
        Nu = -T;
        Mu = -T * e;
      }
    }
  } else {
    // Compression failure: the concrete crushes before the tension steel yields.
    code = kUltCompressionFailure;
    det.case_text = "② コンクリート圧縮の破壊";
    const double p = 0.68 * fcd * b * (es - d) / K;
    const double q = (es * (Asc * fyd + Ast * Es * kEpsCu) - Asc * fyd * (d - dc)) / K;
    const double r = -Ast * Es * kEpsCu * es * d / K;
    const CubicRoots roots = SolveCubicRoots(p, q, r);
    det.poly = {1, p, q, r};
    det.roots = roots.sorted;
    x = std::max(roots.sorted[2], 0.001);
    const double ss = Es * kEpsCu * (d - x) / x;
    const double C0 = 0.68 * fcd * b * x;
    Nu = C0 + Asc * fyd - Ast * ss;
    Mu = (yc - 0.4 * x) * C0 + Asc * fyd * (yc - dc) + Ast * ss * (d - yc);
  }
  det.x = x;
  res.code = sign * code;
  res.Nud = det.Nud = Nu * 0.001;
  res.Mud = det.Mud = std::max(Mu * 1e-6, -0.1);
  return res;
}

const char* FlexureRuleName(FlexureRule rule) {
  return rule == FlexureRule::kConstantAxialForce ? "軸力一定" : "偏心量一定";
}

UltimateFlexureResult UltimateFlexureAtAxialForce(const UltimateParams& prm, double H, double b,
                                                  double c_comp, double As_comp, double c_tens,
                                                  double As_tens, double Md, double Nd) {
  UltimateFlexureResult res;
  UltimateDetail& det = res.detail;
  det.params = prm;
  const double fcd = prm.fcd();
  const double fyd = prm.fyd();
  const double Es = prm.Es();
  const double n = prm.n();
  det.fcd = fcd;
  det.fyd = fyd;
  det.n = n;
  det.eps_y = prm.eps_y();
  det.case_text = "④ 軸力一定(N'ud = N'd)で曲げ耐力を求める";

  H = std::max(H, 1.0);
  b = std::max(b, 1.0);
  const int sign = ExchangeFacesForNegativeMoment(c_comp, As_comp, c_tens, As_tens, Md);
  const double d = TensionSteelDepth(H, c_comp, As_comp, c_tens, As_tens);
  const double Asc = As_comp, Ast = As_tens;
  const double dc = Asc >= 1 ? c_comp : 0;
  const double yc = (b * H * H / 2 + n * Asc * dc + n * Ast * d) / (b * H + n * Asc + n * Ast);
  det.d = d;
  det.dc = dc;
  det.yc = yc;
  det.e = Md * 1000 / (std::fabs(Nd) < 0.001 ? (Nd < 0 ? -0.001 : 0.001) : Nd);

  // Forces of the section at neutral-axis depth x (N; steel stresses
  // positive in compression).
  struct State {
    double C, arm, sc, st;  // concrete force, its depth, σ′s, σs (compression positive)
    double N;
  };
  auto state_at = [&](double x) {
    State s;
    const double a = std::min(0.8 * x, H);
    s.C = 0.85 * fcd * b * a;
    s.arm = a / 2;
    s.sc = std::clamp(Es * kEpsCu * (x - dc) / x, -fyd, fyd);
    s.st = std::clamp(Es * kEpsCu * (x - d) / x, -fyd, fyd);
    s.N = s.C + Asc * s.sc + Ast * s.st;
    return s;
  };
  const double N_target = Nd * 1000;
  // N(x) rises with x from −(A′s + As)·fyd (x → 0) to the squash load
  // (x → ∞): a bisection finds the depth of the given force.
  double lo = 1e-9 * H, hi = H;
  bool found = state_at(lo).N <= N_target;
  while (found && state_at(hi).N < N_target) {
    hi *= 2;
    if (hi > 1e6 * H) found = false;
  }
  double Mu = 0, x = 0;
  if (found) {
    for (int i = 0; i < 200 && hi - lo > 1e-10 * H; ++i) {
      const double mid = (lo + hi) / 2;
      (state_at(mid).N < N_target ? lo : hi) = mid;
    }
    x = (lo + hi) / 2;
    const State s = state_at(x);
    Mu = s.C * (yc - s.arm) + Asc * s.sc * (yc - dc) - Ast * s.st * (d - yc);
    det.eps_s = kEpsCu * (x - dc) / x;
  }
  det.x = x;
  det.roots = {x, x, x};
  res.code = sign * kUltConstantAxialForce;
  res.Nud = det.Nud = Nd;
  res.Mud = det.Mud = found ? std::max(Mu * 1e-6, 0.0) : 0.0;
  return res;
}

UltimateFlexureResult UltimateFlexureByRule(FlexureRule rule, const UltimateParams& prm, double H,
                                            double b, double c_comp, double As_comp, double c_tens,
                                            double As_tens, double Md, double Nd) {
  if (rule == FlexureRule::kConstantAxialForce)
    return UltimateFlexureAtAxialForce(prm, H, b, c_comp, As_comp, c_tens, As_tens, Md, Nd);
  return UltimateFlexure(prm, H, b, c_comp, As_comp, c_tens, As_tens, Md, Nd);
}

ShearCapacityResult ShearCapacity(const UltimateParams& prm, double Aw, double H, double bw,
                                  double c_comp, double As_comp, double c_tens, double As_tens,
                                  double Md, double Nd, double fwyd, double s) {
  ShearCapacityResult res;
  ShearDetail& det = res.detail;
  det.Aw = Aw;
  det.H = H;
  det.bw = bw;
  det.c_comp = c_comp;
  det.As_comp = As_comp;
  det.c_tens = c_tens;
  det.As_tens = As_tens;
  det.Md = Md;
  det.Nd = Nd;
  det.fwyd = fwyd;
  det.s = s;

  ExchangeFacesForNegativeMoment(c_comp, As_comp, c_tens, As_tens, Md);
  double d = TensionSteelDepth(H, c_comp, As_comp, c_tens, As_tens);
  const double fcd = std::max(prm.fck() / prm.gamma_c(), 1.0);
  const double fvcd = std::min(0.2 * std::cbrt(fcd), 0.72);
  H = std::max(H, 1.0);
  bw = std::max(bw, 1.0);
  d = std::max(d, 1.0);
  As_tens = std::max(As_tens, 1.0);
  const double Md_nmm = Md * 1e6;
  const double N = Nd * 1000;
  if (s <= 10) s = 1e6;

  const double beta_d = std::min(std::pow(1000 / d, 0.25), 1.5);
  const double beta_p = std::min(std::cbrt(100 * As_tens / (bw * d)), 1.5);
  const double fyk = prm.fyk();
  const double M0 = N * H / 6;
  const double Mu0 =
      As_tens * fyk * (d - d * (fyk / SafeDivisor(0.85 * prm.fck())) * (As_tens / (bw * d)) / 2);
  const double Mud = std::max(std::max(2 * Md_nmm, Mu0), 0.001);
  const double beta_n = N >= 0 ? std::min(1 + 2 * M0 / Mud, 2.0) : std::max(1 + 4 * M0 / Mud, 0.0);
  const double theta = prm.theta();
  res.Vcd = beta_d * beta_p * beta_n * fvcd * bw * d / prm.gamma_b1() * 0.001;
  res.Vsd =
      Aw * fwyd * (std::sin(theta) + std::cos(theta)) * (d / 1.15) / s / prm.gamma_b2() * 0.001;
  det.d = d;
  det.fvcd = fvcd;
  det.beta_d = beta_d;
  det.beta_p = beta_p;
  det.M0 = M0;
  det.Mud = Mud;
  det.beta_n = beta_n;
  return res;
}

double RequiredShearSteel(double gamma_i, double gamma_b2, double fwyd, double Vcd, double Vd,
                          double s, double d) {
  return s * gamma_b2 * (gamma_i * std::fabs(Vd) - Vcd) / std::max(fwyd * d / 1.15, 0.1);
}

ShearCorrection AllowableShearCorrection(double tau_a, double h, double b, double d, double A,
                                         double As, double I, double M, double N,
                                         const ShearCorrectionSwitches& sw) {
  ShearCorrection out;
  // Effective depth: 1.4 up to 300 mm, 1.0 at 1000 mm; thicker members follow
  // the continuation of the same table (0.7 at 3000, 0.6 at 5000, 0.5 from
  // 10000 mm) rather than running the straight line below zero.
  double ce;
  if (d <= 300) {
    ce = 1.4;
  } else if (d <= 1000) {
    ce = Lerp(d, 300, 1.4, 1000, 1.0);
  } else if (d <= 3000) {
    ce = Lerp(d, 1000, 1.0, 3000, 0.7);
  } else if (d <= 5000) {
    ce = Lerp(d, 3000, 0.7, 5000, 0.6);
  } else if (d <= 10000) {
    ce = Lerp(d, 5000, 0.6, 10000, 0.5);
  } else {
    ce = 0.5;
  }
  // Tension steel ratio (%).
  const double pt = 100 * As / std::max(b * d, 1.0);
  static constexpr double kPt[] = {0.1, 0.2, 0.3, 0.5, 1.0};
  static constexpr double kCpt[] = {0.7, 0.9, 1.0, 1.2, 1.5};
  double cpt;
  if (!(pt > kPt[0])) {
    cpt = kCpt[0];
  } else if (pt > kPt[4]) {
    cpt = kCpt[4];
  } else {
    int i = 1;
    while (pt > kPt[i]) ++i;
    cpt = Lerp(pt, kPt[i - 1], kCpt[i - 1], kPt[i], kCpt[i]);
  }
  // Axial force: a compression raises the allowable by the decompression moment.
  double cn = 1;
  if (N > 0) {
    const double M0 = I * std::fabs(N) / SafeDivisor(A * h / 2);
    cn = std::clamp(1 + M0 / std::max(std::fabs(M), 0.001), 1.0, 2.0);
  }
  out.Ce = sw.no_ce ? 1 : RoundTo2(ce);
  out.Cpt = sw.no_cpt ? 1 : RoundTo2(cpt);
  out.CN = sw.no_cn ? 1 : RoundTo2(cn);
  out.tau_a = RoundTo3(tau_a * out.Ce * out.Cpt * out.CN);
  return out;
}

namespace {

struct ShearTableRow {
  double bound;
  double t1_a2, t1_a1, t2_a2, t2_a1;
};
constexpr ShearTableRow kShearTable[] = {
    {18.01, 1.6, 0.22, 1.8, 0.4},  {21.01, 1.6, 0.22, 1.9, 0.42}, {24.01, 1.7, 0.23, 2.0, 0.45},
    {27.01, 1.8, 0.24, 2.1, 0.47}, {30.01, 1.9, 0.25, 2.2, 0.5},  {36.01, 2.2, 0.26, 2.2, 0.5},
    {1e300, 2.4, 0.27, 2.4, 0.55},
};

const ShearTableRow& ShearRow(double sigma_ck) {
  for (const ShearTableRow& row : kShearTable) {
    if (sigma_ck <= row.bound) return row;
  }
  return kShearTable[std::size(kShearTable) - 1];  // NaN
}

}  // namespace

StirrupDemand AllowableShearAndStirrups(double sigma_ck, double b, double d, double sigma_sa,
                                        double As, double s, double S, bool table2, bool seismic) {
  StirrupDemand out;
  const ShearTableRow& row = ShearRow(sigma_ck);
  double tau_a2 = table2 ? row.t2_a2 : row.t1_a2;
  double tau_a1 = table2 ? row.t2_a1 : row.t1_a1;
  double factor = 1.15, j = 1, share = 1;
  if (table2) {
    factor = 1;
    const double p = As / SafeDivisor(b * d);
    const double k = std::sqrt(std::max(0.0, 225 * p * p + 30 * p)) - 15 * p;
    j = 1 - k / 3;
    share = 0.5;
  }
  if (seismic) {
    tau_a1 *= 1.5;
    tau_a2 *= 1.5;
  }
  out.tau_a1 = tau_a1;
  out.tau_a2 = tau_a2;
  out.j = j;
  out.Aw = factor * std::max(0.0, std::fabs(S) - share * tau_a1 * b * j * d) * s /
           SafeDivisor(sigma_sa * j * d);
  return out;
}

double ConcreteShearStress(double sigma_ck) {
  return ShearRow(sigma_ck).t1_a1;
}

}  // namespace vaultra
