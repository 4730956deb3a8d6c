// The longitudinal model: one line of blocks along the facility closed by
// end walls, its members, section records, weights and seismic tables, and
// the two load generators that differ from the transverse ones.
#pragma once

#include <array>
#include <string>

#include "inputs/input_records.h"
#include "model/frame_model.h"
#include "model/pressure.h"
#include "model/seismic.h"
#include "inputs/structure_model.h"

namespace vaultra {

struct LongSection {
  std::string name;
  double B = 0, t = 0, wl = 0, A = 0, I = 0;
};

struct LongitudinalTables {
  std::array<LongSection, 5> sections{};  // 1..4
  std::array<double, 5> v{};              // self-weight intensities V1..V4
  InertiaTable inertia;
  std::array<ResponseRow, 6> response{};  // rows 1..5
  WeightTable weights;
};

// Rebuilds nodes, members and depths of the longitudinal model, then its
// member lengths and derived quantities (the tables read them at once).
void BuildLongitudinalMembers(int layout, const ModelRecord& rec, const BlockRow& row,
                              const StructureModel& tm, StructureModel& lm);
// The longitudinal part of the derived quantities.
void DeriveLongitudinalQuantities(int layout, const ModelRecord& rec, const BlockRow& row,
                                  StructureModel& lm);
// Section entries and records, weights, response-displacement and inertia tables.
void PrepareLongitudinalTables(const SeismicContext& ctx, const GroundQuantities& g,
                               StructureModel& lm, const MasterData* md, LongitudinalTables& lt);

void LongitudinalSelfWeight(FrameLoadCase& c, const StructureModel& lm,
                            const LongitudinalTables& lt, int level);
void LongitudinalInertia(FrameLoadCase& c, const StructureModel& lm, const LongitudinalTables& lt,
                         int level, int method);

}  // namespace vaultra
