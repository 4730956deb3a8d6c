#include "render/render.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPagedPaintDevice>
#include <QPolygon>
#include <QPrinter>
#include <QRawFont>
#include <clocale>
#include <cstdlib>

#include "core/cp932.h"
#include "report/pdf_file.h"

namespace vaultra::render {

namespace {

constexpr int kReferencePixels = 1000;

QString FsName(const std::string& cp932_path) {
  return FromCp932(cp932_path);
}

Qt::BrushStyle QtBrush(int style) {
  switch (style) {
    case kBrushSolid:
      return Qt::SolidPattern;
    case kBrushHorizontal:
      return Qt::HorPattern;
    case kBrushVertical:
      return Qt::VerPattern;
    case kBrushFDiagonal:
      return Qt::FDiagPattern;
    case kBrushBDiagonal:
      return Qt::BDiagPattern;
    case kBrushCross:
      return Qt::CrossPattern;
    case kBrushDiagCross:
      return Qt::DiagCrossPattern;
    default:
      return Qt::NoBrush;
  }
}

Qt::PenStyle QtPen(int style) {
  switch (style) {
    case kPenDash:
      return Qt::DashLine;
    case kPenDot:
      return Qt::DotLine;
    case kPenDashDot:
      return Qt::DashDotLine;
    case kPenDashDotDot:
      return Qt::DashDotDotLine;
    case kPenClear:
      return Qt::NoPen;
    default:
      return Qt::SolidLine;
  }
}

QPolygon ToPolygon(const std::vector<int>& pts) {
  QPolygon poly;
  for (std::size_t i = 0; i + 1 < pts.size(); i += 2) poly << QPoint(pts[i], pts[i + 1]);
  return poly;
}

QRect BoxOf(const int* v) {
  return QRect(QPoint(v[0], v[1]), QPoint(v[2] - 1, v[3] - 1)).normalized();
}

}  // namespace

void RegisterReportFonts() {
  static const bool done = [] {
    EnsureGuiApplication();
    for (const std::string& f : ReportFontFiles())
      QFontDatabase::addApplicationFont(QString::fromStdString(f));
    return true;
  }();
  (void)done;
}

QString FamilyForFace(int face) {
  return QString::fromLatin1(ReportFaceFor(face).family);
}

QColor ToQColor(std::uint32_t c) {
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

QString FromCp932(const std::string& cp932) {
  return QString::fromStdU16String(Cp932ToUtf16(cp932));
}

struct PainterTarget::Face {
  QRawFont raw;
  double ascent = 0, height = 1;  // at the reference size
  std::unordered_map<std::string, quint32> glyphs;
};

PainterTarget::PainterTarget(QPainter& painter) : painter_(painter), base_(painter.transform()) {
  RegisterReportFonts();
  painter_.setBackgroundMode(Qt::TransparentMode);
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setRenderHint(QPainter::TextAntialiasing, true);
  PageCommand font;
  font.cmd = Cmd::kSetFont;
  font.v[0] = 36, font.v[1] = 18;
  Execute(font);
  ApplyPen();
  painter_.setBrush(Qt::NoBrush);
}

PainterTarget::~PainterTarget() {
  Flush();
}

void PainterTarget::ApplyPen() {
  QPen pen(pen_colour_, pen_width_, QtPen(pen_style_), Qt::SquareCap, Qt::MiterJoin);
  painter_.setPen(pen);
  text_pen_ = false;
}

PainterTarget::Face& PainterTarget::FaceFor(int code) {
  auto it = faces_.find(code);
  if (it != faces_.end()) return *it->second;
  Face& f = *(faces_[code] = std::make_unique<Face>());
  QFont font(FamilyForFace(code));
  font.setPixelSize(kReferencePixels);
  font.setWeight((code & 0x10) ? QFont::Bold : QFont::Normal);
  font.setItalic((code & 0x20) != 0);
  font.setStyleStrategy(QFont::PreferOutline);
  f.raw = QRawFont::fromFont(font);
  f.ascent = f.raw.ascent();
  f.height = std::max(1.0, f.raw.ascent() + f.raw.descent());
  return f;
}

void PainterTarget::Flush() {
  if (run_glyphs_.isEmpty() || !cell_.face) return;
  if (!text_pen_) {
    painter_.setPen(font_colour_);
    text_pen_ = true;
  }
  QGlyphRun run;
  run.setRawFont(cell_.face->raw);
  run.setGlyphIndexes(run_glyphs_);
  run.setPositions(run_positions_);
  painter_.setTransform(run_transform_ * base_);
  painter_.drawGlyphRun(QPointF(0, 0), run);
  painter_.setTransform(base_);
  run_glyphs_.clear();
  run_positions_.clear();
}

void PainterTarget::AddGlyph(int x, int y, const std::string& ch) {
  Face& face = *cell_.face;
  auto it = face.glyphs.find(ch);
  if (it == face.glyphs.end()) {
    const QList<quint32> ids = face.raw.glyphIndexesForString(FromCp932(ch));
    it = face.glyphs.emplace(ch, ids.isEmpty() ? 0u : ids.front()).first;
  }
  if (run_glyphs_.isEmpty()) {
    QTransform t;
    if (escapement_ != 0) t.rotate(-escapement_ / 10.0);
    t.scale(cell_.scale_x, cell_.scale_y);
    run_transform_ = t;
    run_inverse_ = t.inverted();
  }
  // The cell's top-left corner in the run's own (turned, scaled) frame,
  // moved down to the baseline.
  const QPointF p = run_inverse_.map(QPointF(x, y));
  run_glyphs_.append(it->second);
  run_positions_.append(QPointF(p.x(), p.y() + face.ascent));
}

void PainterTarget::Execute(const PageCommand& c) {
  const int* v = c.v;
  if (c.cmd == Cmd::kGlyph) {
    AddGlyph(v[0], v[1], c.text);
    return;
  }
  Flush();
  switch (c.cmd) {
    case Cmd::kSetFont: {
      cell_.face = &FaceFor(v[3]);
      cell_.scale_y = std::max(1, v[0]) / cell_.face->height;
      // A half-width column of the report faces is half an em.
      cell_.scale_x = std::max(1, v[1]) / (kReferencePixels / 2.0);
      escapement_ = v[2];
      break;
    }
    case Cmd::kFontColor:
      font_colour_ = ToQColor(static_cast<std::uint32_t>(v[0]));
      text_pen_ = false;
      break;
    case Cmd::kGlyph:
      break;
    case Cmd::kPenColor:
      pen_colour_ = ToQColor(static_cast<std::uint32_t>(v[0]));
      ApplyPen();
      break;
    case Cmd::kPenWidth:
      pen_width_ = std::max(1, v[0]);
      ApplyPen();
      break;
    case Cmd::kPenStyle:
      pen_style_ = v[0];
      ApplyPen();
      break;
    case Cmd::kBrushColor:
      brush_colour_ = ToQColor(static_cast<std::uint32_t>(v[0]));
      painter_.setBrush(QBrush(brush_colour_, QtBrush(brush_style_)));
      break;
    case Cmd::kBrushStyle:
      brush_style_ = v[0];
      painter_.setBrush(QBrush(brush_colour_, QtBrush(brush_style_)));
      break;
    case Cmd::kMoveTo:
      position_ = QPoint(v[0], v[1]);
      break;
    case Cmd::kLineTo: {
      if (text_pen_) ApplyPen();
      const QPoint to(v[0], v[1]);
      painter_.drawLine(position_, to);
      position_ = to;
      break;
    }
    case Cmd::kEllipse:
      if (text_pen_) ApplyPen();
      painter_.drawEllipse(BoxOf(v));
      break;
    case Cmd::kFillRect:
      if (brush_style_ != kBrushClear)
        painter_.fillRect(BoxOf(v), QBrush(brush_colour_, QtBrush(brush_style_)));
      break;
    case Cmd::kPolyline:
      if (text_pen_) ApplyPen();
      painter_.drawPolyline(ToPolygon(c.points));
      break;
    case Cmd::kPolygon:
      if (text_pen_) ApplyPen();
      painter_.drawPolygon(ToPolygon(c.points));
      break;
    case Cmd::kImage:
      if (c.image && c.image->width > 0 && c.image->height > 0) {
        const QImage img(reinterpret_cast<const uchar*>(c.image->pixels.data()), c.image->width,
                         c.image->height, c.image->width * 4, QImage::Format_RGB32);
        painter_.drawImage(BoxOf(v), img);
      }
      break;
  }
}

void PainterTarget::Clear(std::uint32_t colour) {
  painter_.save();
  painter_.resetTransform();
  const QRect all = painter_.viewport();
  painter_.fillRect(all, ToQColor(colour));
  painter_.restore();
}

QImage RenderPage(const PageRecords& records, int slot, int width_px, int height_px,
                  std::uint32_t background, int recorded_width, int recorded_height) {
  EnsureGuiApplication();
  QImage image(std::max(1, width_px), std::max(1, height_px), QImage::Format_RGB32);
  image.fill(ToQColor(background));
  QPainter painter(&image);
  PainterTarget target(painter);
  ReplayGeometry g;
  g.width_px = image.width();
  g.height_px = image.height();
  ReplayPage(records, slot, target, g, recorded_width, recorded_height, background);
  target.Flush();
  painter.end();
  return image;
}

bool SaveImagePng(const QImage& image, const std::string& path, std::string* error) {
  if (!image.save(FsName(path), "PNG")) {
    if (error) *error = "cannot write " + Cp932ToUtf8(path);
    return false;
  }
  return true;
}

bool WritePagePng(const PageRecords& records, int slot, const std::string& path, int width_px,
                  int height_px, std::string* error, int recorded_width, int recorded_height) {
  return SaveImagePng(
      RenderPage(records, slot, width_px, height_px, 0xFFFFFF, recorded_width, recorded_height),
      path, error);
}

void ReplayOnPaper(QPagedPaintDevice& device, QPainter& painter, const PageRecords& records,
                   const std::vector<int>& page_slots, const ReplayGeometry& geometry) {
  PainterTarget target(painter);
  bool first = true;
  for (int slot : page_slots) {
    if (!first) device.newPage();
    first = false;
    ReplayPage(records, slot, target, geometry, 1800, 2700, 0xFFFFFF);
    target.Flush();
  }
}

bool PrintPages(const PageRecords& records, const std::vector<int>& page_slots, QPrinter& printer,
                std::string* error) {
  QPainter painter;
  if (!painter.begin(&printer)) {
    if (error) *error = "the printer cannot be opened";
    return false;
  }
  ReplayGeometry g;
  g.printer = true;
  g.dpi_x = printer.logicalDpiX();
  g.dpi_y = printer.logicalDpiY();
  const QRectF paper = printer.paperRect(QPrinter::Millimeter),
               page = printer.pageRect(QPrinter::Millimeter);
  g.offset_mm_x = page.left() - paper.left();
  g.offset_mm_y = page.top() - paper.top();
  ReplayOnPaper(printer, painter, records, page_slots, g);
  painter.end();
  return true;
}

}  // namespace vaultra::render
