#include "report/truetype_font.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "core/fileio.h"

namespace vaultra {

namespace {

std::uint32_t U16(std::string_view d, std::size_t at) {
  if (at + 2 > d.size()) return 0;
  return (static_cast<std::uint32_t>(static_cast<unsigned char>(d[at])) << 8) |
         static_cast<unsigned char>(d[at + 1]);
}

int S16(std::string_view d, std::size_t at) {
  const std::uint32_t v = U16(d, at);
  return v >= 0x8000 ? static_cast<int>(v) - 0x10000 : static_cast<int>(v);
}

std::uint32_t U32(std::string_view d, std::size_t at) {
  return (U16(d, at) << 16) | U16(d, at + 2);
}

void Put16(std::string& out, std::uint32_t v) {
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
  out.push_back(static_cast<char>(v & 0xFF));
}

void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v >> 16);
  Put16(out, v & 0xFFFF);
}

void Set32(std::string& out, std::size_t at, std::uint32_t v) {
  for (int k = 0; k < 4; ++k) out[at + k] = static_cast<char>((v >> (24 - 8 * k)) & 0xFF);
}

std::uint32_t CheckSum(std::string_view d, std::size_t at, std::size_t length) {
  std::uint32_t sum = 0;
  for (std::size_t k = 0; k < length; k += 4) {
    std::uint32_t word = 0;
    for (std::size_t b = 0; b < 4; ++b)
      word = (word << 8) | (k + b < length ? static_cast<unsigned char>(d[at + k + b]) : 0u);
    sum += word;
  }
  return sum;
}

}  // namespace

TrueTypeFont::~TrueTypeFont() {
  if (map_) ::munmap(map_, map_size_);
}

std::unique_ptr<TrueTypeFont> TrueTypeFont::Load(const std::string& path, std::string* error) {
  // Mapped, not read: a report uses a few hundred of the face's glyphs, so
  // only the pages of its tables and of those outlines are ever touched.
  const int fd = ::open(ToFsPath(path).c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st {};
  if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
    void* map =
        ::mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);
    if (map != MAP_FAILED) {
      std::unique_ptr<TrueTypeFont> font(new TrueTypeFont);
      font->map_ = map;
      font->map_size_ = static_cast<std::size_t>(st.st_size);
      font->data_ = std::string_view(static_cast<const char*>(map), font->map_size_);
      std::string why;
      if (font->Parse(&why)) return font;
      if (error) *error = "the font " + path + ": " + why;
      return nullptr;
    }
  } else if (fd >= 0) {
    ::close(fd);
  }
  std::string why;
  std::optional<std::string> bytes = ReadFileBytes(path, &why);
  if (!bytes) {
    if (error) *error = "cannot read the font " + path + ": " + why;
    return nullptr;
  }
  std::unique_ptr<TrueTypeFont> font = FromBytes(std::move(*bytes), error);
  if (!font && error) *error = "the font " + path + ": " + *error;
  return font;
}

std::unique_ptr<TrueTypeFont> TrueTypeFont::FromBytes(std::string bytes, std::string* error) {
  std::unique_ptr<TrueTypeFont> font(new TrueTypeFont);
  font->owned_ = std::move(bytes);
  font->data_ = font->owned_;
  std::string why;
  if (!font->Parse(&why)) {
    if (error) *error = why;
    return nullptr;
  }
  return font;
}

const TrueTypeFont::Table* TrueTypeFont::Find(const char* tag) const {
  auto it = tables_.find(tag);
  return it == tables_.end() ? nullptr : &it->second;
}

