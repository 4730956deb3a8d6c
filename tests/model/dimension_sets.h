// Dimension sets written as their kind and the values B, H, L, a .. h.
#pragma once

#include <initializer_list>

#include "model/structure_model.h"

namespace vaultra::testing {

inline DimensionSet Set(int kind, std::initializer_list<double> values) {
  DimensionSet s;
  s.kind = kind;
  int i = 0;
  for (double v : values) s.v[static_cast<std::size_t>(i++)] = v;
  return s;
}

}  // namespace vaultra::testing
