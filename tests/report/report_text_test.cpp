#include "report/report_text.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/number.h"
#include "report_test_util.h"

namespace vaultra {
namespace {

using test::GlyphAt;
using test::Glyphs;

std::vector<GlyphAt> GlyphsAfter(const PrintEngine& pe, int slot, std::size_t n) {
  auto g = Glyphs(pe, slot);
  g.erase(g.begin(), g.begin() + std::min(n, g.size()));
  return g;
}

std::string Text(const std::vector<GlyphAt>& g) {
  std::string s;
  for (const auto& x : g) s += x.ch;
  return s;
}

TEST(PrintLine, NumbersHeadingsAndItemsAndListsThem) {
  PrintEngine pe;
  test::StartReport(pe);  // body page 1
  ResetHeadingNumbers(pe);
  const char* lines[] = {"$>>%. 設計条件", "$>>%. 荷重",    "$>>%.% 常時荷重", "$>>%.% 荷重状態図",
                         "$>>(%) 常時",    "$>>(%) 地震時", "$>>%.%.% 細目"};
  double y = 0;
  for (const char* l : lines) PrintLine(pe, 1.0, y += 5.76, l);
  const std::vector<std::string> want = {"1. 設計条件",    "2. 荷重",  "2.1 常時荷重",
                                         "2.2 荷重状態図", "(1) 常時", "(2) 地震時",
                                         "2.2.1 細目"};
  ASSERT_EQ(pe.text.contents.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(pe.text.contents[i].text, want[i]);
    EXPECT_EQ(pe.text.contents[i].page, 1);
    EXPECT_NEAR(pe.text.contents[i].y, 5.76 * (i + 1), 1e-9);
  }
  EXPECT_EQ(ContentsEntryText(pe.text.contents[3]), "   1,    23.04,     1.00,   1,2.2 荷重状態図");
  // "%." after the eighth character is printed as it stands and not counted.
  const std::size_t before = Glyphs(pe, 11).size();
  PrintLine(pe, 1.0, 50, "123456789%. x");
  EXPECT_EQ(Text(GlyphsAfter(pe, 11, before)), "123456789%.x");
  EXPECT_EQ(pe.text.level1, 2);
}

TEST(PrintLine, HeadingsAreListedInTheSilentPassWithTheStoredPageNumber) {
  PrintEngine pe;
  pe.BeginReportPages(2000, 3000);
  pe.drawing = false;
  pe.SelectPageSlot(kFirstBodySlot);
  pe.NewPage();  // recording is on but drawing off: StartPage only stores the number
  pe.StartPage(7, false);
  PrintLine(pe, 1.0, 30, "$>>%. 地盤");
  ASSERT_EQ(pe.text.contents.size(), 1u);
  EXPECT_EQ(pe.text.contents[0].page, 7);
  EXPECT_TRUE(Glyphs(pe, 11).empty());
}

TEST(PrintLine, AnEmptyHeadingRestartsTheContentsButKeepsThePages) {
  PrintEngine pe;
  test::StartReport(pe);
  PrintLine(pe, 1.0, 5.76, "$>>%. 設計条件");
  const std::size_t recorded = pe.records().Slot(11).size();
  PrintLine(pe, 1.0, 11.52, "$>> ");
  EXPECT_TRUE(pe.text.contents.empty());
  EXPECT_GE(pe.records().Slot(11).size(), recorded) << "the page drawn so far survives";
  EXPECT_EQ(pe.records().highest(), 11);
}

TEST(PrintLine, NotesInBracketsAreNotPrinted) {
  PrintEngine pe;
  test::StartBare(pe);
  PrintLine(pe, 0, 0, "AB　C 【A:ｽﾀﾝﾄﾞ】");
  EXPECT_EQ(Glyphs(pe, 11), (std::vector<GlyphAt>{{1, 51, "A"}, {19, 51, "B"}, {73, 51, "C"}}));
}

TEST(PrintLine, DrawsTheRulesOfATableFromItsBoxCharacters) {
  PrintEngine pe;
  test::StartBare(pe);
  PrintLine(pe, 0, 0, "┌──┬──┐");
  PrintLine(pe, 0, 5.76, "│abcd│efgh│");
  PrintLine(pe, 0, 11.52, "└──┴──┘");
  // Rules at the middle of each row (1.8 mm below its top), 2 px pens on odd pixels.
  EXPECT_EQ(test::Dumped(pe, 11, {"moveto", "lineto"}),
            (std::vector<std::string>{"moveto 19 69", "lineto 235 69",       // top
                                      "moveto 19 69", "lineto 19 183",       // left
                                      "moveto 127 69", "lineto 127 183",     // middle
                                      "moveto 19 183", "lineto 235 183",     // bottom
                                      "moveto 235 69", "lineto 235 183"}));  // right
  // Cell texts only; the box characters are not drawn as glyphs.
  EXPECT_EQ(Glyphs(pe, 11).front(), (GlyphAt{37, 109, "a"}));
  EXPECT_EQ(Text(Glyphs(pe, 11)), "abcdefgh");
}

TEST(PrintLine, ATableWithoutItsBottomLineLeavesItsVerticalsUndrawn) {
  PrintEngine pe;
  test::StartBare(pe);
  PrintLine(pe, 0, 0, "┏━━┓");
  PrintLine(pe, 0, 5.76, "┃ab┃");
  PrintLine(pe, 0, 11.52, "┌─┐");  // a new table clears the open columns
  PrintLine(pe, 0, 17.28, "└─┘");
  const auto lines = test::Dumped(pe, 11, {"lineto"});
  // The thick table: its top rule only. The thin one: top, left, bottom, right.
  EXPECT_EQ(lines.size(), 5u);
  EXPECT_EQ(test::Dumped(pe, 11, {"penwidth"})[1], "penwidth 4") << "the first table is thick";
}

TEST(PrintLine, ALineCharacterOutsideATableIsText) {
  PrintEngine pe;
  test::StartBare(pe);
  PrintLine(pe, 0, 0, "a─b");
  EXPECT_EQ(Text(Glyphs(pe, 11)), "a──b");
  EXPECT_EQ(test::Count(pe, 11, Cmd::kLineTo), 0);
}

TEST(Fields, ANumberEndsAtTheRightOfItsPlaceholder) {
  PrintEngine pe;
  test::StartBare(pe);
  PrintLine(pe, 1.0, 10, "│ Ｈ  = ###.### m │");
  const std::size_t before = Glyphs(pe, 11).size();
  ASSERT_EQ(pe.text.sequential_count, 1);
  // The cell does not begin with the placeholder: the field keeps its own width.
  EXPECT_NEAR(pe.text.fields[0].width, 7 * 1.8, 1e-9);
  EXPECT_NEAR(pe.text.fields[0].start, 16.2, 1e-9);
  FillNumber(pe, -1, 3.5, false);
  // "  3.500" from 1 + 16.2 mm: the last 0 at 28.0 mm, the last column of "###.###".
  EXPECT_EQ(
      GlyphsAfter(pe, 11, before),
      (std::vector<GlyphAt>{
          {209, 151, "3"}, {227, 151, "."}, {245, 151, "5"}, {263, 151, "0"}, {281, 151, "0"}}));
  EXPECT_EQ(NextField(pe), -1);
  FillNumber(pe, -1, 9.9, false);  // no field left: nothing
  EXPECT_EQ(GlyphsAfter(pe, 11, before).size(), 5u);
}

TEST(Fields, AWideNumberGrowsIntoItsCellAndAnOverflowIsMarked) {
  struct Case {
    double value;
    std::string text;
    int first_x;  // pixel of the first character
  };
  // "##.#" centred in a cell ten columns wide: n = 4, W = 12, m = 4; start 9.0 mm.
  const Case cases[] = {
      {1.5, "1.5", 109},                    // " 1.5" ends where the placeholder ends
      {12345.6, "12345.6", 37},             // L = 7: three columns to the left
      {1234567890.5, "1234567890.5", 19},   // L = 12: shifted to the left bar
      {12345678901.5, "************", 19},  // L = 13: does not fit; never cut digits off
  };
  for (const Case& c : cases) {
    PrintEngine pe;
    test::StartBare(pe);
    PrintLine(pe, 0, 0, "│   ##.#   │");
    const std::size_t before = Glyphs(pe, 11).size();
    FillNumber(pe, 0, c.value, false);
    const auto g = GlyphsAfter(pe, 11, before);
    EXPECT_EQ(Text(g), c.text) << c.value;
    ASSERT_FALSE(g.empty());
    EXPECT_EQ(g.front().x, c.first_x) << c.value;
  }
}

TEST(Fields, CentredNumbersShowAnOverflowMarkInsteadOfCuttingDigits) {
  PrintEngine pe;
  test::StartBare(pe);
  PrintLine(pe, 0, 0, "##.## ##.## ##.##");
  const std::size_t before = Glyphs(pe, 11).size();
  EXPECT_EQ(FillNumberCentred(pe, -1, 3.14159, false), " 3.14");
  EXPECT_EQ(FillNumberCentred(pe, -1, -12.5, false), "*****");  // "-12.50" needs 6 columns
  EXPECT_EQ(FillNumberCentred(pe, -1, 123.456, false), "*****");
  EXPECT_EQ(Text(GlyphsAfter(pe, 11, before)), "3.14**********");
}

TEST(Fields, NamedFieldsAreFoundByTheirWholeLabel) {
  PrintEngine pe;
  test::StartBare(pe);
  PrintLine(pe, 0, 0, "  BIKO####  AB####");
  ASSERT_EQ(pe.text.named_count, kSequentialFields + 2);
  EXPECT_EQ(pe.text.sequential_count, 0);
  const StField& biko = pe.text.fields[kSequentialFields];
  EXPECT_EQ(biko.label, "BIKO");
  EXPECT_EQ(biko.length, 8);
  EXPECT_NEAR(biko.start, 3.6, 1e-9);
  const std::size_t before = Glyphs(pe, 11).size();
  FillTextNamed(pe, "xyz", "BIKO", false);
  EXPECT_EQ(GlyphsAfter(pe, 11, before).front(), (GlyphAt{37, 51, "x"}));
  EXPECT_EQ(FillTextCentredNamed(pe, "q", "BIK", false), "") << "a shorter label is another label";
  EXPECT_EQ(FindNamedField(pe, "AB"), kSequentialFields + 1);
}

TEST(Fields, LongLabelsAreStoredAndLookedUpByTheSameRule) {
  PrintEngine pe;
  test::StartBare(pe);
  PrintLine(pe, 0, 0, "ABCDEFGHIJKLMNOPQR##");
  ASSERT_EQ(pe.text.named_count, kSequentialFields + 1);
  EXPECT_EQ(pe.text.fields[kSequentialFields].length, 20);
  EXPECT_EQ(FindNamedField(pe, "ABCDEFGHIJKLMNOPQR"), kSequentialFields);
  EXPECT_EQ(FindNamedField(pe, "ABCDEFGHIJKLMNO"), kSequentialFields);
  EXPECT_EQ(FindNamedField(pe, "ABCDEFGHIJKLMN"), -1);
}

TEST(Fields, TextFillsAndMarkupInCells) {
  PrintEngine pe;
  test::StartBare(pe);
  // Ｈt1: the capital at 7/8 pitch shifted p/8, the subscript "t1" small and lower.
  PrintLine(pe, 0, 0, "Ｈt1 ####");
  const auto g = Glyphs(pe, 11);
  ASSERT_GE(g.size(), 3u);
  EXPECT_EQ(g[0], (GlyphAt{3, 51, "Ｈ"}));  // 1.8 / 8 = 0.225 mm
  EXPECT_EQ(g[1], (GlyphAt{33, 65, "t"}));  // 1.75 p = 3.15 mm; 3/8 h = 1.35 mm lower
  EXPECT_EQ(g[2], (GlyphAt{49, 65, "1"}));  // the subscript pitch is 7/8 p
  const std::size_t before = g.size();
  FillText(pe, -1, "ab", false);  // padded to the placeholder length, from its start
  EXPECT_EQ(GlyphsAfter(pe, 11, before), (std::vector<GlyphAt>{{91, 51, "a"}, {109, 51, "b"}}));
  // Fills do nothing while drawing is off.
  PrintLine(pe, 0, 10, "####");
  pe.drawing = false;
  FillNumber(pe, -1, 1, false);
  pe.drawing = true;
  EXPECT_EQ(Glyphs(pe, 11).size(), before + 2);
}

TEST(Contents, FortyEntriesAPageInNumericOrder) {
  PrintEngine pe;
  test::StartReport(pe);
  for (int i = 1; i <= 41; ++i)
    PrintLine(pe, 1.0, 5.76 * (i % 40), Format("$>>見出し%02d", i).c_str());
  EXPECT_EQ(BuildContentsPages(pe), 2);
  EXPECT_FALSE(pe.recording);
  EXPECT_EQ(pe.text.contents_pages, 2);
  // Sorted by page, then y: entry 40 (y = 0) comes first, entry 39 last.
  const std::string page1 = Text(Glyphs(pe, 1)), page2 = Text(Glyphs(pe, 2));
  EXPECT_NE(page1.find("見出し40"), std::string::npos);
  EXPECT_NE(page2.find("見出し39"), std::string::npos);
  EXPECT_EQ(page2.find("見出し40"), std::string::npos);
  // The title, and the page number at the end of the leader.
  const auto g = Glyphs(pe, 1);
  EXPECT_EQ(g[0], (GlyphAt{793, 129, "－"}));
  const auto one =
      std::find_if(g.begin(), g.end(), [](const GlyphAt& a) { return a.ch == "1" && a.x > 1500; });
  ASSERT_NE(one, g.end());
  // "見出し40" is 8 bytes: the leader starts at column 10, so 68 dots and "  1".
  EXPECT_EQ(one->x, 2 * static_cast<int>((15.4 + (10 + 68 + 2) * 1.8) * 10 / 2 + 0.5) + 1);
}

TEST(Contents, NegativeYAndLargePagesSortNumerically) {
  PrintEngine pe;
  pe.text.contents = {
      {10, 5.0, 1, 0, "c"}, {9, 100.0, 1, 0, "a"}, {10, -2.5, 1, 0, "b"}, {100, 1.0, 1, 0, "d"}};
  const auto s = SortedContents(pe);
  std::string order;
  for (const auto& e : s) order += e.text;
  EXPECT_EQ(order, "abcd");
}

TEST(Contents, MoreThanNinePagesContinueAfterTheBody) {
  PrintEngine pe;
  test::StartReport(pe);
  PrintLine(pe, 1.0, 5.76, "本文");
  for (int i = 0; i < 3; ++i) pe.NewPage();  // body pages 1..4: slots 11..14
  const std::size_t body = pe.records().Slot(11).size();
  for (int i = 0; i < 410; ++i)
    pe.text.contents.push_back({1 + i / 30, 5.76 * (i % 30), 1, 0, Format("h%d", i)});
  // 410 entries at 40 a page: 11 pages, the 10th and 11th after body slot 14.
  EXPECT_EQ(BuildContentsPages(pe), 11);
  EXPECT_EQ(pe.text.contents_slots, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 15, 16}));
  EXPECT_TRUE(Glyphs(pe, kFirstBodySlot).empty());
  EXPECT_EQ(pe.records().Slot(11).size(), body);
  EXPECT_NE(Text(Glyphs(pe, 9)).find("h359"), std::string::npos);
  EXPECT_NE(Text(Glyphs(pe, 15)).find("h360"), std::string::npos);
  EXPECT_NE(Text(Glyphs(pe, 16)).find("h409"), std::string::npos);
  // Entry 409 lies on body page 1 + 409 / 30 = 14: its number ends the leader.
  EXPECT_NE(Text(Glyphs(pe, 16)).find("･14"), std::string::npos);
}

TEST(Contents, EachLevelHasItsIndent) {
  struct Case {
    const char* heading;
    int level;
    const char* listed;
  };
  const Case cases[] = {
      {"3. 荷重", 1, "3. 荷重"},
      {"3.1 常時荷重", 2, "  3.1 常時荷重"},
      {"12.10 端壁", 2, "  12.10 端壁"},
      {"3.1.2 細目", 3, "    3.1.2 細目"},
      {"(3) 土圧", 4, "    (3) 土圧"},
      {"(Ｌ１地震動時)", 4, "    (Ｌ１地震動時)"},
      {"  2) 覆土による鉛直土圧", 5, "      2) 覆土による鉛直土圧"},
      {"  部材と断面の対応", 5, "      部材と断面の対応"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.heading);
    EXPECT_EQ(ContentsLevel(c.heading), c.level);
    EXPECT_EQ(ContentsLine(c.heading), c.listed);
  }
}

}  // namespace
}  // namespace vaultra
