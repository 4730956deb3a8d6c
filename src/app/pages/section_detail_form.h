// The section-detail window's fields as the project file keeps them: its
// form-state record (section fmUtOryk) to and from the window's inputs.
#pragma once

#include "app/document/form_state.h"
#include "inputs/material_record.h"
#include "results/section_detail.h"

namespace vaultra {

// The inputs held by the record; a field the record lacks keeps its initial text.
SectionDetailInputs SectionDetailInputsOf(const FormState& form);
// Writes the inputs into the record's edit fields and check boxes.
void StoreSectionDetailInputs(const SectionDetailInputs& in, FormState& form);

// A record whose material fields still hold the window's initial texts
// (Ec 2067, Es 31000: no project's materials) takes the project's block-part
// materials instead: f'ck, fyk, fwyd, Ec and Es of material column 1 (the
// design values f'cd and fyd follow from them when the window recomputes).
// Fields a project or the RC page filled are left alone. True when changed.
bool TakeProjectMaterials(FormState& form, const MaterialsRecord& materials);

}  // namespace vaultra