bool TrueTypeFont::Parse(std::string* error) {
  const std::string_view d = data_;
  if (d.size() < 12 || (U32(d, 0) != 0x00010000u && d.compare(0, 4, "true") != 0)) {
    *error = "not a TrueType font";
    return false;
  }
  const std::uint32_t count = U16(d, 4);
  if (12 + 16ull * count > d.size()) {
    *error = "the table directory is cut short";
    return false;
  }
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t at = 12 + 16 * i;
    Table t{U32(d, at + 8), U32(d, at + 12)};
    if (static_cast<std::uint64_t>(t.offset) + t.length > d.size()) {
      *error = "table " + std::string(d.substr(at, 4)) + " lies past the end of the file";
      return false;
    }
    tables_[std::string(d.substr(at, 4))] = t;
  }
  for (const char* need : {"head", "hhea", "hmtx", "maxp", "loca", "glyf", "cmap"}) {
    if (!Find(need)) {
      *error =
          std::string("no ") + need + " table (only fonts with TrueType outlines are embedded)";
      return false;
    }
  }
  const Table& head = *Find("head");
  const Table& hhea = *Find("hhea");
  if (head.length < 54 || hhea.length < 36 || Find("maxp")->length < 6) {
    *error = "a header table is cut short";
    return false;
  }
  units_per_em_ = std::max<int>(16, static_cast<int>(U16(d, head.offset + 18)));
  for (int k = 0; k < 4; ++k) bbox_[k] = S16(d, head.offset + 36 + 2 * k);
  loca_long_ = S16(d, head.offset + 50);
  ascender_ = S16(d, hhea.offset + 4);
  descender_ = -S16(d, hhea.offset + 6);
  metrics_count_ = static_cast<int>(U16(d, hhea.offset + 34));
  glyph_count_ = static_cast<int>(U16(d, Find("maxp")->offset + 4));
  const std::uint64_t loca_need =
      (static_cast<std::uint64_t>(glyph_count_) + 1) * (loca_long_ ? 4 : 2);
  if (metrics_count_ < 1 || metrics_count_ > glyph_count_ ||
      Find("hmtx")->length < 4ull * metrics_count_ || Find("loca")->length < loca_need) {
    *error = "the metrics or the glyph index do not fit the glyph count";
    return false;
  }
  if (const Table* n = Find("name")) {
    // The PostScript name (name id 6), in a Macintosh or Windows record.
    const std::uint32_t records = U16(d, n->offset + 2),
                        strings = n->offset + U16(d, n->offset + 4);
    for (std::uint32_t i = 0; i < records && name_.empty(); ++i) {
      const std::size_t r = n->offset + 6 + 12 * i;
      if (r + 12 > n->offset + n->length || U16(d, r + 6) != 6) continue;
      const std::uint32_t platform = U16(d, r), len = U16(d, r + 8), off = U16(d, r + 10);
      if (strings + off + len > d.size()) continue;
      const std::string_view raw = d.substr(strings + off, len);
      std::string ascii;
      const std::size_t step = platform == 3 ? 2 : 1;
      for (std::size_t k = step - 1; k < raw.size(); k += step) {
        const char c = raw[k];
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-')
          ascii.push_back(c);
      }
      name_ = ascii;
    }
  }
  if (name_.empty()) name_ = "Font";
  hmtx_ = Find("hmtx")->offset;
  loca_ = Find("loca")->offset;
  return ReadCmap(error);
}

bool TrueTypeFont::ReadCmap(std::string* error) {
  const std::string_view d = data_;
  const Table& cmap = *Find("cmap");
  const std::uint32_t end = cmap.offset + cmap.length;
  const std::uint32_t n = U16(d, cmap.offset + 2);
  std::uint32_t best = 0;
  int best_rank = 0;
  for (std::uint32_t i = 0; i < n; ++i) {
    const std::size_t r = cmap.offset + 4 + 8 * i;
    if (r + 8 > end) break;
    const std::uint32_t platform = U16(d, r), encoding = U16(d, r + 2);
    const std::uint32_t at = cmap.offset + U32(d, r + 4);
    if (at + 4 > end) continue;
    const std::uint32_t format = U16(d, at);
    int rank = 0;
    if (format == 12 && (platform == 3 || platform == 0)) rank = 2;
    if (format == 4 && (platform == 3 || platform == 0) && encoding <= 4) rank = std::max(rank, 1);
    if (rank > best_rank) best_rank = rank, best = at;
  }
  if (best_rank == 0) {
    *error = "no Unicode character map";
    return false;
  }
  if (U16(d, best) == 12) {
    const std::uint32_t groups = U32(d, best + 12);
    if (best + 16 + 12ull * groups > end) {
      *error = "the character map is cut short";
      return false;
    }
    for (std::uint32_t g = 0; g < groups; ++g) {
      const std::size_t at = best + 16 + 12 * g;
      const std::uint32_t first = U32(d, at), last = U32(d, at + 4), glyph = U32(d, at + 8);
      for (std::uint32_t c = first; c <= last && c <= 0x10FFFF; ++c) {
        const std::uint32_t gid = glyph + (c - first);
        if (gid < static_cast<std::uint32_t>(glyph_count_))
          cmap_[c] = static_cast<std::uint16_t>(gid);
      }
    }
    return true;
  }
  const std::uint32_t segs = U16(d, best + 6) / 2;
  const std::uint32_t ends = best + 14, starts = ends + 2 * segs + 2, deltas = starts + 2 * segs,
                      ranges = deltas + 2 * segs;
  if (ranges + 2 * segs > end) {
    *error = "the character map is cut short";
    return false;
  }
  for (std::uint32_t s = 0; s < segs; ++s) {
    const std::uint32_t last = U16(d, ends + 2 * s), first = U16(d, starts + 2 * s);
    const std::uint32_t delta = U16(d, deltas + 2 * s), range = U16(d, ranges + 2 * s);
    for (std::uint32_t c = first; c <= last && c < 0xFFFF; ++c) {
      std::uint32_t gid;
      if (range == 0) {
        gid = (c + delta) & 0xFFFF;
      } else {
        const std::size_t at = ranges + 2 * s + range + 2 * (c - first);
        if (at + 2 > end) break;
        gid = U16(d, at);
        if (gid != 0) gid = (gid + delta) & 0xFFFF;
      }
      if (gid != 0 && gid < static_cast<std::uint32_t>(glyph_count_))
        cmap_[c] = static_cast<std::uint16_t>(gid);
    }
  }
  return true;
}

