// The print preview's arithmetic, against values worked out by hand.
#include <gtest/gtest.h>

#include "app/calc/preview_logic.h"

namespace vaultra {
namespace {

TEST(PreviewPages, SlotsScrollRangeAndPrintAll) {
  const PreviewPages p{2, 30};  // two contents pages, thirty body pages
  const struct {
    int index, slot;
  } slots[] = {{0, 0}, {1, 1}, {2, 2}, {3, 11}, {32, 40}, {33, -1}, {-1, -1}};
  for (const auto& s : slots) EXPECT_EQ(p.SlotOf(s.index), s.slot) << s.index;
  EXPECT_EQ(p.ScrollMaximum(), 654);  // trunc(32.7 × 20)
  EXPECT_EQ(PrintAll(p).size(), 33u);
  EXPECT_EQ(PrintAll(p).front(), 0);
  EXPECT_EQ(PrintAll(p).back(), 32);
  const PreviewPages empty{0, 0};
  EXPECT_EQ(empty.ScrollMaximum(), 14);
  EXPECT_EQ(PrintAll(empty), std::vector<int>{0});  // the cover alone
}

TEST(PreviewPages, PrintRangeReadsItsEditsAndPrintsNothingForAnEmptyRange) {
  const PreviewPages p{2, 30};
  auto range = [](int a, int b) {
    std::vector<int> v;
    for (int i = a; i <= b; ++i) v.push_back(i);
    return v;
  };
  const struct {
    const char* start;
    const char* end;
    std::vector<int> indices;
  } cases[] = {
      {"   1", " 999", range(3, 32)},  // the edits' own texts: every body page
      {"5", "999", range(7, 32)},      // body page 5 to the last
      {"5", "5", std::vector<int>{7}},
      {"-5", "2", range(0, 4)},  // cover and contents reachable below 1
      {"0", "0", std::vector<int>{2}},
      {"10", "3", {}},    // end before start
      {"31", "999", {}},  // start past the last page
      {"999", "5", {}},
      {"3", "-9", {}},               // end before the cover
      {"abc", "xyz", range(3, 32)},  // no number: the defaults 1 and 999
      {"", "", range(3, 32)},
      {"4", "7頁", range(6, 32)},  // "7頁" is no number either
      {"1e999", "nan", range(3, 32)},
      {"2.9", "4.2", range(4, 6)},  // page numbers are whole
  };
  for (const auto& c : cases)
    EXPECT_EQ(PrintRange(c.start, c.end, p), c.indices) << c.start << " .. " << c.end;
  // The slots of body pages 5 .. 7.
  std::vector<int> slots;
  for (int i : PrintRange("5", "7", p)) slots.push_back(p.SlotOf(i));
  EXPECT_EQ(slots, (std::vector<int>{15, 16, 17}));
}

TEST(PreviewJumpList, EntriesPositionsAndChapterHeadings) {
  std::vector<ContentsEntry> contents(3);
  contents[0].page = 1, contents[0].y = 0, contents[0].text = "1. 設計条件【ｽﾀﾝﾄﾞ】";
  contents[1].page = 2, contents[1].y = 135, contents[1].text = "(1) 概要";
  contents[2].page = 3, contents[2].y = 27, contents[2].text = "1.2 材料";
  const std::vector<JumpEntry> e = JumpEntries(contents, 2);
  ASSERT_EQ(e.size(), 5u);
  EXPECT_EQ(e[0].position, -2.0);  // the cover
  EXPECT_EQ(e[1].text, " － 目 次 －");
  EXPECT_EQ(e[1].position, -1.0);
  EXPECT_EQ(e[2].text, "1. 設計条件");  // cut before "【"
  EXPECT_DOUBLE_EQ(e[2].position, 1.0);
  EXPECT_TRUE(e[2].chapter);
  EXPECT_EQ(e[3].text, " (1) 概要");
  EXPECT_DOUBLE_EQ(e[3].position, 2.5);
  EXPECT_FALSE(e[3].chapter);
  EXPECT_DOUBLE_EQ(e[4].position, 3.1);
  EXPECT_FALSE(e[4].chapter);
  EXPECT_FALSE(e[0].chapter);
  EXPECT_EQ(JumpLine(e[3]), " (1) 概要" + std::string(80 - 9, ' ') + "  2.50");

  const struct {
    const char* text;
    bool chapter;
  } headings[] = {{"3. 荷重", true}, {"10. 端壁", true},  {"3.1 土圧", false},
                  {"0. 序", false},  {"(1) 概要", false}, {" － 目 次 －", false},
                  {"12.5", false},   {"2.0 x", true}};
  for (const auto& h : headings) EXPECT_EQ(IsChapterHeading(h.text), h.chapter) << h.text;
}

TEST(PreviewJumpList, ClickScrollsToAnEvenPositionAndTheSelectionFollowsTheScroll) {
  // A level-1 entry at page 3, y = 0, with two contents pages: position 100.
  EXPECT_EQ(JumpScrollPosition(3.0, 2), 100);
  EXPECT_EQ(JumpScrollPosition(3.5, 2), 110);
  EXPECT_EQ(JumpScrollPosition(2.53, 2), 90);  // 90.6
  EXPECT_EQ(JumpScrollPosition(2.58, 2), 90);  // 91.6, down to even
  EXPECT_EQ(JumpScrollPosition(-2.0, 2), 0);   // the cover
  EXPECT_EQ(JumpScrollPosition(-1.0, 2), 20);  // the contents

  std::vector<JumpEntry> e(5);
  const double pos[] = {-2, -1, 1.0, 1.5, 3.0};  // thresholds -9, 11, 51, 61, 91
  for (int i = 0; i < 5; ++i) e[i].position = pos[i];
  const struct {
    int scroll, selected;
  } cases[] = {{0, 0}, {10, 0}, {11, 1}, {50, 1}, {51, 2}, {60, 2}, {61, 3}, {91, 4}, {654, 4}};
  for (const auto& c : cases) EXPECT_EQ(JumpSelection(e, 2, c.scroll), c.selected) << c.scroll;
  EXPECT_EQ(JumpSelection({}, 2, 40), -1);
}

TEST(PreviewDisplay, PageSizeKeepsItsShapeAndNothingIsDrawnBelowTwoPixels) {
  const struct {
    int w, h, bar;
    bool by_page;
    int width, height, left;
  } cases[] = {
      {1000, 800, 0, true, 532, 799, 234},   // 799 × 900 ÷ 1350
      {1000, 800, 0, false, 900, 1350, 50},  // fills the width up to 900
      {1000, 2000, 0, true, 899, 1349, 50},  // at most 1350 high
      {300, 800, 0, true, 292, 438, 4},      // narrowed: 292 × 1350 ÷ 900, same shape
      {300, 800, 20, false, 272, 408, 4},
      {10, 800, 0, true, 2, 3, 4},
      {9, 800, 0, true, 0, 0, 0},  // one pixel wide: nothing
      {800, 2, 0, true, 0, 0, 0},  // one pixel high: nothing
      {0, 0, 0, true, 0, 0, 0},
      {5, 5, 40, false, 0, 0, 0},  // the bar wider than the area
  };
  for (const auto& c : cases) {
    const PageView v = DisplayedPage(c.w, c.h, c.bar, c.by_page);
    EXPECT_EQ(v.width, c.width) << c.w << "x" << c.h;
    EXPECT_EQ(v.height, c.height) << c.w << "x" << c.h;
    EXPECT_EQ(v.left, c.left) << c.w << "x" << c.h;
    EXPECT_EQ(v.Drawable(), c.width > 0) << c.w << "x" << c.h;
  }
}

TEST(PreviewDisplay, CopiedRowsStayInsideTheImage) {
  const struct {
    int offset, rows, image;
    int from, to, count;
  } cases[] = {
      {0, 100, 300, 0, 0, 100},  {-100, 500, 300, 100, 0, 300}, {250, 500, 300, 0, 250, 50},
      {300, 500, 300, 0, 0, 0},  {400, 50, 300, 0, 0, 0},       {-600, 500, 300, 0, 0, 0},
      {-500, 500, 300, 0, 0, 0}, {-499, 500, 300, 499, 0, 1},   {10, 0, 300, 0, 0, 0},
      {10, -5, 300, 0, 0, 0},    {0, 100, 0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    const RowSpan s = ClipRows(c.offset, c.rows, c.image);
    EXPECT_EQ(s.count, c.count) << c.offset << " " << c.rows;
    if (c.count > 0) {
      EXPECT_EQ(s.from, c.from) << c.offset;
      EXPECT_EQ(s.to, c.to) << c.offset;
      EXPECT_GE(s.to, 0);
      EXPECT_LE(s.to + s.count, c.image);
      EXPECT_LE(s.from + s.count, c.rows);
    }
  }
}

TEST(PreviewDisplay, CurrentPageTurnsWhenTheNextTopPassesTheMiddle) {
  const PreviewPages p{2, 30};
  const struct {
    int position, current;
  } cases[] = {{0, 0}, {5, 0}, {6, 0}, {7, 1}, {10, 1}, {20, 1}, {35, 2}, {654, 32}};
  // Pages 600 px high in an area 800 px high: the next page's top lies at
  // (1 − fraction) × 600 and counts once it is above 400.
  for (const auto& c : cases)
    EXPECT_EQ(CurrentPage(c.position, 600, 800, p), c.current) << c.position;
}

TEST(PreviewDisplay, HalvingAveragesEachChannelWithoutCarries) {
  // 4 × 2 source with a stride of 5; the fifth column must be ignored.
  const std::uint32_t W = 0xFFFFFFFF, R = 0xFFFF0000, K = 0xFF000000, X = 0x12345678;
  const std::uint32_t src[] = {W, W, R, K, X,  //
                               W, W, R, W, X};
  const std::vector<std::uint32_t> out = HalvePixels(src, 4, 2, 5);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0], 0xFFFCFCFCu);  // white: 252 per channel after the mask
  // red, red, black, white: R (252 + 252 + 0 + 252) ÷ 4 = 189, G and B 252 ÷ 4 = 63
  EXPECT_EQ(out[1], 0xFFBD3F3Fu);
  EXPECT_TRUE(HalvePixels(src, 1, 1, 5).empty());
}

}  // namespace
}  // namespace vaultra
