#include "app/calc/build_models.h"

#include <algorithm>
#include <iterator>

#include "analysis/frame_text.h"
#include "app/pages/loads_inputs.h"
#include "app/pages/material_inputs.h"
#include "app/pages/model_page.h"
#include "core/fileio.h"
#include "core/format_by_tag.h"
#include "core/number.h"
#include "model/frame_assembly.h"
#include "model/geometry.h"
#include "model/points_of_interest.h"

namespace vaultra {

namespace {

// The least value a field can physically hold: a strength, modulus, unit
// weight or ground modulus is above zero (zero would divide by nothing or
// weigh nothing and still give a verdict); a length, count or spring is not
// negative. The pages clamp a number within these bounds into their own
// ranges; a number outside them is an error, not a value to clamp.
enum class Bound { kNone, kPositive, kNotNegative };

Bound BoundOf(const FormState& form, const std::string& key) {
  static const char* const kLoadsPositive[] = {"Ed_Gst", "Ed_Gsw", "Ed_Gw", "Ed_Eoh", "Ed_Eov"};
  // Material groups 1 .. 4: strengths, allowable stresses, moduli, weights.
  static const char* const kMaterialPositive[] = {"Ec",   "Gc",   "Es",  "nSca", "nTa",
                                                  "nSfa", "gSca", "gTa", "gSfa", "nSsa",
                                                  "gSsa", "f1ck", "fyk", "fwyd"};
  static const char* const kModelLengths[] = {
      "EdBlockDepth", "EdWaterH0", "EdWaterH1", "EdWaterH2", "EdWaterDepth", "Ed_blkB",
      "Ed_blkH",      "Ed_blkL",   "Ed_slbW",   "Ed_slbL",   "Ed_slbSu",     "Ed_blkSu",
      "Ed_invH",      "Ed_narH",   "Ed_slbH",   "Ed_wl_a",   "Ed_wl_b",      "Ed_tateSu"};
  auto in = [&key](const auto& list) {
    return std::find(std::begin(list), std::end(list), key) != std::end(list);
  };
  if (form.section == "Fm15KAJ") {
    if (in(kLoadsPositive)) return Bound::kPositive;
    // Spring constants of the ground, entered directly.
    if (key.compare(0, 7, "Ed_Yoko") == 0 || key.compare(0, 7, "Ed_Tate") == 0)
      return Bound::kNotNegative;
  }
  if (form.section == "Fm16KYD") {
    if (key == "Gcm") return Bound::kPositive;
    for (const char* g : kMaterialPositive)
      for (int i = 1; i <= 4; ++i)
        if (key == Format("%s%d", g, i)) return Bound::kPositive;
  }
  if (form.section == "Fm11MDL" && in(kModelLengths)) return Bound::kNotNegative;
  return Bound::kNone;
}

bool WithinBound(Bound bound, double v) {
  return bound == Bound::kNone || (bound == Bound::kPositive ? v > 0 : v >= 0);
}

const char* BoundText(Bound bound) {
  return bound == Bound::kPositive ? "0 より大きい数値が必要です" : "負の値は使えません";
}

// The ground table's columns: 1 thickness, 2 N value, 3 unit weight,
// 4 submerged unit weight, 5 Poisson's ratio, 6 cohesion, 7 friction angle.
struct GroundColumn {
  int col;
  const char* name;
  double low;   // the least value
  bool open;    // the least value itself excluded
  double high;  // the value that must not be reached (0: none)
};
constexpr GroundColumn kGroundColumns[] = {
    {1, "層厚", 0, false, 0},         {2, "N値", 0, false, 0},
    {3, "単位体積重量", 0, true, 0},  {4, "水中土単重", 0, false, 0},
    {5, "ポアソン比", 0, false, 0.5}, {6, "粘着力", 0, false, 0},
    {7, "内部摩擦角", 0, false, 90},
};

void GroundGridProblems(const std::string& where, const GridData& g,
                        std::vector<std::string>& out) {
  int layers = 0;
  for (int r = g.fixed_rows; r < g.row_count(); ++r) {
    const double t = ReadReal(g.Cell(1, r));
    if (t > 0) ++layers;
    if (t == 0) continue;  // an empty row
    for (const GroundColumn& c : kGroundColumns) {
      const double v = ReadReal(g.Cell(c.col, r));
      const bool low_ok = c.open ? v > c.low : v >= c.low;
      if (low_ok && (c.high == 0 || v < c.high)) continue;
      const std::string range = Format(c.open ? "%g より大きい" : "%g 以上", c.low) +
                                (c.high == 0 ? "" : Format(" %g 未満", c.high));
      out.push_back(Format("%s の %d 行 (層厚 %s): %s \"%s\" は %sの値が必要です", where.c_str(), r,
                           g.Cell(1, r).c_str(), c.name, g.Cell(c.col, r).c_str(), range.c_str()));
    }
  }
  if (layers == 0) out.push_back(where + ": 地層が 1 層もありません(層厚の入った行がありません)");
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
        const Bound bound = BoundOf(*form, c.name);
        if (check == NumberCheck::kImplausible)
          out.push_back(where + " = \"" + c.text +
                        "\": 数値が有限でないか範囲 ±1e9 を超えています");
        else if (check == NumberCheck::kNotANumber)
          out.push_back(where + " = \"" + c.text +
                        "\": " + NumberStatusText(ParseFiniteNumber(c.text).status));
        else if (!WithinBound(bound, ReadReal(c.text)))
          out.push_back(where + " = \"" + c.text + "\": " + BoundText(bound));
      } else if (c.kind == ControlKind::kGrid) {
        const GridData& g = c.grid;
        for (int r = g.fixed_rows; r < g.row_count(); ++r)
          for (int col = 0; col < g.col_count(); ++col)
            if (CheckNumberText(g.Cell(col, r)) == NumberCheck::kImplausible)
              out.push_back(
                  Format("%s の %d 行 %d 列 \"%s\": 数値が有限でないか範囲 ±1e9 を超えています",
                         where.c_str(), r, col, g.Cell(col, r).c_str()));
        if (form == &state.ground && c.name == "Grid1") GroundGridProblems(where, g, out);
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
