#include "app/pages/loads_inputs.h"
#include "app/pages/material_inputs.h"
#include "app/calc/build_models.h"

#include "analysis/frame_text.h"
#include "app/pages/model_page.h"
#include "core/fileio.h"
#include "model/frame_assembly.h"
#include "model/geometry.h"
#include "model/points_of_interest.h"

namespace vaultra {

void CommitCalculationInputs(ProjectState& state) {
  CommitLoadsInputs(state.loads, state.records.loads);
  CommitMaterialInputs(state.material, state.records.materials);
}

std::string PrepareFrameModels(ProjectState& state, const MasterData& md, CalcWorkspace& ws) {
  if (!state.transverse.member_table_valid() || state.records.ground.layers.empty())
    return "構造モデルがありません";
  const ModelRecord& rec = state.records.model;
  const int layout = rec.facility_type == 0 ? kLayoutStand : kLayoutBox;
  SeismicContext ctx{&state.records, &state.block_row, layout, &state.transverse,
                     &state.longitudinal};

  // 1. Geometry, ground and seismic quantities, member load tables.
  ComputeProjectGeometry(state);
  BuildLongitudinalMembers(layout, rec, state.block_row, state.transverse, state.longitudinal);
  ComputeGroundQuantities(ctx, ws.ground);
  PrepareStaticTables(ctx, state.transverse, state.longitudinal, ws.ground, ws.pressure);
  ComputeSeismicTables(ctx, ws.ground, ws.seismic);
  LoadInputs in{&state.records,    &state.block_row, layout,
                &state.transverse, &ws.ground,       &ws.seismic,
                &ws.pressure,      &ws.longitudinal, &md};

  // 2. Transverse frame model.
  ComputeProjectGeometry(state);
  if (layout == kLayoutBox)
    SetBoxPointsOfInterest(state.block_row, state.transverse, rec.shear_at_2d);
  else
    SetStandPointsOfInterest(state.block_row, state.transverse, rec.shear_at_2d);
  FillFrameModel(ws.transverse_frame, state.transverse, kTransverse, 3, in);

  // 3. Longitudinal geometry again, its tables and frame model.
  BuildLongitudinalMembers(layout, rec, state.block_row, state.transverse, state.longitudinal);
  PrepareLongitudinalTables(ctx, ws.ground, state.longitudinal, &md, ws.longitudinal);
  ComputeProjectGeometry(state);
  FillFrameModel(ws.longitudinal_frame, state.longitudinal, kLongitudinal, 3, in);
  return "";
}

std::string BuildModels(ProjectState& state, const MasterData& md, const std::string& work_dir,
                        CalcWorkspace& ws) {
  CommitCalculationInputs(state);
  std::string error = PrepareFrameModels(state, md, ws);
  if (!error.empty()) return error;
  if (!MakeDirs(work_dir)) return "作業フォルダを作れません: " + work_dir;
  const std::string dir = WithTrailingSlash(work_dir);
  ws.transverse_path = dir + "Yoko0.$O1";
  error = SaveFrameText(ws.transverse_frame, ws.transverse_path);
  if (!error.empty()) return error;
  ws.longitudinal_path = dir + "Tate0.$O1";
  return SaveFrameText(ws.longitudinal_frame, ws.longitudinal_path);
}

}  // namespace vaultra
