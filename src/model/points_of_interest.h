// Points of interest of the transverse members: the distances from each
// member end at which the section checks read forces (haunch end, 2·d of
// the outer and the inner bars, h/2).
#pragma once

#include "inputs/structure_model.h"

namespace vaultra {

// Slots of ModelMember::points.
enum PointSlot : int {
  kPoiHaunchI = 0,
  kPoiOuterI = 1,
  kPoiInnerI = 2,
  kPoiHalfI = 3,
  kPoiHaunchJ = 4,
  kPoiOuterJ = 5,
  kPoiInnerJ = 6,
  kPoiHalfJ = 7,
};

// Both set every member's eight points and its points-of-interest flag;
// shear_at_2d places the shear check at 2·d (else only h/2 is set).
void SetStandPointsOfInterest(const BlockRow& row, StructureModel& tm, bool shear_at_2d);
void SetBoxPointsOfInterest(const BlockRow& row, StructureModel& tm, bool shear_at_2d);

}  // namespace vaultra
