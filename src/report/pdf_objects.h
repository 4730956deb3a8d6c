// The object layer of the PDF writer: numbers and names as PDF writes
// them, the numbered objects with their index, embedded font subsets,
// hatch patterns and images.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "report/page_record.h"
#include "report/truetype_font.h"

namespace vaultra::pdf {

// A4 in points, as the page size tables round it.
constexpr double kPageWidthPt = 595, kPageHeightPt = 842;

// A number with at most `decimals` (0, 2, 4 or 6) places, trailing zeros cut.
void Num(std::string& out, double v, int decimals);
void Int(std::string& out, long long v);
void Hex4(std::string& out, unsigned v);
// "r g b op": a colour 0x00BBGGRR with its operator.
void Rgb(std::string& out, std::uint32_t bbggrr, const char* op);

// Pieces of a PDF text appended in order: texts, integers and references.
struct Ref {
  int id;
};
inline void Put(std::string& out, std::string_view s) {
  out += s;
}
inline void Put(std::string& out, char c) {
  out += c;
}
inline void Put(std::string& out, int v) {
  Int(out, v);
}
inline void Put(std::string& out, long long v) {
  Int(out, v);
}
inline void Put(std::string& out, unsigned long v) {
  Int(out, static_cast<long long>(v));
}
inline void Put(std::string& out, Ref r) {
  Int(out, r.id);
  out += " 0 R";
}
template <class... Parts>
void Cat(std::string& out, const Parts&... parts) {
  (Put(out, parts), ...);
}

std::string Deflate(const std::string& data);
// "a 0 0 d e f": device pixels (y down) to page points (y up).
void PageMatrix(std::string& out, double px_to_pt);

// Numbered objects, written in any order, with their offsets for the index.
class Builder {
 public:
  Builder();
  // A new object number; the object may be written later, in any order.
  int NewId() { return ++count_; }
  void Object(int id, const std::string& body);
  // A stream object, deflated unless told otherwise; dict holds the entries
  // besides the length and the filter.
  void Stream(int id, const std::string& dict, const std::string& data, bool compress = true);
  // The index and the trailer: the whole file.
  std::string Finish(int root, int info);

 private:
  void Begin(int id);
  std::string out_;
  std::vector<std::size_t> by_id_;  // offset of each object
  int count_ = 0;
};

// A report face's font file, read once a process (a report run may write
// several documents); null with the reason when it cannot be read.
const TrueTypeFont* CachedFont(const std::string& path, std::string* error);

// One embedded font file and what the document uses of it.
struct FontUse {
  const TrueTypeFont* font = nullptr;
  int index = 0;                                    // /F<index>
  std::vector<std::int32_t> glyph_of_code;          // cp932 code -> glyph, -1 not looked up
  std::map<std::uint16_t, std::u16string> unicode;  // glyph -> text, for copying out
};

// The Type0 font of one embedded file with the glyphs the pages used;
// returns its object number.
int WriteFont(Builder& pdf, const FontUse& use);
// An uncoloured tiling pattern of one hatch brush, 8 device pixels a cell,
// for pages drawn at px_to_pt points a device pixel.
int WritePattern(Builder& pdf, int style, double px_to_pt);
// An RGB image object.
int WriteImage(Builder& pdf, const RasterImage& image);

}  // namespace vaultra::pdf
