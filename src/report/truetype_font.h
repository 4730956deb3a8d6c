// A TrueType font file read for embedding in a PDF: its character map,
// advance widths and vertical metrics, and a subset holding only the glyph
// outlines a document uses (glyph numbers kept, so the PDF maps its
// character ids to glyphs one to one).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace vaultra {

class TrueTypeFont {
 public:
  // Reads and checks a font file; null with the reason in error when the
  // file is missing, not a TrueType font or its tables do not fit the file.
  static std::unique_ptr<TrueTypeFont> Load(const std::string& path, std::string* error);
  // The same from the file's bytes.
  static std::unique_ptr<TrueTypeFont> FromBytes(std::string bytes, std::string* error);
  ~TrueTypeFont();
  TrueTypeFont(const TrueTypeFont&) = delete;
  TrueTypeFont& operator=(const TrueTypeFont&) = delete;

  // The glyph of a character (UTF-32); 0 (the missing glyph) when the font has none.
  std::uint16_t GlyphFor(char32_t ch) const;
  // Advance width of a glyph in thousandths of an em.
  int Advance1000(std::uint16_t glyph) const;
  int units_per_em() const { return units_per_em_; }
  int glyph_count() const { return glyph_count_; }
  // Ascender above and descender below the baseline (positive), in font units.
  int ascender() const { return ascender_; }
  int descender() const { return descender_; }
  // Bounding box of all glyphs in font units: x min, y min, x max, y max.
  const int* bbox() const { return bbox_; }
  const std::string& name() const { return name_; }

  // A font file with the outlines of the given glyphs (and the glyphs they
  // are built of), every other glyph left empty.
  std::string Subset(const std::set<std::uint16_t>& glyphs) const;

 private:
  struct Table {
    std::uint32_t offset = 0, length = 0;
  };
  bool Parse(std::string* error);
  bool ReadCmap(std::string* error);
  const Table* Find(const char* tag) const;
  std::uint32_t GlyphOffset(std::uint16_t glyph) const;

  TrueTypeFont() = default;
  // The file's bytes: owned, or a read-only mapping of the file.
  std::string owned_;
  void* map_ = nullptr;
  std::size_t map_size_ = 0;
  std::string_view data_;
  std::uint32_t hmtx_ = 0, loca_ = 0;  // table offsets read for every glyph
  std::map<std::string, Table> tables_;
  int units_per_em_ = 1000;
  int glyph_count_ = 0;
  int metrics_count_ = 0;
  int loca_long_ = 0;
  int ascender_ = 0, descender_ = 0;
  int bbox_[4] = {0, 0, 0, 0};
  std::string name_;
  // Character to glyph, from the Unicode map of the font.
  std::map<char32_t, std::uint16_t> cmap_;
};

}  // namespace vaultra
