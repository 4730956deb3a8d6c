// The section-detail window's fields as the project file keeps them: its
// form-state record (section fmUtOryk) to and from the window's inputs.
#pragma once

#include "app/document/form_state.h"
#include "results/section_detail.h"

namespace vaultra {

// The inputs held by the record; a field the record lacks keeps its initial text.
SectionDetailInputs SectionDetailInputsOf(const FormState& form);
// Writes the inputs into the record's edit fields and check boxes.
void StoreSectionDetailInputs(const SectionDetailInputs& in, FormState& form);

}  // namespace vaultra
