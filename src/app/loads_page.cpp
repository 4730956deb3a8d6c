#include "app/loads_page.h"

#include <algorithm>

#include "core/cp932.h"
#include "core/number.h"

namespace vaultra {

namespace {

constexpr const char* kSpringKinds[4] = {"Kh", "Kv", "Kss", "Ksb"};
constexpr const char* kDirections[2] = {"Yoko", "Tate"};
constexpr const char* kTaus[3] = {"Tau", "Tab", "Tas"};

}  // namespace

void CommitLoadsInputs(ProjectState& state) {
  const FormState& f = state.loads;
  LoadsRecord& r = state.records.loads;
  auto num = [&](const char* name) { return ReadReal(f.Text(name)); };
  r.kah = num("Ed_Kah");
  r.kav = num("Ed_Kav");
  r.gamma_t = num("Ed_Gst");
  r.gamma_sub = num("Ed_Gsw");
  r.gamma_w = num("Ed_Gw");
  r.cohesion = num("Ed_C");
  r.friction = num("Ed_Fi");
  r.q = num("Ed_q");
  r.ps = num("Ed_ps");
  r.pb = num("Ed_pb");
  r.q_longitudinal = num("Ed_tate_q");
  r.method = f.Checked("RbCalcSindo") ? 1 : 0;
  r.strata = f.Checked("PhSo") && r.method == 0;
  r.sv1_standard = f.Index("GBoxSisin");
  r.soil_class = f.Index("RgKea3");
  r.cs = (r.method == 1 && f.Index("RgCs") == 1) ? 0.45 : 1.0;
  r.region = f.Index("GBoxTiku");
  r.spring_formula = f.Index("GBoxBaneSiki");
  if (r.sv1_standard == 0 && r.spring_formula == 0) r.spring_formula = 1;
  r.alpha_d[1] = num("Ed_Ad1");
  r.alpha_d[2] = num("Ed_Ad2");
  r.width_cap_10m = false;
  r.eo_method = 1;
  for (int k = 2; k <= 4; ++k)
    if (f.Checked(Format("RbEo%d", k))) r.eo_method = k;
  r.eo_side = num("Ed_Eoh");
  r.eo_bottom = num("Ed_Eov");
  for (int d = 0; d < 2; ++d)
    for (int k = 0; k < 4; ++k)
      for (int level = 1; level <= 2; ++level)
        r.springs[d][k][level] = std::max(
            1.0, ReadReal(f.Text(Format("Ed_%s%s%d", kDirections[d], kSpringKinds[k], level))));
  for (int t = 0; t < 3; ++t)
    for (int level = 1; level <= 2; ++level)
      r.tau[t][level] = ReadReal(f.Text(Format("Ed_%s%d", kTaus[t], level)));
}

void MethodChanged(FormState& f) {
  if (f.Checked("RbCalcSindo")) {
    f.At("PhUm").checked = true;
    f.At("PhSo").checked = false;
    f.At("GBoxSisin").SetIndex(1);
  }
}

void Sv1StandardChanged(FormState& f) {
  if (f.Index("GBoxSisin") == 0 && f.Index("GBoxBaneSiki") == 0) f.At("GBoxBaneSiki").SetIndex(1);
}

void KeepStrataButtons(FormState& f, const std::string& sender) {
  if (sender == "RgKea3" || sender == "RgSindoPa3") {
    Control& shown = f.At("RgKajyuType");
    if (FindText(shown.SelectedText(), "･土圧") == std::string::npos) {
      for (std::size_t i = 0; i < shown.items.size(); ++i)
        if (FindText(shown.items[i], "･土圧") != std::string::npos) {
          shown.index = static_cast<int>(i);
          break;
        }
    }
    return;
  }
  if (sender == "PhUm")
    f.At("PhSo").checked = !f.Checked("PhUm");
  else
    f.At("PhUm").checked = !f.Checked("PhSo");
}

int ShownLoadCase(const FormState& f) {
  const std::string text = f.At("RgKajyuType").SelectedText();
  const std::size_t paren = text.find(')');
  if (paren == std::string::npos) return 1;
  const std::optional<double> v = ParseRealStrict(text.substr(0, paren));
  if (!v || *v <= 0) return 1;
  return RealToInt(*v);
}

bool ShownTransverse(const FormState& f) {
  return f.Checked("RbYoko");
}

bool TypedSpringsEnabled(const FormState& f) {
  const int formula = f.Index("GBoxBaneSiki");
  return formula == 2 || formula == 3;
}

}  // namespace vaultra
