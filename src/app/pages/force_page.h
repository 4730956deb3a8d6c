// The member-force page's logic without its window: which case, component,
// magnification and direction the radio groups select, the reference
// values the diagram is scaled to, the title and the notes drawn over the
// figure, and whether the shown direction has results to draw at all.
#pragma once

#include <array>
#include <string>

#include "analysis/analysis_results.h"
#include "app/document/form_state.h"

namespace vaultra {

struct CalcRun;

// The case item selected when the page is entered ("19) L2･外水圧").
constexpr int kForceEntryCaseIndex = 20;
// The reference values are taken over the load cases 1 .. 22.
constexpr int kForceReferenceLastCase = 22;

// The number before ")" of a case item (blanks around it trimmed); an item
// without a number, or a number of 0 or less, gives case 1.
int ShownForceCase(const std::string& item);
// 1 + the diagram index (1 M, 2 S, 3 N); anything outside gives M.
int ForceComponent(int diagram_index);
// The number in bytes 3 .. 9 of a scale item ("x 10" gives 10); a value
// below 1, as for "標準", gives 1.
double ForceMagnification(const std::string& scale_item);
// The largest envelope of each component (M, S, N) over the cases
// 1 .. 22 of the results, starting from 0.
std::array<double, 3> ForceReferences(const AnalysisResults& r);

// What the page shows for its controls and the last run.
struct ForcePageView {
  bool transverse = true;
  int case_number = 1;
  int component = 1;
  double magnification = 1;
  double reference = 0;  // of the shown component
  std::string title;     // cp932: case item - diagram item - 倍率：scale item
  // The internal solver ran: "デモ･モードの計算結果です．".
  std::string demo_note;
  // Non-empty: the shown direction has no results of this run (its analysis
  // failed, it was not analysed, or the case is missing); the page draws the
  // frame with this note in red and no diagram.
  std::string failure;
  bool drawable() const { return failure.empty(); }
};

// The view of the page's record over the last run; run is null (or
// analysed false) before any analysis of the current models.
ForcePageView MakeForcePageView(const FormState& form, const CalcRun* run, bool analysed);

// Entering the page: the designed case item is selected.
void EnterForcePage(FormState& form);

// The demo note and the "not analysed" notes (cp932).
extern const char* const kForceDemoNote;
extern const char* const kForceNotAnalysedNote;
extern const char* const kForceLongitudinalOffNote;

}  // namespace vaultra
