// The parts of the replay that need Qt's application object and PDF writer.
// Their headers use <chrono>, which cannot be compiled with cp932 narrow
// literals; keep them out of render.h, which cp932 code includes.
#include <QBuffer>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <clocale>

#include "core/cp932.h"
#include "core/fileio.h"
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

bool WritePdf(const PageRecords& records, const std::vector<int>& page_slots,
              const std::string& path, int dpi, std::string* error) {
  EnsureGuiApplication();
  // The document is made in memory and then put in place under its name, so
  // a failed or interrupted write never leaves half a report behind.
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QPdfWriter writer(&buffer);
  writer.setResolution(dpi);
  writer.setPageLayout(
      QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
  writer.setCreator(QStringLiteral("Vaultra"));
  QPainter painter;
  if (!painter.begin(&writer)) {
    if (error) *error = "cannot write " + Cp932ToUtf8(path);
    return false;
  }
  ReplayGeometry g;
  g.printer = true;
  g.dpi_x = g.dpi_y = dpi;
  ReplayOnPaper(writer, painter, records, page_slots, g);
  if (!painter.end()) {
    if (error) *error = "cannot finish " + Cp932ToUtf8(path);
    return false;
  }
  buffer.close();
  std::string werr;
  if (!WriteFileAtomic(path, std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                       &werr)) {
    if (error) *error = "cannot write " + Cp932ToUtf8(path) + ": " + Cp932ToUtf8(werr);
    return false;
  }
  return true;
}

}  // namespace vaultra::render
