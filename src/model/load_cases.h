// The 25 load cases and three combinations of a frame model: the load
// generators, the balancing reactions of the normal cases and the largest
// intensity of each case.
#pragma once

#include "inputs/input_records.h"
#include "model/frame_model.h"
#include "model/longitudinal.h"
#include "model/pressure.h"
#include "model/seismic.h"
#include "inputs/structure_model.h"

namespace vaultra {

constexpr int kLoadCaseCount = 25;
constexpr int kCombinationCount = 3;

// What the generators read besides the structure model.
struct LoadInputs {
  const InputRecords* rec = nullptr;
  const BlockRow* row = nullptr;
  int layout = 0;
  const StructureModel* transverse = nullptr;
  const GroundQuantities* ground = nullptr;
  const SeismicTables* seismic = nullptr;
  const PressureTables* pressure = nullptr;
  const LongitudinalTables* longitudinal = nullptr;
  const MasterData* master = nullptr;  // member type names
};

// Fills load cases 1..25 and combinations 1..3 of the frame (cleared first).
void GenerateLoadCases(FrameModel& frame, const StructureModel& model, Direction dir,
                       const LoadInputs& in);

// The vertical resultant (kN per metre of facility) of a case's type-14
// items, each over the summed length of its members.
double VerticalResultant(const FrameLoadCase& c, const StructureModel& model);

}  // namespace vaultra
