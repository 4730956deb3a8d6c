// Reads the materials record from the material page's controls.
#pragma once

#include "app/document/form_state.h"
#include "inputs/material_record.h"

namespace vaultra {

void CommitMaterialInputs(const FormState& form, MaterialsRecord& rec);

}  // namespace vaultra
