// The print preview without the window: page numbering and slots, the
// scroll arithmetic, the jump list from the contents, the displayed page
// size, the rows a cached page copies into the displayed image, and the
// pages a print command prints.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "report/print_engine.h"

namespace vaultra {

constexpr int kPreviewSteps = 20;                       // scroll steps per page
constexpr std::uint32_t kPreviewBackground = 0xD0E0E0;  // page area, 0x00BBGGRR
constexpr int kPreviewPageWidth = 900;                  // largest displayed page
constexpr int kPreviewPageHeight = 1350;
constexpr int kPreviewGap = 6;  // band between two pages

// Preview index 0 is the cover, 1 .. N the contents pages, N + k body page k.
struct PreviewPages {
  int contents = 0;  // N
  int body = 0;
  // The slot of each contents page when the report named them (a long
  // contents continues after the body); empty: slots 1 .. N.
  std::vector<int> contents_slots = {};

  int Last() const { return contents + body; }
  // The page slot of a preview index (-1 beyond the last page).
  int SlotOf(int index) const;
  // trunc((N + body + 0.7) × 20): the last page can be scrolled to its top.
  int ScrollMaximum() const;
};

// One entry of the jump list.
struct JumpEntry {
  std::string text;      // cp932, the heading as listed
  double position = 0;   // page + y ÷ 270, body pages counted from 1
  bool chapter = false;  // a level-1 heading: bold with a green top line
};

// The text of an entry as the list shows it: "%-80s%6.2f".
std::string JumpLine(const JumpEntry& e);
// Whether a listed text starts with a whole chapter number and a point
// ("3. ..."): read as a number, trunc(number × 10 + 0.1) is a non-zero
// multiple of 10.
bool IsChapterHeading(std::string_view text);
// The cover, the contents title, then one entry per contents entry (its
// heading cut before "【", a text beginning with "(" indented by a blank).
std::vector<JumpEntry> JumpEntries(const std::vector<ContentsEntry>& contents, int contents_pages);
// The scroll position an entry jumps to: trunc((position + N) × 20), even.
int JumpScrollPosition(double position, int contents_pages);
// The entry to select at a scroll position: the last one whose
// trunc((position + N − 0.45) × 20) is not after it; -1 when none.
int JumpSelection(const std::vector<JumpEntry>& entries, int contents_pages, int scroll);

// The displayed page in a page area.
struct PageView {
  int width = 0, height = 0;  // 0 × 0: too small to draw anything
  int left = 0;               // x of the page in the area (centred)
  bool Drawable() const { return width >= 2 && height >= 2; }
};
// Page by page: a whole page fits the area's height; otherwise the page
// fills the width. The width never exceeds the area less the scroll bar and
// 8 pixels; a page narrowed so keeps its shape (900 : 1350). Below two pixels
// nothing is drawn.
PageView DisplayedPage(int area_width, int area_height, int bar_width, bool page_by_page);

// Rows of a picture `rows` high placed at `offset` in an image `image_rows`
// high: the part that lands inside the image.
struct RowSpan {
  int from = 0;   // first row of the picture
  int to = 0;     // first row in the image
  int count = 0;  // rows copied; 0: nothing lands inside
};
RowSpan ClipRows(int offset, int rows, int image_rows);

// The page whose top shows at the top of the area (q = position ÷ 20), and
// the one counted as current: the next page once its top is above the
// middle of the area, never past the last.
int CurrentPage(int position, int page_height, int area_height, const PreviewPages& pages);

// The preview indices of a printed range: from the start page s to the end
// page e (body page numbers; e limited to the body pages, the cover and
// contents reachable with s ≤ 0). A text that is no number reads as the
// default (1 for the start, 999 for the end); an empty range prints nothing.
std::vector<int> PrintRange(std::string_view start_text, std::string_view end_text,
                            const PreviewPages& pages);
// Every page, and the current page alone.
std::vector<int> PrintAll(const PreviewPages& pages);

// Halves a picture by averaging each 2 × 2 block (pixels masked with
// 0xFCFCFC before they are added, so no channel carries into the next).
// width and height are the source's, rows are `stride` pixels apart; the
// result is (width ÷ 2) × (height ÷ 2), packed.
std::vector<std::uint32_t> HalvePixels(const std::uint32_t* pixels, int width, int height,
                                       int stride);

}  // namespace vaultra
