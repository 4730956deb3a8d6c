// The block row of the facility and the transverse structure model generated
// from it: block positions, cast-in-place zones, the members of the stand and
// the box layout, lengths and the header quantities the load generators read.
#pragma once

#include <string>

#include "inputs/structure_model.h"

namespace vaultra {

// Layouts of the structure model (the facility type index 2, the mini-gate,
// is generated as a box facility).
enum Layout : int { kLayoutStand = 0, kLayoutBox = 1 };

// What the model page supplies to the generation.
struct FacilityInput {
  int layout = kLayoutStand;
  int centre_blocks = 1;     // number of intermediate boxes (box layout)
  int top_slabs = 2;         // number of slabs (stand layout)
  DimensionSet end_set;      // working end-block set (kind 1)
  DimensionSet mid_set;      // working intermediate-block set (kind 2)
  DimensionSet slab_set;     // working slab set (kind 6)
  double cover_depth = 0;    // D
  bool shear_at_2d = false;  // shear checked at 2d (else h/2): the points of interest
};

// Clamps of the model page that keep a model inside the capacities.
constexpr int kMinCentreBlocks = 1;
constexpr int kMaxCentreBlocks = 24;
constexpr int kMinTopSlabs = 2;
constexpr int kMaxTopSlabs = 50;

// The real block count n of a layout.
int RealBlockCount(const FacilityInput& in);

// The node at (x, y) within 0.00001 m, or a new node; a non-zero code sets
// the support code. Returns 0 (and adds nothing) when the table is full.
int FindOrAddNode(StructureModel& model, double x, double y, int code);

// Rebuilds the block row from the model page's sets and invalidates the
// member table. False (nothing changed) when the row would not fit.
bool RebuildBlockRow(const FacilityInput& in, BlockRow& row, StructureModel& model);

// The narrowest slab width of the layout.
double MinimumSlabWidth(const FacilityInput& in);
// Gives every slab block at least the minimum width.
void ClampSlabWidths(const FacilityInput& in, BlockRow& row, const StructureModel& model);

// Positions x, z of the real blocks and the cast-in-place zones behind them.
bool PlaceBlocks(int layout, BlockRow& row, StructureModel& model, std::string* error);

// Rebuild nodes and members of the transverse model for the layout. They
// first place the blocks and append the zones. On failure (a block row that
// cannot form a closed frame, or a model beyond the capacities) the model
// keeps its previous nodes and members, error says why (cp932) and the
// result is false.
bool BuildStandMembers(BlockRow& row, StructureModel& model, std::string* error = nullptr);
bool BuildBoxMembers(BlockRow& row, StructureModel& model, std::string* error = nullptr);

// The outline polygon of a block (model coordinates), for extents,
// drawing and picking. Up to 12 points; returns the point count.
struct OutlinePoint {
  double x = 0;
  double y = 0;
};
int BlockOutline(int layout, const BlockRecord& block, OutlinePoint* points, int capacity);
// True when (x, y) lies inside the polygon (even-odd rule).
bool PointInPolygon(const OutlinePoint* points, int count, double x, double y);

// Header quantities of the transverse model.
void DeriveModelQuantities(int layout, const FacilityInput& in, const BlockRow& row,
                           StructureModel& model);

// Lengths and effective depths of both models, frame width and height, then
// DeriveModelQuantities, then the points of interest of the layout.
void ComputeMemberGeometry(int layout, const FacilityInput& in, const BlockRow& row,
                           StructureModel& transverse, StructureModel& longitudinal);

// What UpdateModel did.
struct UpdateResult {
  bool block_row_rebuilt = false;  // the caller rebuilds every section record
  bool members_rebuilt = false;
  bool failed = false;
  std::string error;  // cp932
};

// The invalidation-driven rebuild of the transverse model (block row, slab
// clamp, members). The caller rebuilds the section records when the block
// row was rebuilt and then runs ComputeMemberGeometry.
UpdateResult UpdateModelGeometry(const FacilityInput& in, BlockRow& row, StructureModel& model);

}  // namespace vaultra
