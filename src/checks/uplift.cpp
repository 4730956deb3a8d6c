#include "checks/uplift.h"

#include <algorithm>
#include <cmath>

namespace vaultra {

UpliftResult CheckUplift(const UpliftInput& in) {
  UpliftResult r;
  r.input = in;
  if (!in.groundwater || !(in.water_depth < in.bottom_depth)) {
    r.reason = "地下水位が構造物底面より深いため、浮上りは照査していません";
    return r;
  }
  if (!(in.width > 0) || !(in.bottom_depth > in.top_depth) || !(in.gamma_w > 0)) {
    // An outline without width or height displaces no water: nothing to
    // compare, and never an O.K.
    r.checked = true;
    r.ok = false;
    r.reason = "構造物の幅または高さが求まらないため、浮上りを照査できません";
    return r;
  }
  r.checked = true;
  const double D = std::max(in.top_depth, 0.0);
  const double zw = std::max(in.water_depth, 0.0);
  r.soil_moist_t = std::min(zw, D);
  r.soil_sub_t = std::max(D - zw, 0.0);
  r.soil_weight = in.width * (in.gamma_t * r.soil_moist_t + in.gamma_sub * r.soil_sub_t);
  r.weight = in.structure_weight + r.soil_weight;
  r.submerged_height = in.bottom_depth - std::max(zw, D);
  r.buoyancy = in.gamma_w * in.width * r.submerged_height;
  r.fs = r.weight / r.buoyancy;
  r.ok = std::isfinite(r.fs) && r.fs >= r.required;
  return r;
}

}  // namespace vaultra
