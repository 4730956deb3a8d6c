// Dimension sets written as their kind and the values B, H, L, a .. h.
#pragma once

#include <initializer_list>

#include "model/geometry.h"
#include "inputs/structure_model.h"

namespace vaultra::testing {

inline DimensionSet Set(int kind, std::initializer_list<double> values) {
  DimensionSet s;
  s.kind = kind;
  int i = 0;
  for (double v : values) s.v[static_cast<std::size_t>(i++)] = v;
  return s;
}

// Box facility: B 2.0, H 1.5, L 2.0, a 0.2, b 0.2, c 0.25, f 0.2, g 0.15,
// h 0.1; slabs W 1.0, b 0.15, c 0.8, d 0.1; 1.0 m of cover.
inline FacilityInput BoxFacility(int centre) {
  FacilityInput in;
  in.layout = kLayoutBox;
  in.centre_blocks = centre;
  in.end_set = Set(1, {2.0, 1.5, 2.0, 0.2, 0.2, 0.25, 0, 0, 0.2, 0.15, 0.1});
  in.mid_set = in.end_set;
  in.mid_set.kind = 2;
  in.slab_set = Set(6, {1.0, 0, 2.0, 0, 0.15, 0.8, 0.1, 0, 0, 0, 0});
  in.cover_depth = 1.0;
  return in;
}

}  // namespace vaultra::testing
