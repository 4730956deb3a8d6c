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

#include "app/build_models.h"
#include "app/master_data.h"
#include "app/other_checks_page.h"
#include "app/page_logic_impl.h"
#include "app/project_file.h"
#include "app/run_analysis.h"
#include "core/ui.h"
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
  int layout = kLayoutStand;
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
    layout = state.records.model.facility_type == 0 ? kLayoutStand : kLayoutBox;
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

GroundColumnInput Ground(const ProjectState& s) {
  GroundColumnInput in;
  for (const GroundLayer& l : s.records.ground.layers) in.layers.push_back({l.soil, l.bottom});
  in.total_depth = s.records.ground.total_depth;
  in.facility_top = s.transverse.cover_depth;
  in.facility_bottom = s.transverse.depth_of_bottom;
  in.ground_water = s.records.model.ground_water;
  in.ground_water_depth = s.records.model.ground_water_depth;
  return in;
}

void ReportFigures(benchmark::State& bs, const std::string& sample) {
  Analysed& a = Get(sample);
  if (!a.ok) {
    bs.SkipWithError(("cannot analyse " + sample).c_str());
    return;
  }
  const GroundColumnInput ground = Ground(a.state);
  std::size_t commands = 0;
  for (auto _ : bs) {
    PrintEngine pe;
    pe.BeginReportPages(1800, 2700);
    pe.SelectPageSlot(kFirstBodySlot);
    Figure tf = MakeFigure(a.state.transverse, a.state.block_row, a.layout, false);
    Figure lf = MakeFigure(a.state.longitudinal, a.state.block_row, a.layout, true);
    pe.NewPage();
    DrawSectionFigure(pe, tf, {a.state.records.model.water_level[0]}, 30, 30, 160, 90);
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
    Figure fig = MakeFigure(a.state.transverse, a.state.block_row, a.layout, false);
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
