// The loads page's logic without its window: the loads record with its
// coupling rules, the buttons that keep each other consistent, the shown
// load case and direction, the regenerated frame models, the load table of
// the shown case and the selected load item.
#pragma once

#include <string>

#include "app/calc/build_models.h"
#include "inputs/loads_record.h"
#include "inputs/master_data.h"
#include "app/pages/points_page.h"
#include "app/document/project_state.h"

namespace vaultra {

// CommitInputs of the loads page.
void CommitLoadsInputs(ProjectState& state);

// The seismic method buttons (RbCalcHenniClick): under the seismic
// coefficient method the backfill is used and the Sv1 standard becomes the
// sewer guideline.
void MethodChanged(FormState& loads);
// GBoxSisinClick: the parking guideline does not use the 地中式 springs.
void Sv1StandardChanged(FormState& loads);
// Step 1 of the recomputation: PhUm and PhSo stay complementary
// (sender "PhUm" sets PhSo, any other sets PhUm); a click on RgKea3 or
// RgSindoPa3 shows an earth-pressure case.
void KeepStrataButtons(FormState& loads, const std::string& sender);

// The shown load case: the number before ")" of the selected item, 1 when
// there is none.
int ShownLoadCase(const FormState& loads);
// True when the shown direction is transverse.
bool ShownTransverse(const FormState& loads);
// Whether the typed spring groups are enabled (ＦＥＭ and 任意).
bool TypedSpringsEnabled(const FormState& loads);

// The load table Grid1: header spec and column count.
extern const char* const kLoadTableHeaderSpec;
constexpr int kLoadTableCols = 10;

// The page's own state besides its controls.
struct LoadsPageState {
  int selected_item = 0;  // 1-based item of the shown case, 0 for none
  GridData table;         // Grid1, the texts as the table shows them
  int table_width = 0;    // px: the columns and 32 more
  CalcWorkspace models;   // the frame models and tables shown
  std::string error;      // why no model could be regenerated (cp932), else empty
};

// Grid1 for one case of a frame model: the header row, one row per item
// (No; load type as "13=X"; first and last member; the first member's
// length; d1, d2 "%7.3f"; d3, d4 "%6.3f"; the first member's type name, or
// "(頂 版 部 材)" / "(底 版 部 材)" for a range by the height of the last
// member's node i) and a spare row; at least 3 rows. Returns the width.
int FillLoadTable(const FrameModel& frame, const StructureModel& model, int load_case,
                  const MasterData& md, GridData& grid);

// The frame model and structure model of the shown direction.
const FrameModel& ShownFrame(const ProjectState& state, const LoadsPageState& page);
const StructureModel& ShownModel(const ProjectState& state);
// Items of the shown case (0 when the frame model has no such case).
int ShownItemCount(const ProjectState& state, const LoadsPageState& page);

// The recomputation (PhSoClick and every edit-field exit); sender names the
// control clicked ("" for none). Nothing happens before start-up is
// complete. The load table is filled from the regenerated frame models.
void RecomputeLoadsPage(ProjectState& state, const MasterData& md, LoadsPageState& page,
                        const std::string& sender, bool started = true);
// Display selection (direction buttons, load state list): the selected item
// is kept within the shown case's items, and the table refilled.
void ChangeLoadDisplay(const ProjectState& state, const MasterData& md, LoadsPageState& page);
// Entry regenerates the models, shows the table and selects item 1 (when
// the case has one); leave clears the selection and commits.
void EnterLoadsPage(ProjectState& state, const MasterData& md, LoadsPageState& page);
void LeaveLoadsPage(ProjectState& state, LoadsPageState& page);

// A click on a data row of the table selects its item (rows outside the
// items change nothing). Returns whether the selection changed.
bool ClickLoadTable(const ProjectState& state, LoadsPageState& page, int row);
// A click on the drawing at world point (x, y): the member nearest within
// 0.3 m, then the first item of the shown case whose members contain it.
// moved_pixels is the largest mouse movement since the button went down;
// 6 or more is a drag. Returns whether an item was selected.
bool ClickLoadDrawing(const ProjectState& state, LoadsPageState& page, double x, double y,
                      int moved_pixels);
// The members of the selected item, for the drawing.
void HighlightSelectedItem(const ProjectState& state, const LoadsPageState& page,
                           MemberHighlight& flags);

}  // namespace vaultra
