#include "report/print_engine.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "core/cp932.h"
#include "core/number.h"

namespace vaultra {

namespace {

constexpr double kPi = 3.14159265358979323846;

int Trunc(double v) {
  return TruncToInt(v);
}

bool IsTwoByte(std::string_view s, std::size_t i) {
  return CharLengthAt(s, i) == 2;
}

}  // namespace

int TruncToInt(double v) {
  // A billion pixels is far off any page; the bound leaves room for the
  // sums and doublings of pixel snapping.
  if (!(v > -1e9)) return -1000000000;
  if (!(v < 1e9)) return 1000000000;
  return static_cast<int>(std::trunc(v));
}

void ReplaceText(std::string& s, std::string_view from, std::string_view to) {
  std::size_t pos = 0;
  while ((pos = FindText(s, from, pos)) != std::string::npos) {
    s.replace(pos, from.size(), to);
    pos += to.size();
  }
}

std::string FaceName(int face) {
  switch (face) {
    case 1:
      return "ＭＳ 明朝";
    case 2:
      return "ＭＳ Ｐゴシック";
    case 3:
      return "ＭＳ Ｐ明朝";
    case 4:
      return "メイリオ";
    default:
      return "ＭＳ ゴシック";
  }
}

std::uint32_t GreyOf(std::uint32_t c) {
  const std::uint32_t r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
  const std::uint32_t grey = (2 * r + 9 * g + 5 * b) >> 4;
  return grey * 0x010101u;
}

std::string FormatExponent(int digits, double value) {
  std::string s = Format("%*.*E", digits + 8, digits + 1, value);
  const std::size_t e = s.find('E');
  if (e == std::string::npos) return s;  // inf or nan
  const int exponent = std::atoi(s.c_str() + e + 1);
  return s.substr(0, e) + "×" + (exponent < 0 ? "$~" : "$^") + Format("%d", std::abs(exponent));
}

PrintEngine::PrintEngine() {
  SetCanvasDevice(nullptr, -1, 1800, 2700, true);
}

void PrintEngine::Notice(const std::string& t) {
  if (std::find(notices.begin(), notices.end(), t) == notices.end()) notices.push_back(t);
}

void PrintEngine::SetCanvasDevice(DrawTarget* canvas, double top, int width_px, int height_px,
                                  bool bitmap) {
  // Without a size the whole report page is assumed (there is no clip
  // rectangle to ask); a zero width never divides.
  if (width_px <= 0) width_px = 1800;
  if (height_px <= 0) height_px = 2700;
  dev_.canvas = canvas;
  dev_.kind = bitmap ? 2 : 1;
  dev_.width_px = width_px;
  dev_.height_px = height_px;
  dev_.resolution = std::max(width_px / 180.0, 0.1);
  dev_.left = 0;
  dev_.right = 180;
  dev_.top = top < 0 ? 5 : top;
  dev_.bottom = height_px / dev_.resolution;
  dev_.background = kBackgroundColour;
  dev_.window = WorldWindow{};
  dev_.saved_window = dev_.window;
  ClearLabelObstacles();
}

void PrintEngine::BeginReportPages(int width_px, int height_px, DrawTarget* canvas) {
  SetCanvasDevice(canvas, -1, width_px, height_px, true);
  signal_ = false;
  text.contents.clear();
  text.contents_pages = 0;
  text.contents_slots.clear();
  templates.letters.fill(false);
  ClearPageRecords();
  drawing = true;
  recording = true;
  EmitState();
}

void PrintEngine::EmitValue(Cmd cmd, int value) {
  PageCommand c;
  c.cmd = cmd;
  c.v[0] = value;
  Emit(std::move(c));
}

void PrintEngine::Emit(const PageCommand& c) {
  if (!drawing) return;
  if (capture_) return capture_->push_back(c);
  NoteObstacle(c);
  if (dev_.canvas) dev_.canvas->Execute(c);
  if (recording) records_.Append(c);
}

void PrintEngine::Emit(PageCommand&& c) {
  if (!drawing) return;
  if (capture_) return capture_->push_back(std::move(c));
  NoteObstacle(c);
  if (dev_.canvas) dev_.canvas->Execute(c);
  if (recording) records_.Append(std::move(c));
}

// A fresh page record starts with the whole drawing state, so every page
// replays on its own, in any order.
void PrintEngine::EmitState() {
  if (!drawing || !recording) return;
  auto put = [&](Cmd cmd, int v0, int v1 = 0, int v2 = 0, int v3 = 0) {
    PageCommand c;
    c.cmd = cmd;
    c.v[0] = v0, c.v[1] = v1, c.v[2] = v2, c.v[3] = v3;
    records_.Append(std::move(c));
  };
  put(Cmd::kSetFont, std::max(6, font_.height_px & ~1), std::max(4, font_.width_px & ~1),
      font_.escapement, font_.face);
  put(Cmd::kFontColor, static_cast<int>(dev_.font_colour));
  put(Cmd::kPenColor, static_cast<int>(dev_.pen_colour));
  put(Cmd::kPenWidth, dev_.pen_width_px);
  put(Cmd::kPenStyle, dev_.pen_style);
  put(Cmd::kBrushColor, static_cast<int>(dev_.brush_colour));
  put(Cmd::kBrushStyle, dev_.brush_style);
}

void PrintEngine::SetTextFont(double h, double p, double a, int face) {
  if (h < 0) h = -h / dev_.resolution + 0.01;
  if (!(p > 0)) p = h / 2;
  font_.height = h;
  font_.pitch = p;
  font_.angle = a;
  font_.face = face;
  font_.escapement = Trunc((a + 0.01) * 10);
  font_.width_px = std::max(4, Trunc((p + 0.01) * dev_.resolution));
  font_.height_px = std::max(6, Trunc((h + 0.01) * dev_.resolution));
  if (!drawing) return;
  PageCommand c;
  c.cmd = Cmd::kSetFont;
  c.v[0] = std::max(6, font_.height_px & ~1);
  c.v[1] = std::max(4, font_.width_px & ~1);
  c.v[2] = font_.escapement;
  c.v[3] = face;
  Emit(c);
  if (!signal_) dev_.font_colour = 0;
  PageCommand colour;
  colour.cmd = Cmd::kFontColor;
  colour.v[0] = static_cast<int>(dev_.font_colour);
  Emit(colour);
  SetBrushStyle(kBrushClear);
}

void PrintEngine::SetPenColor(std::uint32_t colour) {
  signal_ = false;
  dev_.pen_colour = dev_.kind == 2 ? GreyOf(colour) : colour;
  EmitValue(Cmd::kPenColor, static_cast<int>(dev_.pen_colour));
}

void PrintEngine::SetBrushColor(std::uint32_t colour) {
  dev_.brush_colour = (dev_.kind == 2 && colour != kBackgroundColour) ? GreyOf(colour) : colour;
  EmitValue(Cmd::kBrushColor, static_cast<int>(dev_.brush_colour));
}

void PrintEngine::SetFontColor(std::uint32_t colour) {
  signal_ = false;
  dev_.font_colour = dev_.kind == 2 ? 0 : colour;
  EmitValue(Cmd::kFontColor, static_cast<int>(dev_.font_colour));
}

void PrintEngine::SetSignalColor(std::uint32_t colour) {
  dev_.pen_colour = colour;
  EmitValue(Cmd::kPenColor, static_cast<int>(colour));
  dev_.font_colour = colour;
  EmitValue(Cmd::kFontColor, static_cast<int>(colour));
  signal_ = true;
}

void PrintEngine::SetPenWidth(double units) {
  dev_.pen_width_px = std::max(1, Trunc((units + 0.1) * dev_.kind));
  EmitValue(Cmd::kPenWidth, dev_.pen_width_px);
}

void PrintEngine::SetPenStyle(int style) {
  dev_.pen_style = style;
  EmitValue(Cmd::kPenStyle, style);
}

void PrintEngine::SetBrushStyle(int style) {
  dev_.brush_style = style;
  EmitValue(Cmd::kBrushStyle, style);
}

void PrintEngine::Glyph(double x, double y, std::string_view ch) {
  if (ch == " " || ch == "　") return;
  PageCommand c;
  c.cmd = Cmd::kGlyph;
  if (dev_.kind == 2) {
    c.v[0] = 2 * Trunc(x / 2 + 0.5) + 1;
    c.v[1] = 2 * Trunc(y / 2 + 0.5) + 1;
  } else {
    c.v[0] = Trunc(std::round(x));
    c.v[1] = Trunc(std::round(y));
  }
  c.text.assign(ch);
  Emit(std::move(c));
}

void PrintEngine::DrawGlyphs(double x0, double y0, double dx, double dy, std::string_view t,
                             bool literal) {
  const double res = dev_.resolution;
  const double P = font_.pitch * res;
  const double ox = PxX(x0), oy = PxY(y0);
  double ax = P, ay = 0, offx = dx * res, offy = dy * res;
  if (font_.escapement != 0) {
    const double th = -font_.escapement * 0.1 * kPi / 180.0;
    const double cs = std::cos(th), sn = std::sin(th);
    ax = P * cs;
    ay = P * sn;
    const double rx = offx * cs - offy * sn, ry = offx * sn + offy * cs;
    offx = rx;
    offy = ry;
  }
  dev_.pen_x = ox + t.size() * ax;
  dev_.pen_y = oy + t.size() * ay;
  if (!drawing) return;
  for (std::size_t k = 0; k < t.size();) {
    const double x = ox + k * ax + offx, y = oy + k * ay + offy;
    if (IsTwoByte(t, k)) {
      std::string_view ch = t.substr(k, 2);
      if (ch == "─" || ch == "━") {
        Glyph(x - P / 4, y, ch);
        Glyph(x + P / 4, y, ch);
      } else if (ch == "│" || ch == "┃") {
        Glyph(x, y - P / 3, ch);
        Glyph(x, y + P / 3, ch);
      } else {
        Glyph(x, y, ch);
      }
      k += 2;
    } else {
      if (literal || t[k] != '$') Glyph(x, y, t.substr(k, 1));
      k += 1;
    }
  }
}

void PrintEngine::DrawText(double x0, double y0, double dx, double dy, std::string_view text) {
  if (label_scopes_ > 0 && !placing_ && drawing) return PlaceLabel(x0, y0, dx, dy, text);
  DrawPlainText(x0, y0, dx, dy, text);
}

void PrintEngine::DrawPlainText(double x0, double y0, double dx, double dy, std::string_view text) {
  static constexpr std::string_view kTokens[] = {"/cm2", "(cm2", "mm2",  "/m2",  "/m3", "(mm2",
                                                 ")2",   "(mm3", ")3",   "・t2", "$^",  "$~",
                                                 "[m2",  "[m4",  "m/s2", "π2"};
  // The bytes a token starts with: every other position is passed at once.
  static const std::array<bool, 256> kStarts = [] {
    std::array<bool, 256> starts{};
    for (std::string_view t : kTokens) starts[static_cast<unsigned char>(t[0])] = true;
    return starts;
  }();
  std::string s(text);
  double off = dx;
  for (;;) {
    // The first token by position; at one position the earlier in the list.
    std::size_t best = std::string::npos;
    int which = -1;
    const std::string_view sv(s);
    for (std::size_t pos = 0; pos < sv.size() && which < 0; pos += CharLengthAt(sv, pos)) {
      if (!kStarts[static_cast<unsigned char>(sv[pos])]) continue;
      for (int i = 0; i < static_cast<int>(std::size(kTokens)); ++i) {
        if (sv.compare(pos, kTokens[i].size(), kTokens[i]) == 0) {
          best = pos;
          which = i;
          break;
        }
      }
    }
    if (which < 0) break;
    const std::string_view token = kTokens[which];
    const bool marker = token == "$^" || token == "$~";
    std::size_t last, exp_len = 1;
    if (marker) {
      s.replace(best, 2, "10");
      last = best + 2;
      if (last >= s.size()) break;  // a marker with nothing to raise
      exp_len = CharLengthAt(s, last);
    } else {
      last = best + token.size() - 1;
    }
    const std::string head = s.substr(0, last);
    std::string exponent = s.substr(last, exp_len);
    if (token == "$~") exponent = "-" + exponent;
    const std::string tail = s.substr(last + exp_len);
    DrawGlyphs(x0, y0, off, dy, head);
    off += head.size() * font_.pitch;
    const StFont saved = font_;
    SetTextFont(font_.height * 3 / 4, font_.pitch, font_.angle, font_.face);
    DrawGlyphs(x0, y0, off, dy, exponent);
    off += exponent.size() * font_.pitch;
    RestoreFont(saved);
    s = tail;
  }
  DrawGlyphs(x0, y0, off, dy, s);
}

void PrintEngine::TextTopLeft(double x, double y, std::string_view t) {
  DrawText(x, y, 0, font_.height / 8, t);
}
void PrintEngine::TextTopRight(double x, double y, std::string_view t) {
  DrawText(x, y, -(t.size() * font_.pitch), font_.height / 8, t);
}
void PrintEngine::TextTopCentre(double x, double y, std::string_view t) {
  DrawText(x, y, -(t.size() * font_.pitch) / 2, font_.height / 8, t);
}
void PrintEngine::TextMiddleLeft(double x, double y, std::string_view t) {
  DrawText(x, y, 0, -font_.height / 2, t);
}
void PrintEngine::TextMiddleRight(double x, double y, std::string_view t) {
  DrawText(x, y, -(t.size() * font_.pitch), -font_.height / 2, t);
}
void PrintEngine::TextBottomLeft(double x, double y, std::string_view t) {
  DrawText(x, y, 0, -font_.height, t);
}
void PrintEngine::TextBottomRight(double x, double y, std::string_view t) {
  DrawText(x, y, -(t.size() * font_.pitch), -font_.height, t);
}
void PrintEngine::TextBottomCentre(double x, double y, std::string_view t) {
  DrawText(x, y, -(t.size() * font_.pitch) / 2, -font_.height, t);
}

void PrintEngine::AlignedText(TextAlign align, double x, double y, std::string_view t) {
  switch (align) {
    case TextAlign::kTopLeft:
      return TextTopLeft(x, y, t);
    case TextAlign::kTopRight:
      return TextTopRight(x, y, t);
    case TextAlign::kTopCentre:
      return TextTopCentre(x, y, t);
    case TextAlign::kMiddleLeft:
      return TextMiddleLeft(x, y, t);
    case TextAlign::kMiddleRight:
      return TextMiddleRight(x, y, t);
    case TextAlign::kBottomLeft:
      return TextBottomLeft(x, y, t);
    case TextAlign::kBottomRight:
      return TextBottomRight(x, y, t);
    case TextAlign::kBottomCentre:
      return TextBottomCentre(x, y, t);
  }
}

void PrintEngine::StartPage(int n, bool stamp) {
  page_number = n;
  if (!drawing) return;
  const StFont saved = font_;
  SetTextFont(3.4, 2.4, 0, 0);
  if (n > 0)
    TextBottomCentre((dev_.right - dev_.left) / 2, dev_.bottom - dev_.top, Format("%d", n));
  SetPenWidth(1);
  SetPenColor(0);
  if (stamp) {
    SetTextFont(48, 32, 60, 0);
    dev_.font_colour = 0xD0D0D0;
    PageCommand c;
    c.cmd = Cmd::kFontColor;
    c.v[0] = 0xD0D0D0;
    Emit(c);
    DrawText(20, 200, 0, 0, "SAMPLE");
    // The stamp lies under the page by design: labels are placed as if it
    // were not there.
    ClearLabelObstacles();
  }
  SetFontColor(0);
  RestoreFont(saved);
}

void PrintEngine::NewPage() {
  if (recording) {
    const int s = NextPageSlot();
    if (s >= 0) StartPage(s - kFirstBodySlot, internal_solver);
  }
  SetBodyFont();
}

// The page number's text ends at bottom - top (265 mm on the report page)
// and is 3.4 mm tall. A block of this height below y ends with a line whose
// top is at y + height and whose text (3.6 mm) must end above the number.
bool PrintEngine::FitsOnPage(double y, double height) const {
  constexpr double kNumberHeight = 3.4, kLineText = 3.6;
  return y + height + kLineText < dev_.bottom - dev_.top - kNumberHeight;
}

bool PrintEngine::SelectPageSlot(int n) {
  ClearLabelObstacles();
  if (!records_.Select(n)) {
    Notice(Format("印刷ページ数が上限（%d ページ）を超えました。以降のページは記録されません。",
                  kLastPageSlot - kFirstBodySlot));
    return false;
  }
  EmitState();
  return true;
}

int PrintEngine::NextPageSlot() {
  const int cur = records_.current();
  if (cur < 0) return -1;  // already beyond the last slot
  return SelectPageSlot(cur + 1) ? cur + 1 : -1;
}

void PrintEngine::ClearPageRecords() {
  records_.Clear();
}

int PrintEngine::SnapLine(double v) const {
  double r = std::round(v);
  int i = Trunc(r);
  if (dev_.kind != 2) return i;
  return dev_.pen_width_px <= 2 ? (i | 1) : (i & ~1);
}

void PrintEngine::MoveToPx(double x, double y) {
  dev_.pen_x = x;
  dev_.pen_y = y;
  PageCommand c;
  c.cmd = Cmd::kMoveTo;
  c.v[0] = SnapLine(x);
  c.v[1] = SnapLine(y);
  Emit(c);
}

void PrintEngine::LineToPx(double x, double y) {
  dev_.pen_x = x;
  dev_.pen_y = y;
  PageCommand c;
  c.cmd = Cmd::kLineTo;
  c.v[0] = SnapLine(x);
  c.v[1] = SnapLine(y);
  Emit(c);
}

void PrintEngine::LineMm(double x1, double y1, double x2, double y2) {
  MoveToPx(PxX(x1), PxY(y1));
  LineToPx(PxX(x2), PxY(y2));
}

static PageCommand Box(Cmd cmd, int x1, int y1, int x2, int y2) {
  PageCommand c;
  c.cmd = cmd;
  c.v[0] = x1, c.v[1] = y1, c.v[2] = x2, c.v[3] = y2;
  return c;
}

void PrintEngine::EllipsePx(int x1, int y1, int x2, int y2) {
  Emit(Box(Cmd::kEllipse, x1, y1, x2, y2));
}
void PrintEngine::FillRectPx(int x1, int y1, int x2, int y2) {
  Emit(Box(Cmd::kFillRect, x1, y1, x2, y2));
}

void PrintEngine::PolygonPx(const std::vector<int>& points) {
  PageCommand c;
  c.cmd = Cmd::kPolygon;
  c.points = points;
  Emit(c);
}

void PrintEngine::PolylinePx(const std::vector<int>& points) {
  PageCommand c;
  c.cmd = Cmd::kPolyline;
  c.points = points;
  Emit(c);
}

void PrintEngine::ImagePx(int x1, int y1, int x2, int y2,
                          std::shared_ptr<const RasterImage> image) {
  PageCommand c = Box(Cmd::kImage, x1, y1, x2, y2);
  c.image = std::move(image);
  Emit(c);
}

// --- world window ---

void PrintEngine::SetWindowExact(double a, double b, double c, double d, double e, double f,
                                 double g, double h) {
  auto page = [](double v) { return std::fabs(v) < 1e-9 ? 1e-9 : v; };
  auto world = [](double v) { return std::fabs(v) < 1e-9 ? 1.0 : v; };
  WorldWindow& w = dev_.window;
  w.a = a, w.b = b, w.c = c, w.d = d, w.e = e, w.f = f;
  w.sx = page(c - a) / world(g - e);
  w.sy = page(d - b) / world(h - f);
}

void PrintEngine::SetWindow(double a, double b, double c, double d, double e, double f, double g,
                            double h) {
  auto nz = [](double v) { return std::fabs(v) < 1e-9 ? 1e-9 : v; };
  const double w = nz(c - a), H = nz(d - b), W = nz(g - e), V = nz(h - f);
  if (std::fabs(W / w) < std::fabs(V / H)) {
    const double n = std::fabs(W * H / V), o = (std::fabs(w) - n) / 2, s = w >= 0 ? 1 : -1;
    a += s * o;
    c -= s * o;
  } else {
    const double n = std::fabs(V * w / W), o = (std::fabs(H) - n) / 2, s = H >= 0 ? 1 : -1;
    b += s * o;
    d -= s * o;
  }
  SetWindowExact(a, b, c, d, e, f, g, h);
  dev_.saved_window = dev_.window;
}

double PrintEngine::WorldX(double x) const {
  return (x - dev_.window.a) / SafeDivisor(dev_.window.sx) + dev_.window.e;
}
double PrintEngine::WorldY(double y) const {
  return (y - dev_.window.b) / SafeDivisor(dev_.window.sy) + dev_.window.f;
}

void PrintEngine::ZoomWindow(double px, double py, double k) {
  if (k == 0) {
    dev_.window = dev_.saved_window;
    return;
  }
  const double X = WorldX(px / dev_.resolution - dev_.left),
               Y = WorldY(py / dev_.resolution - dev_.top);
  WorldWindow& w = dev_.window;
  w.e = X + (w.e - X) / k;
  w.f = Y + (w.f - Y) / k;
  w.sx *= k;
  w.sy *= k;
}

void PrintEngine::PanWindow(double dx, double dy) {
  WorldWindow& w = dev_.window;
  w.e -= dx / SafeDivisor(dev_.resolution * w.sx);
  w.f -= dy / SafeDivisor(dev_.resolution * w.sy);
}

void PrintEngine::MoveToWorld(double X, double Y) {
  MoveToPx(PxX(PageX(X)), PxY(PageY(Y)));
}
void PrintEngine::LineToWorld(double X, double Y) {
  LineToPx(PxX(PageX(X)), PxY(PageY(Y)));
}
void PrintEngine::LineWorld(double X1, double Y1, double X2, double Y2) {
  MoveToWorld(X1, Y1);
  LineToWorld(X2, Y2);
}

void PrintEngine::LinePage(double x1, double y1, double x2, double y2, std::uint32_t colour) {
  SetPenStyle(kPenSolid);
  if (colour != 1) SetPenColor(colour);
  LineMm(x1, y1, x2, y2);
}

void PrintEngine::RectangleWorld(double X1, double Y1, double X2, double Y2) {
  MoveToWorld(X1, Y1);
  LineToWorld(X2, Y1);
  LineToWorld(X2, Y2);
  LineToWorld(X1, Y2);
  LineToWorld(X1, Y1);
}

void PrintEngine::EllipseWorld(double X, double Y, double radius, double ratio) {
  const int cx = Trunc(PxX(PageX(X))), cy = Trunc(PxY(PageY(Y)));
  const int r = std::abs(Trunc(radius * dev_.window.sx * dev_.resolution));
  const int rv = std::abs(Trunc(r * ratio));
  EllipsePx(cx - r, cy - rv, cx + r, cy + rv);
}

void PrintEngine::PolylineWorld(const std::vector<double>& xy) {
  std::vector<int> pts;
  for (std::size_t i = 0; i + 1 < xy.size(); i += 2) {
    pts.push_back(Trunc(PxX(PageX(xy[i]))));
    pts.push_back(Trunc(PxY(PageY(xy[i + 1]))));
  }
  PolylinePx(pts);
}

void PrintEngine::PolygonWorld(const std::vector<double>& xy, int style, std::uint32_t first_fill,
                               std::uint32_t brush, std::uint32_t pen) {
  if (!drawing) return;
  std::vector<int> pts;
  for (std::size_t i = 0; i + 1 < xy.size() && pts.size() < 2 * 256; i += 2) {
    pts.push_back(Trunc(PxX(PageX(xy[i]))));
    pts.push_back(Trunc(PxY(PageY(xy[i + 1]))));
  }
  SetPenColor(pen);
  if (style != kBrushSolid && first_fill != kNoFirstFill) {
    SetBrushColor(first_fill);
    SetBrushStyle(kBrushSolid);
    PolygonPx(pts);
  }
  SetBrushColor(brush);
  SetBrushStyle(style);
  PolygonPx(pts);
  SetBrushStyle(kBrushClear);
}

void PrintEngine::FillRectWorld(double X1, double Y1, double X2, double Y2) {
  const int x1 = Trunc(PxX(PageX(X1))), y1 = Trunc(PxY(PageY(Y1)));
  const int x2 = Trunc(PxX(PageX(X2))), y2 = Trunc(PxY(PageY(Y2)));
  PolygonPx({x1, y1, x2, y1, x2, y2, x1, y2});
}

void PrintEngine::HatchRectWorld(double X1, double Y1, double X2, double Y2, double spacing,
                                 double angle) {
  const double x1 = PxX(PageX(X1)), y1 = PxY(PageY(Y1)), x2 = PxX(PageX(X2)), y2 = PxY(PageY(Y2));
  HatchPolygonPx({x1, y1, x2, y1, x2, y2, x1, y2},
                 std::fabs(spacing * dev_.window.sx * dev_.resolution), angle);
}

void PrintEngine::HatchPolygonPx(const std::vector<double>& xy, double p, double alpha) {
  const std::size_t n = xy.size() / 2;
  if (n < 3 || !drawing) return;
  // A spacing below one pixel would never advance; far too many lines
  // would never end in useful time either.
  if (!(p >= 1)) p = 1;
  const double x0 = xy[0], y0 = xy[1];
  const double c = std::cos(-alpha), s = std::sin(-alpha);
  std::vector<double> rx(n), ry(n);
  double lo = 1e300, hi = -1e300;
  for (std::size_t i = 0; i < n; ++i) {
    const double dx = xy[2 * i] - x0, dy = xy[2 * i + 1] - y0;
    rx[i] = x0 + dx * c - dy * s;
    ry[i] = y0 + dx * s + dy * c;
    lo = std::min(lo, ry[i]);
    hi = std::max(hi, ry[i]);
  }
  if (!std::isfinite(lo) || !std::isfinite(hi)) return;
  if ((hi - lo) / p > 20000) p = (hi - lo) / 20000;
  const double cb = std::cos(alpha), sb = std::sin(alpha);
  auto back = [&](double x, double y, double& ox, double& oy) {
    const double dx = x - x0, dy = y - y0;
    ox = x0 + dx * cb - dy * sb;
    oy = y0 + dx * sb + dy * cb;
  };
  std::vector<double> xs;
  for (double y = lo + p; y < hi - 1e-6; y += p) {  // rotation leaves a rounding error at the edge
    xs.clear();
    for (std::size_t i = 0; i < n; ++i) {
      const std::size_t j = (i + 1) % n;
      const double ya = ry[i], yb = ry[j];
      // Half-open edges: a line through a vertex crosses once, not twice.
      if (!((ya <= y && y < yb) || (yb <= y && y < ya))) continue;
      xs.push_back(rx[i] + (y - ya) * (rx[j] - rx[i]) / (yb - ya));
    }
    std::sort(xs.begin(), xs.end());
    for (std::size_t k = 0; k + 1 < xs.size(); k += 2) {
      double ax, ay, bx, by;
      back(xs[k], y, ax, ay);
      back(xs[k + 1], y, bx, by);
      MoveToPx(ax, ay);
      LineToPx(bx, by);
    }
  }
}

void PrintEngine::SquareMarker(double X, double Y, double size) {
  const int cx = Trunc(PxX(PageX(X))), cy = Trunc(PxY(PageY(Y)));
  const int h = Trunc(dev_.kind * size / 2);
  PolylinePx({cx - h, cy - h, cx + h, cy - h, cx + h, cy + h, cx - h, cy + h, cx - h, cy - h});
}

void PrintEngine::TriangleMarker(double X, double Y, int side, std::uint32_t colour) {
  const int cx = Trunc(PxX(PageX(X))), cy = Trunc(PxY(PageY(Y)));
  const int base = cy + Trunc(0.87 * side);
  SetPenColor(colour);
  SetBrushColor(colour);
  SetBrushStyle(kBrushSolid);
  PolygonPx({cx, cy, cx - side / 2, base, cx + side / 2, base});
  SetBrushStyle(kBrushClear);
}

void PrintEngine::FillSquareScreen(double X, double Y, int side, std::uint32_t fill,
                                   std::uint32_t frame) {
  if (dev_.kind != 1) return;
  const int cx = Trunc(PxX(PageX(X))), cy = Trunc(PxY(PageY(Y))), h = side / 2;
  SetPenColor(frame);
  SetBrushColor(fill);
  SetBrushStyle(kBrushSolid);
  PolygonPx({cx - h, cy - h, cx + h, cy - h, cx + h, cy + h, cx - h, cy + h});
  SetBrushStyle(kBrushClear);
}

void PrintEngine::ClearCanvas(std::uint32_t colour) {
  ClearLabelObstacles();
  SetBrushColor(colour);
  SetBrushStyle(kBrushSolid);
  FillRectPx(0, 0, dev_.width_px, dev_.height_px);
  SetBrushStyle(kBrushClear);
}

double PrintEngine::TextWidthWorld(std::string_view t) const {
  const TextMetrics& m = metrics ? *metrics : fixed_metrics_;
  return m.TextWidthPx(t, font_) / dev_.resolution / std::fabs(SafeDivisor(dev_.window.sx));
}

double PrintEngine::TextHeightWorld(std::string_view) const {
  const TextMetrics& m = metrics ? *metrics : fixed_metrics_;
  return m.TextHeightPx(font_) / dev_.resolution / std::fabs(SafeDivisor(dev_.window.sy));
}

}  // namespace vaultra
