// The records the input pages keep in the project state: what each page's
// CommitInputs takes from its controls and the other Parts read.
#pragma once

#include <string>
#include <vector>

#include "inputs/joint_record.h"
#include "inputs/loads_record.h"
#include "inputs/master_data.h"
#include "inputs/material_record.h"
#include "inputs/structure_model.h"

namespace vaultra {

// The model record of the model page.
struct ModelRecord {
  int facility_type = 0;    // 0 stand, 1 box (a mini-gate is kept as a box)
  int type_list_index = 0;  // position in the type list (2 for a mini-gate)
  int block_row_index = 0;
  int slab_row_index = 0;
  double B = 0;  // inner width
  double H = 0;  // inner height
  double W = 0;  // slab width
  int centre_blocks = 0;
  int top_slabs = 0;
  double invert = 0;
  double mortar = 0;
  double bottom_slab = 0;
  double wall_upper = 0;
  double wall_lower = 0;
  int longitudinal_blocks = 0;
  int precast_cover = 0;   // Kp mm
  int cast_cover = 0;      // Kg mm
  double cover_depth = 0;  // D
  bool ground_water = false;
  double ground_water_depth = 999;
  double water_level[3] = {0, 0, 0};
  bool shear_at_2d = false;
  bool longitudinal_check = false;
  std::string name;
  DimensionSet default_end, default_mid, working_end, working_mid, default_slab, working_slab;
  // Copies of the listed master rows, in list order.
  std::vector<ProductRecord> block_table;
  std::vector<ProductRecord> slab_table;
  // Slab width of the last arrangement-code lookup with a positive width.
  double previous_code_width = 0;
  // The longitudinal model waits for its rebuild.
  bool longitudinal_invalid = false;
};

// One row of the ground grid, and one layer of the layer list (the number
// is the grid row; depths in m below the ground surface).
struct GroundLayer {
  int number = 0;
  int soil = 0;         // 0 cleared, 1 clay, 2 sandy
  double t = 0;         // thickness
  double gamma = 0;     // unit weight, kN/m3
  double n_value = 0;   // SPT N
  double cohesion = 0;  // kN/m2
  double friction = 0;  // degrees
  double poisson = 0;
  double gamma_sub = 0;     // submerged unit weight, kN/m3
  double bottom = 0;        // bottom depth (layer list only)
  double seismic[10] = {};  // filled by the seismic quantities
};

constexpr int kGroundRows = 20;
constexpr int kMaxGroundLayers = 22;

// The ground layer table of the ground page.
struct GroundTable {
  std::vector<GroundLayer> rows =
      std::vector<GroundLayer>(kGroundRows + 1);  // 1-based, all 20 grid rows
  int entered_count = 0;
  std::vector<GroundLayer>
      layers;  // the layer list in order (layers[0] is layer 1); never empty after a commit
  double total_depth = 0;
  double mean_poisson = 0;
};

struct InputRecords {
  ModelRecord model;
  GroundTable ground;
  LoadsRecord loads;
  MaterialsRecord materials;
  JointDesignRecord joints;  // other-checks page
};

}  // namespace vaultra
