// The part of the replay that needs Qt's application object.
// Their headers use <chrono>, which cannot be compiled with cp932 narrow
// literals; keep them out of render.h, which cp932 code includes.
#include <QGuiApplication>
#include <clocale>

#include "render/render.h"

namespace vaultra::render {

void EnsureGuiApplication() {
  if (QCoreApplication::instance()) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
      qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "vaultra";
  static char* argv[] = {name, nullptr};
  // Lives for the rest of the process, as the one application object does.
  static QGuiApplication* app = new QGuiApplication(argc, argv);
  (void)app;
  std::setlocale(LC_NUMERIC, "C");
}

}  // namespace vaultra::render
