// Limit-state capacities of a rectangular reinforced-concrete section
// (design ultimate axial force and moment, shear capacity of concrete and
// stirrups, required stirrups) and the allowable-stress shear quantities.
// Inside N and mm; inputs and outputs in the units named at each function.
#pragma once

#include <array>
#include <numbers>
#include <string>

namespace vaultra {

// The design parameters of the limit-state computations. A setter replaces
// its value only when the new value is not 0 and returns the current value,
// so a blank field never wipes a parameter.
class UltimateParams {
 public:
  static constexpr double kEpsCu = 0.0035;  // ε′cu, ultimate concrete strain

  double SetGammaC(double v) { return Set(gamma_c_, v); }
  double SetGammaS(double v) { return Set(gamma_s_, v); }
  double SetGammaB(double v) { return Set(gamma_b_, v); }
  double SetGammaB1(double v) { return Set(gamma_b1_, v); }
  double SetGammaB2(double v) { return Set(gamma_b2_, v); }
  double SetFck(double v) { return Set(fck_, v); }
  double SetFyk(double v) { return Set(fyk_, v); }
  double SetEc(double v) { return Set(ec_, v); }
  double SetEs(double v) { return Set(es_, v); }
  double SetTheta(double v) { return Set(theta_, v); }

  double gamma_c() const { return gamma_c_; }
  double gamma_s() const { return gamma_s_; }
  double gamma_b() const { return gamma_b_; }
  double gamma_b1() const { return gamma_b1_; }
  double gamma_b2() const { return gamma_b2_; }
  double fck() const { return fck_; }
  double fyk() const { return fyk_; }
  double Ec() const { return ec_; }
  double Es() const { return es_; }
  double theta() const { return theta_; }

  double fcd() const { return fck_ / gamma_c_; }
  double fyd() const { return fyk_ / gamma_s_; }
  double n() const { return es_ / ec_; }
  double eps_y() const { return fyk_ / es_; }

