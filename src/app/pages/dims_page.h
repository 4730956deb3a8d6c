// The block dimensions page's logic without its window: the fields shown for
// the selected block, mm <-> m, the clamps, the propagation of an edit to the
// other blocks, and the block picked from the drawing.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "inputs/master_data.h"
#include "app/document/project_state.h"

namespace vaultra {

constexpr int kDimsFieldCount = 11;

// The page's fields in their order: name, and the index of the value in the
// dimension set (B, H, L, a .. h). The letter of a field is the fourth
// character of its name.
struct DimsFieldInfo {
  const char* name;
  int value;
};
extern const std::array<DimsFieldInfo, kDimsFieldCount> kDimsFields;

// The pattern of visible letters for a layout (0 stand, 1 box) and a kind.
std::string DimsVisiblePattern(int layout, int kind);

struct DimsFieldView {
  std::string name;
  bool visible = false;
  std::string text;  // mm, formatted by tag 60
  bool red = false;  // differs from the block's default value
};

struct DimsPageState {
  int selected = 0;  // 1-based block, 0 while the page is not shown
  std::vector<std::uint8_t> highlight = std::vector<std::uint8_t>(kMaxBlocks + 1, 0);
  std::array<DimsFieldView, kDimsFieldCount> fields{};
  std::string error;  // why the last edit was refused (cp932), empty when taken
};

// Enter: block 1 selected, highlighted and shown. Leave: no selection.
void EnterDimsPage(const ProjectState& state, DimsPageState& page);
void LeaveDimsPage(DimsPageState& page);
// Fills the fields from the selected block.
void ShowSelectedBlock(const ProjectState& state, DimsPageState& page);

// Takes the visible fields into the block row (EditExit of left_field, or
// "" before a new selection). Returns true when the block row changed; the
// model is then regenerated (sections, member table, UpdateModel).
bool CommitDims(ProjectState& state, const MasterData& md, DimsPageState& page,
                const std::string& left_field);

// The last real block whose outline contains (x, y); 0 when none does.
int PickBlock(const ProjectState& state, double x, double y);
// A click: commits, then selects the picked block when there is one.
// moved_pixels is the largest mouse movement since the button went down.
void ClickDrawing(ProjectState& state, const MasterData& md, DimsPageState& page, double x,
                  double y, int moved_pixels);

}  // namespace vaultra
