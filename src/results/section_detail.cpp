#include "results/section_detail.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "checks/section_stress.h"
#include "core/cp932.h"
#include "core/format_by_tag.h"
#include "core/number.h"

namespace vaultra {

namespace {

constexpr std::array<SectionDetailFieldInfo, kSdFieldCount> kFields = {{
    {"edM", 93, "4931.8"},   {"edN", 93, "212.46"}, {"edS", 93, "0"},
    {"edGmc", 72, "1"},      {"edGms", 72, "1"},    {"edGmbm", 72, "1"},
    {"edGmbc", 72, "1"},     {"edGmbs", 72, "1"},   {"edFdck", 83, "24"},
    {"edFyk", 82, "345"},    {"edFdcd", 83, "24"},  {"edFwyd", 82, "  345.00"},
    {"edFyd", 82, "24"},     {"edEc", 80, "2067"},  {"edEs", 80, "31000"},
    {"edEN", 82, "15"},      {"edB", 70, "2500"},   {"edH", 70, "2500"},
    {"edDd1", 71, "40"},     {"edDd2", 71, "40"},   {"edAs1", 81, "6353.6"},
    {"edAs2", 81, "6353.6"}, {"edAw", 81, "0"},     {"edSs", 70, "100"},
    {"edThs", 81, "90"},
}};

// Allowable tensile stress of the stirrups in the stress part (N/mm²).
constexpr double kStirrupSigmaSa = 160.0;
// Over-strength steel factor of the failure-mode judgement.
constexpr double kGammaSOver = 0.833;

}  // namespace

const std::array<SectionDetailFieldInfo, kSdFieldCount>& SectionDetailFields() {
  return kFields;
}

int SectionDetailFieldIndex(std::string_view name) {
  for (int i = 0; i < kSdFieldCount; ++i) {
    if (name == kFields[i].name) return i;
  }
  return -1;
}

SectionDetailInputs SectionDetailInputs::Initial() {
  SectionDetailInputs in;
  for (int i = 0; i < kSdFieldCount; ++i) in.text[i] = kFields[i].initial;
  return in;
}

double SectionDetailInputs::Value(int field) const {
  return ReadReal(text.at(field));
}

double StepValue(double v, bool up) {
  const double m = std::fabs(v);
  const double s = v < 0 ? -1 : 1;
  double out;
  if (m >= 0.008) {
    const double raised = m * 1.1, lowered = m / 1.1;
    if (up) {
      out = s > 0 ? s * raised : s * lowered;
    } else {
      out = s > 0 ? s * lowered : s * raised;
    }
  } else {
    out = up ? v + 0.001 : v - 0.001;
  }
  return RoundTo3(out);
}

void SetFieldText(SectionDetailWindow& w, int field, std::string_view text) {
  w.inputs.text.at(field) = FormatByTag(text, kFields.at(field).tag);
  Recompute(w);
}

bool StepField(SectionDetailWindow& w, int field, bool up) {
  if (field != kSdM && field != kSdS && field != kSdN) return false;
  const double v = StepValue(w.inputs.Value(field), up);
  w.inputs.text[field] = NumberTextByTag(v, kFields[field].tag);
  Recompute(w);
  return true;
}

std::string PolynomialText(double a3, double a2, double a1, double a0, std::string_view v) {
  std::string t;
  if (a3 != 0) {
    t += v;
    t += "^3 ";
  }
  auto term = [&](double c, const char* power) {
    if (c == 0) return;
    if (!t.empty()) t += c >= 0 ? "＋" : "－";
    const bool constant = power == nullptr;
    // The constant term always shows its value: "＋ = 0" would say nothing.
    if (c != 1 || constant) t += Format(constant ? "%11.4e" : "%11.4e･", std::fabs(c));
    if (!constant) {
      t += v;
      t += power;
    }
  };
  term(a2, "^2 ");
  term(a1, " ");
  term(a0, nullptr);
  return t;
}

std::uint32_t ListingLineColour(std::string_view line) {
  auto starts = [&](std::string_view head) { return line.substr(0, head.size()) == head; };
  if (starts("応力")) return 0x00FF0000;  // blue
  if (starts("曲げ")) return 0x000000FF;  // red
  if (starts("せん") || starts("モー")) return 0x00000000;
  return 0x00808080;
}

void Recompute(SectionDetailWindow& w) {
  SectionDetailInputs& in = w.inputs;
  UltimateParams& prm = w.params;
  SectionDetailLabels& lb = w.labels;
  SectionDetailFigure& fig = w.figure;

  // 1. Safety factors.
  auto factor = [&](int f) { return std::max(in.Value(f), 0.001); };
  const double gc = factor(kSdGmc), gs = factor(kSdGms), gbm = factor(kSdGmbm);
  const double gbc = factor(kSdGmbc), gbs = factor(kSdGmbs);
  prm.SetGammaC(gc);
  prm.SetGammaS(gs);
  prm.SetGammaB(gbm);
  prm.SetGammaB1(gbc);
  prm.SetGammaB2(gbs);

  // 2. Strengths.
  const double fck = in.Value(kSdFdck), fyk = in.Value(kSdFyk), fwyd = in.Value(kSdFwyd);
  in.text[kSdFdcd] = NumberTextByTag(fck / gc, kFields[kSdFdcd].tag);
  in.text[kSdFyd] = NumberTextByTag(fyk / gs, kFields[kSdFyd].tag);
  prm.SetFck(fck);
  prm.SetFyk(fyk);

  // 3. Material constants.
  const double n = in.Value(kSdEN);
  prm.SetEc(in.Value(kSdEc));
  prm.SetEs(in.Value(kSdEs));

  // 4.-6. Section, reinforcement, forces.
  const double b = std::max(in.Value(kSdB), 10.0);
  const double h = std::max(in.Value(kSdH), 10.0);
  const double dd1 = in.Value(kSdDd1), dd2 = in.Value(kSdDd2);
  fig.h = RealToInt(std::trunc(h));
  fig.dd1 = RealToInt(std::trunc(dd1));
  fig.dd2 = RealToInt(std::trunc(dd2));
  const double As1 = in.Value(kSdAs1), As2 = in.Value(kSdAs2);
  const double Aw = in.Value(kSdAw), Ss = in.Value(kSdSs);
  prm.SetTheta(in.Value(kSdThs) * std::numbers::pi / 180);
  const double M = in.Value(kSdM), S = in.Value(kSdS), N = in.Value(kSdN);
  fig.M = M;
  fig.As1 = As1;
  fig.As2 = As2;

  // 7. Graph switches: the stress part runs whenever the capacity part does not.
  const bool capacity_on = in.cb_fig2 && fyk != 0;
  const bool stress_on = !(!in.cb_fig1 && capacity_on);
  fig.capacity_on = capacity_on;
  fig.stress_on = stress_on;

  std::vector<std::string> lines;

  // 9. Working stresses.
  if (stress_on) {
    SectionStressInput si;
    si.H = si.Hs = h;
    si.b = b;
    si.n = n;
    si.c_comp = dd1;
    si.As_comp = As1;
    si.c_tens = dd2;
    si.As_tens = As2;
    si.M = M * 1e6;
    si.S = S * 1000;
    si.N = N * 1000;
    si.j_is_one = in.ck_ta_h2;
    const SectionStressResult st = SectionStress(si);
    const SectionStressDetail& det = st.detail;
    fig.stress_code = st.code;
    fig.stress_poly = st.has_cubic ? st.cubic : std::array<double, 4>{};
    fig.stress_roots = det.roots;
    fig.stress_x = det.x;
    fig.stress_case_text = det.case_text;

    // Stirrups for the tension face: the right bars, the left ones under a
    // negative moment.
    const bool left_in_tension = M < 0;
    const double d_t = h - (left_in_tension ? dd1 : dd2);
    const double As_t = left_in_tension ? As1 : As2;
    const StirrupDemand dem = AllowableShearAndStirrups(fck, b, d_t, kStirrupSigmaSa, As_t, Ss,
                                                        S * 1000, in.ck_ta_h2, false);

    const char* side = st.code < 0 ? "左:引張" : "左:圧縮";
    lines.push_back(Format("応力度 %s  σc= %0.2f、　σs= %0.2f/%0.2f → %0.2f (N/mm2)", side,
                           det.sigma_c_max, det.sigma_s_comp, det.sigma_s, det.sigma_s_max));
    lines.push_back(Format("%14s  τc/ca = %0.2f / %0.2f (N/mm2)", "", det.tau, dem.tau_a1));
    lines.push_back(
        Format(" n = %0.1f,  y1 = %0.1f mm 、 e = %0.1f mm、 x = %0.1f mm、 j = %0.3f mm", n,
               det.yc, det.e, det.x, det.j));
    lines.emplace_back();
    lb.lbSs3 = Format("σs = %0.2f", det.sigma_s_max);
    lb.lbTc3 = Format("τc = %0.3f", det.tau);
    lb.lbAwa = Format("Awa = %0.1f", dem.Aw);
    lb.lbTca = Format("τca = %0.3f   τwa = %0.3f", dem.tau_a1, dem.tau_a2);
  } else {
    for (int i = 0; i < 4; ++i) lines.emplace_back();
    lb.lbAwa.clear();
    lb.lbSs3.clear();
    lb.lbTc3.clear();
    lb.lbTca.clear();
  }

  // 11. Capacities.
  if (capacity_on) {
    const UltimateFlexureResult uf =
        UltimateFlexureByRule(in.flexure_rule, prm, h, b, dd1, As1, dd2, As2, M, N);
    fig.ult_code = uf.code;
    fig.ult_poly = uf.detail.poly;
    fig.ult = uf.detail;
    const UltimateDetail& ud = uf.detail;
    const double Mud_d = uf.Mud / std::max(gbm, 0.1);
    const double flex_safety = std::fabs(M) / std::max(Mud_d, 0.1);
    const char* side;
    if (uf.code < 0) {
      side = "左:引張";
      lb.lbLs = "(引張側)";
      lb.lbRs = "(圧縮側)";
    } else {
      side = "左:圧縮";
      lb.lbLs = "(圧縮側)";
      lb.lbRs = "(引張側)";
    }
    lines.push_back(Format("曲げ耐力  %s  Ｎu = %0.1f kN、　Ｍu = %0.1f kN･m、　安全性: %0.3f",
                           side, uf.Nud, uf.Mud, flex_safety));
    lines.push_back(
        Format("  算定法: %s、 N'ud = %.1f kN", FlexureRuleName(in.flexure_rule), uf.Nud));
    if (std::abs(uf.code) == kUltConstantAxialForce) {
      lines.push_back(Format("  c = %.2fmm,  y0 = %.2fmm", ud.x, ud.yc));
    } else if (std::abs(uf.code) >= kUltCompressionFailure) {
      lines.push_back(Format("  c = %.2fmm,  y0 = %.2fmm,  Nb = %.2f (kN),  Mb = %.2f (kN-m)", ud.x,
                             ud.yc, ud.Nb * 0.001, ud.Mb * 1e-6));
      lines.push_back(Format("  e = M/N = %.2fmm,  eb = Mb/Nb = %.2fmm", ud.e, ud.eb));
      if (FindText(ud.case_text, "③") != std::string::npos) {
        lines.push_back(
            Format(" ε's = %.3fe-3,  ε'yd = %.3fe-3", ud.eps_s * 1000, ud.eps_y * 1000));
      }
    }
    lines.emplace_back();
    lb.lbMu3 = Format("Ｍu =%7.4f", uf.Mud);

    const ShearCapacityResult sc = ShearCapacity(prm, Aw, h, b, dd1, As1, dd2, As2, M, N, fwyd, Ss);
    const double Vyd = std::max(sc.Vcd + sc.Vsd, 0.1);
    const double shear_safety = std::fabs(S) / Vyd;
    lines.push_back(Format("せん断耐力 %8s Vcd = %0.1f 、　Vsd = %0.1f (N/mm2)、　安全性: %0.3f",
                           "", sc.Vcd, sc.Vsd, shear_safety));
    const ShearDetail& sd = sc.detail;
    lines.push_back(Format(" fvcd=%0.3f, βd=%0.3f, βp=%0.3f, Mo=%0.2f, Mud=%0.2f, βn=%0.3f",
                           sd.fvcd, sd.beta_d, sd.beta_p, sd.M0 * 1e-6, sd.Mud * 1e-6, sd.beta_n));
    lines.emplace_back();
    lb.lbVsd3 = Format("Vsd =%7.2f", sc.Vsd);
    lb.lbVcd3 = Format("Vcd =%7.2f", sc.Vcd);

    // Failure-mode judgement with the over-strength of the steel.
    prm.SetGammaS(kGammaSOver);
    const double fyd_over = RoundTo2(1 / std::max(kGammaSOver, 0.1)) * fyk;
    const UltimateFlexureResult over =
        UltimateFlexureByRule(in.flexure_rule, prm, h, b, dd1, As1, dd2, As2, M, N);
    // The shear span at the member's governing flexural section when the
    // row brought one, else at this section.
    const double Mg = in.cd_set ? in.cd_M : M;
    const double Mud_over_d = in.cd_set ? in.cd_Mrd_over : over.Mud / std::max(gbm, 0.1);
    const double Mu_over = in.cd_set ? Mud_over_d * std::max(gbm, 0.1) : over.Mud;
    const double L = std::fabs(Mg) / std::max(std::fabs(S), 0.001);
    const double Vmu = std::fabs(Mud_over_d / std::max(std::fabs(Mg), 0.001)) * std::fabs(S);
    const double mode_safety = Vmu / Vyd;
    lines.push_back(
        Format("モード判定　　Mud = %0.1f 、Mu = %0.1f 、L = %0.3f 、Vmu = %0.1f 、安全性 %0.3f",
               Mud_over_d, Mu_over, L, Vmu, mode_safety));
    if (in.cd_set)
      lines.push_back(Format(" L = |Mg|/|S| : 部材の曲げ支配断面 x = %.3f m、Mg = %.2f kN･m",
                             in.cd_x, in.cd_M));
    else
      lines.emplace_back(" L = |M|/|S| : この断面を曲げ支配断面とする");
    lines.push_back(Format(" γs = %0.3f 、fyk = %0.1f 、fyd = %0.1f 、γbm = %0.3f", kGammaSOver,
                           fyk, fyd_over, gbm));
    w.safety = {true, flex_safety, shear_safety, mode_safety};
  } else {
    w.safety = {};
    lb.lbMu3.clear();
    lb.lbVcd3.clear();
    lb.lbVsd3.clear();
  }

  w.listing = std::move(lines);
}

}  // namespace vaultra
