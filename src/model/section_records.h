// Member section records of the transverse model: section dimensions from
// the block dimensions, bars from the standard rebar arrangement that matches
// the chosen products, covers from the model page, and the joint record of
// the cast-in-place bottom slab behind the last member.
#pragma once

#include <string>

#include "inputs/master_data.h"
#include "inputs/structure_model.h"

namespace vaultra {

// Flag bits of RebuildSectionRecords.
constexpr int kRebuildBars = 1;
constexpr int kRebuildCovers = 2;

// Member type of the joint record.
constexpr int kJointRecordType = 30;

struct SectionInput {
  int layout = 0;          // 0 stand, 1 box
  DimensionSet end_set;    // working end-block set of the model page (B, H, L)
  double slab_width = 0;   // W read from the slab list item; not positive: the previous one
  bool water = false;      // the model page's water mark is "W"
  int precast_cover = 30;  // Kp (mm)
  int cast_cover = 50;     // Kg (mm)
};

// The arrangement code of the chosen products; previous_width keeps the slab
// width of the last call with a positive one.
std::string ArrangementCode(const SectionInput& in, double& previous_width);

// The index (1-based) of the last arrangement named code; 1 when none is.
int FindArrangement(const MasterData& md, const std::string& code);

// The slab width as the code reads it from a slab list item text (from its
// fourth character on).
double SlabWidthFromListItem(const std::string& item);

// Rebuilds the section records of members 1 .. member count + 1. Returns the
// number of records processed (member count + 1), 0 when the member table is
// invalid or full (no joint slot behind the last member).
int RebuildSectionRecords(StructureModel& model, const BlockRow& row, const MasterData& md,
                          const SectionInput& in, int flags, double& previous_width);

}  // namespace vaultra
