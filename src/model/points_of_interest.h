// The points of interest of every transverse member: distances from each end
// at which the section checks read forces (haunch end, 2d of the outer and
// the inner bars, h/2), by layout.
#pragma once

#include "model/structure_model.h"

namespace vaultra {

// Both set all eight values and the points-of-interest flag of members
// 1 .. member count from the block dimensions and the section records; the
// derived quantities (left end block, first slab block) must be current.
void SetStandPointsOfInterest(StructureModel& model, const BlockRow& row, bool shear_at_2d);
void SetBoxPointsOfInterest(StructureModel& model, const BlockRow& row, bool shear_at_2d);

}  // namespace vaultra
