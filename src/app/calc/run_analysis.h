// RunAnalysis: analyses both frame models built by BuildModels, runs the
// member checks of the three transverse combinations, their summaries, the
// end-wall and joint checks (transverse joint, longitudinal joint, end
// walls) and the per-case envelopes, then calls the report pass hook.
// A direction whose analysis failed gives no satisfied verdict.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "analysis/analysis_driver.h"
#include "analysis/analysis_results.h"
#include "app/calc/build_models.h"
#include "app/document/project_state.h"
#include "checks/end_wall.h"
#include "checks/joint_check.h"
#include "checks/longitudinal_joint.h"
#include "checks/member_checks.h"
#include "checks/summaries.h"
#include "checks/uplift.h"
#include "inputs/master_data.h"
#include "report/build_report.h"

namespace vaultra {

class Ui;

struct CalcRun;

// What the run reads besides the project: the solver choice, the outside
// library's folders and the report pass.
struct RunAnalysisOptions {
  bool demo_mode = true;      // a frame folder is missing
  bool internal_key = false;  // the internal solver was asked for (Ctrl key, --internal)
  FrameSdkFolders folders;
  FrameSdkLibrary* library = nullptr;  // kept loaded across runs; may be null (internal only)
  Ui* ui = nullptr;                    // messages and progress; may be null
  std::string work_dir;                // for the check dumps; empty: no dumps
  // The silent report pass, the last step of a run. Nothing is prepared for
  // the report while it is empty (the report driver is not wired in yet).
  std::function<void(CalcRun&)> report_pass;
};

// Everything one run produces.
struct CalcRun {
  bool use_internal = false;  // the internal-solver flag of this run
  AnalysisResults transverse, longitudinal;
  AnalysisResults search1, search2;  // scratch records of the maximum search
  bool transverse_ok = false;
  bool longitudinal_on = false;       // the longitudinal-check option
  bool longitudinal_ok = false;       // analysed and succeeded (false when off)
  std::vector<std::string> failures;  // cp932, in the order they happened

  bool members_checked = false;  // CheckMembers accepted the results
  MemberCheckTables checks;
  CheckSummaries summaries;

  bool transverse_joint_checked = false;
  TransverseJointResult transverse_joint;
  LongitudinalJointResult longitudinal_joint;
  bool longitudinal_joint_checked = false;  // ran over analysed longitudinal results

  // End walls: checked only over analysed longitudinal results; otherwise
  // the message says why and the verdict reads "not checked", never O.K.
  bool end_walls_checked = false;
  EndWallResult end_walls;
  EndWallVerdict end_wall_verdict;
  std::string end_wall_message;  // cp932, why nothing was checked
  PlateCache plate_cache;        // plate solutions, kept across runs

  // Uplift of the empty facility in the normal state (reason set when the
  // groundwater lies below the base).
  UpliftResult uplift;

  bool report_prepared = false;  // the report pass hook ran
};

// "！！！　横方向の計算ができません.　！！！" and the longitudinal one (cp932).
extern const char* const kTransverseFailedMessage;
extern const char* const kLongitudinalFailedMessage;

// The internal-solver flag of a run: demo mode or the key.
bool UseInternalSolver(bool demo_mode, bool internal_key);

// The maximum-search members of a structure model (flagged by the
// points-of-interest flag).
MaxSearchMembers MaxSearchMembersOf(const StructureModel& model);

// Per-case envelopes of one results record: for each case 1 .. largest
// load case + combinations, the largest |value| of M, S, N and deflection
// over every member and output point of that record.
void ComputeEnvelopes(AnalysisResults& results);

// Axial forces of every member at its first and last output point in case
// D, with the member types of the model (for the transverse joint check).
std::vector<MemberEndAxial> MemberEndAxials(const AnalysisResults& results,
                                            const StructureModel& model, int D);

void RunAnalysis(ProjectState& state, const MasterData& md, CalcWorkspace& ws,
                 const RunAnalysisOptions& opt, CalcRun& run);

// The member checks of the three transverse combinations over the run's
// transverse results and their summaries: a run's step, again after a rebar
// edit, and with the check overrides for the report preview's build (the
// check tables and summaries are rebuilt). Returns CheckMembers' refusal,
// empty when it checked.
// What the member checks read from the project: layout, options, materials
// and safety factors.
MemberCheckInput CheckInputOf(const ProjectState& state);

std::string RecheckMembers(ProjectState& state, const MasterData& md, CalcRun& run,
                           const CheckOverrides& overrides = {});

// The records of the project and of a finished run that the report prints.
ReportSources ReportSourcesOf(const ProjectState& state, const CalcWorkspace& ws,
                              const CalcRun& run, const MasterData& master);

// ---- verdicts ----

// The governing row of one member in one combination.
struct MemberVerdict {
  int member = 0;
  int type_code = 0;
  int combination = 0;  // 0 normal, 1 level 1, 2 level 2
  int row = 0;          // governing row (0 when nothing was checked)
  double ratio = 0;     // governing ratio
  // Which check of the governing row set the ratio (GoverningRowOf).
  using Governs = GoverningCheck;
  Governs governs = Governs::kNone;
  bool ok = false;  // satisfied; false when the analysis failed
  // A checked row had a ratio that is no finite number (ratio NaN, not ok).
  bool finite = true;
  bool analysed = false;
  // The governing row's capacity-design check, when it ran: the shear span
  // (m) and the section it was taken at, and the shear at flexural capacity.
  bool capacity_design = false;
  double shear_span = 0, vmu = 0, cd_x = 0, cd_M = 0;
};

// One verdict per transverse member and combination, members in order.
std::vector<MemberVerdict> MemberVerdicts(const CalcRun& run, const StructureModel& model);

// The governing check's name: "曲げ", "せん断", "耐力設計" (cp932), empty
// when nothing was checked; and its key for machine-read output
// ("flexure", "shear", "capacity_design", "none").
const char* GovernsName(MemberVerdict::Governs g);
const char* GovernsKey(MemberVerdict::Governs g);

// Name of the combination k (cp932): "常時", "L1", "L2".
const char* CombinationName(int k);

}  // namespace vaultra
