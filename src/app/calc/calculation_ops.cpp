#include "app/calc/calculation_ops.h"

#include "app/calc/other_checks_run.h"
#include "app/pages/other_checks_page.h"
#include "core/fileio.h"
#include "core/ui.h"

namespace vaultra {

RunAnalysisOptions RunOptionsFor(const AppFolders& folders, bool internal_key,
                                 FrameSdkLibrary* library, Ui* ui) {
  RunAnalysisOptions opt;
  opt.demo_mode = folders.demo_mode;
  opt.internal_key = internal_key;
  opt.folders = {folders.frame_sdk_dir, folders.frame_app_dir};
  opt.library = library;
  opt.ui = ui;
  opt.work_dir = folders.work_dir;
  return opt;
}

void CalculationOps::CommitInputs(Page page) {
  if (const std::optional<FormId> id = FormOfPage(page)) logic_.CommitInputs(state_, *id);
}

void CalculationOps::OtherChecksPrepare() {
  vaultra::PrepareOtherChecks(state_);
}
void CalculationOps::OtherChecksInput() {
  vaultra::CommitOtherChecksInputs(state_);
}
void CalculationOps::OtherChecksResultRefresh() {
  vaultra::OtherChecksResultRefresh(state_);
}

void CalculationOps::RecomputeOtherChecks() {
  vaultra::PrepareOtherChecks(state_);
  vaultra::CommitOtherChecksInputs(state_);
  if (analysed_) RunOtherChecks(state_, md_, ws_, run_);
}

void CalculationOps::BuildModels() {
  ++build_count_;
  analysed_ = false;
  if (!DirExists(folders_.work_dir) && !MakeDirs(folders_.work_dir)) {
    build_error_ = "作業フォルダを作成できません: " + folders_.work_dir;
  } else if (std::optional<FolderLock> lock =
                 FolderLock::Acquire(folders_.work_dir, &build_error_)) {
    build_error_ = vaultra::BuildModels(state_, md_, folders_.work_dir, ws_);
  }
  models_built_ = build_error_.empty();
  if (!models_built_) ui_.Tell(MsgKind::kError, build_error_);
}

void CalculationOps::RunAnalysis(bool internal_solver) {
  // Without models of the current inputs there is nothing honest to
  // analyse: the previous results would belong to other inputs.
  if (!models_built_) {
    run_ = CalcRun{};
    analysed_ = false;
    return;
  }
  ++run_count_;
  run_ = CalcRun{};
  // Another run writing into the same working folder would mix its files
  // with these.
  std::string lock_error;
  const std::optional<FolderLock> lock = FolderLock::Acquire(folders_.work_dir, &lock_error);
  if (!lock) {
    run_.failures.push_back(lock_error);
    ui_.Tell(MsgKind::kError, lock_error);
    analysed_ = false;
    return;
  }
  // The navigator has already decided the solver (demo mode or Ctrl).
  RunAnalysisOptions opt = RunOptionsFor(folders_, internal_solver, &library_, &ui_);
  // The run ends with the silent report pass, which the result pages read.
  opt.report_pass = [this](CalcRun& r) {
    ReportOptions ro;
    ro.print_master_dir = folders_.print_master_dir;
    ro.internal_solver = r.use_internal;
    RunSilentReportPass(report_engine_, ReportSourcesOf(state_, ws_, r, md_), ro, report_build_);
  };
  vaultra::RunAnalysis(state_, md_, ws_, opt, run_);
  analysed_ = true;
}

void CalculationOps::RunSectionChecks(const CheckOverrideValues& v) {
  if (!analysed_) return;
  const CheckOverrides overrides{v[0], v[1], v[2], v[3], v[4]};
  RecheckMembers(state_, md_, run_, overrides);
}

int CalculationOps::BuildReport(PrintEngine& pe, ReportBuild& build, ReportOptions opt) const {
  opt.print_master_dir = folders_.print_master_dir;
  opt.internal_solver = run_.use_internal;
  return BuildReportPages(pe, ReportSourcesOf(state_, ws_, run_, md_), opt, build);
}

void CalculationOps::SaveResumeFile() {
  if (folders_.resume_file.empty()) return;  // no resume file (start-up incomplete)
  vaultra::SaveResumeFile(state_, folders_.resume_file, logic_, ui_);
}

}  // namespace vaultra
