#include "app/loads_page.h"

#include <algorithm>

#include "core/cp932.h"
#include "core/number.h"

namespace vaultra {

void CommitLoadsInputs(ProjectState& state) { CommitLoadsInputs(state.loads, state.records.loads); }

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
