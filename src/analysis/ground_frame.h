// The production plane-frame analysis: the direct stiffness method with
// members on distributed ground springs solved to the beam-on-elastic-
// foundation solution. A member with distributed springs is cut into short
// elements, each with the consistent (Winkler) stiffness of its springs, so
// the spring pressure follows the member's true deflection; its results
// are read at the member's own output points. Members without springs,
// support restraints and springs, every load item and the combinations
// (with their own factor) are solved as in the demo solver (frame_solver.h),
// which lumps the distributed springs at the member ends.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "analysis/analysis_results.h"
#include "model/frame_model.h"

namespace vaultra {

// What a run worked with besides the results record.
struct GroundFrameDetails {
  // Per case (load cases, then combinations; index 0 unused): what the
  // distributed springs exert on the frame in all, kN in x and y and kN·m
  // about the origin, integrated exactly over the elements.
  std::vector<std::array<double, 3>> spring_resultants;
  int elements = 0;  // elements after the members on springs are cut
};

// Elements a member of length L on normal springs kn (kN/m per m) and
// tangential springs kt is cut into: the element length is held to a fifth
// of the elastic length 1/lambda = (4 EI / kn)^(1/4) and of the axial
// decay length (EA / kt)^(1/2), and at least 8 elements per member (the
// member's output points are added to the cuts).
int GroundElementCount(double L, double EI, double EA, double kn, double kt);

// Solves every load case and combination of the model into results
// (cleared first); the model's member lengths and angles are set. Empty on
// success, otherwise the message (results cleared and marked failed).
std::string SolveFrameOnGround(FrameModel& model, AnalysisResults& results,
                               GroundFrameDetails* details = nullptr);

}  // namespace vaultra
