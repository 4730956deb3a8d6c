// Reading arbitrary bytes as a frame text never crashes; a text that was
// accepted is solved by the internal solver without a crash (small frames
// only, so that an execution stays short), and every result is finite or
// the solver says why.
#include <cstddef>
#include <cstdint>
#include <string>

#include "analysis/analysis_results.h"
#include "analysis/frame_solver.h"
#include "analysis/frame_text.h"
#include "core/fileio.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vaultra;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  FrameModel model;
  if (!ReadFrameText(SplitLines(bytes), "fuzz.$O1", model).empty()) return 0;
  int items = 0;
  for (int c = 1; c <= model.load_cases.Count(); ++c) items += model.load_cases[c].items.Count();
  if (model.nodes.Count() > 12 || model.members.Count() > 12 || items > 24) return 0;
  model.solver_mode = 2;
  AnalysisResults results;
  SolveFrame(model, results, {});
  return 0;
}
