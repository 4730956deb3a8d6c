// The calculation as the program runs it: a sample project opened with the
// catalogue and the default resume file beside the program, its frame
// models built, analysed with the maximum search and checked. Also the
// largest box facility the model page allows (the most centre blocks),
// made from the three-box sample through the page logic.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "analysis/analysis_driver.h"
#include "analysis/frame_sdk.h"
#include "analysis/frame_solver.h"
#include "analysis/ground_frame.h"
#include "app/calc/build_models.h"
#include "app/calc/navigation.h"
#include "app/calc/run_analysis.h"
#include "app/document/project_file.h"
#include "app/pages/page_logic_impl.h"
#include "core/fileio.h"
#include "core/memory_policy.h"
#include "core/ui.h"
#include "inputs/master_data.h"
#include "model/geometry.h"
#include "report/build_report.h"

namespace vaultra {
namespace {

// The heap as the programs set it up before anything else.
[[maybe_unused]] const bool kHeapAsInThePrograms = (KeepFreedMemoryForReuse(), true);

std::string WorkDir(const std::string& name) {
  auto dir = std::filesystem::temp_directory_path() / ("vaultra_bench_" + name);
  std::filesystem::create_directories(dir);
  return dir.string() + "/";
}

// A project opened as the command line opens it.
struct Project {
  explicit Project(const std::string& work_name)
      : folders(Folders(work_name)),
        master(LoadMasterData(folders.material_master_dir, ui)),
        logic(master),
        state(DefaultProjectState()) {}

  static AppFolders Folders(const std::string& work_name) {
    FolderEnvironment env = SystemFolderEnvironment(WorkDir(work_name));
    env.exe_path = std::string(VAULTRA_BINARY_DIR) + "/vaultra";  // the catalogue beside it
    return ResolveAppFolders(env);
  }

  // Empty on success, else why not.
  std::string Open(const std::string& sample) {
    if (FileExists(folders.default_resume_file))
      LoadProjectFile(state, folders.default_resume_file, logic);
    logic.TakeMessages();
    LoadResult r =
        LoadProjectFile(state, std::string(VAULTRA_SOURCE_DIR) + "/samples/" + sample, logic);
    if (!r.loaded || !r.errors.empty()) return "cannot open " + sample;
    if (!logic.TakeMessages().empty()) return "structure of " + sample + " not generated";
    return {};
  }

  // The centre-block count as typed on the model page and committed.
  std::string SetCentreBlocks(int n) {
    state.model.SetText("Ed_blkSu", std::to_string(n));
    logic.CommitInputs(state, FormId::kModel);
    logic.UpdateModelFromModelPage(state);
    if (!logic.TakeMessages().empty()) return "no structure for " + std::to_string(n) + " blocks";
    return {};
  }

  std::string Build() { return BuildModels(state, master, folders.work_dir, ws); }

