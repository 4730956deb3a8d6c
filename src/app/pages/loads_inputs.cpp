#include "app/pages/loads_inputs.h"

#include <algorithm>

#include "core/number.h"

namespace vaultra {

namespace {

double Real(const FormState& f, const char* name) {
  const Control* c = f.Find(name);
  return c ? ReadReal(c->text) : 0.0;
}
bool Checked(const FormState& f, const char* name) {
  const Control* c = f.Find(name);
  return c && c->checked;
}
int Index(const FormState& f, const char* name, int fallback) {
  const Control* c = f.Find(name);
  return c && c->index >= 0 ? c->index : fallback;
}

}  // namespace

void CommitLoadsInputs(const FormState& f, LoadsRecord& r) {
  r.kah = Real(f, "Ed_Kah");
  r.kav = Real(f, "Ed_Kav");
  r.gamma_t = Real(f, "Ed_Gst");
  r.gamma_sub = Real(f, "Ed_Gsw");
  r.gamma_w = Real(f, "Ed_Gw");
  r.cohesion = Real(f, "Ed_C");
  r.friction = Real(f, "Ed_Fi");
  r.q = Real(f, "Ed_q");
  r.ps = Real(f, "Ed_ps");
  r.pb = Real(f, "Ed_pb");
  r.q_longitudinal = Real(f, "Ed_tate_q");
  r.method = Checked(f, "RbCalcSindo") ? kMethodSeismicCoefficient : kMethodResponseDisplacement;
  r.strata = Checked(f, "PhSo") && r.method == kMethodResponseDisplacement;
  r.sv1_standard = std::clamp(Index(f, "GBoxSisin", 1), 0, 1);
  r.soil_class = std::clamp(Index(f, "RgKea3", 0), 0, 2);
  r.cs = (r.method == kMethodSeismicCoefficient && Index(f, "RgCs", 0) == 1) ? 0.45 : 1.0;
  r.region = std::clamp(Index(f, "GBoxTiku", 4), 0, 4);
  r.spring_formula = std::clamp(Index(f, "GBoxBaneSiki", 1), 0, 3);
  if (r.sv1_standard == 0 && r.spring_formula == kSpringUnderground)
    r.spring_formula = kSpringRoadBridge;
  r.alpha_d = {0, Real(f, "Ed_Ad1"), Real(f, "Ed_Ad2")};
  r.cap_10m = false;
  r.eo_method = 1;
  if (Checked(f, "RbEo2")) r.eo_method = 2;
  if (Checked(f, "RbEo3")) r.eo_method = 3;
  if (Checked(f, "RbEo4")) r.eo_method = 4;
  r.eoh = Real(f, "Ed_Eoh");
  r.eov = Real(f, "Ed_Eov");
  const char* dirs[2] = {"Yoko", "Tate"};
  for (int d = 0; d < 2; ++d) {
    SpringSet& s = r.typed[static_cast<std::size_t>(d)];
    for (int level = 1; level <= 2; ++level) {
      auto typed = [&](const char* k) {
        return std::max(Real(f, (std::string("Ed_") + dirs[d] + k + std::to_string(level)).c_str()),
                        1.0);
      };
      const auto lv = static_cast<std::size_t>(level);
      s.kh[lv] = typed("Kh");
      s.kv[lv] = typed("Kv");
      s.kss[lv] = typed("Kss");
      s.ksb[lv] = typed("Ksb");
    }
  }
  const char* taus[3] = {"Tau", "Tab", "Tas"};
  for (int t = 0; t < 3; ++t)
    for (int level = 1; level <= 2; ++level)
      r.tau[static_cast<std::size_t>(t)][static_cast<std::size_t>(level)] =
          Real(f, (std::string("Ed_") + taus[t] + std::to_string(level)).c_str());
  // The option is not stored with the page and always reads "both sides".
  const Control* opt = f.Find("RgSindoPa3");
  if (opt == nullptr) {
    for (const Control& c : f.extras)
      if (c.name == "RgSindoPa3") opt = &c;
  }
  r.earth_option = opt && opt->index >= 0 && opt->index <= 2 ? opt->index : kEarthBothSides;
}

}  // namespace vaultra