std::uint16_t TrueTypeFont::GlyphFor(char32_t ch) const {
  auto it = cmap_.find(ch);
  return it == cmap_.end() ? 0 : it->second;
}

int TrueTypeFont::Advance1000(std::uint16_t glyph) const {
  const int k = std::min<int>(glyph, metrics_count_ - 1);
  const std::uint32_t units = U16(data_, hmtx_ + 4 * static_cast<std::uint32_t>(k));
  return static_cast<int>((units * 1000 + units_per_em_ / 2) / units_per_em_);
}

std::uint32_t TrueTypeFont::GlyphOffset(std::uint16_t glyph) const {
  return loca_long_ ? U32(data_, loca_ + 4u * glyph) : 2 * U16(data_, loca_ + 2u * glyph);
}

std::string TrueTypeFont::Subset(const std::set<std::uint16_t>& wanted) const {
  const std::string_view d = data_;
  const Table& glyf = *Find("glyf");
  // The glyphs used, and the parts of the composite ones, followed to the end.
  std::set<std::uint16_t> keep(wanted);
  keep.insert(0);
  std::vector<std::uint16_t> todo(keep.begin(), keep.end());
  while (!todo.empty()) {
    const std::uint16_t g = todo.back();
    todo.pop_back();
    if (g >= glyph_count_) continue;
    const std::uint32_t from = GlyphOffset(g), to = GlyphOffset(static_cast<std::uint16_t>(g + 1));
    if (to <= from + 10 || to > glyf.length || S16(d, glyf.offset + from) >= 0) continue;
    std::size_t at = glyf.offset + from + 10;
    const std::size_t stop = glyf.offset + to;
    for (;;) {
      if (at + 4 > stop) break;
      const std::uint32_t flags = U16(d, at), part = U16(d, at + 2);
      if (part < static_cast<std::uint32_t>(glyph_count_) &&
          keep.insert(static_cast<std::uint16_t>(part)).second)
        todo.push_back(static_cast<std::uint16_t>(part));
      at += 4 + ((flags & 0x0001) ? 4 : 2);
      if (flags & 0x0008)
        at += 2;
      else if (flags & 0x0040)
        at += 4;
      else if (flags & 0x0080)
        at += 8;
      if (!(flags & 0x0020)) break;
    }
  }
  // New glyph data and index; glyph numbers unchanged, dropped glyphs empty.
  std::string new_glyf, new_loca;
  for (int g = 0; g <= glyph_count_; ++g) {
    const std::uint32_t off = static_cast<std::uint32_t>(new_glyf.size());
    if (loca_long_)
      Put32(new_loca, off);
    else
      Put16(new_loca, off / 2);
    if (g == glyph_count_ || !keep.count(static_cast<std::uint16_t>(g))) continue;
    const std::uint32_t from = GlyphOffset(static_cast<std::uint16_t>(g)),
                        to = GlyphOffset(static_cast<std::uint16_t>(g + 1));
    if (to > from && to <= glyf.length) new_glyf.append(d, glyf.offset + from, to - from);
    while (new_glyf.size() % 4) new_glyf.push_back('\0');
  }
  // The tables a PDF renderer reads from an embedded TrueType font.
  std::map<std::string, std::string> out;
  for (const char* tag : {"cvt ", "fpgm", "head", "hhea", "hmtx", "maxp", "prep"})
    if (const Table* t = Find(tag)) out[tag] = std::string(d.substr(t->offset, t->length));
  out["glyf"] = std::move(new_glyf);
  out["loca"] = std::move(new_loca);
  Set32(out["head"], 8, 0);  // checkSumAdjustment, set below
  std::string file;
  Put32(file, 0x00010000u);
  const std::uint32_t n = static_cast<std::uint32_t>(out.size());
  std::uint32_t pow2 = 1, log2 = 0;
  while (pow2 * 2 <= n) pow2 *= 2, ++log2;
  Put16(file, n);
  Put16(file, pow2 * 16);
  Put16(file, log2);
  Put16(file, n * 16 - pow2 * 16);
  std::uint32_t offset = 12 + 16 * n;
  std::size_t head_at = 0;
  for (const auto& [tag, body] : out) {
    file += tag;
    Put32(file, CheckSum(body, 0, body.size()));
    Put32(file, offset);
    Put32(file, static_cast<std::uint32_t>(body.size()));
    if (tag == "head") head_at = offset;
    offset += static_cast<std::uint32_t>((body.size() + 3) / 4 * 4);
  }
  for (const auto& [tag, body] : out) {
    file += body;
    while (file.size() % 4) file.push_back('\0');
  }
  Set32(file, head_at + 8, 0xB1B0AFBAu - CheckSum(file, 0, file.size()));
  return file;
}

}  // namespace vaultra