  RecordingUi ui;  // messages kept, not printed
  AppFolders folders;
  MasterData master;
  InputPageLogic logic;
  ProjectState state;
  CalcWorkspace ws;
};

// The three-box sample with as many centre blocks as the page allows and
// the frame limits take.
std::unique_ptr<Project> LargestBox(std::string* error) {
  for (int n = kMaxCentreBlocks; n >= kMinCentreBlocks; --n) {
    auto p = std::make_unique<Project>("largest_box");
    *error = p->Open("box_three_boxes.vt1");
    if (!error->empty()) return nullptr;
    if (p->SetCentreBlocks(n).empty() && p->Build().empty()) {
      error->clear();
      return p;
    }
  }
  *error = "no box size could be built";
  return nullptr;
}

void Label(benchmark::State& st, const Project& p) {
  st.SetLabel(std::to_string(p.ws.transverse_frame.nodes.Count()) + " nodes, " +
              std::to_string(p.ws.transverse_frame.members.Count()) + " members, " +
              std::to_string(p.state.records.model.centre_blocks) + " centre blocks");
}

// The transverse analysis with its maximum search, internal solver.
void BM_MaxSearchLargestBox(benchmark::State& st) {
  std::string error;
  std::unique_ptr<Project> p = LargestBox(&error);
  if (!p) return st.SkipWithError(error.c_str());
  const MaxSearchMembers members = MaxSearchMembersOf(p->state.transverse);
  FrameAnalysisContext ctx;
  ctx.use_internal = true;
  AnalysisResults r, s1, s2;
  for (auto _ : st) {
    FrameModel model = p->ws.transverse_frame;
    bool ok = AnalyseWithMaxSearch(r, s1, s2, p->ws.transverse_path, model, members, ctx);
    if (!ok) return st.SkipWithError("analysis failed");
    benchmark::DoNotOptimize(r.cases.data());
  }
  Label(st, *p);
}
BENCHMARK(BM_MaxSearchLargestBox)->Unit(benchmark::kMillisecond);

// The whole run: open, build the models, analyse both directions with the
// search and check; with_pass: and the silent report pass that ends every
// run of the program.
void WholeRun(benchmark::State& st, const std::string& sample, bool largest_box,
              bool with_pass = false, FrameSdkLibrary* library = nullptr) {
  std::unique_ptr<Project> last;
  for (auto _ : st) {
    std::string error;
    std::unique_ptr<Project> p;
    if (largest_box) {
      p = LargestBox(&error);
    } else {
      p = std::make_unique<Project>("run_" + sample);
      error = p->Open(sample);
      if (error.empty()) error = p->Build();
    }
    if (!p || !error.empty()) return st.SkipWithError(error.c_str());
    RunAnalysisOptions opt;
    opt.internal_key = library == nullptr;
    if (library) {
      opt.demo_mode = false;
      opt.library = library;
      opt.folders = {std::string(VAULTRA_BINARY_DIR) + "/frame_sdk/PlaneFrameSDK/",
                     std::string(VAULTRA_BINARY_DIR) + "/frame_sdk/PlaneFrame/"};
    }
    opt.ui = &p->ui;
    opt.work_dir = p->folders.work_dir;
    PrintEngine silent;
    ReportBuild build;
    ReportOptions report;
    report.print_master_dir = p->folders.print_master_dir;
    if (with_pass)
      opt.report_pass = [&](CalcRun& r) {
        RunSilentReportPass(silent, ReportSourcesOf(p->state, p->ws, r, p->master), report, build);
      };
    CalcRun run;
    RunAnalysis(p->state, p->master, p->ws, opt, run);
    if (!run.failures.empty()) return st.SkipWithError("the run failed");
    benchmark::DoNotOptimize(run.transverse.cases.data());
    last = std::move(p);
  }
  if (last) Label(st, *last);
}

// Every shipped sample; the mini-gate facility is the largest (40
// transverse members).
void BM_WholeRun(benchmark::State& st, const char* sample) {
  WholeRun(st, sample, false);
}
BENCHMARK_CAPTURE(BM_WholeRun, box_groundwater_stored, "box_groundwater_stored.vt1")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WholeRun, box_three_boxes, "box_three_boxes.vt1")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WholeRun, mini_gate, "mini_gate.vt1")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WholeRun, stand_two_slabs, "stand_two_slabs.vt1")
    ->Unit(benchmark::kMillisecond);

void BM_WholeRunLargestBox(benchmark::State& st) {
  WholeRun(st, {}, true);
}
BENCHMARK(BM_WholeRunLargestBox)->Unit(benchmark::kMillisecond);

// The production analysis: the frame library the program runs by default
// (result files written and read back, as in the program).
void BM_WholeRunLargestBoxLibrary(benchmark::State& st) {
  FrameSdkLibrary library;
  std::string msg = library.Load(std::string(VAULTRA_BINARY_DIR) + "/frame_sdk/PlaneFrameSDK/");
  if (!msg.empty()) return st.SkipWithError(msg.c_str());
  WholeRun(st, {}, true, false, &library);
}
BENCHMARK(BM_WholeRunLargestBoxLibrary)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// One solve of every load case and combination of a sample's transverse
// frame in process: the production analysis and the demo solver.
void SolveSample(benchmark::State& st, const char* sample, bool production) {
  Project p("solve_" + std::string(sample));
  std::string error = p.Open(sample);
  if (error.empty()) error = p.Build();
  if (!error.empty()) return st.SkipWithError(error.c_str());
  AnalysisResults r;
  for (auto _ : st) {
    FrameModel model = p.ws.transverse_frame;
    std::string msg = production ? SolveFrameOnGround(model, r) : SolveFrame(model, r);
    if (!msg.empty()) return st.SkipWithError(msg.c_str());
    benchmark::DoNotOptimize(r.cases.data());
  }
  st.counters["cases"] = p.ws.transverse_frame.load_cases.Count();
  st.counters["combinations"] = p.ws.transverse_frame.combinations.Count();
}
void BM_SolveOnGround(benchmark::State& st, const char* sample) {
  SolveSample(st, sample, true);
}
void BM_SolveDemo(benchmark::State& st, const char* sample) {
  SolveSample(st, sample, false);
}
BENCHMARK_CAPTURE(BM_SolveOnGround, box_three_boxes, "box_three_boxes.vt1")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SolveOnGround, mini_gate, "mini_gate.vt1")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SolveDemo, box_three_boxes, "box_three_boxes.vt1")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SolveDemo, mini_gate, "mini_gate.vt1")->Unit(benchmark::kMillisecond);

void BM_WholeRunMiniGateWithReportPass(benchmark::State& st) {
  WholeRun(st, "mini_gate.vt1", false, true);
}
BENCHMARK(BM_WholeRunMiniGateWithReportPass)->Unit(benchmark::kMillisecond);

void BM_WholeRunLargestBoxWithReportPass(benchmark::State& st) {
  WholeRun(st, {}, true, true);
}
BENCHMARK(BM_WholeRunLargestBoxWithReportPass)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vaultra
