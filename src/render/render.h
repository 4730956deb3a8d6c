// Replay of page records onto Qt paint devices: a page image (PNG) and the
// printer (the PDF document is written without Qt, report/pdf_file.h).
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPointF>
#include <QString>
#include <QTransform>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "report/page_record.h"

class QPrinter;
class QPagedPaintDevice;

namespace vaultra::render {

// Creates the Qt application object when there is none yet (on the
// off-screen platform when no display is available); fonts and painting
// need it. The C numeric locale is kept.
void EnsureGuiApplication();
// Registers the IPA fonts once (application fonts, else fontconfig's own).
void RegisterReportFonts();
// The family that stands for a report face code.
QString FamilyForFace(int face);
// 0x00BBGGRR to a Qt colour.
QColor ToQColor(std::uint32_t bbggrr);
// A cp932 text as a Qt string.
QString FromCp932(const std::string& cp932);

// Executes page commands on a painter, in device pixels. Glyphs are laid
// into their cells: the font is scaled so that its ascent plus descent is
// the cell height and a half-width column the cell width, with the cell's
// top-left corner at the given point, rotated by the escapement.
class PainterTarget : public DrawTarget {
 public:
  explicit PainterTarget(QPainter& painter);
  ~PainterTarget() override;
  void Execute(const PageCommand& c) override;
  void Clear(std::uint32_t colour) override;
  // Draws the glyphs collected so far (consecutive glyphs of one font are
  // drawn as one run). Call after the last command of a page.
  void Flush();

 private:
  struct Face;  // a face's raw font and glyph indexes
  struct FontCell {
    Face* face = nullptr;
    double scale_x = 1, scale_y = 1;
  };
  void ApplyPen();
  void AddGlyph(int x, int y, const std::string& ch);
  Face& FaceFor(int face);

  QPainter& painter_;
  QTransform base_;
  QColor pen_colour_{Qt::black};
  int pen_width_ = 1;
  int pen_style_ = kPenSolid;
  QColor brush_colour_{Qt::white};
  int brush_style_ = kBrushClear;
  QColor font_colour_{Qt::black};
  FontCell cell_;
  int escapement_ = 0;
  bool text_pen_ = false;
  QPoint position_;
  std::unordered_map<int, std::unique_ptr<Face>> faces_;
  // The run being collected: its transform without the device's own.
  QTransform run_transform_, run_inverse_;
  QList<quint32> run_glyphs_;
  QList<QPointF> run_positions_;
};

// The slot replayed onto an image of the given size (bitmap scaling from
// the recorded size: a report page, or a screen canvas of its own size).
QImage RenderPage(const PageRecords& records, int slot, int width_px, int height_px,
                  std::uint32_t background = 0xFFFFFF, int recorded_width = 1800,
                  int recorded_height = 2700);
// Paths are cp932. Errors are UTF-8.
bool WritePagePng(const PageRecords& records, int slot, const std::string& path, int width_px,
                  int height_px, std::string* error, int recorded_width = 1800,
                  int recorded_height = 2700);
// Saves an image as PNG (path cp932, error UTF-8).
bool SaveImagePng(const QImage& image, const std::string& path, std::string* error);
// Replays the slots onto the painter's paged device (PDF writer, printer),
// one slot a page.
void ReplayOnPaper(QPagedPaintDevice& device, QPainter& painter, const PageRecords& records,
                   const std::vector<int>& page_slots, const ReplayGeometry& geometry);
// Replays the slots onto a printer that has been set up (dialog, job name).
bool PrintPages(const PageRecords& records, const std::vector<int>& page_slots, QPrinter& printer,
                std::string* error);

}  // namespace vaultra::render
