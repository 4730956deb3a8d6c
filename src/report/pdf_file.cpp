#include "report/pdf_file.h"

#include <zlib.h>

#include <array>
#include <charconv>
#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <unordered_map>

#include "core/cp932.h"
#include "core/fileio.h"
#include "report/truetype_font.h"

namespace vaultra {

namespace {

constexpr ReportFace kFaces[] = {
    {"IPAGothic", "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf"},
    {"IPAMincho", "/usr/share/fonts/opentype/ipafont-mincho/ipam.ttf"},
    {"IPAPGothic", "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf"},
    {"IPAPMincho", "/usr/share/fonts/opentype/ipafont-mincho/ipamp.ttf"},
};

// A4 in points, as the page size tables round it.
constexpr double kPageWidthPt = 595, kPageHeightPt = 842;
constexpr double kPi = 3.14159265358979323846;

// Fonts are read once a process: a report run writes several documents.
const TrueTypeFont* CachedFont(const std::string& path, std::string* error) {
  static std::mutex mutex;
  static std::map<std::string, std::unique_ptr<TrueTypeFont>> fonts;
  std::lock_guard<std::mutex> lock(mutex);
  auto it = fonts.find(path);
  if (it != fonts.end()) return it->second.get();
  std::unique_ptr<TrueTypeFont> font = TrueTypeFont::Load(path, error);
  if (!font) return nullptr;
  return (fonts[path] = std::move(font)).get();
}

void Num(std::string& out, double v, int decimals) {
  if (!std::isfinite(v)) v = 0;
  const double scale = decimals == 0 ? 1 : decimals == 2 ? 100 : decimals == 4 ? 1e4 : 1e6;
  const double r = std::round(v * scale) / scale;
  char buf[40];
  auto res =
      std::to_chars(buf, buf + sizeof buf, r == 0 ? 0.0 : r, std::chars_format::fixed, decimals);
  char* end = res.ptr;
  if (decimals > 0) {
    while (end[-1] == '0') --end;
    if (end[-1] == '.') --end;
  }
  out.append(buf, end);
}

void Int(std::string& out, long long v) {
  char buf[24];
  auto res = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, res.ptr);
}

void Hex4(std::string& out, unsigned v) {
  static const char kDigits[] = "0123456789ABCDEF";
  for (int s = 12; s >= 0; s -= 4) out.push_back(kDigits[(v >> s) & 0xF]);
}

// "r g b op": a colour 0x00BBGGRR with its operator.
void Rgb(std::string& out, std::uint32_t bbggrr, const char* op) {
  for (int shift = 0; shift <= 16; shift += 8) {
    Num(out, ((bbggrr >> shift) & 0xFF) / 255.0, 4);
    out += ' ';
  }
  out += op;
  out += '\n';
}

std::string Deflate(const std::string& data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::string out(size, '\0');
  // The fastest level: the page streams are text that compresses well at
  // any level, and the document is written while the user waits.
  if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                reinterpret_cast<const Bytef*>(data.data()), static_cast<uLong>(data.size()),
                Z_BEST_SPEED) != Z_OK)
    return std::string();
  out.resize(size);
  return out;
}

// One embedded font file and what the document uses of it.
struct FontUse {
  const TrueTypeFont* font = nullptr;
  int index = 0;                                    // /F<index>
  std::vector<std::int32_t> glyph_of_code;          // cp932 code -> glyph, -1 not looked up
  std::map<std::uint16_t, std::u16string> unicode;  // glyph -> text, for copying out
};

// A Qt-style affine transform: x' = a x + c y + e, y' = b x + d y + f.
struct Affine {
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
};

// The drawing commands of the pages as PDF content streams.
class PdfTarget : public DrawTarget {
 public:
  PdfTarget(std::map<std::string, FontUse>& fonts, std::string* error)
      : fonts_(fonts), error_(error) {
    PageCommand font;
    font.cmd = Cmd::kSetFont;
    font.v[0] = 36, font.v[1] = 18;
    Execute(font);
  }

