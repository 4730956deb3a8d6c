// The materials record of the material page: four material columns (block
// part, top slab, bottom slab, end wall) and the safety-factor columns.
#pragma once

#include <array>
#include <string>

namespace vaultra {

constexpr int kSafetyFactorColumns = 3;
constexpr int kSafetyFactors = 13;
// The control names of the safety-factor rows, in the page's order.
extern const char* const kSafetyFactorNames[kSafetyFactors];

struct MaterialColumn {
  double sigma_ck = 0;
  std::string rebar;
  double n_sca = 0, n_ta = 0, n_sfa = 0, g_sca = 0, g_ta = 0, g_sfa = 0;
  double f1ck = 0, n_ssa = 0, g_ssa = 0, fyk = 0, fwyd = 0;
  double gamma_c = 24.5;  // kN/m3
  double ec = 31000;      // N/mm2
  double es = 200000;     // N/mm2
};

struct MaterialsRecord {
  std::array<MaterialColumn, 5> columns;  // 1-based: 1 block, 2 top slab, 3 bottom slab, 4 end wall
  double gamma_plain = 20;
  // Level-2 flexural capacity: 0 constant eccentricity (a project file
  // without the choice), 1 constant axial force.
  int flexure_rule = 0;
  // factors[c][k]: column c = 1..3, factor k = 1..13.
  std::array<std::array<double, 14>, 4> factors{};

  const MaterialColumn& Column(int g) const { return columns.at(static_cast<std::size_t>(g)); }
};

}  // namespace vaultra
