#include "checks/check_point.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "checks/section_stress.h"
#include "core/number.h"

namespace vaultra {

namespace {

// Clears every result of the row, keeping its inputs.
void ClearResults(CheckPointRecord& row) {
  CheckPointRecord fresh;
  fresh.member = row.member;
  fresh.type_code = row.type_code;
  fresh.k = row.k;
  fresh.x = row.x;
  fresh.M = row.M;
  fresh.S = row.S;
  fresh.N = row.N;
  fresh.check_bits = row.check_bits;
  fresh.l2_shear_check = row.l2_shear_check;
  fresh.allowable_doubling = row.allowable_doubling;
  fresh.shear_correction = row.shear_correction;
  fresh.outer_joint_bars = row.outer_joint_bars;
  fresh.inner_joint_bars = row.inner_joint_bars;
  fresh.label = row.label;
  fresh.cd_basis = row.cd_basis;
  row = fresh;
}

// The tension face's effective depth and steel area (the other face when the
// tension face has no steel).
struct TensionFace {
  double d;
  double As;
};
TensionFace TensionFaceOf(const CheckPointRecord& row) {
  const auto& k = row.k;
  TensionFace outer{k[11], k[12]}, inner{k[19], k[20]};
  TensionFace t = row.M < 0 ? outer : inner;
  if (t.As < 1) t = row.M < 0 ? inner : outer;
  return t;
}

void AllowableStressCheck(CheckPointRecord& row, int kind, const CheckPointContext& ctx) {
  const auto& k = row.k;
  const AllowableSet& allow = kind == kKindNormal ? ctx.material.normal : ctx.material.seismic;
  row.sigma_ca = allow.sigma_ca;
  row.sigma_sa = allow.sigma_sa;
  row.tau_a1 = allow.tau_a1;
  row.tau_a1p = row.tau_a2 = row.tau_a = row.tau_a1;

  SectionStressInput in;
  in.H = k[1];
  in.Hs = k[2];
  in.b = k[4];
  in.n = 15;
  in.c_comp = k[10];
  in.As_comp = k[12];
  in.c_tens = k[18];
  in.As_tens = k[20];
  in.M = row.M * 1e6;
  in.S = row.S * 1e3;
  in.N = -row.N * 1e3;
  in.j_is_one = row.shear_correction;
  const SectionStressResult st = SectionStress(in);
  row.n_ratio = in.n;
  row.stress_case = st.code;
  row.stress_x = st.x;
  row.stress_yc = st.yc;
  row.stress_j = st.j;
  row.shear_d = st.d;
  row.sigma_c = st.sigma_c;
  const double ss = RoundTo2(st.sigma_s);
  if (st.code >= 0) {
    row.sigma_s_inner = ss;
    row.sigma_s_outer = 0;
  } else {
    row.sigma_s_outer = ss;
    row.sigma_s_inner = 0;
  }
  row.tau = RoundTo3(st.tau);

  if (row.check_bits & kCheckBending) {
    if (row.sigma_s_inner > row.sigma_sa || row.sigma_s_outer > row.sigma_sa) {
      row.ng_sigma_s = true;
      row.ng = true;
    }
    if (row.sigma_c > row.sigma_ca) {
      row.ng_sigma_c = true;
      row.ng = true;
    }
    row.ratio_flexure =
        std::max(row.sigma_s_inner, row.sigma_s_outer) / std::max(row.sigma_sa, 0.01);
  }
  // A face whose steel is in compression (σs < 0) needs no tension steel.
  row.req_steel_outer = k[12] * std::max(row.sigma_s_outer, 0.0) / std::max(row.sigma_sa, 1.0);
  row.req_steel_inner = k[20] * std::max(row.sigma_s_inner, 0.0) / std::max(row.sigma_sa, 1.0);

  const TensionFace face = TensionFaceOf(row);
  row.tension_d = face.d;
  row.Ce = row.Cpt = row.CN = 1;
  if (row.shear_correction) {
    const double h = k[2], b = k[4];
    const ShearCorrection c =
        AllowableShearCorrection(row.tau_a1, h, b, face.d, b * h, face.As, b * h * h * h / 12,
                                 row.M * 1e6, -row.N * 1e3, ctx.correction_switches);
    row.tau_a1p = row.tau_a2 = c.tau_a;
    row.Ce = c.Ce;
    row.Cpt = c.Cpt;
    row.CN = c.CN;
  }

  row.req_stirrup = 0;
  const double Aw = k[25], s = k[23];
  if (Aw > 0.1 && s > 0.001) {
    const StirrupDemand dem =
        AllowableShearAndStirrups(ctx.material.sigma_ck, k[4], face.d, row.sigma_sa, face.As, s,
                                  row.S * 1e3, !ctx.two_d_option, kind == kKindLevel1);
    row.tau_a2 = dem.tau_a2;
    const double carried = row.Ce * row.Cpt * row.CN * row.tau_a1 * k[4] * face.d;
    row.req_stirrup = RoundTo0(1.15 * std::max(std::fabs(row.S) * 1e3 - carried, 0.0) * s /
                               SafeDivisor(row.sigma_sa * face.d));
  }

  if (row.allowable_doubling) {
    row.tau_a *= 2;
    row.tau_a1p *= 2;
    row.tau_a2 *= 2;
  }
  row.tau_a1p = RoundTo3(row.tau_a1p);
  row.tau_a2 = RoundTo4(row.tau_a2);

  if (row.check_bits & kCheckShear) {
    if (row.tau > row.tau_a1p) {
      row.needs_shear_steel = true;
      row.tau_a = row.tau_a2;
      if (row.tau > row.tau_a2) row.ng_shear = true;
    } else {
      row.tau_a = row.tau_a1p;
    }
    row.ratio_shear =
        std::max(row.tau / std::max(row.tau_a, 0.001), row.req_stirrup / std::max(Aw, 1.0));
  }
}

// The limit-state strengths and factors of the seismic method into the row
// and the parameter set.
void SetLimitStateParams(CheckPointRecord& row, const CheckPointContext& ctx, UltimateParams& prm) {
  const CheckMaterial& mat = ctx.material;
  const SafetyFactorRow& f = ctx.factors[ctx.seismic_coefficient_method ? 1 : 2];
  row.fck = mat.fck;
  row.fyk = mat.fyk;
  row.fwyk = mat.fwyk;
  row.gamma_c = f.gamma_c();
  row.gamma_s = f.gamma_s();
  row.gamma_b = f.gamma_b();
  row.gamma_b1 = f.gamma_b1();
  row.gamma_b2 = f.gamma_b2();
  row.gamma_i = f.gamma_i();
  row.fcd = row.fck / std::max(row.gamma_c, 0.1);
  row.fyd = row.fyk / std::max(row.gamma_s, 0.1);
  prm.SetGammaC(row.gamma_c);
  prm.SetGammaS(row.gamma_s);
  prm.SetGammaB(row.gamma_b);
  prm.SetGammaB1(row.gamma_b1);
  prm.SetGammaB2(row.gamma_b2);
  prm.SetFck(row.fck);
  prm.SetFyk(row.fyk);
  prm.SetTheta(std::numbers::pi / 2);
  prm.SetEc(mat.Ec);
  prm.SetEs(mat.Es);
}

// Mud′ of the row's section with the over-strength steel factor γs′.
UltimateFlexureResult OverstrengthFlexure(const CheckPointRecord& row, const CheckPointContext& ctx,
                                          UltimateParams& prm) {
  const auto& k = row.k;
  prm.SetGammaS(ctx.factors[0].gamma_s());
  return UltimateFlexureByRule(ctx.flexure_rule, prm, k[1], k[4], k[10], k[12], k[18], k[20], row.M,
                               -row.N);
}

void LimitStateCheck(CheckPointRecord& row, const CheckPointContext& ctx, UltimateParams& prm) {
  const auto& k = row.k;
  SetLimitStateParams(row, ctx, prm);
  const double gamma_b = std::max(row.gamma_b, 0.1);
  row.flexure_rule = ctx.flexure_rule;
  const UltimateFlexureResult uf = UltimateFlexureByRule(ctx.flexure_rule, prm, k[1], k[4], k[10],
                                                         k[12], k[18], k[20], row.M, -row.N);
  row.Nud = uf.Nud;
  row.Mud = uf.Mud;
  row.Mrd = uf.Mud / gamma_b;
  row.p_inner = k[20] / std::max(1000 * k[1], 1.0);
  row.p_outer = k[12] / std::max(1000 * k[1], 1.0);

  if (row.check_bits & kCheckBending) {
    row.ratio_flexure = row.gamma_i * std::fabs(row.M) / std::max(row.Mrd, 0.1);
    row.ng_flexure = row.ratio_flexure >= 1;
  }

  const ShearCapacityResult sc = ShearCapacity(prm, k[25], k[2], k[4], k[10], k[12], k[18], k[20],
                                               row.M, -row.N, row.fwyk, k[23]);
  row.Vcd = sc.Vcd;
  if (row.check_bits & kCheckShear) {
    row.Vyd = sc.Vcd;
    row.Vsd = 0;
    row.ratio_shear = row.gamma_i * std::fabs(row.S) / std::max(row.Vyd, 0.1);
    if (row.ratio_shear >= 1) {
      row.ng_shear_vcd = true;
      row.ng_shear_l2 = true;
      if (k[25] > 0.1) {
        row.Vsd = sc.Vsd;
        row.Vyd = sc.Vcd + sc.Vsd;
        row.ratio_shear = row.gamma_i * std::fabs(row.S) / std::max(row.Vyd, 0.1);
        row.ng_shear_l2 = row.ratio_shear >= 1;
      }
    }
  }

  row.req_steel_outer = k[12] * row.ratio_flexure;
  row.req_steel_inner = k[20] * row.ratio_flexure;
  const TensionFace face = TensionFaceOf(row);
  row.req_stirrup = std::max(RequiredShearSteel(row.gamma_i, row.gamma_b2, row.fwyk, row.Vcd * 1e3,
                                                row.S * 1e3, k[23], face.d),
                             0.0);

  if (row.l2_shear_check && ctx.Cs <= row.ratio_shear) {
    row.capacity_design_done = true;
    const double gs_over = ctx.factors[0].gamma_s();
    row.fyk_over = RoundTo2(1 / std::max(gs_over, 0.1)) * row.fyk;
    if (row.cd_basis.set) {
      // The member's governing flexural section (see CapacityDesignBasis).
      row.cd_x = row.cd_basis.x;
      row.cd_M = row.cd_basis.M;
      row.Mrd_over = row.cd_basis.Mrd_over;
      row.Mud_over = row.Mrd_over * gamma_b;
    } else {
      // No member around the row: its own section stands for the member.
      const UltimateFlexureResult over = OverstrengthFlexure(row, ctx, prm);
      row.cd_x = row.x;
      row.cd_M = row.M;
      row.Mud_over = over.Mud;
      row.Mrd_over = over.Mud / gamma_b;
    }
    row.shear_span = std::fabs(row.cd_M) / std::max(std::fabs(row.S), 0.001);
    row.Vmu = std::fabs(row.Mrd_over) / std::max(std::fabs(row.cd_M), 0.001) * std::fabs(row.S);
    row.ratio_vmu = row.gamma_i * row.Vmu / std::max(row.Vyd, 0.1);
    row.ng_capacity_design = row.ratio_vmu >= 1;
  }
}

}  // namespace

namespace {

// A comparison with NaN is false, so a row whose numbers are not finite
// would pass every "greater than the allowable" test: it fails instead.
void MarkNotFinite(CheckPointRecord& row) {
  bool finite = std::isfinite(row.M) && std::isfinite(row.S) && std::isfinite(row.N);
  for (double v : row.k) finite = finite && std::isfinite(v);
  for (double v : {row.sigma_c,
                   row.sigma_s_inner,
                   row.sigma_s_outer,
                   row.tau,
                   row.sigma_ca,
                   row.sigma_sa,
                   row.tau_a,
                   row.ratio_flexure,
                   row.ratio_shear,
                   row.ratio,
                   row.Nud,
                   row.Mud,
                   row.Mrd,
                   row.Vcd,
                   row.Vsd,
                   row.Vyd,
                   row.Vmu,
                   row.ratio_vmu,
                   row.req_stirrup,
                   row.req_steel_outer,
                   row.req_steel_inner,
                   row.Ec,
                   row.Es,
                   row.fck,
                   row.fcd,
                   row.fyk,
                   row.fyd,
                   row.fwyk})
    finite = finite && std::isfinite(v);
  row.not_finite = !finite;
  if (finite) return;
  row.ng = true;
  row.ng_flexure = true;
  row.ratio = std::numeric_limits<double>::quiet_NaN();
}

}  // namespace

namespace {

// The forces and covers as every evaluation reads them.
void RoundInputs(CheckPointRecord& row) {
  row.M = RoundTo2(row.M);
  row.S = RoundTo2(row.S);
  row.N = RoundTo2(row.N);
  auto& k = row.k;
  k[10] = RoundTo0(k[10]);
  k[18] = RoundTo0(k[18]);
  k[11] = RoundTo0(k[1]) - k[10];
  k[19] = RoundTo0(k[1]) - k[18];
}

}  // namespace

CapacityDesignBasis MemberCapacityDesignBasis(const std::vector<const CheckPointRecord*>& rows,
                                              const CheckPointContext& ctx) {
  double largest = 0;
  for (const CheckPointRecord* r : rows) largest = std::max(largest, std::fabs(RoundTo2(r->M)));
  CapacityDesignBasis best;
  if (!(largest > 0)) return best;
  double best_lambda = HUGE_VAL;
  // The flexural sections first; a member checked for shear only falls back
  // to all its rows.
  for (const bool bending_only : {true, false}) {
    for (const CheckPointRecord* src : rows) {
      if (bending_only && !(src->check_bits & kCheckBending)) continue;
      CheckPointRecord r = *src;
      RoundInputs(r);
      if (std::fabs(r.M) < kCapacityDesignMomentShare * largest) continue;
      UltimateParams prm;
      SetLimitStateParams(r, ctx, prm);
      const double Mrd_over = OverstrengthFlexure(r, ctx, prm).Mud / std::max(r.gamma_b, 0.1);
      const double lambda = Mrd_over / std::fabs(r.M);
      if (std::isfinite(lambda) && lambda < best_lambda) {
        best_lambda = lambda;
        best = {true, r.x, r.M, Mrd_over};
      }
    }
    if (best.set) break;
  }
  return best;
}

void CheckPoint(CheckPointRecord& row, int kind, const CheckPointContext& ctx) {
  ClearResults(row);
  RoundInputs(row);
  // A fresh parameter set per row: nothing (such as the over-strength γs of
  // a capacity-design check) carries over from the previous row.
  UltimateParams prm;
  prm.SetEc(ctx.material.Ec);
  prm.SetEs(ctx.material.Es);
  row.Ec = prm.Ec();
  row.Es = prm.Es();

  if (kind == kKindLevel2) {
    LimitStateCheck(row, ctx, prm);
  } else {
    AllowableStressCheck(row, kind, ctx);
  }
  row.ratio = std::max(row.ratio_flexure, row.ratio_shear);
  MarkNotFinite(row);
}

}  // namespace vaultra
