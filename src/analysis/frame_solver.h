// The internal plane-frame solver: direct stiffness method over a frame
// model, with pinned member ends, distributed springs (lumped for the
// stiffness, fed back as member loads in a second pass), support restraints
// and springs, member loads and combinations. It fills an analysis-results
// record directly.
#pragma once

#include <string>

#include "analysis/analysis_results.h"
#include "model/frame_model.h"

namespace vaultra {

struct FrameSolveOptions {
  // The literal dense algorithm: a full matrix assembled and eliminated for
  // every pass, member loads summed strip by strip. Slow; it is the
  // reference the fast path is checked against, and the fallback the fast
  // path uses when a system is (nearly) singular.
  bool dense_reference = false;
};

// Solves every load case and combination of the model into results
// (cleared first). The model's member lengths and angles are set. Returns
// an empty text on success; otherwise a message, results cleared and
// marked failed.
std::string SolveFrame(FrameModel& model, AnalysisResults& results,
                       const FrameSolveOptions& options = {});

}  // namespace vaultra
