#include "inputs/material_record.h"

#include "core/number.h"

namespace vaultra {

const char* const kSafetyFactorNames[kSafetyFactors] = {"Cgc", "Gs", "Gb", "Tc", "Ts", "Gf", "Pa",
                                                       "Pw",  "Qu", "Pi", "Ip", "Ga", "Gi"};

}  // namespace vaultra
