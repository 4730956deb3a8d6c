#include "report/print_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "report_test_util.h"

namespace vaultra {
namespace {

using test::GlyphAt;
using test::Glyphs;

TEST(PrintEngine, FontSizesFollowTheReportPageResolution) {
  PrintEngine pe;
  test::StartBare(pe);
  pe.SetTextFont(3.6, 0, 0, 1);
  EXPECT_DOUBLE_EQ(pe.font().pitch, 1.8);
  EXPECT_EQ(pe.font().height_px, 36);
  EXPECT_EQ(pe.font().width_px, 18);
  // A negative height is pixels: 20 px / 10 px per mm + 0.01.
  pe.SetTextFont(-20, 0, 0, 0);
  EXPECT_NEAR(pe.font().height, 2.01, 1e-12);
  // Tiny fonts are raised to the minimum cell; the recorded font is even.
  pe.SetTextFont(0.1, 0.1, 30, 0);
  EXPECT_EQ(pe.font().height_px, 6);
  EXPECT_EQ(pe.font().width_px, 4);
  EXPECT_EQ(pe.font().escapement, 300);
  pe.SetTextFont(0.75, 0.35, 0, 0);  // 7.6 -> 7 px high, 3.6 -> 4 px wide
  EXPECT_EQ(pe.font().height_px, 7);
  EXPECT_EQ(test::Dumped(pe, 11, {"font"}).back(), "font 6 4 0 0");
}

TEST(PrintEngine, GlyphsSitOnOddPixelsAndTheDollarSignIsInvisible) {
  PrintEngine pe;
  test::StartBare(pe);
  // Origin (0, 0) is pixel (0, 50); columns are 18 px apart.
  pe.DrawText(0, 0, 0, 0, "A$B C");
  EXPECT_EQ(Glyphs(pe, 11), (std::vector<GlyphAt>{{1, 51, "A"}, {37, 51, "B"}, {73, 51, "C"}}));
  // A double-byte character takes two columns; box lines are drawn twice.
  pe.SelectPageSlot(12);
  pe.DrawText(1.0, 10, 0, 0, "地─x");
  // x = 10 px; "─" at 10 + 36 -+ 4.5 px; "x" four columns on.
  EXPECT_EQ(Glyphs(pe, 12), (std::vector<GlyphAt>{
                                {11, 151, "地"}, {43, 151, "─"}, {51, 151, "─"}, {83, 151, "x"}}));
}

TEST(PrintEngine, UnitSuperscriptsAreRaisedInTheNextColumn) {
  struct Case {
    const char* text;
    std::vector<GlyphAt> normal;  // drawn in the 36 px font
    std::vector<GlyphAt> raised;  // drawn in the 26 px font (3/4 height, even)
  };
  const Case cases[] = {
      {"N/mm2", {{1, 51, "N"}, {19, 51, "/"}, {37, 51, "m"}, {55, 51, "m"}}, {{73, 51, "2"}}},
      {"kN/m3", {{1, 51, "k"}, {19, 51, "N"}, {37, 51, "/"}, {55, 51, "m"}}, {{73, 51, "3"}}},
      // 1.5×$~3 reads 1.5×10 and a raised -3.
      {"1.5×$~3",
       {{1, 51, "1"}, {19, 51, "."}, {37, 51, "5"}, {55, 51, "×"}, {91, 51, "1"}, {109, 51, "0"}},
       {{127, 51, "-"}, {145, 51, "3"}}},
  };
  for (const Case& c : cases) {
    PrintEngine pe;
    test::StartBare(pe);
    pe.DrawText(0, 0, 0, 0, c.text);
    std::vector<GlyphAt> normal, raised;
    int height = 0;
    for (const auto& cmd : pe.records().Slot(11)) {
      if (cmd.cmd == Cmd::kSetFont) height = cmd.v[0];
      if (cmd.cmd == Cmd::kGlyph)
        (height == 36 ? normal : raised).push_back({cmd.v[0], cmd.v[1], cmd.text});
    }
    EXPECT_EQ(normal, c.normal) << c.text;
    EXPECT_EQ(raised, c.raised) << c.text;
    EXPECT_EQ(pe.font().height_px, 36) << "font restored after " << c.text;
  }
}

TEST(PrintEngine, AlignedTextsMoveTheTextByItsWidthAndHeight) {
  // "ab": w = 3.6 mm, h = 3.6 mm; the point (20, 20) mm is pixel (200, 250).
  struct Case {
    TextAlign align;
    GlyphAt first;
  };
  const Case cases[] = {
      {TextAlign::kTopLeft, {201, 255, "a"}},       // h/8 = 0.45 mm down
      {TextAlign::kTopRight, {165, 255, "a"}},      // w to the left
      {TextAlign::kTopCentre, {183, 255, "a"}},     // w/2 to the left
      {TextAlign::kMiddleLeft, {201, 233, "a"}},    // h/2 up
      {TextAlign::kMiddleRight, {165, 233, "a"}},   //
      {TextAlign::kBottomLeft, {201, 215, "a"}},    // h up
      {TextAlign::kBottomRight, {165, 215, "a"}},   //
      {TextAlign::kBottomCentre, {183, 215, "a"}},  //
  };
  for (const Case& c : cases) {
    PrintEngine pe;
    test::StartBare(pe);
    pe.SetWindowExact(0, 0, 100, 100, 0, 0, 100, 100);
    pe.TextWorld(c.align, 20, 20, "ab");
    EXPECT_EQ(Glyphs(pe, 11).front(), c.first) << static_cast<int>(c.align);
  }
}

TEST(PrintEngine, FormatsExponentsWithTheRaisedMarker) {
  EXPECT_EQ(FormatExponent(2, 1234.5), " 1.234×$^3");
  EXPECT_EQ(FormatExponent(2, 0.001), " 1.000×$~3");
  EXPECT_EQ(FormatExponent(1, -2.5e-12), "-2.50×$~12");
}

TEST(PrintEngine, ReportPagesAreGrey) {
  EXPECT_EQ(GreyOf(0x0000FF), 0x1F1F1Fu);
  EXPECT_EQ(GreyOf(0x00FF00), 0x8F8F8Fu);
  EXPECT_EQ(GreyOf(0xFF0000), 0x4F4F4Fu);  // 5 * 255 >> 4 = 79
  PrintEngine pe;
  test::StartBare(pe);
  pe.SetPenColor(0x0000FF);
  pe.SetBrushColor(0x00FF00);
  pe.SetBrushColor(kBackgroundColour);  // the background stays as it is
  pe.SetFontColor(0x0000FF);            // text is always black
  EXPECT_EQ(test::Dumped(pe, 11, {"pencolor", "brushcolor", "fontcolor"}),
            (std::vector<std::string>{"fontcolor 000000", "pencolor 000000",
                                      "brushcolor FFFFFF",  // slot state
                                      "fontcolor 000000", "pencolor 1F1F1F", "brushcolor 8F8F8F",
                                      "brushcolor D0E0E0", "fontcolor 000000"}));
  // Pen widths: one unit is two pixels on the page bitmap.
  pe.SetPenWidth(1);
  pe.SetPenWidth(2);
  pe.SetPenWidth(0);
  EXPECT_EQ(test::Dumped(pe, 11, {"penwidth"}),
            (std::vector<std::string>{"penwidth 1", "penwidth 2", "penwidth 4", "penwidth 1"}));
}

TEST(PrintEngine, LinesSnapToOddPixelsForThinPensAndEvenForThickOnes) {
  PrintEngine pe;
  test::StartBare(pe);
  pe.SetPenWidth(1);
  pe.LineMm(1.04, 0.0, 2.26, 1.0);  // 10.4 -> 10 -> 11; 50 -> 51; 22.6 -> 23; 60 -> 61
  pe.SetPenWidth(2);
  pe.LineMm(1.04, 0.0, 2.26, 1.0);  // 4 px: 10, 50, 22, 60
  EXPECT_EQ(
      test::Dumped(pe, 11, {"moveto", "lineto"}),
      (std::vector<std::string>{"moveto 11 51", "lineto 23 61", "moveto 10 50", "lineto 22 60"}));
}

TEST(PrintEngine, PageNumbersAndTheSampleStampOnBodyPagesOnly) {
  PrintEngine pe;
  pe.internal_solver = true;
  pe.BeginReportPages(1800, 2700);
  pe.SelectPageSlot(0);
  pe.StartPage(0, false);  // cover: no number
  pe.SelectPageSlot(kFirstBodySlot);
  pe.NewPage();
  pe.NewPage();
  pe.NewPage();
  EXPECT_EQ(pe.records().current(), 13);
  EXPECT_EQ(pe.page_number, 3);
  EXPECT_TRUE(Glyphs(pe, 0).empty());
  const auto g = Glyphs(pe, 13);
  ASSERT_FALSE(g.empty());
  // "3" bottom-centred at (90, 265) in the 3.4 mm font: x 88.8 mm, top 261.6 mm.
  EXPECT_EQ(g.front(), (GlyphAt{889, 2667, "3"}));
  // The stamp: 48 mm font turned 60 degrees, light grey, starting at (20, 200).
  EXPECT_EQ(test::Dumped(pe, 13, {"font"})[2], "font 480 320 600 0");
  EXPECT_EQ(test::Dumped(pe, 13, {"fontcolor"})[3], "fontcolor D0D0D0");
  ASSERT_EQ(g.size(), 7u);
  EXPECT_EQ(g[1], (GlyphAt{201, 2051, "S"}));
  // Each column advances 320 px along 60 degrees: (160, -277.1), so (360, 1772.9).
  EXPECT_EQ(g[2], (GlyphAt{361, 1773, "A"}));
  // Body font afterwards.
  EXPECT_EQ(pe.font().height_px, 36);
  EXPECT_EQ(pe.font().face, 1);
}

TEST(PrintEngine, PageSlotsGrowPastFiveHundredAndTwelve) {
  PrintEngine pe;
  test::StartBare(pe);
  // Body page 700 lies in slot 710; the slots between stay empty.
  ASSERT_TRUE(pe.SelectPageSlot(kFirstBodySlot + 700));
  pe.DrawText(0, 0, 0, 0, "p700");
  EXPECT_EQ(pe.NextPageSlot(), kFirstBodySlot + 701);
  EXPECT_EQ(pe.records().highest(), kFirstBodySlot + 701);
  EXPECT_TRUE(pe.records().Slot(600).empty());
  EXPECT_EQ(test::Glyphs(pe, kFirstBodySlot + 700).size(), 4u);
  EXPECT_TRUE(test::Glyphs(pe, kFirstBodySlot + 701).empty());
  EXPECT_TRUE(pe.records().Slot(kPageSlots + 5).empty()) << "beyond the list: an empty page";
  EXPECT_TRUE(pe.notices.empty());
}

TEST(PrintEngine, APageSlotBeyondTheLastFailsClearly) {
  PrintEngine pe;
  test::StartBare(pe);
  ASSERT_TRUE(pe.SelectPageSlot(kLastPageSlot));
  pe.DrawText(0, 0, 0, 0, "last");
  const std::size_t before = pe.records().Slot(kLastPageSlot).size();
  EXPECT_EQ(pe.NextPageSlot(), -1);
  EXPECT_FALSE(pe.SelectPageSlot(kPageSlots));
  pe.DrawText(0, 0, 0, 0, "lost");
  pe.NewPage();
  EXPECT_EQ(pe.records().Slot(kLastPageSlot).size(), before) << "the last page is not drawn over";
  EXPECT_EQ(pe.records().current(), -1);
  ASSERT_EQ(pe.notices.size(), 1u);
}

TEST(PrintEngine, FitsOnPageTestsAgainstTheUsableHeight) {
  PrintEngine pe;
  test::StartBare(pe);
  // The last line's text (3.6 mm below its top at y + height) ends above
  // the page number, whose 3.4 mm end at 265 mm.
  EXPECT_TRUE(pe.FitsOnPage(252.0, 5.76));   // text ends at 261.36
  EXPECT_FALSE(pe.FitsOnPage(252.5, 5.76));  // 261.86 touches the number (261.6)
  EXPECT_FALSE(pe.FitsOnPage(259.0, 5.76));
  EXPECT_FALSE(pe.FitsOnPage(266.0, 0));
}

TEST(PrintEngine, ReplayScalesIntoBitmapsAndOntoPaper) {
  PrintEngine pe;
  test::StartBare(pe);
  pe.SetPenWidth(1);
  pe.LineMm(10, 15, 20, 15);  // 100,200 -> 200,200 (odd: 101, 201)
  pe.DrawText(0, 0, 0, 0, "A");
  struct Probe : DrawTarget {
    std::vector<std::string> lines;
    std::uint32_t cleared = 1;
    void Execute(const PageCommand& c) override { lines.push_back(DumpCommand(c)); }
    void Clear(std::uint32_t c) override { cleared = c; }
  };
  Probe half;
  ReplayGeometry g;
  g.width_px = 900;
  g.height_px = 1350;
  ReplayPage(pe.records(), 11, half, g, 1800, 2700, 0xFFFFFF);
  EXPECT_EQ(half.cleared, 0xFFFFFFu);
  auto has = [](const Probe& p, const std::string& s) {
    return std::find(p.lines.begin(), p.lines.end(), s) != p.lines.end();
  };
  EXPECT_TRUE(has(half, "moveto 51 101"));  // trunc(50.5) | 1, trunc(100.5) | 1
  EXPECT_TRUE(has(half, "lineto 101 101"));
  EXPECT_TRUE(has(half, "font 18 9 0 1"));
  EXPECT_TRUE(has(half, "glyph 0 25 A"));  // glyphs are not made odd
  // Paper at 254 dpi: 10 dots per mm, page origin 15 mm in, one extra pen pixel.
  Probe paper;
  ReplayGeometry p;
  p.printer = true;
  p.dpi_x = p.dpi_y = 254;
  ReplayPage(pe.records(), 11, paper, p, 1800, 2700, 0xFFFFFF);
  EXPECT_EQ(paper.cleared, 1u);
  EXPECT_TRUE(has(paper, "moveto 251 351"));
  EXPECT_TRUE(has(paper, "glyph 151 201 A"));
  EXPECT_TRUE(has(paper, "penwidth 3"));
  // A slot never used replays as the background only.
  Probe empty;
  EXPECT_EQ(ReplayPage(pe.records(), 300, empty, g, 1800, 2700, kBackgroundColour), 0);
  EXPECT_EQ(empty.cleared, kBackgroundColour);
  EXPECT_TRUE(empty.lines.empty());
}

TEST(PrintEngine, DrawingSwitchOffRecordsNothing) {
  PrintEngine pe;
  test::StartBare(pe);
  const std::size_t before = pe.records().Slot(11).size();
  pe.drawing = false;
  pe.DrawText(0, 0, 0, 0, "abc");
  pe.SetPenColor(0xFF);
  pe.LineMm(0, 0, 10, 10);
  pe.StartPage(4, true);
  EXPECT_EQ(pe.page_number, 4);
  EXPECT_EQ(pe.records().Slot(11).size(), before);
}

TEST(WorldWindow, FitsTheWorldWithoutDistortion) {
  PrintEngine pe;
  pe.SetWindow(0, 10, 180, 100, 0, 0, 18000, -9000);
  EXPECT_NEAR(pe.window().sx, 0.01, 1e-15);
  EXPECT_NEAR(pe.window().sy, -0.01, 1e-15);
  EXPECT_DOUBLE_EQ(pe.window().b, 10);
  pe.SetWindow(0, 0, 100, 100, 0, 0, 10, 5);
  EXPECT_DOUBLE_EQ(pe.window().sx, 10);
  EXPECT_DOUBLE_EQ(pe.window().sy, 10);
  EXPECT_DOUBLE_EQ(pe.window().b, 25);
  EXPECT_DOUBLE_EQ(pe.window().d, 75);
  EXPECT_DOUBLE_EQ(pe.PageY(5), 75);
  // A degenerate window never divides by zero.
  pe.SetWindow(0, 0, 0, 0, 3, 3, 3, 3);
  EXPECT_TRUE(std::isfinite(pe.window().sx));
  EXPECT_TRUE(std::isfinite(pe.WorldX(1)));
}

TEST(WorldWindow, ZoomKeepsThePointUnderThePixelAndZeroRestores) {
  PrintEngine pe;
  pe.SetWindow(0, 10, 180, 100, 0, 0, 18000, -9000);
  const WorldWindow before = pe.window();
  const double px = 700, py = 400;  // a device pixel
  const double X = pe.WorldX(px / 10 - 0), Y = pe.WorldY(py / 10 - 5);
  pe.ZoomWindow(px, py, 2);
  EXPECT_NEAR(pe.PxX(pe.PageX(X)), px, 1e-9);
  EXPECT_NEAR(pe.PxY(pe.PageY(Y)), py, 1e-9);
  EXPECT_NEAR(pe.window().sx, 0.02, 1e-15);
  pe.PanWindow(50, -20);
  pe.ZoomWindow(px, py, 0);
  EXPECT_EQ(pe.window().e, before.e);
  EXPECT_EQ(pe.window().f, before.f);
  EXPECT_EQ(pe.window().sx, before.sx);
  EXPECT_EQ(pe.window().sy, before.sy);
}

TEST(WorldWindow, HatchingEndsEvenWithAZeroSpacing) {
  PrintEngine pe;
  test::StartBare(pe);
  pe.SetWindowExact(0, 0, 100, 100, 0, 0, 100, 100);  // 1 mm per unit, 10 px per unit
  // 10 px spacing over a 100 px square: lines at 10, 20, ... 90 px.
  pe.HatchRectWorld(0, 0, 10, 10, 1, 0);
  EXPECT_EQ(test::Count(pe, 11, Cmd::kLineTo), 9);
  // A spacing that truncates below one pixel is drawn every pixel: 99 lines.
  pe.SelectPageSlot(12);
  pe.HatchRectWorld(0, 0, 10, 10, 0, 0);
  EXPECT_EQ(test::Count(pe, 12, Cmd::kLineTo), 99);
  // At 90 degrees the same square gives vertical lines (equal x at both ends).
  pe.SelectPageSlot(13);
  pe.HatchRectWorld(0, 0, 10, 10, 2.5, 3.14159265358979 / 2);
  const auto moves = test::Dumped(pe, 13, {"moveto", "lineto"});
  ASSERT_EQ(moves.size(), 6u);
  int x1, y1, x2, y2;
  ASSERT_EQ(std::sscanf(moves[0].c_str(), "moveto %d %d", &x1, &y1), 2);
  ASSERT_EQ(std::sscanf(moves[1].c_str(), "lineto %d %d", &x2, &y2), 2);
  EXPECT_EQ(x1, x2);
  EXPECT_EQ(std::abs(y2 - y1), 100);
}

TEST(WorldWindow, PolygonsUseAtMost256Points) {
  PrintEngine pe;
  test::StartBare(pe);
  std::vector<double> xy;
  for (int i = 0; i < 300; ++i) xy.insert(xy.end(), {double(i), double(i % 7)});
  pe.PolygonWorld(xy, kBrushFDiagonal, 0xFFFFFF, 0x000000, 0x000000);
  int polygons = 0;
  for (const auto& c : pe.records().Slot(11))
    if (c.cmd == Cmd::kPolygon) {
      ++polygons;
      EXPECT_EQ(c.points.size(), 512u);
    }
  EXPECT_EQ(polygons, 2) << "a hatched polygon is first filled solid";
}

}  // namespace
}  // namespace vaultra
