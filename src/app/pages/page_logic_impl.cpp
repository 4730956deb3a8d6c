#include "app/pages/page_logic_impl.h"

#include "app/pages/ground_page.h"
#include "app/pages/loads_page.h"
#include "app/pages/material_page.h"
#include "app/pages/other_checks_page.h"
#include "app/pages/points_page.h"

namespace vaultra {

void InputPageLogic::Note(const std::string& error) {
  if (!error.empty()) messages_.push_back(error);
}

std::vector<std::string> InputPageLogic::TakeMessages() {
  std::vector<std::string> out;
  out.swap(messages_);
  return out;
}

void InputPageLogic::ClearFixedState(ProjectState& state) {
  state.records = InputRecords{};
  last_good_ = ModelSnapshot{};
}

void InputPageLogic::PrepareRead(ProjectState& state, FormId id) {
  if (id == FormId::kModel) {
    // The block and slab lists are refilled for the type the file names.
    state.model.At("CoBox1").items.clear();
    state.model.At("CoBox2").items.clear();
  }
  if (id == FormId::kMaterial) SetConcList(state.material, md_);
  if (id == FormId::kOtherChecks) BuildOtherChecksLists(state.other_checks, md_);
}

void InputPageLogic::CommitInputs(ProjectState& state, FormId id) {
  switch (id) {
    case FormId::kModel:
      clamped_ = CommitModelInputs(state, md_).clamped;
      break;
    case FormId::kGround:
      CommitGroundInputs(state);
      break;
    case FormId::kMaterial:
      CommitMaterialInputs(state);
      break;
    case FormId::kLoads:
      CommitLoadsInputs(state);
      break;
    default:
      break;
  }
}

void InputPageLogic::RecomputeStructure(ProjectState& state) {
  Note(RegenerateFromBlockRow(state));
}

void InputPageLogic::UpdateModelFromModelPage(ProjectState& state) {
  Note(UpdateModel(state, md_, false, &last_good_));
}

void InputPageLogic::UpdateModelFromDimensionsPage(ProjectState& state) {
  Note(UpdateModel(state, md_, true, &last_good_));
}

void InputPageLogic::FinishLoad(ProjectState& state) {
  // The file keeps only "有り" of the groundwater pair: "無し" is its
  // opposite, so the group never shows neither.
  state.model.At("RbWaterDepthOff").checked = !state.model.Checked("RbWaterDepthON");
  UpdateModelFromModelPage(state);
  // Leaving the model page commits it; entering shows the record's choices.
  CommitInputs(state, FormId::kModel);
  UpdateModelFromModelPage(state);
  CommitInputs(state, FormId::kGround);
  BuildLongitudinalModel(state);
  EnterModelPage(state);
}

}  // namespace vaultra

namespace vaultra {

// The points-of-interest tables are a snapshot of the model at save time.
void InputPageLogic::PrepareWrite(ProjectState& state, FormId id) {
  if (id == FormId::kPoints) FillPointsTables(state);
}

}  // namespace vaultra
