// The print engine: one drawing state (device, font, pen and brush, page
// slot, switches, world window) in page millimetres, drawing text glyph by
// glyph on a fixed pitch. Every drawing call goes to the current canvas (if
// any) and, while recording, into the record of the current page slot.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "report/page_record.h"

namespace vaultra {

constexpr std::uint32_t kBackgroundColour = 0xD0E0E0;
constexpr std::uint32_t kNoFirstFill = 0xFF000000;

// Report layout constants (mm).
constexpr double kTextHeight = 3.6;
constexpr double kStepF1 = 6.4;
constexpr double kStepLine = 5.76;
constexpr double kStepHalf = 2.88;
constexpr double kStepQuarter = 1.44;
constexpr double kStepF4 = 2.52;
constexpr double kReportPageWidthPx = 1800;
constexpr double kReportPageHeightPx = 2700;

struct StFont {
  double height = 3.6;  // mm
  double pitch = 1.8;   // mm per single-byte column
  double angle = 0;     // degrees, counter-clockwise
  int height_px = 36;
  int width_px = 18;
  int escapement = 0;  // tenths of a degree
  int face = 0;
};

// Face names as the report asks for them (cp932).
std::string FaceName(int face);

// Width of a text in the current font, for the few places that need the
// device's own measure. The default counts bytes on the fixed pitch.
class TextMetrics {
 public:
  virtual ~TextMetrics() = default;
  virtual double TextWidthPx(std::string_view cp932, const StFont& font) const = 0;
  virtual double TextHeightPx(const StFont& font) const = 0;
};
class FixedPitchMetrics : public TextMetrics {
 public:
  double TextWidthPx(std::string_view cp932, const StFont& font) const override {
    return static_cast<double>(cp932.size()) * font.width_px;
  }
  double TextHeightPx(const StFont& font) const override { return font.height_px; }
};

// The aligned text variants, by the corner or edge the point gives.
enum class TextAlign {
  kTopLeft,
  kTopRight,
  kTopCentre,
  kMiddleLeft,
  kMiddleRight,
  kBottomLeft,
  kBottomRight,
  kBottomCentre
};

struct WorldWindow {
  double a = 0, b = 0, c = 0, d = 0;  // page rectangle (mm)
  double e = 0, f = 0;                // world point at (a, b)
  double sx = 1, sy = 1;              // page mm per world unit
};

// Report lines: heading counters, contents list, placeholder fields.
struct ContentsEntry {
  int page = 0;
  double y = 0;
  double x = 0;
  int face = 0;
  std::string text;
};
struct StField {
  double origin_x = 0, origin_y = 0;
  double width = 0;
  double start = 0;
  double dy = 0;
  double left_limit = 0;
  int length = 0;
  int decimals = 0;
  StFont font;
  std::string label;
};
constexpr int kMaxContentsEntries = 100000;
constexpr int kSequentialFields = 1000;
constexpr int kFieldTableSize = 1200;
constexpr std::size_t kMaxLabelLength = 15;
constexpr int kGridColumns = 258;

struct ReportTextState {
  int level1 = 0, level2 = 0, level3 = 0, item = 0;
  int sub_item = 0;  // "@)": the numbered lines below an item, from 1 under each
  std::vector<ContentsEntry> contents;
  int contents_pages = 0;
  std::vector<int> contents_slots;  // the slot of each contents page, in order
  std::vector<StField> fields = std::vector<StField>(kFieldTableSize);
  int sequential_count = 0;
  int named_count = kSequentialFields;
  int cursor = 0;
  std::array<double, kGridColumns> column_y{};
  std::array<int, kGridColumns> column_weight{};
};

// Report templates: condition letters and the loaded template file.
struct TemplateLabel {
  std::string text;
  int index = 0;
};
struct TemplateState {
  std::array<bool, 32> letters{};
  std::vector<std::string> lines;
  std::vector<TemplateLabel> labels;
  std::string folder;  // with a trailing "/"
  bool loaded = false;
  std::vector<std::string> reported_missing;
};

// Drawing files: character size classes 1..15 (index 0 unused, stays 0).
struct DrawingFileState {
  std::array<double, 16> height{};
  std::array<double, 16> width{};
};

// The device, pen and window part of the state, as SaveDrawingState copies it.
struct DrawingState {
  DrawTarget* canvas = nullptr;
  int kind = 2;
  double left = 0, right = 180, top = 5, bottom = 270;
  double resolution = 10;
  int width_px = 1800, height_px = 2700;
  double pen_x = 0, pen_y = 0;  // device pixels
  std::uint32_t background = kBackgroundColour;
  std::uint32_t pen_colour = 0;
  int pen_width_px = 1;
  int pen_style = kPenSolid;
  std::uint32_t brush_colour = 0xFFFFFF;
  int brush_style = kBrushClear;
  std::uint32_t font_colour = 0;
  double arrow_head = 0;  // arrow head length in page mm; 0 draws no heads
  WorldWindow window;
  WorldWindow saved_window;
};

class PrintEngine {
 public:
  PrintEngine();

