// What the window tests share: the one application object, the
// catalogue read from the source tree's master folder, and the fixture
// that gives each test a window of its own.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/document/project_state.h"
#include "app/pages/page_logic_impl.h"
#include "core/cp932.h"
#include "core/ui.h"
#include "gui/main_window.h"
#include "gui/qt_ui.h"
#include "inputs/master_data.h"

namespace vaultra::gui::test {

// The application object, created once for the test program. The window's
// recent-files list goes to a configuration folder of this process's own, so
// tests running side by side never share it and never touch the user's.
inline QApplication& App() {
  static const bool config = [] {
    char dir[] = "/tmp/vaultra-gui-config-XXXXXX";
    return mkdtemp(dir) && setenv("XDG_CONFIG_HOME", dir, 1) == 0;
  }();
  (void)config;
  static int argc = 1;
  static char name[] = "test_gui";
  static char* argv[] = {name, nullptr};
  static QApplication* app = qApp ? nullptr : new QApplication(argc, argv);
  (void)app;
  return *static_cast<QApplication*>(QApplication::instance());
}

// The catalogue of the source tree (paths inside the program are cp932;
// the tests' literals are UTF-8).
inline const MasterData& Master() {
  static const MasterData md = [] {
    RecordingUi quiet;
    return LoadMasterData(Utf8ToCp932(std::string(VAULTRA_SOURCE_DIR) + "/Master/材料/"), quiet);
  }();
  return md;
}

// A window test's surroundings: a scratch folder of its own (resume file
// and working folder, named after the test), a complete start-up in demo
// mode and a quiet dialog layer.
struct WindowFixture : ::testing::Test {
  explicit WindowFixture(const char* prefix) : logic(Master()) {
    App();
    dir = std::filesystem::temp_directory_path() /
          (std::string("vaultra_") + prefix + "_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir / "work");
    started.folders.resume_file = (dir / "#vaultra.ini").string();
    started.folders.work_dir = (dir / "work").string() + "/";
    started.folders.demo_mode = true;
    started.complete = true;
    ui.SetQuiet(true);
  }
  ~WindowFixture() override { std::filesystem::remove_all(dir); }

  // A main window on a sample of the source tree (null: no project).
  std::unique_ptr<MainWindow> Window(const char* sample) {
    auto w = std::make_unique<MainWindow>(state, Master(), logic, ui, started);
    if (sample) w->OpenProject(std::string(VAULTRA_SOURCE_DIR) + "/samples/" + sample);
    return w;
  }

  std::filesystem::path dir;
  ProjectState state = DefaultProjectState();
  InputPageLogic logic;
  QtUi ui;
  StartUpResult started;
};

}  // namespace vaultra::gui::test