  void BeginPage(double px_to_pt) {
    out_.clear();
    Num(out_, px_to_pt, 6);
    out_ += " 0 0 ";
    Num(out_, -px_to_pt, 6);
    out_ += " 0 ";
    Num(out_, kPageHeightPt, 2);
    out_ += " cm 2 J 0 j 2 M\n";
    // The graphics state starts afresh on every page.
    shown_stroke_ = shown_fill_ = 0;
    shown_width_ = 1;
    shown_dash_ = kPenSolid;
    shown_pattern_ = -1;
  }
  std::string EndPage() {
    FlushText();
    FlushPath();
    return std::move(out_);
  }
  bool failed() const { return failed_; }
  const std::vector<std::shared_ptr<const RasterImage>>& images() const { return images_; }
  const std::set<int>& patterns() const { return patterns_; }

  void Execute(const PageCommand& c) override {
    if (c.cmd == Cmd::kGlyph) {
      FlushPath();
      AddGlyph(c.v[0], c.v[1], c.text);
      return;
    }
    FlushText();
    if (c.cmd != Cmd::kLineTo) FlushPath();
    const int* v = c.v;
    switch (c.cmd) {
      case Cmd::kSetFont:
        SetFont(v);
        break;
      case Cmd::kFontColor:
        font_colour_ = static_cast<std::uint32_t>(v[0]);
        break;
      case Cmd::kGlyph:
        break;
      case Cmd::kPenColor:
        pen_colour_ = static_cast<std::uint32_t>(v[0]);
        break;
      case Cmd::kPenWidth:
        pen_width_ = std::max(1, v[0]);
        break;
      case Cmd::kPenStyle:
        pen_style_ = v[0];
        break;
      case Cmd::kBrushColor:
        brush_colour_ = static_cast<std::uint32_t>(v[0]);
        break;
      case Cmd::kBrushStyle:
        brush_style_ = v[0];
        break;
      case Cmd::kMoveTo:
        pos_x_ = v[0], pos_y_ = v[1];
        break;
      case Cmd::kLineTo:
        LineTo(v[0], v[1]);
        break;
      case Cmd::kEllipse:
        Ellipse(v);
        break;
      case Cmd::kFillRect:
        FillRect(v);
        break;
      case Cmd::kPolyline:
      case Cmd::kPolygon:
        Poly(c.points, c.cmd == Cmd::kPolygon);
        break;
      case Cmd::kImage:
        Image(c);
        break;
    }
  }

 private:
  struct Box {
    double x, y, w, h;
  };
  // The box a painter gives a rectangle from corner v0,v1 to v2,v3 (exclusive).
  static Box BoxOf(const int* v) {
    const int x0 = std::min(v[0], v[2] - 1), x1 = std::max(v[0], v[2] - 1);
    const int y0 = std::min(v[1], v[3] - 1), y1 = std::max(v[1], v[3] - 1);
    return Box{static_cast<double>(x0), static_cast<double>(y0), x1 - x0 + 1.0, y1 - y0 + 1.0};
  }

  void SetFont(const int* v) {
    const ReportFace& face = ReportFaceFor(v[3]);
    auto it = fonts_.find(face.file);
    if (it == fonts_.end()) {
      const TrueTypeFont* font = CachedFont(face.file, error_);
      if (!font) {
        failed_ = true;
        font_ = nullptr;
        return;
      }
      FontUse use;
      use.font = font;
      use.index = static_cast<int>(fonts_.size());
      use.glyph_of_code.assign(65536, -1);
      it = fonts_.emplace(face.file, std::move(use)).first;
    }
    font_ = &it->second;
    const TrueTypeFont& f = *font_->font;
    ascent_ = f.ascender() * 1000.0 / f.units_per_em();
    const double height = std::max(1.0, (f.ascender() + f.descender()) * 1000.0 / f.units_per_em());
    scale_y_ = std::max(1, v[0]) / height;
    // A half-width column of the report faces is half an em.
    scale_x_ = std::max(1, v[1]) / 500.0;
    escapement_ = v[2];
    // The faces have no bold or italic cut: bold is drawn with a stroked
    // outline, italic slanted.
    bold_ = (v[3] & 0x10) != 0;
    italic_ = (v[3] & 0x20) != 0;
    cell_height_ = std::max(1, v[0]);
  }

