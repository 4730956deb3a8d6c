// Builds sample projects from the designed default state through the model
// and ground pages' own logic, as a user would enter them.
#pragma once

#include <string>
#include <vector>

#include "app/pages/ground_page.h"
#include "inputs/master_data.h"
#include "app/pages/material_page.h"
#include "app/pages/model_page.h"
#include "app/pages/page_logic_impl.h"
#include "app/document/project_state.h"
#include "core/format_by_tag.h"
#include "core/number.h"

namespace vaultra::testing {

inline MasterData ShippedMaster() {
  RecordingUi ui;
  return LoadMasterData(std::string(VAULTRA_SOURCE_DIR) + "/Master/材料/", ui);
}

struct LayerInput {
  double t, n, gamma, gamma_sub, poisson, cohesion, friction;
  int soil;
};

struct SampleSpec {
  const char* file;
  const char* name;
  int type;       // list position: 0 stand, 1 box, 2 mini-gate
  int block_row;  // list index of the product
  int count;      // slabs (stand) or centre boxes (box)
  double cover_depth;
  double water_depth;  // < 0: no ground water
  double stored[3];
  std::vector<LayerInput> layers;
};

inline void SetNumber(FormState& f, const char* name, double v) {
  Control& c = f.At(name);
  c.text = NumberTextByTag(v, c.tag);
}

inline ProjectState BuildSample(const SampleSpec& spec, const MasterData& md,
                                InputPageLogic& logic) {
  ProjectState s = DefaultProjectState();
  s.project_path = spec.file;
  FormState& f = s.model;
  f.At("CoBox0").index = spec.type;
  TypeChanged(s, md);
  f.At("CoBox1").index = spec.block_row;
  BlockChanged(s, md);
  f.SetText("EdModelName", spec.name);
  SetNumber(f, spec.type == 0 ? "Ed_slbSu" : "Ed_blkSu", spec.count);
  SetNumber(f, "EdBlockDepth", spec.cover_depth);
  if (spec.water_depth >= 0) {
    f.CheckRadio("RbWaterDepthON");
    SetNumber(f, "EdWaterDepth", spec.water_depth);
  }
  SetNumber(f, "EdWaterH0", spec.stored[0]);
  SetNumber(f, "EdWaterH1", spec.stored[1]);
  SetNumber(f, "EdWaterH2", spec.stored[2]);
  GridData& g = s.ground.At("Grid1").grid;
  int r = 1;
  for (const LayerInput& l : spec.layers) {
    g.SetCell(1, r, FormatGroundCell(1, Format("%.3f", l.t)));
    g.SetCell(2, r, FormatGroundCell(2, Format("%.1f", l.n)));
    g.SetCell(3, r, FormatGroundCell(3, Format("%.3f", l.gamma)));
    g.SetCell(4, r, FormatGroundCell(4, Format("%.3f", l.gamma_sub)));
    g.SetCell(5, r, FormatGroundCell(5, Format("%.3f", l.poisson)));
    g.SetCell(6, r, FormatGroundCell(6, Format("%.2f", l.cohesion)));
    g.SetCell(7, r, FormatGroundCell(7, Format("%.2f", l.friction)));
    g.SetCell(8, r, Format("%d", l.soil));
    ++r;
  }
  // Precast concrete of 40 N/mm2 with SD345 bars; the end walls cast in
  // place at 30 N/mm2.
  SetConcList(s.material, md);
  for (int g = 1; g <= 4; ++g) {
    s.material.At(Format("Kjn%d", g)).index = g == 4 ? 1 : 3;
    s.material.At(Format("Syurui%d", g)).index = 1;
  }
  ResetMaterialDefaults(s.material, md, s.model.Checked("Rb_2d"));
  // Backfill of 18 kN/m3 above the ground water and 10 kN/m3 (submerged)
  // below it; the water pressure is taken separately.
  SetNumber(s.loads, "Ed_Gst", 18.0);
  SetNumber(s.loads, "Ed_Gsw", 10.0);
  logic.CommitInputs(s, FormId::kLoads);
  logic.CommitInputs(s, FormId::kMaterial);
  logic.CommitInputs(s, FormId::kModel);
  logic.UpdateModelFromModelPage(s);
  logic.CommitInputs(s, FormId::kModel);
  logic.CommitInputs(s, FormId::kGround);
  return s;
}

// The shipped samples.
inline std::vector<SampleSpec> SampleSpecs() {
  const std::vector<LayerInput> loam = {{1.5, 4, 18, 8, 0.45, 20, 0, 1},
                                        {2.0, 10, 19, 9, 0.40, 0, 30, 2},
                                        {3.0, 25, 20, 10, 0.35, 0, 35, 2}};
  const std::vector<LayerInput> sand = {{1.0, 3, 17, 7, 0.45, 15, 0, 1},
                                        {2.5, 8, 18, 8, 0.40, 0, 28, 2},
                                        {3.5, 18, 19, 9, 0.38, 0, 33, 2},
                                        {4.0, 35, 20, 10, 0.33, 0, 38, 2}};
  return {
      // ｽﾀﾝﾄﾞH1500 with two slabs of 4.0 m under 1.2 m of cover.
      {"stand_two_slabs.vt1",
       "スタンド型 頂版スラブ2枚 試設計",
       0,
       1,
       2,
       1.2,
       2.5,
       {0.8, 0.6, 0.5},
       loam},
      // ﾎﾞｯｸｽ2500x2000, three boxes (one centre box), dry site.
      {"box_three_boxes.vt1", "ボックス型 3連 試設計", 1, 2, 1, 1.0, -1, {1.2, 1.0, 0.8}, sand},
      // Mini-gate facility on the box products (ﾎﾞｯｸｽ2000x1500), two centre boxes.
      {"mini_gate.vt1", "ミニゲート 試設計", 2, 0, 2, 0.8, -1, {0.8, 0.6, 0.5}, loam},
      // ﾎﾞｯｸｽ2500x2500W for ground water at 1.5 m, above the structure bottom, with stored water.
      {"box_groundwater_stored.vt1",
       "ボックス型 地下水位GL-1.5m 貯留水あり",
       1,
       7,
       1,
       1.5,
       1.5,
       {2.0, 1.6, 1.2},
       sand},
  };
}

}  // namespace vaultra::testing
