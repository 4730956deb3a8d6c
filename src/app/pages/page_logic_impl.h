// The input pages' part of loading and saving: each page's commit after its
// section was read, the structure model regenerated from the tables read,
// and the model page refreshed at the end.
#pragma once

#include <string>
#include <vector>

#include "inputs/master_data.h"
#include "app/pages/model_page.h"
#include "app/document/project_file.h"

namespace vaultra {

class InputPageLogic : public PageLogic {
 public:
  explicit InputPageLogic(const MasterData& md) : md_(md) {}

  void ClearFixedState(ProjectState& state) override;
  void PrepareRead(ProjectState& state, FormId id) override;
  void CommitInputs(ProjectState& state, FormId id) override;
  void RecomputeStructure(ProjectState& state) override;
  void FinishLoad(ProjectState& state) override;
  void PrepareWrite(ProjectState& state, FormId id) override;

  // The model update as the model page runs it before drawing.
  void UpdateModelFromModelPage(ProjectState& state);
  void UpdateModelFromDimensionsPage(ProjectState& state);

  // Problems of the generation (cp932), collected since the last call.
  std::vector<std::string> TakeMessages();
  // Fields clamped at the last model-page commit.
  const std::vector<std::string>& ClampedModelFields() const { return clamped_; }

 private:
  const MasterData& md_;
  ModelSnapshot last_good_;
  std::vector<std::string> messages_;
  std::vector<std::string> clamped_;
  void Note(const std::string& error);
};

}  // namespace vaultra