  // --- device and page ---
  void SetCanvasDevice(DrawTarget* canvas, double top, int width_px, int height_px, bool bitmap);
  // The report is recorded; canvas may be null (records only) or a bitmap
  // target that also receives every call.
  void BeginReportPages(int width_px, int height_px, DrawTarget* canvas = nullptr);
  void SetTextFont(double height, double pitch, double angle, int face);
  StFont SaveFont() const { return font_; }
  void RestoreFont(const StFont& f) { SetTextFont(f.height, f.pitch, f.angle, f.face); }
  void SetBodyFont() { SetTextFont(3.6, 1.8, 0, 1); }
  void SetPenColor(std::uint32_t colour);
  void SetBrushColor(std::uint32_t colour);
  void SetFontColor(std::uint32_t colour);
  // Pen and font in a signal colour (the red of a failed verdict) taken as
  // given: report pages draw every other colour in grey levels, which would
  // print the mark black. The font keeps it through font changes (a
  // subscript inside the text) until a pen or font colour is set.
  void SetSignalColor(std::uint32_t colour);
  void SetPenWidth(double units);
  void SetPenStyle(int style);
  void SetBrushStyle(int style);
  void SetArrowHead(double mm) { dev_.arrow_head = mm; }

  // Text with unit superscripts; the top-left corner lies at the origin
  // moved by the offset along the text direction.
  void DrawText(double x0, double y0, double dx, double dy, std::string_view text);
  // Glyphs only, no superscript search. The "$" marker takes its column
  // unseen unless literal is set (a user's text, drawn as typed).
  void DrawGlyphs(double x0, double y0, double dx, double dy, std::string_view text,
                  bool literal = false);
  void TextTopLeft(double x, double y, std::string_view t);
  void TextTopRight(double x, double y, std::string_view t);
  void TextTopCentre(double x, double y, std::string_view t);
  void TextMiddleLeft(double x, double y, std::string_view t);
  void TextMiddleRight(double x, double y, std::string_view t);
  void TextBottomLeft(double x, double y, std::string_view t);
  void TextBottomRight(double x, double y, std::string_view t);
  void TextBottomCentre(double x, double y, std::string_view t);
  void AlignedText(TextAlign align, double x, double y, std::string_view t);

  void StartPage(int n, bool stamp);
  void NewPage();
  bool FitsOnPage(double y, double height) const;
  // False (and a notice) for a slot outside 0..kLastPageSlot; nothing is recorded then
  // until a valid slot is selected.
  bool SelectPageSlot(int n);
  int NextPageSlot();
  void ClearPageRecords();

  // Page-mm line with the current pen (move to the first point, line to the second).
  void LineMm(double x1, double y1, double x2, double y2);
  void MoveToPx(double x, double y);
  void LineToPx(double x, double y);
  void EllipsePx(int x1, int y1, int x2, int y2);
  void FillRectPx(int x1, int y1, int x2, int y2);
  void PolygonPx(const std::vector<int>& points);
  void PolylinePx(const std::vector<int>& points);
  void ImagePx(int x1, int y1, int x2, int y2, std::shared_ptr<const RasterImage> image);

  // --- world window ---
  void SetWindow(double a, double b, double c, double d, double e, double f, double g, double h);
  void SetWindowExact(double a, double b, double c, double d, double e, double f, double g,
                      double h);
  void ZoomWindow(double px, double py, double k);
  void PanWindow(double dx, double dy);
  DrawingState SaveDrawingState() const { return dev_; }
  void RestoreDrawingState(const DrawingState& s) { dev_ = s; }
  double PageX(double X) const { return (X - dev_.window.e) * dev_.window.sx + dev_.window.a; }
  double PageY(double Y) const { return (Y - dev_.window.f) * dev_.window.sy + dev_.window.b; }
  double WorldX(double x) const;
  double WorldY(double y) const;
  double PxX(double x) const { return (x + dev_.left) * dev_.resolution; }
  double PxY(double y) const { return (y + dev_.top) * dev_.resolution; }
  void MoveToWorld(double X, double Y);
  void LineToWorld(double X, double Y);
  void LineWorld(double X1, double Y1, double X2, double Y2);
  void LinePage(double x1, double y1, double x2, double y2, std::uint32_t colour);
  void RectangleWorld(double X1, double Y1, double X2, double Y2);
  void EllipseWorld(double X, double Y, double radius, double ratio);
  void PolylineWorld(const std::vector<double>& xy);
  void PolygonWorld(const std::vector<double>& xy, int style, std::uint32_t first_fill,
                    std::uint32_t brush, std::uint32_t pen);
  void FillRectWorld(double X1, double Y1, double X2, double Y2);
  void HatchRectWorld(double X1, double Y1, double X2, double Y2, double spacing, double angle);
  // Hatches a pixel polygon with lines p px apart (at least 1) at angle alpha.
  void HatchPolygonPx(const std::vector<double>& xy, double p, double alpha);
  void SquareMarker(double X, double Y, double size);
  void TriangleMarker(double X, double Y, int side_px, std::uint32_t colour);
  void FillSquareScreen(double X, double Y, int side_px, std::uint32_t fill, std::uint32_t frame);
  void ClearCanvas(std::uint32_t colour);
  // An aligned text at the page point of a world point.
  void TextWorld(TextAlign align, double X, double Y, std::string_view text) {
    AlignedText(align, PageX(X), PageY(Y), text);
  }
  double TextWidthWorld(std::string_view text) const;
  double TextHeightWorld(std::string_view text) const;

