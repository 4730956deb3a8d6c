// A sample project loaded, its models built and its calculation run, with
// the silent report pass of the run kept (the report tests of a real run).
#pragma once

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "app/calc/build_models.h"
#include "app/calc/run_analysis.h"
#include "app/document/project_file.h"
#include "app/pages/other_checks_page.h"
#include "app/pages/page_logic_impl.h"
#include "core/ui.h"
#include "report/build_report.h"

namespace vaultra {

namespace fs = std::filesystem;

// analyse false stops after the models (no analysis, no silent pass);
// before_build may change the form state (e.g. the seismic method).
struct SampleRun {
  RecordingUi ui;
  MasterData md;
  ProjectState state = DefaultProjectState();
  CalcWorkspace ws;
  CalcRun run;
  PrintEngine silent;
  ReportBuild silent_build;
  ReportOptions opt;
  fs::path dir;

  template <class Edit>
  SampleRun(const std::string& sample, bool analyse, Edit before_build) {
    Load(sample);
    if (!loaded) return;
    before_build(state);
    Build(analyse);
  }
  explicit SampleRun(const std::string& sample) {
    Load(sample);
    if (loaded) Build(true);
  }
  void Load(const std::string& sample) {
    md = LoadMasterData(std::string(VAULTRA_SOURCE_DIR) + "/Master/材料/", ui);
    InputPageLogic logic(md);
    loaded = LoadProjectFile(state, std::string(VAULTRA_SOURCE_DIR) + "/samples/" + sample, logic)
                 .loaded;
    if (!loaded) return;
    PrepareOtherChecks(state);
    CommitOtherChecksInputs(state);
  }
  void Build(bool analyse) {
    dir = fs::temp_directory_path() / ("vaultra_report_run_" + std::to_string(getpid()) + "_" +
                                       std::to_string(reinterpret_cast<std::uintptr_t>(this)));
    built = BuildModels(state, md, dir.string(), ws).empty();
    opt.print_master_dir = std::string(VAULTRA_SOURCE_DIR) + "/Master/印刷/";
    opt.formulas = true;
    opt.ts_formula = true;
    if (!analyse) return;
    RunAnalysisOptions ro;
    ro.report_pass = [&](CalcRun& r) {
      RunSilentReportPass(silent, ReportSourcesOf(state, ws, r, md), opt, silent_build);
    };
    RunAnalysis(state, md, ws, ro, run);
  }
  ~SampleRun() { fs::remove_all(dir); }
  bool loaded = false, built = false;
};

}  // namespace vaultra