  std::uint16_t GlyphOf(const std::string& ch) {
    unsigned code = static_cast<unsigned char>(ch.empty() ? 0 : ch[0]);
    if (ch.size() > 1) code = (code << 8) | static_cast<unsigned char>(ch[1]);
    std::int32_t& slot = font_->glyph_of_code[code & 0xFFFF];
    if (slot < 0) {
      const std::u16string text = Cp932ToUtf16(ch);
      const char32_t u = text.empty() ? 0 : text[0];
      slot = font_->font->GlyphFor(u);
      if (slot != 0 && !font_->unicode.count(static_cast<std::uint16_t>(slot)))
        font_->unicode[static_cast<std::uint16_t>(slot)] = text;
    }
    return static_cast<std::uint16_t>(slot);
  }

  void AddGlyph(int x, int y, const std::string& ch) {
    if (!font_) return;
    const std::uint16_t glyph = GlyphOf(ch);
    if (!in_text_) {
      // The run's frame: scaled, then turned by the escapement.
      double cs = 1, sn = 0;
      const int turn = ((-escapement_ % 3600) + 3600) % 3600;
      if (turn % 900 == 0) {
        const int q = turn / 900;
        cs = q == 0 ? 1 : q == 2 ? -1 : 0;
        sn = q == 1 ? 1 : q == 3 ? -1 : 0;
      } else {
        cs = std::cos(turn / 10.0 * kPi / 180.0);
        sn = std::sin(turn / 10.0 * kPi / 180.0);
      }
      run_ = Affine{cs * scale_x_, sn * scale_x_, -sn * scale_y_, cs * scale_y_, 0, 0};
    }
    // The cell's top-left corner in the run's frame, down to the baseline.
    const double det = run_.a * run_.d - run_.b * run_.c;
    if (std::fabs(det) < 1e-12) return;
    const double u = (run_.d * x - run_.c * y) / det;
    const double w = (-run_.b * x + run_.a * y) / det + ascent_;
    if (!in_text_) {
      if (shown_fill_ != font_colour_ + 1) {
        Rgb(out_, font_colour_, "rg");
        shown_fill_ = font_colour_ + 1;
      }
      out_ += "BT /F";
      Int(out_, font_->index);
      out_ += " 1000 Tf ";
      if (bold_) {
        if (shown_stroke_ != font_colour_ + 1) {
          Rgb(out_, font_colour_, "RG");
          shown_stroke_ = font_colour_ + 1;
        }
        Num(out_, std::max(1.0, cell_height_ * 0.03), 2);
        out_ += " w 2 Tr ";
        shown_width_ = -1;
      }
      // Text space has y up; the frame has y down.
      const Affine& t = run_;
      const double shear = italic_ ? 0.2 : 0;
      const double m[6] = {
          t.a, t.b, shear * t.a - t.c, shear * t.b - t.d, u * t.a + w * t.c, u * t.b + w * t.d};
      for (int k = 0; k < 6; ++k) {
        Num(out_, m[k], k < 4 ? 6 : 2);
        out_ += ' ';
      }
      out_ += "Tm [<";
      in_text_ = true;
      line_u_ = u, line_w_ = w;
      pen_u_ = u;
    } else if (std::fabs(w - line_w_) > 1e-6) {
      // Another baseline: a new line, placed from the start of the last.
      out_ += ">] TJ ";
      Num(out_, u - line_u_, 2);
      out_ += ' ';
      Num(out_, line_w_ - w, 2);
      out_ += " Td [<";
      line_u_ = u, line_w_ = w;
      pen_u_ = u;
    } else {
      // Along the line: the gap from where the last glyph's advance ends,
      // in thousandths of the font size (the font size is 1000 units).
      const double n = std::round((pen_u_ - u) * 100) / 100;
      if (n != 0) {
        out_ += '>';
        Num(out_, n, 2);
        out_ += '<';
      }
      pen_u_ -= n;
    }
    Hex4(out_, glyph);
    pen_u_ += font_->font->Advance1000(glyph);
  }

