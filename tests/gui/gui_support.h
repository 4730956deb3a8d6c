// What the window tests share: the one application object and the
// catalogue read from the source tree's master folder.
#pragma once

#include <QApplication>
#include <string>

#include "core/cp932.h"
#include "core/ui.h"
#include "inputs/master_data.h"

namespace vaultra::gui::test {

// The application object, created once for the test program.
inline QApplication& App() {
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

}  // namespace vaultra::gui::test
