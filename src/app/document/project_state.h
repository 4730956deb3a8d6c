// Everything one project consists of: the form-state records of all pages,
// the block row, the two structure models and the current project path.
// One object owns it and is passed explicitly; nothing is global.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "app/document/form_state.h"
#include "inputs/input_records.h"
#include "inputs/structure_model.h"

namespace vaultra {

// Names of the facility types by type index.
constexpr std::array<const char*, 3> kFacilityTypeNames = {"スタンド型", "ボックス型",
                                                           "ミニゲート"};

// Longest texts kept in fixed fields.
constexpr std::size_t kMaxModelNameBytes = 64;
constexpr std::size_t kMaxPathBytes = 260;

// The ground grid: a header row and 20 layer rows of 9 columns.
constexpr int kGroundGridRows = 21;
constexpr int kGroundGridCols = 9;
extern const char* const kGroundGridHeaderSpec;

// The form sections in file order.
enum class FormId {
  kMain,
  kModel,
  kGround,
  kDimensions,
  kPoints,
  kLoads,
  kMaterial,
  kMemberForce,
  kRcCheck,
  kOtherChecks,
  kSectionDetail,
};
constexpr int kFormCount = 11;

struct ProjectState {
  // A new project holds the pages' designed controls, so a state is never
  // without the controls the project file names.
  ProjectState();

  FormState main;            // Fm_MAIN (no keys)
  FormState model;           // Fm11MDL, model page
  FormState ground;          // Fm12JBN, ground page
  FormState dimensions;      // Fm13SiZ, dimensions page
  FormState points;          // Fm14POS, points-of-interest page
  FormState loads;           // Fm15KAJ, loads page
  FormState material;        // Fm16KYD, material page
  FormState member_force;    // Fm31DAN, member-force page
  FormState rc_check;        // Fm32OR1, RC check page (no keys)
  FormState other_checks;    // Fm33OR2, other-checks page
  FormState section_detail;  // fmUtOryk, section-detail window

  BlockRow block_row;
  StructureModel transverse;    // KZ1; its counts are those of the block row
  StructureModel longitudinal;  // KZ2; shares the block row
  std::string project_path;     // current project file (cp932, at most kMaxPathBytes)
  InputRecords records;         // what the input pages took from their controls

  // The form sections in the order the project file holds them.
  std::array<FormState*, kFormCount> Forms();
  std::array<const FormState*, kFormCount> Forms() const;
  FormState& Form(FormId id) { return *Forms()[static_cast<std::size_t>(id)]; }
  const FormState& Form(FormId id) const { return *Forms()[static_cast<std::size_t>(id)]; }
};

// A project as the pages are designed before any file has been read.
ProjectState DefaultProjectState();

// The designed controls of each page.
FormState DefaultMainForm();
FormState DefaultModelForm();
FormState DefaultGroundForm();
FormState DefaultDimensionsForm();
FormState DefaultPointsForm();
FormState DefaultLoadsForm();
FormState DefaultMaterialForm();
FormState DefaultMemberForceForm();
FormState DefaultRcCheckForm();
FormState DefaultOtherChecksForm();
FormState DefaultSectionDetailForm();

// The ground grid as the ground page leaves it after reading its section:
// 21 rows, the header rebuilt, row numbers 1..20 in column 0.
void ResetGroundGrid(GridData& grid);

// The facility type index the project file header names (0 .. 2).
int FacilityTypeIndex(const ProjectState& state);

// True for the box layout (the facility type is not the stand).
inline bool IsBoxLayout(const ProjectState& state) {
  return state.records.model.facility_type != 0;
}

}  // namespace vaultra