  void FlushText() {
    if (!in_text_) return;
    out_ += bold_ ? ">] TJ 0 Tr ET\n" : ">] TJ ET\n";
    in_text_ = false;
  }

  // Pen state shown before a stroke; false when the pen draws nothing.
  bool StrokeReady() {
    if (pen_style_ == kPenClear) return false;
    if (shown_stroke_ != pen_colour_ + 1) {
      Rgb(out_, pen_colour_, "RG");
      shown_stroke_ = pen_colour_ + 1;
    }
    if (shown_width_ != pen_width_) {
      Int(out_, pen_width_);
      out_ += " w\n";
      shown_width_ = pen_width_;
      shown_dash_ = -1;
    }
    if (shown_dash_ != pen_style_) {
      // Dash and gap lengths in pen widths, as the printer path draws them.
      static const std::map<int, std::vector<double>> kDashes = {
          {kPenDash, {4, 2}},
          {kPenDot, {1, 2}},
          {kPenDashDot, {4, 2, 1, 2}},
          {kPenDashDotDot, {4, 2, 1, 2, 1, 2}}};
      out_ += '[';
      auto it = kDashes.find(pen_style_);
      if (it != kDashes.end()) {
        for (std::size_t k = 0; k < it->second.size(); ++k) {
          Num(out_, it->second[k] * pen_width_, 4);
          out_ += ' ';
        }
      }
      out_ += "] 0 d\n";
      shown_dash_ = pen_style_;
    }
    return true;
  }

  // Fill state shown before a fill; false when the brush fills nothing.
  bool FillReady() {
    if (brush_style_ == kBrushClear) return false;
    if (brush_style_ == kBrushSolid) {
      if (shown_fill_ != brush_colour_ + 1 || shown_pattern_ >= 0) {
        Rgb(out_, brush_colour_, "rg");
        shown_fill_ = brush_colour_ + 1;
        shown_pattern_ = -1;
      }
      return true;
    }
    out_ += "/CsP cs ";
    const std::string op = "/P" + std::to_string(brush_style_) + " scn";
    Rgb(out_, brush_colour_, op.c_str());
    patterns_.insert(brush_style_);
    shown_pattern_ = brush_style_;
    shown_fill_ = 0;
    return true;
  }

  void LineTo(int x, int y) {
    if (pen_style_ == kPenClear) {
      pos_x_ = x, pos_y_ = y;
      return;
    }
    if (!path_open_ || path_x_ != pos_x_ || path_y_ != pos_y_) {
      if (!path_open_) StrokeReady();
      Int(path_, pos_x_);
      path_ += ' ';
      Int(path_, pos_y_);
      path_ += " m ";
    }
    Int(path_, x);
    path_ += ' ';
    Int(path_, y);
    path_ += " l\n";
    path_open_ = true;
    pos_x_ = path_x_ = x;
    pos_y_ = path_y_ = y;
  }

  void FlushPath() {
    if (!path_open_) return;
    out_ += path_;
    out_ += "S\n";
    path_.clear();
    path_open_ = false;
  }

  // Paints the path in out_ with the brush and the pen.
  void Paint(bool even_odd) {
    const bool fill = FillReady();
    const bool stroke = StrokeReady();
    if (fill && stroke)
      out_ += even_odd ? "B*\n" : "B\n";
    else if (fill)
      out_ += even_odd ? "f*\n" : "f\n";
    else if (stroke)
      out_ += "S\n";
    else
      out_ += "n\n";
  }

