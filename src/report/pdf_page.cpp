#include "report/pdf_page.h"

#include <algorithm>
#include <cmath>

#include "core/cp932.h"
#include "report/pdf_file.h"

namespace vaultra::pdf {

namespace {

constexpr double kPi = 3.14159265358979323846;

// A Qt-style affine transform: x' = a x + c y + e, y' = b x + d y + f.
struct Affine {
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
};

// The drawing commands of the pages as PDF content streams.
}  // namespace

// The drawing commands of a page as a PDF content stream, in device
// pixels (the page's one `cm` maps them to points).
class ContentStream {
 public:
  ContentStream(std::map<std::string, FontUse>& fonts, std::string* error)
      : fonts_(fonts), error_(error) {
    PageCommand font;
    font.cmd = Cmd::kSetFont;
    font.v[0] = 36, font.v[1] = 18;
    Execute(font);
  }

  void BeginPage(double px_to_pt) {
    out_.clear();
    PageMatrix(out_, px_to_pt);
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

  void Execute(const PageCommand& c) {
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

PageWriter::PageWriter(std::map<std::string, FontUse>& fonts, std::string* error)
    : s_(std::make_unique<ContentStream>(fonts, error)) {}
PageWriter::~PageWriter() = default;
void PageWriter::BeginPage(double px_to_pt) {
  s_->BeginPage(px_to_pt);
}
std::string PageWriter::EndPage() {
  return s_->EndPage();
}
bool PageWriter::failed() const {
  return s_->failed();
}
const std::vector<std::shared_ptr<const RasterImage>>& PageWriter::images() const {
  return s_->images();
}
const std::set<int>& PageWriter::patterns() const {
  return s_->patterns();
}
void PageWriter::Execute(const PageCommand& c) {
  s_->Execute(c);
}

}  // namespace vaultra::pdf
