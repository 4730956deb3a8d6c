#include "report/pdf_objects.h"

#include <zlib.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>
#include <mutex>
#include <set>

namespace vaultra::pdf {

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

void PageMatrix(std::string& out, double px_to_pt) {
  Num(out, px_to_pt, 6);
  out += " 0 0 ";
  Num(out, -px_to_pt, 6);
  out += " 0 ";
  Num(out, kPageHeightPt, 2);
}

Builder::Builder() {
  out_ = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
}

void Builder::Begin(int id) {
  if (static_cast<int>(by_id_.size()) <= id) by_id_.resize(static_cast<std::size_t>(id) + 1, 0);
  by_id_[static_cast<std::size_t>(id)] = out_.size();
  Cat(out_, id, " 0 obj\n");
}

void Builder::Object(int id, const std::string& body) {
  Begin(id);
  Cat(out_, body, "\nendobj\n");
}

void Builder::Stream(int id, const std::string& dict, const std::string& data, bool compress) {
  Begin(id);
  const std::string packed = compress ? Deflate(data) : std::string();
  const bool deflated = compress && !packed.empty();
  const std::string& body = deflated ? packed : data;
  Cat(out_, "<<", dict, deflated ? " /Filter /FlateDecode" : "", " /Length ", body.size(),
      ">>\nstream\n", body, "\nendstream\nendobj\n");
}

std::string Builder::Finish(int root, int info) {
  const std::size_t xref = out_.size();
  by_id_.resize(static_cast<std::size_t>(count_) + 1, 0);
  Cat(out_, "xref\n0 ", count_ + 1, "\n0000000000 65535 f \n");
  for (int id = 1; id <= count_; ++id) {
    char line[24];
    std::snprintf(line, sizeof line, "%010zu 00000 n \n", by_id_[static_cast<std::size_t>(id)]);
    out_ += line;
  }
  Cat(out_, "trailer\n<< /Size ", count_ + 1, " /Root ", Ref{root}, " /Info ", Ref{info},
      " >>\nstartxref\n", xref, "\n%%EOF\n");
  return std::move(out_);
}

namespace {

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

// The cell of a hatch brush, 8 device pixels square.
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

int WriteFont(Builder& pdf, const FontUse& use) {
  std::set<std::uint16_t> glyphs;
  for (std::int32_t g : use.glyph_of_code)
    if (g >= 0) glyphs.insert(static_cast<std::uint16_t>(g));
  const TrueTypeFont& f = *use.font;
  const std::string name = SubsetTag(glyphs) + "+" + f.name();
  const double em = 1000.0 / f.units_per_em();
  const int file = pdf.NewId(), descriptor = pdf.NewId(), cid = pdf.NewId(),
            to_unicode = pdf.NewId(), type0 = pdf.NewId();
  const std::string subset = f.Subset(glyphs);
  std::string length1;
  Cat(length1, " /Length1 ", subset.size());
  pdf.Stream(file, length1, subset);
  auto units = [&](double v) {
    std::string n;
    Num(n, v * em, 2);
    return n;
  };
  std::string d;
  Cat(d, "<< /Type /FontDescriptor /FontName /", name, " /Flags 4 /FontBBox [", units(f.bbox()[0]),
      ' ', units(f.bbox()[1]), ' ', units(f.bbox()[2]), ' ', units(f.bbox()[3]),
      "] /ItalicAngle 0 /Ascent ", units(f.ascender()), " /Descent ", units(-f.descender()),
      " /CapHeight ", units(f.ascender()), " /StemV 80 /FontFile2 ", Ref{file}, " >>");
  pdf.Object(descriptor, d);
  std::string c;
  Cat(c, "<< /Type /Font /Subtype /CIDFontType2 /BaseFont /", name,
      " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >>"
      " /FontDescriptor ",
      Ref{descriptor}, " /CIDToGIDMap /Identity /DW 1000 /W [");
  for (std::uint16_t g : glyphs) Cat(c, static_cast<int>(g), " [", f.Advance1000(g), "] ");
  c += "] >>";
  pdf.Object(cid, c);
  pdf.Stream(to_unicode, "", ToUnicodeCMap(use.unicode));
  std::string t;
  Cat(t, "<< /Type /Font /Subtype /Type0 /BaseFont /", name,
      " /Encoding /Identity-H /DescendantFonts [", Ref{cid}, "] /ToUnicode ", Ref{to_unicode},
      " >>");
  pdf.Object(type0, t);
  return type0;
}

int WritePattern(Builder& pdf, int style, double px_to_pt) {
  // Pattern space is the page's default space: the same scale and flip as
  // the page's own `cm`, so a cell is 8 device pixels.
  std::string dict =
      " /Type /Pattern /PatternType 1 /PaintType 2 /TilingType 1"
      " /BBox [0 0 8 8] /XStep 8 /YStep 8 /Resources << >> /Matrix [";
  PageMatrix(dict, px_to_pt);
  dict += "]";
  const int id = pdf.NewId();
  pdf.Stream(id, dict, "1 w " + PatternCell(style) + "\n");
  return id;
}

int WriteImage(Builder& pdf, const RasterImage& im) {
  std::string rgb;
  rgb.reserve(im.pixels.size() * 3);
  for (std::uint32_t px : im.pixels) {
    rgb.push_back(static_cast<char>((px >> 16) & 0xFF));
    rgb.push_back(static_cast<char>((px >> 8) & 0xFF));
    rgb.push_back(static_cast<char>(px & 0xFF));
  }
  std::string dict;
  Cat(dict, " /Type /XObject /Subtype /Image /Width ", im.width, " /Height ", im.height,
      " /ColorSpace /DeviceRGB /BitsPerComponent 8");
  const int id = pdf.NewId();
  pdf.Stream(id, dict, rgb);
  return id;
}

}  // namespace vaultra::pdf
