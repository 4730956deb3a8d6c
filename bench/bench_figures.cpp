// Every figure of a sample as the report draws it: the cross-section, the
// ground column, the frame, the load-state figures of all transverse load
// cases and the three force diagrams of each combination in both
// directions, recorded on report pages; and the window's screen figures
// (frame with markers, one force diagram) recorded on a page canvas.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "app/calc/build_models.h"
#include "app/calc/run_analysis.h"
#include "app/document/project_file.h"
#include "app/pages/other_checks_page.h"
#include "app/pages/page_logic_impl.h"
#include "core/ui.h"
#include "inputs/master_data.h"
#include "report/force_diagrams.h"

namespace vaultra {
namespace {

struct Analysed {
  RecordingUi ui;
  MasterData md;
  ProjectState state = DefaultProjectState();
  std::unique_ptr<InputPageLogic> logic;
  CalcWorkspace ws;
  CalcRun run;
  bool ok = false;

  explicit Analysed(const std::string& sample) {
    const auto dir = std::filesystem::temp_directory_path() / ("vaultra_bench_fig_" + sample);
    std::filesystem::create_directories(dir);
    md = LoadMasterData(std::string(VAULTRA_SOURCE_DIR) + "/Master/材料/", ui);
    logic = std::make_unique<InputPageLogic>(md);
    if (!LoadProjectFile(state, std::string(VAULTRA_SOURCE_DIR) + "/samples/" + sample + ".vt1",
                         *logic)
             .loaded)
      return;
    PrepareOtherChecks(state);
    CommitOtherChecksInputs(state);
    if (!BuildModels(state, md, dir.string() + "/", ws).empty()) return;
    RunAnalysisOptions opt;
    opt.demo_mode = true;
    RunAnalysis(state, md, ws, opt, run);
    ok = run.transverse_ok;
  }
};

Analysed& Get(const std::string& sample) {
  static std::map<std::string, std::unique_ptr<Analysed>> cache;
  auto& a = cache[sample];
  if (!a) a = std::make_unique<Analysed>(sample);
  return *a;
}

void ReportFigures(benchmark::State& bs, const std::string& sample) {
  Analysed& a = Get(sample);
  if (!a.ok) {
    bs.SkipWithError(("cannot analyse " + sample).c_str());
    return;
  }
  const GroundColumnInput ground =
      GroundColumnOf(a.state.records.ground, a.state.records.model, a.state.transverse);
  std::size_t commands = 0;
  for (auto _ : bs) {
    PrintEngine pe;
    pe.BeginReportPages(1800, 2700);
    pe.SelectPageSlot(kFirstBodySlot);
    Figure tf = FigureOf(a.state.transverse, a.state.block_row, a.state.records.model, false);
    Figure lf = FigureOf(a.state.longitudinal, a.state.block_row, a.state.records.model, true);
    pe.NewPage();
    DrawSectionFigure(pe, tf, SectionFigureOf(a.state.records.model), 30, 30, 160, 90);
    PrintFrameFigure(pe, 120, tf);
    pe.NewPage();
    DrawGroundColumn(pe, ground, 40, 20, 140, 230);
    // Chapter 19: four load-state figures a page.
    const FrameModel& tframe = a.ws.transverse_frame;
    for (int c = 1; c <= tframe.load_cases.Count(); ++c) {
      if ((c - 1) % 4 == 0) pe.NewPage();
      PrintLoadStatePage(pe, 10 + 60 * ((c - 1) % 4), tf, tframe, tframe.load_cases.At(c).number, 0,
                         0);
    }
    // Chapter 22 and its longitudinal twin: a page per combination.
    for (int dir = 0; dir < 2; ++dir) {
      const AnalysisResults& r = dir == 0 ? a.run.transverse : a.run.longitudinal;
      if (dir == 1 && !a.run.longitudinal_ok) break;
      for (int k = 1; k <= std::min(3, r.combination_count); ++k) {
        pe.NewPage();
        PrintForceDiagramPage(pe, 10, dir == 0 ? tf : lf, r, r.max_load_case + k, 0, 0);
      }
    }
    commands = pe.records().CommandCount();
    benchmark::DoNotOptimize(commands);
  }
  bs.counters["commands"] = static_cast<double>(commands);
}

void ScreenFigures(benchmark::State& bs, const std::string& sample) {
  Analysed& a = Get(sample);
  if (!a.ok) {
    bs.SkipWithError(("cannot analyse " + sample).c_str());
    return;
  }
  struct Null : DrawTarget {
    void Execute(const PageCommand&) override {}
  } canvas;
  PrintEngine pe;
  for (auto _ : bs) {
    Figure fig = FigureOf(a.state.transverse, a.state.block_row, a.state.records.model, false);
    SetupFigure(pe, fig, kFigureNew, 1600, 900, 0, &canvas);
    DrawModelFigure(pe, fig, kShowStandard | kShowNodeNumbers);
    DrawFigureLegend(pe, fig, 1600, 900, true);
    SetupFigure(pe, fig, kFigureZoomIn, 800, 450, 0);
    DrawForceDiagram(pe, fig, a.run.transverse, a.run.transverse.max_load_case + 1, kCompM, 0, 1);
    SetupFigure(pe, fig, kFigurePan, 20, 10, 0);
    DrawLoadState(pe, fig, a.ws.transverse_frame, 2);
  }
}

BENCHMARK_CAPTURE(ReportFigures, box_three_boxes, std::string("box_three_boxes"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReportFigures, stand_two_slabs, std::string("stand_two_slabs"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReportFigures, box_groundwater_stored, std::string("box_groundwater_stored"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ScreenFigures, box_three_boxes, std::string("box_three_boxes"))
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vaultra
