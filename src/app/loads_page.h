// The loads page's logic without its window: the loads record with its
// coupling rules, the buttons that keep each other consistent, and the
// shown load case and direction.
#pragma once

#include <string>

#include "app/loads_record.h"
#include "app/project_state.h"

namespace vaultra {

// CommitInputs of the loads page.
void CommitLoadsInputs(ProjectState& state);

// The seismic method buttons (RbCalcHenniClick): under the seismic
// coefficient method the backfill is used and the Sv1 standard becomes the
// sewer guideline.
void MethodChanged(FormState& loads);
// GBoxSisinClick: the parking guideline does not use the 地中式 springs.
void Sv1StandardChanged(FormState& loads);
// Step 1 of the recomputation: PhUm and PhSo stay complementary
// (sender "PhUm" sets PhSo, any other sets PhUm); a click on RgKea3 or
// RgSindoPa3 shows an earth-pressure case.
void KeepStrataButtons(FormState& loads, const std::string& sender);

// The shown load case: the number before ")" of the selected item, 1 when
// there is none.
int ShownLoadCase(const FormState& loads);
// True when the shown direction is transverse.
bool ShownTransverse(const FormState& loads);
// Whether the typed spring groups are enabled (ＦＥＭ and 任意).
bool TypedSpringsEnabled(const FormState& loads);

}  // namespace vaultra
