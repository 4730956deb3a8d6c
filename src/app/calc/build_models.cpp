#include "app/pages/loads_inputs.h"
#include "app/pages/material_inputs.h"
#include "app/calc/build_models.h"

#include <algorithm>
#include <iterator>

#include "analysis/frame_text.h"
#include "app/pages/model_page.h"
#include "core/fileio.h"
#include "core/format_by_tag.h"
#include "core/number.h"
#include "model/frame_assembly.h"
#include "model/geometry.h"
#include "model/points_of_interest.h"

namespace vaultra {

namespace {

// Fields that must hold a positive number: zero would divide by nothing or
// weigh nothing and still give a verdict.
bool MustBePositive(const FormState& form, const std::string& key) {
  static const char* const kLoads[] = {"Ed_Gst", "Ed_Gsw", "Ed_Gw"};
  static const char* const kMaterialGroups[] = {"Ec", "Gc", "Es"};
  if (form.section == "Fm15KAJ")
    return std::find(std::begin(kLoads), std::end(kLoads), key) != std::end(kLoads);
  if (form.section == "Fm16KYD") {
    if (key == "Gcm") return true;
    for (const char* g : kMaterialGroups)
      for (int i = 1; i <= 4; ++i)
        if (key == Format("%s%d", g, i)) return true;
  }
  return false;
}

}  // namespace

std::vector<std::string> CalculationInputProblems(const ProjectState& state) {
  std::vector<std::string> out;
  const FormState* forms[] = {&state.model, &state.ground, &state.loads, &state.material,
                              &state.other_checks};
  for (const FormState* form : forms)
    for (const Control& c : form->controls) {
      const std::string where = "[" + form->section + "] " + c.name;
      if (c.kind == ControlKind::kEdit && IsNumericTag(c.tag)) {
        const NumberCheck check = CheckNumberText(c.text);
        if (check == NumberCheck::kImplausible)
          out.push_back(where + " = \"" + c.text + "\": 数値が有限でないか範囲 ±1e9 を超えています");
        else if (MustBePositive(*form, c.name) &&
                 (check == NumberCheck::kNotANumber || !(ReadReal(c.text) > 0)))
          out.push_back(where + " = \"" + c.text + "\": 0 より大きい数値が必要です");
      } else if (c.kind == ControlKind::kGrid) {
        const GridData& g = c.grid;
        for (int r = g.fixed_rows; r < g.row_count(); ++r) {
          for (int col = 0; col < g.col_count(); ++col)
            if (CheckNumberText(g.Cell(col, r)) == NumberCheck::kImplausible)
              out.push_back(Format("%s の %d 行 %d 列 \"%s\": 数値が有限でないか範囲 ±1e9 を超えています",
                                   where.c_str(), r, col, g.Cell(col, r).c_str()));
          // A ground layer (a thickness) weighs something.
          if (form == &state.ground && c.name == "Grid1" && ReadReal(g.Cell(1, r)) > 0 &&
              !(ReadReal(g.Cell(3, r)) > 0))
            out.push_back(Format("%s の %d 行 (層厚 %s): 単位体積重量 \"%s\" は 0 より大きい数値が必要です",
                                 where.c_str(), r, g.Cell(1, r).c_str(), g.Cell(3, r).c_str()));
        }
      }
    }
  return out;
}

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
  if (!md.problems.empty()) {
    std::string text = "マスターデータに誤りがあるため計算できません:";
    for (std::size_t i = 0; i < md.problems.size() && i < 5; ++i) text += "\n" + md.problems[i];
    return text;
  }
  if (const std::vector<std::string> problems = CalculationInputProblems(state);
      !problems.empty()) {
    std::string text = "入力値に計算できない値があります:";
    for (const std::string& p : problems) text += "\n" + p;
    return text;
  }
  CommitCalculationInputs(state);
  std::string error = PrepareFrameModels(state, md, ws);
  if (!error.empty()) return error;
  if (!MakeDirs(work_dir)) return "作業フォルダを作れません: " + work_dir;
  const std::string dir = WithTrailingSlash(work_dir);
  // The texts are made again from the project at every build, and a text
  // torn by a crash only misses the result cache: no wait for the disk.
  ws.transverse_path = dir + "Yoko0.$O1";
  error = SaveFrameText(ws.transverse_frame, ws.transverse_path, WriteMode::kScratch);
  if (!error.empty()) return error;
  ws.longitudinal_path = dir + "Tate0.$O1";
  return SaveFrameText(ws.longitudinal_frame, ws.longitudinal_path, WriteMode::kScratch);
}

}  // namespace vaultra
