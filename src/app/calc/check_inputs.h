// The material columns and safety-factor rows the section checks read, from
// the materials record of the material page.
#pragma once

#include <array>

#include "app/document/form_state.h"
#include "inputs/material_record.h"
#include "checks/check_point.h"

namespace vaultra {

// One material column (1 .. 4) and the three safety-factor rows of the record.
CheckMaterial CheckMaterialOf(const MaterialColumn& column);
std::array<CheckMaterial, 4> CheckMaterialsOf(const MaterialsRecord& rec);
std::array<SafetyFactorRow, 3> SafetyFactorsOf(const MaterialsRecord& rec);

// The same, committed from the material page's controls first.
CheckMaterial CheckMaterialFromForm(const FormState& material, int g);
std::array<CheckMaterial, 4> CheckMaterialsFromForm(const FormState& material);
std::array<SafetyFactorRow, 3> SafetyFactorsFromForm(const FormState& material);

}  // namespace vaultra
