// BuildModels: turns the committed project into the transverse and the
// longitudinal frame model and writes them as frame texts into the working
// folder.
#pragma once

#include <string>
#include <vector>

#include "inputs/master_data.h"
#include "app/document/project_state.h"
#include "model/frame_model.h"
#include "model/longitudinal.h"
#include "model/pressure.h"
#include "model/seismic.h"

namespace vaultra {

// The calculation's working storage: the frame models and prepared tables.
struct CalcWorkspace {
  FrameModel transverse_frame;
  FrameModel longitudinal_frame;
  GroundQuantities ground;
  SeismicTables seismic;
  PressureTables pressure;
  LongitudinalTables longitudinal;
  std::string transverse_path;    // working folder + "Yoko0.$O1"
  std::string longitudinal_path;  // working folder + "Tate0.$O1"
};

// The inputs the calculation cannot use, one text per field naming its
// section and key (cp932): a number that is not finite or beyond any input,
// and a value that is not a positive number where zero means nothing
// (moduli, unit weights, material factors, a ground layer's unit weight).
// Empty when the calculation may run.
std::vector<std::string> CalculationInputProblems(const ProjectState& state);

// Takes the loads and material pages' controls into their records.
void CommitCalculationInputs(ProjectState& state);

// Fills both frame models and every table they read, writing no file (the
// calculation run and the loads page). Empty on success, else the reason
// (cp932).
std::string PrepareFrameModels(ProjectState& state, const MasterData& md, CalcWorkspace& ws);

// Builds both frame models and saves their texts. Empty on success, else
// the reason (cp932).
std::string BuildModels(ProjectState& state, const MasterData& md, const std::string& work_dir,
                        CalcWorkspace& ws);

}  // namespace vaultra
