// The other-checks page's logic without its window: its lists from the
// master tables, the preparation step (largest block weight, initial PC-bar
// stress), the commit into the joint design record, the list changes, the
// end-wall method rule, the defaults of a product change, and the end-wall
// and joint checks with the texts the page shows.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "app/document/project_state.h"
#include "checks/end_wall.h"
#include "checks/joint_check.h"
#include "checks/uplift.h"
#include "inputs/master_data.h"

namespace vaultra {

struct CalcRun;
struct CalcWorkspace;
struct AnalysisResults;

// Names of the six end-wall bar lists: vertical inner, outer; horizontal
// upper inner, outer; lower inner, outer.
extern const std::array<const char*, 6> kEndWallBarLists;

// Fills the page's lists from the master tables; only the first time (the
// lists are built once, before the page's section is first read).
void BuildOtherChecksLists(FormState& form, const MasterData& md);

// Preparation step: the largest block weight into Ed_BlkWt and the initial
// tensile stress Po into p5Ed_Po.
void PrepareOtherChecks(ProjectState& state);
// The blocks of kind 1..3 of the row as outlines (box layout: with the
// opening), for the largest block weight.
std::vector<BlockShape> BlockShapesOf(const ProjectState& state);

// CommitInputs: every field of the joint design record from its control.
void CommitOtherChecksInputs(const FormState& form, JointDesignRecord& rec);
void CommitOtherChecksInputs(ProjectState& state);

// A list (or CkYokoUti, RBoltSu) of the page changed: sets the fields that
// follow from the master tables. True when the page recomputes (the window
// leaves out the recompute of RBoltK while that hidden list is disabled).
bool OtherChecksListChanged(ProjectState& state, const MasterData& md, std::string_view name);

// The end-wall method rule (RHari12Click): "単純梁" checks CkYokoUti; what
// the page enables.
struct EndWallMethodView {
  bool horizontal_bars_enabled = false;  // the six horizontal diameter and count controls
  bool yoko_uti_enabled = false;         // CkYokoUti
};
EndWallMethodView ApplyEndWallMethod(FormState& form);

// Defaults of a product change, written into the page's controls.
void ResetJointDefaults(ProjectState& state, const MasterData& md);
// With the end-wall master record of the current product; upper_thickness
// is the model page's Ed_wl_a.
void ResetEndWallDefaults(ProjectState& state, const EndWallRecord& rec, double upper_thickness);
// Ac into p3Ed_Ac, and ns into p8Ed_Ns (nothing without a cast-in-place zone).
void UpdateJointEffectiveArea(ProjectState& state);
void UpdateDistributionBarCount(ProjectState& state);

// The result refresh after an analysis: the largest block weight again.
void OtherChecksResultRefresh(ProjectState& state);

// What the page shows after the checks (cp932 texts, colours 255 red,
// 0xFF0000 blue).
struct OtherChecksLabels {
  std::array<std::string, 4> joint;  // Lb1A, Lb1H, Lb2A, Lb2H
  std::array<int, 4> joint_colours{};
  std::string err_pc, err_bosui, err_bolt;
  std::string end_wall;  // lbKabeTk
  int end_wall_colour = 0;
  std::string uplift;  // the uplift verdict, or why it was not checked
  int uplift_colour = 0;
};
// The uplift line of the page: "浮上り：Fs = 1.53 ≧ 1.20  ＯＫ" or the reason.
std::string UpliftLabel(const UpliftResult& u);
OtherChecksLabels OtherChecksLabelsOf(const CalcRun& run);

}  // namespace vaultra