  void Ellipse(const int* v) {
    const Box b = BoxOf(v);
    const double rx = b.w / 2, ry = b.h / 2, cx = b.x + rx, cy = b.y + ry;
    const double k = 0.5522847498;
    const double pts[] = {cx + rx, cy,      cx + rx,     cy + k * ry, cx + k * rx, cy + ry,
                          cx,      cy + ry, cx - k * rx, cy + ry,     cx - rx,     cy + k * ry,
                          cx - rx, cy,      cx - rx,     cy - k * ry, cx - k * rx, cy - ry,
                          cx,      cy - ry, cx + k * rx, cy - ry,     cx + rx,     cy - k * ry,
                          cx + rx, cy};
    std::string path;
    Num(path, pts[0], 2);
    path += ' ';
    Num(path, pts[1], 2);
    path += " m\n";
    for (int seg = 0; seg < 4; ++seg) {
      for (int p = 0; p < 3; ++p) {
        Num(path, pts[2 + seg * 6 + p * 2], 2);
        path += ' ';
        Num(path, pts[3 + seg * 6 + p * 2], 2);
        path += ' ';
      }
      path += "c\n";
    }
    path += "h\n";
    // State first: colour operators may not stand inside a path.
    const bool f = FillReady(), s = StrokeReady();
    if (!f && !s) return;
    out_ += path;
    out_ += f && s ? "B\n" : f ? "f\n" : "S\n";
  }

  void FillRect(const int* v) {
    if (!FillReady()) return;
    const Box b = BoxOf(v);
    Num(out_, b.x, 2);
    out_ += ' ';
    Num(out_, b.y, 2);
    out_ += ' ';
    Num(out_, b.w, 2);
    out_ += ' ';
    Num(out_, b.h, 2);
    out_ += " re f\n";
  }

  void Poly(const std::vector<int>& pts, bool closed) {
    if (pts.size() < 4) return;
    const bool f = closed && FillReady(), s = StrokeReady();
    if (!f && !s) return;
    for (std::size_t i = 0; i + 1 < pts.size(); i += 2) {
      Int(out_, pts[i]);
      out_ += ' ';
      Int(out_, pts[i + 1]);
      out_ += i == 0 ? " m\n" : " l\n";
    }
    if (closed) out_ += "h ";
    out_ += f && s ? "B*\n" : f ? "f*\n" : "S\n";
  }

  void Image(const PageCommand& c) {
    if (!c.image || c.image->width <= 0 || c.image->height <= 0) return;
    std::size_t k = 0;
    while (k < images_.size() && images_[k] != c.image) ++k;
    if (k == images_.size()) images_.push_back(c.image);
    const Box b = BoxOf(c.v);
    out_ += "q ";
    Num(out_, b.w, 2);
    out_ += " 0 0 ";
    Num(out_, -b.h, 2);
    out_ += ' ';
    Num(out_, b.x, 2);
    out_ += ' ';
    Num(out_, b.y + b.h, 2);
    out_ += " cm /Im";
    Int(out_, static_cast<long long>(k));
    out_ += " Do Q\n";
  }

  std::map<std::string, FontUse>& fonts_;
  std::string* error_;
  bool failed_ = false;
  std::string out_;
  // Font and cell.
  FontUse* font_ = nullptr;
  double scale_x_ = 1, scale_y_ = 1, ascent_ = 880;
  int escapement_ = 0, cell_height_ = 1;
  bool bold_ = false, italic_ = false;
  // The text run being written.
  bool in_text_ = false;
  Affine run_;
  double line_u_ = 0, line_w_ = 0, pen_u_ = 0;
  // Pen, brush and font colour as the commands set them...
  std::uint32_t pen_colour_ = 0, brush_colour_ = 0xFFFFFF, font_colour_ = 0;
  int pen_width_ = 1, pen_style_ = kPenSolid, brush_style_ = kBrushClear;
  // ... and as the page's graphics state holds them (colour + 1; 0 none yet).
  std::uint32_t shown_stroke_ = 0, shown_fill_ = 0;
  int shown_width_ = 1, shown_dash_ = kPenSolid, shown_pattern_ = -1;
  // Lines drawn one after another are stroked as one path.
  std::string path_;
  bool path_open_ = false;
  int pos_x_ = 0, pos_y_ = 0, path_x_ = 0, path_y_ = 0;
  std::vector<std::shared_ptr<const RasterImage>> images_;
  std::set<int> patterns_;
};

