// The window as a person feels it: switching between input pages (each
// switch stores the page left, leaves it and fills the next one, drawing
// its picture), on the off-screen platform.
#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <cstdlib>
#include <filesystem>

#include "inputs/master_data.h"
#include "app/pages/page_logic_impl.h"
#include "core/cp932.h"
#include "core/ui.h"
#include "gui/main_window.h"
#include "gui/qt_ui.h"

namespace {

using namespace vaultra;

void BM_InputPageSwitch(benchmark::State& st, const char* sample) {
  static int argc = 1;
  static char name[] = "bench_window";
  static char* argv[] = {name, nullptr};
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static QApplication app(argc, argv);
  RecordingUi quiet;
  const MasterData md =
      LoadMasterData(Utf8ToCp932(std::string(VAULTRA_SOURCE_DIR) + "/Master/材料/"), quiet);
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "vaultra_bench_window";
  std::filesystem::create_directories(dir / "work");
  ProjectState state = DefaultProjectState();
  InputPageLogic logic(md);
  gui::QtUi ui;
  ui.SetQuiet(true);
  StartUpResult started;
  started.folders.resume_file = (dir / "#vaultra.ini").string();
  started.folders.work_dir = (dir / "work").string() + "/";
  started.complete = true;
  gui::MainWindow w(state, md, logic, ui, started);
  w.resize(1280, 768);
  w.show();
  w.OpenProject(std::string(VAULTRA_SOURCE_DIR) + "/samples/" + sample);
  const Page pages[] = {Page::kModel,  Page::kGround, Page::kDimensions,
                        Page::kPoints, Page::kModel,  Page::kMaterial};
  std::size_t i = 0;
  for (auto _ : st) {
    w.PageButton(pages[i++ % std::size(pages)])->click();
    // The page is painted as it would be on screen.
    w.grab();
  }
  st.SetLabel("one switch between input pages, painted");
  std::filesystem::remove_all(dir);
}
BENCHMARK_CAPTURE(BM_InputPageSwitch, stand, "stand_two_slabs.vt1")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_InputPageSwitch, box, "box_three_boxes.vt1")->Unit(benchmark::kMillisecond);

}  // namespace
