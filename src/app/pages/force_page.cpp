#include "app/pages/force_page.h"

#include <algorithm>
#include <cmath>

#include "app/calc/run_analysis.h"
#include "core/cp932.h"
#include "core/number.h"
#include "report/force_diagrams.h"

namespace vaultra {

const char* const kForceDemoNote = "デモ･モードの計算結果です．";
const char* const kForceNotAnalysedNote = "計算結果がありません（未計算）";
const char* const kForceLongitudinalOffNote =
    "縦方向は計算していません（縦方向の照査を行わない設定です）";

int ShownForceCase(const std::string& item) {
  const std::string text = Trim(item);
  const std::size_t close = text.find(')');
  if (close == std::string::npos) return 1;
  const std::optional<double> n = ParseRealStrict(Trim(text.substr(0, close)));
  if (!n || !std::isfinite(*n)) return 1;
  const int c = RealToInt(*n);
  return c <= 0 ? 1 : c;
}

int ForceComponent(int diagram_index) {
  const int k = 1 + diagram_index;
  return k >= kCompM && k <= kCompN ? k : kCompM;
}

double ForceMagnification(const std::string& scale_item) {
  const std::string text = Trim(scale_item);
  if (text.size() <= 2) return 1;
  const std::optional<double> v = TryReadReal(Trim(text.substr(2, 7)));
  if (!v || !std::isfinite(*v) || *v < 1) return 1;
  return *v;
}

std::array<double, 3> ForceReferences(const AnalysisResults& r) {
  std::array<double, 3> ref{};
  for (int c = 1; c <= kForceReferenceLastCase; ++c)
    for (int k = kCompM; k <= kCompN; ++k) {
      double& v = ref[static_cast<std::size_t>(k - 1)];
      v = std::max(v, CaseEnvelope(r, c, k));
    }
  return ref;
}

ForcePageView MakeForcePageView(const FormState& form, const CalcRun* run, bool analysed) {
  ForcePageView v;
  const Control& cases = form.At("RgKajyuType");
  const Control& diagram = form.At("RgType2");
  const Control& scale = form.At("RgScale");
  v.transverse = form.Checked("RbYoko") || !form.Checked("RbTate");
  v.case_number = ShownForceCase(cases.SelectedText());
  v.component = ForceComponent(diagram.index);
  v.magnification = ForceMagnification(scale.SelectedText());
  v.title =
      cases.SelectedText() + " - " + diagram.SelectedText() + " - 倍率：" + scale.SelectedText();
  if (!run || !analysed) {
    v.failure = kForceNotAnalysedNote;
    return v;
  }
  if (run->use_internal) v.demo_note = kForceDemoNote;
  const AnalysisResults& r = v.transverse ? run->transverse : run->longitudinal;
  if (v.transverse && !run->transverse_ok) {
    v.failure = kTransverseFailedMessage;
  } else if (!v.transverse && !run->longitudinal_on) {
    v.failure = kForceLongitudinalOffNote;
  } else if (!v.transverse && !run->longitudinal_ok) {
    v.failure = kLongitudinalFailedMessage;
  } else if (r.failed || !r.HasCase(v.case_number)) {
    v.failure = Format("ケース %d の計算結果がありません", v.case_number);
  }
  if (v.failure.empty())
    v.reference = ForceReferences(r)[static_cast<std::size_t>(v.component - 1)];
  return v;
}

void EnterForcePage(FormState& form) {
  form.At("RgKajyuType").SetIndex(kForceEntryCaseIndex);
}

}  // namespace vaultra
