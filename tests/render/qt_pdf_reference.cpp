// Qt's PDF writer pulls in <chrono>, which does not compile with cp932
// narrow literals: this file is built with UTF-8 ones.
#include "render/qt_pdf_reference.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

#include "render/render.h"

namespace vaultra::test {

std::string QtReferencePdf(const PageRecords& records, const std::vector<int>& page_slots) {
  render::EnsureGuiApplication();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QPdfWriter writer(&buffer);
  writer.setResolution(300);
  writer.setPageLayout(
      QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
  QPainter painter(&writer);
  ReplayGeometry g;
  g.printer = true;
  g.dpi_x = g.dpi_y = 300;
  render::ReplayOnPaper(writer, painter, records, page_slots, g);
  painter.end();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace vaultra::test
