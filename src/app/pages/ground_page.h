// The ground page's logic without its window: the ground layer table built
// from the grid (split at the ground-water level, extended to the structure
// bottom, thin layers dropped), the cell formats and the sample fill.
#pragma once

#include <string>

#include "app/document/project_state.h"

namespace vaultra {

// CommitInputs of the ground page: rebuilds state.records.ground from the
// grid, the model record's ground water and the structure bottom.
void CommitGroundInputs(ProjectState& state);

// The text a cell shows after Enter: the column's format (an empty text for a
// zero thickness; column 8 as typed).
std::string FormatGroundCell(int col, std::string_view text);

// Label3DblClick: fills the 20 rows with sample values, or empties them
// when clear is true (Shift held).
void FillGroundSample(GridData& grid, bool clear);

}  // namespace vaultra
