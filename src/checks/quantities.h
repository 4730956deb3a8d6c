// Quantities (数量表): concrete volume and rebar mass per block, per block
// kind and for the facility, the bars by size with their lap allowance
// (rules and sources in docs/design.md).
#pragma once

#include <array>
#include <map>
#include <string>
#include <vector>

#include "checks/check_point.h"
#include "inputs/master_data.h"
#include "inputs/structure_model.h"

namespace vaultra {

// What the rules read besides the model: the layout and the materials of
// the member checks' material columns (σck and fyk for the laps).
struct QuantityInput {
  int layout = 0;  // 0 stand, 1 box
  std::array<CheckMaterial, 4> materials{};
};

// The basic development length (mm) of a bar of diameter d (mm): JSCE's
// ℓd = fyd / (4 fbod) · d with fbod = 0.28 f'ck^(2/3) / γc (γc = 1.3,
// fbod ≤ 3.2 N/mm²), at least 20 d.
double DevelopmentLength(double d, double sigma_ck, double fyk);

// One bar size's total in one block (or summed).
struct BarQuantity {
  double length_m = 0;  // bar length, laps included
  double mass_kg = 0;
};

struct BlockQuantity {
  int block = 0;           // index in the block row
  int kind = 0;            // block kind (1 left end, 2 intermediate, 3 right end, 6 slab, 7 zone)
  double area_m2 = 0;      // concrete cross-section
  double length_m = 0;     // L
  double concrete_m3 = 0;  // area × L
  double steel_kg = 0;
  std::map<int, BarQuantity> bars;  // by diameter (mm)
};

struct Quantities {
  std::vector<BlockQuantity> blocks;     // in block order
  std::map<int, BlockQuantity> by_kind;  // sums per block kind
  BlockQuantity facility;                // the sum of all blocks
  double concrete_m3 = 0, steel_kg = 0;  // facility totals
};

// The concrete cross-section (m²) of one block from its dimension set:
// the outline polygon, less the inner cell B × H of a box block.
double BlockConcreteArea(int layout, const BlockRecord& block);

// The quantities of the model's blocks with the bars of its section records.
Quantities ComputeQuantities(const StructureModel& model, const BlockRow& row, const MasterData& md,
                             const QuantityInput& in);

// The quantities as CSV (UTF-8): one line per block, per kind and the
// facility, the bar masses by size as columns.
std::string QuantitiesCsv(const Quantities& q);

}  // namespace vaultra