  // --- state ---
  const StFont& font() const { return font_; }
  const DrawingState& device() const { return dev_; }
  const WorldWindow& window() const { return dev_.window; }
  PageRecords& records() { return records_; }
  const PageRecords& records() const { return records_; }
  bool drawing = true;
  bool recording = false;
  bool internal_solver = false;  // stamps body pages with "SAMPLE"
  int page_number = 0;
  const TextMetrics* metrics = nullptr;  // fixed pitch when null
  ReportTextState text;
  TemplateState templates;
  DrawingFileState drawing_files;
  // Notices for the user (cp932), each once: page overflow, missing files.
  std::vector<std::string> notices;
  void Notice(const std::string& text);

  // --- figure labels ---
  // While a label scope is open every text drawn is a figure label: it is
  // moved to the first free place around where it was asked for, so that it
  // overlaps no text already on the page (or canvas) and no obstacle line;
  // moved further than its own height it gets a leader line back to where
  // it belonged; with no free place near, a label taller than 1.8 mm is
  // shrunk towards 1.8 mm, and only then does it go where it overlaps
  // least. The order of the candidate places is fixed, so the same figure
  // always gets the same labels.
  void BeginLabels() { ++label_scopes_; }
  void EndLabels() { label_scopes_ = std::max(0, label_scopes_ - 1); }
  // Lines drawn while on are obstacles for the labels (members of a frame,
  // dimension lines).
  void SetObstacleLines(bool on) { obstacle_lines_ = on; }
  // Forgets the texts and lines of the page; a new page slot and a cleared
  // canvas do it too.
  void ClearLabelObstacles();

  void Emit(const PageCommand& c);
  void Emit(PageCommand&& c);  // the same, the command moved into the record
  void EmitValue(Cmd cmd, int value);
  int SnapLine(double v) const;

 private:
  struct PxBox {
    int x0, y0, x1, y1;
  };
  void Glyph(double x, double y, std::string_view ch);
  void EmitState();
  void DrawPlainText(double x0, double y0, double dx, double dy, std::string_view text);
  void PlaceLabel(double x0, double y0, double dx, double dy, std::string_view text);
  void NoteObstacle(const PageCommand& c);
  int label_scopes_ = 0;
  bool placing_ = false;
  bool obstacle_lines_ = false;
  std::vector<PageCommand>* capture_ = nullptr;
  std::vector<PxBox> label_boxes_;  // texts on the page, one box a run of glyphs
  std::vector<PxBox> label_lines_;  // obstacle lines: x0, y0 to x1, y1
  int line_x_ = 0, line_y_ = 0;     // the last point moved or drawn to
  DrawingState dev_;
  StFont font_;
  PageRecords records_;
  FixedPitchMetrics fixed_metrics_;
  bool signal_ = false;  // the font colour is a signal colour
};

// A label scope for as long as it lives (PrintEngine::BeginLabels).
class LabelScope {
 public:
  explicit LabelScope(PrintEngine& pe) : pe_(pe) { pe_.BeginLabels(); }
  ~LabelScope() { pe_.EndLabels(); }
  LabelScope(const LabelScope&) = delete;
  LabelScope& operator=(const LabelScope&) = delete;

 private:
  PrintEngine& pe_;
};

// v truncated toward zero and clamped to +-1e9 (NaN gives the low end).
int TruncToInt(double v);
// Replaces every occurrence of from that starts on a character boundary.
void ReplaceText(std::string& s, std::string_view from, std::string_view to);

// Exponent notation with the "×10" marker: mantissa + "×" + "$^" or "$~" + digits.
std::string FormatExponent(int digits, double value);
// Grey level of a colour on the report page: g * 0x010101, g = (2R + 9G + 5B) >> 4.
std::uint32_t GreyOf(std::uint32_t colour);

}  // namespace vaultra