 private:
  static double Set(double& field, double v) {
    if (v != 0) field = v;
    return field;
  }
  double gamma_c_ = 1.3;
  double gamma_s_ = 1.0;
  double gamma_b_ = 1.15;
  double gamma_b1_ = 1.15;
  double gamma_b2_ = 1.15;
  double fck_ = 40.0;
  double fyk_ = 295.0;
  double ec_ = 25000.0;
  double es_ = 200000.0;
  double theta_ = std::numbers::pi / 2;
};

// Ultimate flexure case codes (the sign of the returned code gives the side).
constexpr int kUltAxialOnly = 1;
constexpr int kUltCompressionFailure = 4;
constexpr int kUltTensionYielded = 5;      // compression steel yielded
constexpr int kUltTensionNotYielded = 6;   // compression steel elastic
constexpr int kUltConstantAxialForce = 7;  // capacity at the given axial force

// How the level-2 flexural capacity follows the load: the design moment and
// axial force raised together (constant eccentricity e = M/N, the stored
// projects' rule) or the moment raised at the design axial force.
enum class FlexureRule : int { kConstantEccentricity = 0, kConstantAxialForce = 1 };

// The rule's name as the check pages print it (cp932).
const char* FlexureRuleName(FlexureRule rule);

// Intermediate values of one UltimateFlexure call, as the detail page lists them.
struct UltimateDetail {
  std::string case_text;  // cp932
  UltimateParams params;
  double fcd = 0, fyd = 0, n = 0;
  double d = 0, dc = 0;                           // effective depth, compression steel depth d′
  double xb = 0, Nb = 0, Mb = 0, eb = 0, yc = 0;  // N, N·mm, mm
  double e = 0, es = 0;         // eccentricity from the centroid, from the tension steel (mm)
  double x = 0;                 // neutral axis depth (mm)
  double eps_s = 0, eps_y = 0;  // ε′s of the tension-failure path, εy
  // x³·a3 + x²·a2 + x·a1 + a0 as solved (a quadratic has a3 = 0, a2 = 1).
  std::array<double, 4> poly{};
  std::array<double, 3> roots{};  // ascending; a quadratic repeats its larger root
  double Nud = 0, Mud = 0;        // kN, kN·m
};

struct UltimateFlexureResult {
  int code = 0;
  double Nud = 0;  // kN
  double Mud = 0;  // kN·m
  UltimateDetail detail;
};

// H, b, c′, c in mm; A′s, As in mm²; Md in kN·m; Nd in kN (compression positive).
UltimateFlexureResult UltimateFlexure(const UltimateParams& prm, double H, double b, double c_comp,
                                      double As_comp, double c_tens, double As_tens, double Md,
                                      double Nd);

// The flexural capacity at the axial force Nd itself (N′ud = Nd): the
// neutral axis found from the equilibrium of the axial forces with the
// concrete at ε′cu, the rectangular block 0.85·f′cd over 0.8·x (never deeper
// than H) and elastic-plastic steel (|σ| ≤ fyd); Mud about the same centroid
// yc as UltimateFlexure. A force beyond the section's tensile or compressive
// capacity has no such state: Mud = 0. Units as UltimateFlexure; the side
// (sign of the code) follows the sign of Md.
UltimateFlexureResult UltimateFlexureAtAxialForce(const UltimateParams& prm, double H, double b,
                                                  double c_comp, double As_comp, double c_tens,
                                                  double As_tens, double Md, double Nd);

// UltimateFlexure or UltimateFlexureAtAxialForce by the rule.
UltimateFlexureResult UltimateFlexureByRule(FlexureRule rule, const UltimateParams& prm, double H,
                                            double b, double c_comp, double As_comp, double c_tens,
                                            double As_tens, double Md, double Nd);

struct ShearDetail {
  double Aw = 0, H = 0, bw = 0, c_comp = 0, As_comp = 0, c_tens = 0, As_tens = 0;
  double Md = 0, Nd = 0, fwyd = 0, s = 0;
  double d = 0, fvcd = 0, beta_d = 0, beta_p = 0;
  double M0 = 0, Mud = 0;  // N·mm
  double beta_n = 0;
};

struct ShearCapacityResult {
  double Vcd = 0;  // kN
  double Vsd = 0;  // kN
  ShearDetail detail;
};

// Aw mm², H, bw, c′, c, s mm, A′s, As mm², Md kN·m, Nd kN (compression positive), fwyd N/mm².
ShearCapacityResult ShearCapacity(const UltimateParams& prm, double Aw, double H, double bw,
                                  double c_comp, double As_comp, double c_tens, double As_tens,
                                  double Md, double Nd, double fwyd, double s);

// Stirrup area (mm²) for a design shear Vd (N) beyond Vcd (N) at spacing s and depth d (mm).
double RequiredShearSteel(double gamma_i, double gamma_b2, double fwyd, double Vcd, double Vd,
                          double s, double d);

// Project switches that replace a correction factor by 1.
struct ShearCorrectionSwitches {
  bool no_ce = false;
  bool no_cpt = false;
  bool no_cn = false;
};

struct ShearCorrection {
  double tau_a = 0;  // corrected allowable shear stress
  double Ce = 1, Cpt = 1, CN = 1;
};

// τa corrected for the effective depth d, the steel ratio and the axial force.
// h, b, d mm; A mm²; As mm²; I mm⁴; M N·mm; N N (compression positive).
ShearCorrection AllowableShearCorrection(double tau_a, double h, double b, double d, double A,
                                         double As, double I, double M, double N,
                                         const ShearCorrectionSwitches& sw = {});

struct StirrupDemand {
  double Aw = 0;      // required stirrup area (mm²)
  double tau_a2 = 0;  // maximum allowable shear stress
  double tau_a1 = 0;  // allowable shear stress of the concrete
  double j = 1;
};

// σck, σsa N/mm²; b, d, s mm; As mm²; S N. table2 selects the second table
// (the (h/2) check); seismic raises both allowables by half.
StirrupDemand AllowableShearAndStirrups(double sigma_ck, double b, double d, double sigma_sa,
                                        double As, double s, double S, bool table2, bool seismic);

// τa1 of the first table for σck.
double ConcreteShearStress(double sigma_ck);

}  // namespace vaultra
