// The reinforcement proposal of vaultra design over a finished run of each
// sample (the run itself is bench_calc's): the checks rerun per candidate,
// the analysis not.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "app/calc/build_models.h"
#include "app/calc/design_run.h"
#include "app/calc/run_analysis.h"
#include "app/document/project_file.h"
#include "app/pages/other_checks_page.h"
#include "app/pages/page_logic_impl.h"
#include "core/ui.h"
#include "inputs/master_data.h"

namespace vaultra {
namespace {

void BM_Design(benchmark::State& st, const char* sample) {
  RecordingUi ui;
  const MasterData md = LoadMasterData(std::string(VAULTRA_SOURCE_DIR) + "/Master/材料/", ui);
  InputPageLogic logic(md);
  ProjectState state = DefaultProjectState();
  if (!LoadProjectFile(state, std::string(VAULTRA_SOURCE_DIR) + "/samples/" + sample, logic).loaded)
    return st.SkipWithError("cannot open the sample");
  PrepareOtherChecks(state);
  CommitOtherChecksInputs(state);
  const auto dir = std::filesystem::temp_directory_path() / "vaultra_bench_design";
  std::filesystem::create_directories(dir);
  CalcWorkspace ws;
  if (!BuildModels(state, md, dir.string(), ws).empty()) return st.SkipWithError("no models");
  CalcRun run;
  RunAnalysis(state, md, ws, RunAnalysisOptions{}, run);
  if (!run.members_checked) return st.SkipWithError("not checked");
  double after = 0;
  for (auto _ : st) {
    const DesignProposal p = ProposeReinforcement(state, md, run);
    after = p.mass_after;
    benchmark::DoNotOptimize(p.faces.data());
  }
  st.SetLabel(std::to_string(state.transverse.member_count) + " members, " + std::to_string(after) +
              " kg/m proposed");
}
BENCHMARK_CAPTURE(BM_Design, box_groundwater_stored, "box_groundwater_stored.vt1")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Design, box_three_boxes, "box_three_boxes.vt1")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Design, mini_gate, "mini_gate.vt1")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Design, stand_two_slabs, "stand_two_slabs.vt1")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vaultra
