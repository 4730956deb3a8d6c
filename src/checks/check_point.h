// Evaluation of one check point of a member: working stresses against the
// allowable stresses (normal condition and level-1 earthquake) or design
// capacities (level-2 earthquake, with the capacity-design shear check).
//
// The member-check tables that hold these rows are built elsewhere; this
// header declares only what one evaluation reads and writes: the row record
// (CheckPointRecord) and the project values it needs (CheckPointContext).
#pragma once

#include <array>
#include <string>
#include <vector>

#include "checks/capacity.h"

namespace vaultra {

// Allowable stresses of one state (normal or seismic), N/mm².
struct AllowableSet {
  double sigma_ca = 14.0;   // bending compression of the concrete
  double tau_a1 = 0.55;     // shear of the concrete
  double sigma_sa = 160.0;  // tension of the rebar
};

// One material column of the materials record.
struct CheckMaterial {
  double sigma_ck = 24.0;
  AllowableSet normal{14.0, 0.55, 160.0};
  AllowableSet seismic{21.0, 0.825, 240.0};
  double Ec = 31000.0, Es = 200000.0;
  double fck = 40.0, fyk = 240.0, fwyk = 240.0;
};

// One row of the safety-factor table: 13 factors, of which the check uses
// γc, γs, γb, γb1, γb2 (1..5) and γi (13).
struct SafetyFactorRow {
  std::array<double, 13> f{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
  double gamma_c() const { return f[0]; }
  double gamma_s() const { return f[1]; }
  double gamma_b() const { return f[2]; }
  double gamma_b1() const { return f[3]; }
  double gamma_b2() const { return f[4]; }
  double gamma_i() const { return f[12]; }
};

// Project values one evaluation reads.
struct CheckPointContext {
  CheckMaterial material;  // the member's material column
  // Rows 1..3 of the safety-factor table (index 0 = row 1: failure-mode
  // judgement of the seismic-coefficient method, whose γs is the
  // over-strength factor γs′; row 2 seismic coefficient; row 3 response
  // displacement).
  std::array<SafetyFactorRow, 3> factors{};
  bool seismic_coefficient_method = false;  // else response displacement
  double Cs = 1.0;                          // toughness
  bool two_d_option = false;                // shear checked at 2·d (else h/2)
  ShearCorrectionSwitches correction_switches;
  FlexureRule flexure_rule = FlexureRule::kConstantEccentricity;  // level-2 Mud
};

// The section of a member that reaches its over-strength flexural capacity
// first when the member's forces grow in proportion: the smallest
// λ = Mrd′/|M| over the member's flexural sections whose |M| is at least
// kCapacityDesignMomentShare of the member's largest. The shear at flexural
// capacity of every row of the member is then Vmu = λ·|S| = Mrd′g·|S|/|Mg|,
// i.e. the shear span a = |Mg|/|S| taken at that section.
struct CapacityDesignBasis {
  bool set = false;
  double x = 0;         // m, position of the governing section
  double M = 0;         // kN·m, its design moment
  double Mrd_over = 0;  // kN·m, its Mud′/γb
};
constexpr double kCapacityDesignMomentShare = 0.1;

// Check bits of a row.
constexpr int kCheckBending = 1;
constexpr int kCheckShear = 2;

// One row of a member check table. Section values k0 … k28 (mm, mm²,
// N/mm²): k1 H, k2 Hs, k4 b, k10 outer cover, k11 outer effective depth,
// k12 outer steel area, k18 inner cover, k19 inner effective depth, k20
// inner steel area, k23 stirrup spacing, k25 stirrup area, k28 σck.
struct CheckPointRecord {
  int member = 0;
  int type_code = 0;
  std::array<double, 29> k{};
  double x = 0;  // m
  double M = 0;  // kN·m
  double S = 0;  // kN
  double N = 0;  // kN, tension positive

  int check_bits = kCheckBending | kCheckShear;
  bool l2_shear_check = false;
  bool allowable_doubling = false;
  bool shear_correction = false;
  bool outer_joint_bars = false;
  bool inner_joint_bars = false;
  std::string label;
  CapacityDesignBasis cd_basis;  // set by the member checks before the evaluation

  // Allowable-stress results.
  double sigma_c = 0, sigma_s_inner = 0, sigma_s_outer = 0, tau = 0;
  double sigma_ca = 0, sigma_sa = 0, tau_a1 = 0, tau_a1p = 0, tau_a2 = 0, tau_a = 0;
  double Ce = 1, Cpt = 1, CN = 1;
  // What the stresses were derived with (the report's formulas print them):
  // the modulus ratio, the stress case code (negated when M < 0), the
  // neutral-axis depth x and transformed-section centroid yc (mm), the lever
  // arm factor j and depth d of τ = S/(b·j·d) (j = 1 at rows that take τ = S/(b·d))
  // and the effective depth of the tension face (mm, the τa corrections').
  double n_ratio = 15;
  int stress_case = 0;
  double stress_x = 0, stress_yc = 0, stress_j = 0, shear_d = 0, tension_d = 0;
  double req_stirrup = 0, req_steel_outer = 0, req_steel_inner = 0;
  double ratio_flexure = 0, ratio_shear = 0, ratio = 0;
  bool ng_sigma_c = false, ng_sigma_s = false, ng = false, ng_shear = false;
  bool needs_shear_steel = false;

  // Limit-state results.
  double fck = 0, fcd = 0, fyk = 0, fyd = 0, fwyk = 0;
  double gamma_c = 0, gamma_s = 0, gamma_b = 0, gamma_b1 = 0, gamma_b2 = 0, gamma_i = 0;
  double Ec = 0, Es = 0;
  double Nud = 0, Mud = 0, Mrd = 0;
  double p_inner = 0, p_outer = 0;
  double Vcd = 0, Vsd = 0, Vyd = 0;
  FlexureRule flexure_rule = FlexureRule::kConstantEccentricity;  // the rule Nud, Mud follow
  // Mud_over, Mrd_over: the governing section's (cd_basis) when it is set,
  // else the row's own; shear_span = |M| / |S| of that section's moment.
  double fyk_over = 0, Mud_over = 0, Mrd_over = 0, shear_span = 0, Vmu = 0, ratio_vmu = 0;
  double cd_x = 0, cd_M = 0;  // the section the shear span was taken at
  bool ng_flexure = false, ng_shear_vcd = false, ng_shear_l2 = false;
  bool capacity_design_done = false, ng_capacity_design = false;
  // An input or result of the row is no finite number: the row is N.G.
  // (ng and ng_flexure set, ratio NaN) whatever its comparisons said.
  bool not_finite = false;
};

// Combination kinds.
constexpr int kKindNormal = 0;
constexpr int kKindLevel1 = 1;
constexpr int kKindLevel2 = 2;

// Evaluates one row in place. The row's check bits, level-2 shear check
// flag, shear-correction flag and allowable-doubling flag select the checks.
void CheckPoint(CheckPointRecord& row, int kind, const CheckPointContext& ctx);

// The capacity-design basis of one member from its level-2 rows (forces and
// sections set, not yet evaluated): unset when no row carries a moment.
CapacityDesignBasis MemberCapacityDesignBasis(const std::vector<const CheckPointRecord*>& rows,
                                              const CheckPointContext& ctx);

}  // namespace vaultra
