// Reads the loads record from the loads page's controls.
#pragma once

#include "app/document/form_state.h"
#include "inputs/loads_record.h"

namespace vaultra {

void CommitLoadsInputs(const FormState& form, LoadsRecord& rec);

}  // namespace vaultra
