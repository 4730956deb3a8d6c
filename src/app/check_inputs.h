// The material columns and safety-factor rows the member checks read, taken
// from the material page's controls (there is no separate materials record
// in the project state yet).
#pragma once

#include <array>

#include "app/form_state.h"
#include "checks/check_point.h"

namespace vaultra {

// Material column g (1 .. 4) of the material page.
CheckMaterial CheckMaterialFromForm(const FormState& material, int g);
// All four columns and the three safety-factor rows.
std::array<CheckMaterial, 4> CheckMaterialsFromForm(const FormState& material);
std::array<SafetyFactorRow, 3> SafetyFactorsFromForm(const FormState& material);

}  // namespace vaultra
