// The joint and end-wall checks of a calculation run: the transverse joint,
// the longitudinal joint and the end walls over the analysed results.
#pragma once

#include <vector>

#include "app/document/project_state.h"
#include "checks/end_wall.h"
#include "checks/uplift.h"
#include "inputs/master_data.h"

namespace vaultra {

struct CalcRun;
struct CalcWorkspace;
struct AnalysisResults;

// The load cases of end-wall state c (0 normal, 1 L1, 2 L2) in the
// longitudinal results: the normal combination; for L1 and L2 the cases
// 8..15 and 17..24 (the seismic combinations of the longitudinal model
// leave out the static cases of their level).
std::vector<int> EndWallCases(const AnalysisResults& results, int combination);
// The linear pressure on an end wall of the longitudinal model over those
// cases, from the shears at the ends of its member (the two support
// reactions of a wall pinned at both ends), positive toward the inside.
EndWallLoad EndWallLoadOf(const AnalysisResults& results, const StructureModel& longitudinal,
                          int member, const std::vector<int>& cases);
// Of the two end walls (members of type 1 and 2), the load whose
// simple-beam moment is larger.
EndWallLoad GoverningEndWallLoad(const AnalysisResults& results, const StructureModel& longitudinal,
                                 int combination);
// The end-wall input from the model, the joint design record and the
// longitudinal results (loads left 0 when there are no results).
EndWallInput EndWallInputOf(const ProjectState& state, const AnalysisResults* longitudinal);

// The transverse joint, the longitudinal joint and the end-wall checks over
// the analysed results of the run, in that order, with the committed joint
// design record.
// The uplift check's inputs from the built models and the loads page.
UpliftInput UpliftInputOf(const ProjectState& state, const CalcWorkspace& ws);

void RunOtherChecks(const ProjectState& state, const MasterData& md, const CalcWorkspace& ws,
                    CalcRun& run);

}  // namespace vaultra
