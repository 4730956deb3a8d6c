// Uplift (flotation) of the facility in the normal state with empty
// chambers: the downward weights against the buoyancy of the submerged
// volume, per metre of the facility's length (docs/seismic_checks.md).
#pragma once

#include <string>

namespace vaultra {

// Safety factor against uplift the normal state requires.
constexpr double kUpliftRequiredNormal = 1.2;

struct UpliftInput {
  double structure_weight = 0;  // kN/m, the concrete of the section, chambers empty
  double width = 0;             // m, outer width of the section
  double top_depth = 0;         // m, depth of the structure top (the cover D)
  double bottom_depth = 0;      // m, depth of the structure bottom
  bool groundwater = false;     // a groundwater level is given
  double water_depth = 0;       // m, depth of the groundwater level
  double gamma_t = 0;           // kN/m³, soil above the groundwater (moist)
  double gamma_sub = 0;         // kN/m³, soil below the groundwater (buoyant)
  double gamma_w = 0;           // kN/m³, water
};

struct UpliftResult {
  UpliftInput input;  // what the check read, for print
  bool checked = false;
  std::string reason;  // cp932, why nothing was checked
  // Cover soil within the width: thickness above and below the groundwater.
  double soil_moist_t = 0, soil_sub_t = 0;
  double soil_weight = 0;       // kN/m
  double weight = 0;            // kN/m, structure + soil
  double submerged_height = 0;  // m, of the structure below the groundwater
  double buoyancy = 0;          // kN/m, γw × submerged volume per metre
  double fs = 0;
  double required = kUpliftRequiredNormal;
  bool ok = true;  // also when not checked
};

// Fs = (structure weight + cover soil within the width) / (γw × submerged
// volume), the soil at its moist unit weight above the groundwater and its
// buoyant one below; side friction is not counted. Not checked (reason set)
// when there is no groundwater level above the base.
UpliftResult CheckUplift(const UpliftInput& in);

}  // namespace vaultra
