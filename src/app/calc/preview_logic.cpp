#include "app/calc/preview_logic.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/number.h"

namespace vaultra {

namespace {

// A page number typed into a range edit; `fallback` when it is no number.
int PageNumberOf(std::string_view text, int fallback) {
  const std::optional<double> v = ParseRealStrict(text);
  if (!v || !IsPlausibleInput(*v)) return fallback;
  return TruncToInt(*v);
}

}  // namespace

int PreviewPages::SlotOf(int index) const {
  if (index < 0 || index > Last()) return -1;
  if (index == 0) return 0;
  if (index <= contents) {
    const auto k = static_cast<std::size_t>(index - 1);
    return k < contents_slots.size() ? contents_slots[k] : index;
  }
  return index + kFirstBodySlot - contents;
}

int PreviewPages::ScrollMaximum() const {
  return TruncToInt((contents + body + 0.7) * kPreviewSteps);
}

std::string JumpLine(const JumpEntry& e) {
  return Format("%-80s%6.2f", e.text.c_str(), e.position);
}

bool IsChapterHeading(std::string_view text) {
  const std::string s(text);
  const double number = std::strtod(s.c_str(), nullptr);
  const int tenths = TruncToInt(number * 10 + 0.1);
  return tenths != 0 && tenths % 10 == 0;
}

std::vector<JumpEntry> JumpEntries(const std::vector<ContentsEntry>& contents, int n) {
  std::vector<JumpEntry> out;
  out.push_back({" － 表 紙 －", static_cast<double>(-n), false});
  out.push_back({" － 目 次 －", static_cast<double>(1 - n), false});
  for (const ContentsEntry& c : contents) {
    std::string t = c.text;
    const std::size_t mark = t.find("【");
    if (mark != std::string::npos) t.erase(mark);
    if (!t.empty() && t[0] == '(') t = " " + t;
    JumpEntry e;
    e.text = t;
    e.position = c.page + c.y / 270.0;
    e.chapter = IsChapterHeading(JumpLine(e));
    out.push_back(std::move(e));
  }
  return out;
}

int JumpScrollPosition(double position, int n) {
  const int p = TruncToInt((position + n) * kPreviewSteps);
  return p - (p & 1);  // down to an even number, below zero too
}

int JumpSelection(const std::vector<JumpEntry>& entries, int n, int scroll) {
  int selected = -1;
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (TruncToInt((entries[i].position + n - 0.45) * kPreviewSteps) <= scroll)
      selected = static_cast<int>(i);
  return selected;
}

PageView DisplayedPage(int area_width, int area_height, int bar_width, bool page_by_page) {
  PageView v;
  int w, h;
  if (page_by_page) {
    h = std::min(area_height, kPreviewPageHeight) - 1;
    w = h * kPreviewPageWidth / kPreviewPageHeight;
  } else {
    w = std::min(area_width, kPreviewPageWidth);
    h = w * kPreviewPageHeight / kPreviewPageWidth;
  }
  const int room = area_width - bar_width - 8;
  if (w > room) {
    // Narrowed to the room beside the scroll bar, the page keeps its shape.
    w = room;
    h = w * kPreviewPageHeight / kPreviewPageWidth;
  }
  if (w < 2 || h < 2) return v;
  v.width = w;
  v.height = h;
  v.left = std::max(0, (area_width - bar_width - w) / 2);
  return v;
}

RowSpan ClipRows(int offset, int rows, int image_rows) {
  RowSpan s;
  if (rows <= 0 || image_rows <= 0) return s;
  const int first = std::max(offset, 0);
  const long end = std::min(static_cast<long>(offset) + rows, static_cast<long>(image_rows));
  if (end <= first) return s;
  s.from = first - offset;
  s.to = first;
  s.count = static_cast<int>(end - first);
  return s;
}

int CurrentPage(int position, int page_height, int area_height, const PreviewPages& pages) {
  const double q = position / static_cast<double>(kPreviewSteps);
  const int f = TruncToInt(q);
  const int second_top = TruncToInt((f + 1 - q) * page_height);
  const int current = second_top < area_height / 2 ? TruncToInt(q + 1) : f;
  return std::clamp(current, 0, std::max(pages.Last(), 0));
}

std::vector<int> PrintRange(std::string_view start_text, std::string_view end_text,
                            const PreviewPages& pages) {
  const int s = PageNumberOf(start_text, 1);
  const int e = std::min(PageNumberOf(end_text, 999), pages.body);
  const long first = std::max(static_cast<long>(s) + pages.contents, 0L);
  const long last = static_cast<long>(e) + pages.contents;
  std::vector<int> out;
  for (long i = first; i <= last && i <= pages.Last(); ++i) out.push_back(static_cast<int>(i));
  return out;
}

std::vector<int> PrintAll(const PreviewPages& pages) {
  std::vector<int> out;
  for (int i = 0; i <= pages.Last(); ++i) out.push_back(i);
  return out;
}

std::vector<std::uint32_t> HalvePixels(const std::uint32_t* px, int width, int height, int stride) {
  const int w = std::max(width / 2, 0), h = std::max(height / 2, 0);
  std::vector<std::uint32_t> out(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
  constexpr std::uint32_t kMask = 0xFCFCFC;
  for (int y = 0; y < h; ++y) {
    const std::uint32_t* a = px + static_cast<std::ptrdiff_t>(2 * y) * stride;
    const std::uint32_t* b = a + stride;
    std::uint32_t* o = out.data() + static_cast<std::ptrdiff_t>(y) * w;
    for (int x = 0; x < w; ++x) {
      const std::uint32_t sum =
          (a[2 * x] & kMask) + (a[2 * x + 1] & kMask) + (b[2 * x] & kMask) + (b[2 * x + 1] & kMask);
      o[x] = 0xFF000000u | (sum >> 2);
    }
  }
  return out;
}

}  // namespace vaultra
