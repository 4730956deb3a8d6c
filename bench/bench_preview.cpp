// The print preview as a person feels it, on the off-screen platform: the
// report button on a calculated sample (the report built and the first
// pages drawn), one wheel step within the pages drawn, and a step onto a
// page not drawn yet.
#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <cstdlib>
#include <filesystem>

#include "app/pages/page_logic_impl.h"
#include "core/cp932.h"
#include "core/ui.h"
#include "gui/main_window.h"
#include "gui/preview_window.h"
#include "gui/qt_ui.h"
#include "inputs/master_data.h"

namespace {

using namespace vaultra;

QApplication& App() {
  static int argc = 1;
  static char name[] = "bench_preview";
  static char* argv[] = {name, nullptr};
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static QApplication app(argc, argv);
  return app;
}

// A main window with the sample calculated on the RC check page.
struct Calculated {
  explicit Calculated(const char* sample)
      : md(LoadMasterData(Utf8ToCp932(std::string(VAULTRA_SOURCE_DIR) + "/Master/材料/"), quiet)),
        logic(md) {
    App();
    dir = std::filesystem::temp_directory_path() / "vaultra_bench_preview";
    std::filesystem::create_directories(dir / "work");
    ui.SetQuiet(true);
    started.folders.resume_file = (dir / "#vaultra.ini").string();
    started.folders.work_dir = (dir / "work").string() + "/";
    started.folders.print_master_dir =
        Utf8ToCp932(std::string(VAULTRA_SOURCE_DIR) + "/Master/印刷/");
    started.folders.demo_mode = true;
    started.complete = true;
    w = std::make_unique<gui::MainWindow>(state, md, logic, ui, started);
    w->resize(1280, 768);
    w->show();
    w->OpenProject(std::string(VAULTRA_SOURCE_DIR) + "/samples/" + sample);
    w->SwitchTo(Page::kRcCheck);
  }
  ~Calculated() {
    w.reset();
    std::filesystem::remove_all(dir);
  }
  gui::PreviewWindow& Preview() {
    w->PageButton(Page::kPreview)->click();
    gui::PreviewWindow& p = *w->preview();
    p.resize(1000, 900);
    QApplication::processEvents();
    return p;
  }
  RecordingUi quiet;
  MasterData md;
  InputPageLogic logic;
  ProjectState state = DefaultProjectState();
  gui::QtUi ui;
  StartUpResult started;
  std::filesystem::path dir;
  std::unique_ptr<gui::MainWindow> w;
};

void BM_PreviewOpen(benchmark::State& st, const char* sample) {
  Calculated c(sample);
  int pages = 0;
  for (auto _ : st) pages = c.Preview().pages().Last() + 1;
  st.counters["pages"] = pages;
  st.SetLabel("report button: report built, first pages drawn");
}

void BM_PreviewWheelStep(benchmark::State& st, const char* sample) {
  Calculated c(sample);
  gui::PreviewWindow& p = c.Preview();
  p.ScrollTo(100);
  int k = 0;
  for (auto _ : st) {
    // Within the two pages drawn: no page is replayed.
    p.ScrollTo(100 + (++k % 10));
    p.page_area()->repaint();
  }
  st.SetLabel("one wheel step, pages cached");
}

void BM_PreviewNextPage(benchmark::State& st, const char* sample) {
  Calculated c(sample);
  gui::PreviewWindow& p = c.Preview();
  const int last = p.pages().Last();
  int page = 1;
  for (auto _ : st) {
    // One page on: the page below is replayed anew.
    page = page >= last - 1 ? 1 : page + 1;
    p.ScrollTo(page * 20);
    p.page_area()->repaint();
  }
  st.SetLabel("a page step, one page replayed");
}

BENCHMARK_CAPTURE(BM_PreviewOpen, stand, "stand_two_slabs.vt1")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PreviewOpen, box, "box_three_boxes.vt1")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PreviewOpen, mini_gate, "mini_gate.vt1")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PreviewOpen, box_water, "box_groundwater_stored.vt1")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PreviewWheelStep, mini_gate, "mini_gate.vt1")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PreviewNextPage, mini_gate, "mini_gate.vt1")->Unit(benchmark::kMillisecond);

}  // namespace