// Numbered objects, written in order, with their offsets for the index.
class PdfBuilder {
 public:
  // A new object number; the object may be written later, in any order.
  int NewId() { return ++count_; }
  void Object(int id, const std::string& body) {
    Begin(id);
    out_ += body;
    out_ += "\nendobj\n";
  }
  void Stream(int id, const std::string& dict, const std::string& data, bool compress = true) {
    Begin(id);
    const std::string packed = compress ? Deflate(data) : std::string();
    const std::string& body = compress && !packed.empty() ? packed : data;
    out_ += "<<";
    out_ += dict;
    if (compress && !packed.empty()) out_ += " /Filter /FlateDecode";
    out_ += " /Length ";
    Int(out_, static_cast<long long>(body.size()));
    out_ += ">>\nstream\n";
    out_ += body;
    out_ += "\nendstream\nendobj\n";
  }
  std::string Finish(int root, int info) {
    const std::size_t xref = out_.size();
    const int count = count_;
    by_id_.resize(static_cast<std::size_t>(count) + 1, 0);
    out_ += "xref\n0 ";
    Int(out_, count + 1);
    out_ += "\n0000000000 65535 f \n";
    for (int id = 1; id <= count; ++id) {
      char line[24];
      std::snprintf(line, sizeof line, "%010zu 00000 n \n", by_id_[id]);
      out_ += line;
    }
    out_ += "trailer\n<< /Size ";
    Int(out_, count + 1);
    out_ += " /Root ";
    Int(out_, root);
    out_ += " 0 R /Info ";
    Int(out_, info);
    out_ += " 0 R >>\nstartxref\n";
    Int(out_, static_cast<long long>(xref));
    out_ += "\n%%EOF\n";
    return std::move(out_);
  }
  PdfBuilder() { out_ = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n"; }

 private:
  void Begin(int id) {
    if (static_cast<int>(by_id_.size()) <= id) by_id_.resize(static_cast<std::size_t>(id) + 1, 0);
    by_id_[static_cast<std::size_t>(id)] = out_.size();
    Int(out_, id);
    out_ += " 0 obj\n";
  }
  std::string out_;
  std::vector<std::size_t> by_id_;  // offset of each object
  int count_ = 0;
};

std::string SubsetTag(const std::set<std::uint16_t>& glyphs) {
  std::uint32_t h = 2166136261u;
  for (std::uint16_t g : glyphs) h = (h ^ g) * 16777619u;
  std::string tag;
  for (int k = 0; k < 6; ++k, h /= 26) tag.push_back(static_cast<char>('A' + h % 26));
  return tag;
}

std::string ToUnicodeCMap(const std::map<std::uint16_t, std::u16string>& unicode) {
  std::string s =
      "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
      "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
      "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
  auto it = unicode.begin();
  while (it != unicode.end()) {
    const std::size_t n = std::min<std::size_t>(100, std::distance(it, unicode.end()));
    Int(s, static_cast<long long>(n));
    s += " beginbfchar\n";
    for (std::size_t k = 0; k < n; ++k, ++it) {
      s += '<';
      Hex4(s, it->first);
      s += "> <";
      for (char16_t u : it->second) Hex4(s, u);
      s += ">\n";
    }
    s += "endbfchar\n";
  }
  s += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
  return s;
}

// The Type0 font of one embedded file; returns its object number.
int WriteFont(PdfBuilder& pdf, const FontUse& use, const std::set<std::uint16_t>& glyphs) {
  const TrueTypeFont& f = *use.font;
  const std::string name = SubsetTag(glyphs) + "+" + f.name();
  const double em = 1000.0 / f.units_per_em();
  const int file = pdf.NewId(), descriptor = pdf.NewId(), cid = pdf.NewId(),
            to_unicode = pdf.NewId(), type0 = pdf.NewId();
  const std::string subset = f.Subset(glyphs);
  std::string dict = " /Length1 ";
  Int(dict, static_cast<long long>(subset.size()));
  pdf.Stream(file, dict, subset);
  std::string d = "<< /Type /FontDescriptor /FontName /" + name + " /Flags 4 /FontBBox [";
  for (int k = 0; k < 4; ++k) {
    Num(d, f.bbox()[k] * em, 2);
    d += k < 3 ? " " : "]";
  }
  d += " /ItalicAngle 0 /Ascent ";
  Num(d, f.ascender() * em, 2);
  d += " /Descent ";
  Num(d, -f.descender() * em, 2);
  d += " /CapHeight ";
  Num(d, f.ascender() * em, 2);
  d += " /StemV 80 /FontFile2 ";
  Int(d, file);
  d += " 0 R >>";
  pdf.Object(descriptor, d);
  std::string c = "<< /Type /Font /Subtype /CIDFontType2 /BaseFont /" + name +
                  " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >>"
                  " /FontDescriptor ";
  Int(c, descriptor);
  c += " 0 R /CIDToGIDMap /Identity /DW 1000 /W [";
  for (std::uint16_t g : glyphs) {
    Int(c, g);
    c += " [";
    Int(c, f.Advance1000(g));
    c += "] ";
  }
  c += "] >>";
  pdf.Object(cid, c);
  pdf.Stream(to_unicode, "", ToUnicodeCMap(use.unicode));
  std::string t = "<< /Type /Font /Subtype /Type0 /BaseFont /" + name +
                  " /Encoding /Identity-H /DescendantFonts [";
  Int(t, cid);
  t += " 0 R] /ToUnicode ";
  Int(t, to_unicode);
  t += " 0 R >>";
  pdf.Object(type0, t);
  return type0;
}

// An uncoloured tiling pattern of one hatch brush, 8 device pixels a cell.
std::string PatternCell(int style) {
  switch (style) {
    case kBrushHorizontal:
      return "0 4 m 8 4 l S";
    case kBrushVertical:
      return "4 0 m 4 8 l S";
    case kBrushFDiagonal:
      return "0 0 m 8 8 l S";
    case kBrushBDiagonal:
      return "0 8 m 8 0 l S";
    case kBrushCross:
      return "0 4 m 8 4 l S 4 0 m 4 8 l S";
    default:
      return "0 0 m 8 8 l S 0 8 m 8 0 l S";
  }
}

}  // namespace

