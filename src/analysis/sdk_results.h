// A result record of the frame library built from an analysis-results
// record: the support-reaction, displacement and member-force lists of
// every load case and combination, and the distributed-spring reactions.
// Used to write the result files of the internal solver and by the
// stand-in library.
#pragma once

#include <vector>

#include "analysis/analysis_results.h"
#include "analysis/sdk_types.h"
#include "model/frame_model.h"

namespace vaultra {

struct SdkResultStore {
  FR_SDK_MAINRES res{};  // first member: the library hands out its address
  std::vector<FR_SDK_REACTCASE> reaction_cases[2];
  std::vector<std::vector<FR_SDK_REACTION>> reactions[2];
  std::vector<FR_SDK_DISPCASE> disp_cases[2];
  std::vector<std::vector<FR_SDK_DISPLACEMENT>> disps[2];
  std::vector<FR_SDK_FORCECASE> force_cases[2];
  std::vector<std::vector<FR_SDK_MEMBERFORCE>> forces[2];
  std::vector<std::vector<std::vector<FR_SDK_FORCEPOINT>>> points[2];
  std::vector<FR_SDK_SPRINGCASE> spring_cases;
  std::vector<std::vector<FR_SDK_MEMBERSPRING>> spring_members;
  std::vector<std::vector<std::vector<FR_SDK_SPRINGPOINT>>> spring_points;
};

// Fills store from the results of the model's load cases (list 0, case
// numbers of the model) and combinations (list 1, numbered 1..). The one
// spring-reaction list holds the load cases with distributed springs (their
// numbers), then the combinations that sum any, numbered after the largest
// load-case number as the results record stores them.
void BuildSdkResults(const AnalysisResults& results, const FrameModel& model,
                     SdkResultStore& store);

}  // namespace vaultra
