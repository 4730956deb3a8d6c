// The calculation side of the page switch without a window: commits the
// input pages, builds the frame models, runs the analysis and the checks,
// and keeps their results for the result pages. The window's navigator
// takes its steps from here; tests drive a Navigator with it directly.
#pragma once

#include <string>

#include "analysis/frame_sdk.h"
#include "app/calc/build_models.h"
#include "app/calc/navigation.h"
#include "app/calc/run_analysis.h"
#include "app/document/project_file.h"
#include "app/document/project_state.h"
#include "inputs/master_data.h"
#include "report/build_report.h"
#include "report/print_engine.h"

namespace vaultra {

class Ui;

// The run options of an analysis from the program's folders: the frame
// folders and demo mode, the working folder for the check dumps.
RunAnalysisOptions RunOptionsFor(const AppFolders& folders, bool internal_key,
                                 FrameSdkLibrary* library, Ui* ui);

class CalculationOps : public NavigationOps {
 public:
  CalculationOps(ProjectState& state, const MasterData& md, PageLogic& logic,
                 const AppFolders& folders, Ui& ui)
      : state_(state), md_(md), logic_(logic), folders_(folders), ui_(ui) {}

  void CommitInputs(Page page) override;
  void OtherChecksPrepare() override;
  void OtherChecksInput() override;
  void OtherChecksResultRefresh() override;
  void BuildModels() override;
  void RunAnalysis(bool internal_solver) override;
  void SaveResumeFile() override;
  void RunSectionChecks(const CheckOverrideValues& overrides) override;

  // Records the report of the last run as the preview and the PDF show it
  // (cover, contents, body); `opt` brings the print options, the folders
  // and the solver stamp are filled in here. Returns the body pages.
  int BuildReport(PrintEngine& pe, ReportBuild& build, ReportOptions opt) const;
  // Moves with every model build and every run (whose silent report pass
  // renews what the report reads): a report built at another generation
  // is out of date.
  int generation() const { return build_count_ + run_count_; }

  // The other-checks page's recompute after one of its inputs changed: the
  // preparation step, the commit, and the joint and end-wall checks again
  // over the results of the last run (nothing is checked without them).
  void RecomputeOtherChecks();

  // The models of the last BuildModels; false when it was refused.
  bool models_built() const { return models_built_; }
  // Why the last BuildModels was refused (cp932), empty when it was not.
  const std::string& build_error() const { return build_error_; }
  // Whether the last run analysed models of the current build.
  bool analysed() const { return analysed_; }
  int build_count() const { return build_count_; }
  int run_count() const { return run_count_; }

  const CalcWorkspace& workspace() const { return ws_; }
  const CalcRun& run() const { return run_; }
  // The run as a rebar edit changes it (its member checks are rerun).
  CalcRun& mutable_run() { return run_; }
  // The silent report pass of the last run: numbered headings and contents
  // (in the engine), failure marks and first error (in the build).
  const PrintEngine& report_engine() const { return report_engine_; }
  const ReportBuild& report_build() const { return report_build_; }

 private:
  ProjectState& state_;
  const MasterData& md_;
  PageLogic& logic_;
  AppFolders folders_;
  Ui& ui_;
  CalcWorkspace ws_;
  CalcRun run_;
  PrintEngine report_engine_;
  ReportBuild report_build_;
  FrameSdkLibrary library_;
  bool models_built_ = false;
  bool analysed_ = false;
  std::string build_error_;
  int build_count_ = 0;
  int run_count_ = 0;
};

}  // namespace vaultra