const ReportFace& ReportFaceFor(int code) {
  // The whole code selects the face: a bold or italic code of face 1 is
  // "any other value" and so the gothic face.
  switch (code) {
    case 1:
      return kFaces[1];
    case 2:
    case 4:
      return kFaces[2];
    case 3:
      return kFaces[3];
    default:
      return kFaces[0];
  }
}

std::vector<std::string> ReportFontFiles() {
  std::vector<std::string> files;
  for (const ReportFace& f : kFaces) files.emplace_back(f.file);
  return files;
}

bool MakePdf(const PageRecords& records, const std::vector<int>& page_slots, int dpi,
             std::string* pdf_out, std::string* error) {
  std::map<std::string, FontUse> fonts;
  std::string font_error;
  PdfTarget target(fonts, &font_error);
  ReplayGeometry g;
  g.printer = true;
  g.dpi_x = g.dpi_y = std::max(dpi, 1);
  PdfBuilder pdf;
  const int catalog = pdf.NewId(), pages = pdf.NewId(), resources = pdf.NewId(), info = pdf.NewId();
  std::vector<int> page_ids;
  for (int slot : page_slots) {
    target.BeginPage(72.0 / g.dpi_x);
    ReplayPage(records, slot, target, g, 1800, 2700, 0xFFFFFF);
    const int content = pdf.NewId();
    pdf.Stream(content, "", target.EndPage());
    const int page = pdf.NewId();
    std::string p = "<< /Type /Page /Parent ";
    Int(p, pages);
    p += " 0 R /Resources ";
    Int(p, resources);
    p += " 0 R /Contents ";
    Int(p, content);
    p += " 0 R >>";
    pdf.Object(page, p);
    page_ids.push_back(page);
  }
  if (target.failed()) {
    if (error) *error = font_error;
    return false;
  }
  std::string res = "<< /ProcSet [/PDF /Text /ImageC] /Font <<";
  for (const auto& [file, use] : fonts) {
    std::set<std::uint16_t> glyphs;
    for (std::int32_t g32 : use.glyph_of_code)
      if (g32 >= 0) glyphs.insert(static_cast<std::uint16_t>(g32));
    const int id = WriteFont(pdf, use, glyphs);
    res += " /F";
    Int(res, use.index);
    res += ' ';
    Int(res, id);
    res += " 0 R";
  }
  res += " >>";
  if (!target.patterns().empty()) {
    res += " /ColorSpace << /CsP [/Pattern /DeviceRGB] >> /Pattern <<";
    for (int style : target.patterns()) {
      std::string dict =
          " /Type /Pattern /PatternType 1 /PaintType 2 /TilingType 1"
          " /BBox [0 0 8 8] /XStep 8 /YStep 8 /Resources << >> /Matrix [";
      Num(dict, 72.0 / g.dpi_x, 6);
      dict += " 0 0 ";
      Num(dict, -72.0 / g.dpi_y, 6);
      dict += " 0 ";
      Num(dict, kPageHeightPt, 2);
      dict += "]";
      const int id = pdf.NewId();
      pdf.Stream(id, dict, "1 w " + PatternCell(style) + "\n");
      res += " /P";
      Int(res, style);
      res += ' ';
      Int(res, id);
      res += " 0 R";
    }
    res += " >>";
  }
  if (!target.images().empty()) {
    res += " /XObject <<";
    for (std::size_t k = 0; k < target.images().size(); ++k) {
      const RasterImage& im = *target.images()[k];
      std::string rgb;
      rgb.reserve(im.pixels.size() * 3);
      for (std::uint32_t px : im.pixels) {
        rgb.push_back(static_cast<char>((px >> 16) & 0xFF));
        rgb.push_back(static_cast<char>((px >> 8) & 0xFF));
        rgb.push_back(static_cast<char>(px & 0xFF));
      }
      std::string dict = " /Type /XObject /Subtype /Image /Width ";
      Int(dict, im.width);
      dict += " /Height ";
      Int(dict, im.height);
      dict += " /ColorSpace /DeviceRGB /BitsPerComponent 8";
      const int id = pdf.NewId();
      pdf.Stream(id, dict, rgb);
      res += " /Im";
      Int(res, static_cast<long long>(k));
      res += ' ';
      Int(res, id);
      res += " 0 R";
    }
    res += " >>";
  }
  res += " >>";
  pdf.Object(resources, res);
  std::string kids = "<< /Type /Pages /Count ";
  Int(kids, static_cast<long long>(page_ids.size()));
  kids += " /MediaBox [0 0 ";
  Num(kids, kPageWidthPt, 2);
  kids += ' ';
  Num(kids, kPageHeightPt, 2);
  kids += "] /Kids [";
  for (int id : page_ids) {
    Int(kids, id);
    kids += " 0 R ";
  }
  kids += "] >>";
  pdf.Object(pages, kids);
  std::string cat = "<< /Type /Catalog /Pages ";
  Int(cat, pages);
  cat += " 0 R >>";
  pdf.Object(catalog, cat);
  pdf.Object(info, "<< /Creator (Vaultra) /Producer (Vaultra) >>");
  *pdf_out = pdf.Finish(catalog, info);
  return true;
}

bool WritePdfFile(const PageRecords& records, const std::vector<int>& page_slots,
                  const std::string& path, int dpi, std::string* error) {
  std::string pdf;
  if (!MakePdf(records, page_slots, dpi, &pdf, error)) return false;
  std::string werr;
  if (!WriteFileAtomic(path, pdf, &werr)) {
    if (error) *error = "cannot write " + Cp932ToUtf8(path) + ": " + Cp932ToUtf8(werr);
    return false;
  }
  return true;
}

}  // namespace vaultra
