// The structure figures and force diagrams on a small hand-made frame, with
// every expected pixel worked out by hand from the window below, and the
// rules that keep block groups, point counts, canvases and scales sound.
//
// Window of the report tests: page x 20..160, y 20..160 mm onto world
// x -1..6, y 6..-1, so sx = 20 mm/m, sy = -20 mm/m; page x = 20 (X + 1) + 20,
// page y = -20 (Y - 6) + 20; pixels = 10 (x, y + 5) (left 0, top 5 mm).
#include "report/figures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "report/figures/test_frame.h"
#include "report/force_diagrams.h"
#include "report/report_test_util.h"

namespace vaultra {
namespace {

using test::Frame;

class FigureOnPage : public ::testing::Test {
 protected:
  void SetUp() override {
    test::StartBare(pe);
    pe.SetWindow(20, 20, 160, 160, -1, 6, 6, -1);
    fig = MakeFigure(f.s, f.row, kLayoutBox, false);
  }
  std::vector<std::string> Dump(std::initializer_list<const char*> words) const {
    return test::Dumped(pe, kFirstBodySlot + 1, words);
  }
  bool Has(const std::string& line) const {
    const auto d = Dump({"moveto", "lineto", "polygon", "polyline", "glyph"});
    return std::find(d.begin(), d.end(), line) != d.end();
  }
  Frame f;
  PrintEngine pe;
  Figure fig;
};

TEST_F(FigureOnPage, BoxBlockIsItsOutlineFilledGreyWithTheOpeningCutOut) {
  DrawBlocks(pe, fig);
  // Outline x 0..4, y -0.125..2.875: page x 40..120, y 142.5..82.5 mm.
  // Opening x 0.25..3.75, y 0.125..2.625: page x 45..115, y 137.5..87.5 mm.
  EXPECT_EQ(
      Dump({"polygon", "brushcolor"}),
      (std::vector<std::string>{
          "brushcolor FFFFFF", "brushcolor D0D0D0", "polygon 4 400 1475 1200 1475 1200 875 400 875",
          "brushcolor FFFFFF", "polygon 4 450 1425 1150 1425 1150 925 450 925"}));
}

TEST_F(FigureOnPage, DimensionLineWritesMillimetresBesideItsShaft) {
  pe.SetArrowHead(1.0);
  // (0, 0)-(2.5, 0) lies at page (40, 140)-(90, 140); the offset -0.5 m is
  // 10 mm down (the normal of a left-to-right line points up the page).
  DrawDimension(pe, 0, 0, 2.5, 0, -0.5, kDimExtStart | kDimExtEnd | kDimText, "$3", 2.0);
  EXPECT_EQ(Dump({"moveto", "lineto"}),
            (std::vector<std::string>{
                // extension lines from 1 mm to 10.7 mm below the points
                "moveto 401 1461", "lineto 401 1557", "moveto 901 1461", "lineto 901 1557",
                // shaft at page y 150
                "moveto 401 1551", "lineto 901 1551",
                // heads of 1 mm at 15 degrees: (cos, sin) = (0.966, 0.259)
                "moveto 401 1551", "lineto 411 1553", "moveto 401 1551", "lineto 411 1547",
                "moveto 901 1551", "lineto 891 1547", "moveto 901 1551", "lineto 891 1553"}));
  // "2500" centred on x 65 (4 x 1.2 mm wide, from 62.6 mm), its lower edge
  // 0.3 t above the shaft: top at 150 - 0.6 - 2 = 147.4 mm. Glyphs sit on
  // odd pixels.
  EXPECT_EQ(test::Glyphs(pe, kFirstBodySlot + 1),
            (std::vector<test::GlyphAt>{
                {627, 1525, "2"}, {639, 1525, "5"}, {651, 1525, "0"}, {663, 1525, "0"}}));
}

TEST_F(FigureOnPage, DimensionOfCoincidentPointsDrawsNothing) {
  const std::size_t before = pe.records().Slot(kFirstBodySlot + 1).size();
  DrawDimension(pe, 1, 1, 1 + 1e-7, 1, 0.5, kDimText, "$3", 2.0);
  EXPECT_EQ(pe.records().Slot(kFirstBodySlot + 1).size(), before);
}

TEST_F(FigureOnPage, MomentOrdinatesLieBelowTheSlabAndRightOfTheWall) {
  const auto labels = DrawForceDiagram(pe, fig, f.r, 1, kCompM, 0, 1);
  // H = min(3, 3) / 3 = 1 m for the envelope 20: k = 0.05 m per kN m.
  // Top slab (flat, s = -1): M 20 at x 2 is drawn 1 m down, at (2, 2):
  // page (80, 100) mm, pixel (801, 1051) on the odd grid.
  EXPECT_TRUE(Has("lineto 801 1051"));
  // Left wall (vertical, laid upwards, s = +1): M 20 at y 1.5 is drawn 1 m
  // to the right, at (1, 1.5): page (60, 110), pixel (601, 1151).
  EXPECT_TRUE(Has("lineto 601 1151"));
  // Only the ends are labelled (no point of interest in the middle).
  for (const FigureLabel& l : labels) EXPECT_NE(l.point, 2) << l.member;
}

TEST_F(FigureOnPage, ScaleTakesTheEnvelopeOfTheDrawnComponent) {
  // Shear: envelope 40 (not the moment's 20 nor the axial 80), so S = 40 on
  // the flat top slab (s = +1) is drawn 1 m up: y 4, page y 60, pixel 651.
  DrawForceDiagram(pe, fig, f.r, 1, kCompS, 0, 1);
  EXPECT_TRUE(Has("moveto 401 651"));
  EXPECT_TRUE(Has("lineto 1201 651"));
  EXPECT_DOUBLE_EQ(CaseEnvelope(f.r, 1, kCompM), 20);
  EXPECT_DOUBLE_EQ(CaseEnvelope(f.r, 1, kCompS), 40);
  EXPECT_DOUBLE_EQ(CaseEnvelope(f.r, 1, kCompN), 80);
  EXPECT_DOUBLE_EQ(CaseEnvelope(f.r, 1, 0), 0);
  EXPECT_DOUBLE_EQ(CaseEnvelope(f.r, 9, kCompM), 0);
}

TEST_F(FigureOnPage, AllZeroCaseDrawsFlatDiagramsOnTheMinimumReference) {
  for (int m = 1; m <= 4; ++m)
    for (int p = 1; p <= 3; ++p) f.r.At(1, m).points[p][kCompM] = 0;
  f.r.cases[1].envelope = {};
  const auto labels = DrawForceDiagram(pe, fig, f.r, 1, kCompM, 0, 1);
  // The top slab's diagram lies on the slab: y 3, page 80, pixel 851.
  EXPECT_TRUE(Has("lineto 801 851"));
  for (const FigureLabel& l : labels) EXPECT_EQ(l.text, "0.00");
}

struct MaxCase {
  int component;
  bool merged;
  const char* label;  // "" when the maximum point gets none
};

TEST_F(FigureOnPage, MaximumPointIsInsertedAndLabelledByItsOrigin) {
  const MaxCase cases[] = {{kCompM, false, "(15.00)"},
                           {kCompM, true, "<15.00>"},
                           {kCompS, true, ""},
                           {kCompN, false, "(7.00)"}};
  for (const MaxCase& c : cases) {
    SCOPED_TRACE(c.label);
    f.s.Member(2).poi_flag = 1;
    MemberCaseResult& mc = f.r.At(1, 2);
    mc.max_index = 4;
    mc.merged = c.merged;
    mc.refined = {1.0, 15, 3, 7, 0, 0};
    const auto labels = DrawForceDiagram(pe, fig, f.r, 1, c.component, 0, 1);
    std::vector<std::string> max_texts, member2;
    for (const FigureLabel& l : labels) {
      if (l.maximum) max_texts.push_back(l.text);
      if (l.member == 2) member2.push_back(l.text);
    }
    if (*c.label) {
      EXPECT_EQ(max_texts, std::vector<std::string>{c.label});
      // Inserted before x 2: the points are x 0, 1 (maximum), 2, 4.
      for (const FigureLabel& l : labels) {
        if (l.maximum) {
          EXPECT_EQ(l.point, 2);
        }
      }
    } else {
      EXPECT_TRUE(max_texts.empty());
    }
    EXPECT_EQ(member2.size(), *c.label ? 3u : 2u);  // both ends and the maximum
  }
}

TEST_F(FigureOnPage, PointCountIsLimitedAndTheMaximumInsertedOnlyWithRoom) {
  f.s.Member(2).poi_flag = 1;
  MemberCaseResult& mc = f.r.At(1, 2);
  mc.count = 1000;  // a count no results record can hold
  for (int p = 1; p <= kResultMaxPoints + 1; ++p) mc.points[p][kCompX] = 4.0 * (p - 1) / 21;
  mc.max_index = 5;
  mc.refined = {1.0, 15, 3, 7, 0, 0};
  const auto labels = DrawForceDiagram(pe, fig, f.r, 1, kCompM, 0, 1);
  int last = 0;
  for (const FigureLabel& l : labels)
    if (l.member == 2) {
      EXPECT_FALSE(l.maximum);
      last = std::max(last, l.point);
    }
  EXPECT_EQ(last, kDiagramLastPoint);
}

TEST_F(FigureOnPage, MembersWithoutDiagramGetNoLabels) {
  // Member 3 becomes a type-28 stub, member 4 keeps a single point.
  f.s.Member(3).type = 28;
  f.r.At(1, 4).count = 1;
  const auto labels = DrawForceDiagram(pe, fig, f.r, 1, kCompM, 0, 1);
  ASSERT_FALSE(labels.empty());
  for (const FigureLabel& l : labels) {
    EXPECT_NE(l.member, 3);
    EXPECT_NE(l.member, 4);
  }
}

TEST_F(FigureOnPage, InnerPointsOfInterestAreLabelled) {
  // A haunch 2 m from the slab's i-end lies on the middle point; with the
  // 2d option the inner 2d point is labelled only under a positive moment.
  struct Row {
    int poi_index;
    bool shear_at_2d;
    double moment;
    bool labelled;
  };
  const Row rows[] = {{0, false, 20, true}, {3, false, 20, true},  {3, true, 20, false},
                      {2, true, 20, true},  {2, true, -20, false}, {1, true, -20, true},
                      {1, true, 20, false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.poi_index * 100 + row.shear_at_2d * 10 + (row.moment > 0));
    f.s.Member(2).points = {};
    f.s.Member(2).points[static_cast<std::size_t>(row.poi_index)] = 2.0;
    f.r.At(1, 2).points[2][kCompM] = row.moment;
    fig.shear_at_2d = row.shear_at_2d;
    const auto labels = DrawForceDiagram(pe, fig, f.r, 1, kCompM, 0, 1);
    bool found = false;
    for (const FigureLabel& l : labels) found = found || (l.member == 2 && l.point == 2);
    EXPECT_EQ(found, row.labelled);
  }
}

TEST_F(FigureOnPage, ArrowWithBothHeadsTooShortHasNoHeads) {
  pe.SetArrowHead(1.0);
  const std::size_t before = pe.records().Slot(kFirstBodySlot + 1).size();
  DrawArrow(pe, 10, 10, 12, 10, kArrowShaft | kArrowHeadStart | kArrowHeadEnd);  // 2 < 2.2
  EXPECT_EQ(pe.records().Slot(kFirstBodySlot + 1).size(), before + 2);           // the shaft alone
  DrawArrow(pe, 10, 10, 12.5, 10, kArrowShaft | kArrowHeadStart | kArrowHeadEnd);
  EXPECT_EQ(pe.records().Slot(kFirstBodySlot + 1).size(), before + 2 + 10);
}

TEST_F(FigureOnPage, FrameNumbersSitBesideTheirMembers) {
  DrawMemberNumbers(pe, fig);
  // Font 2 mm, pitch 1 mm: h = 0.1 m. Top slab [2] (type 3) bottom-centred
  // 0.2 h above its middle (2, 3): 3 glyphs from page x 80 - 1.5 = 78.5,
  // top at page y 80 - 0.4 - 2 = 77.6 mm; pixel (785, 826) lands on the odd
  // glyph grid at (787, 827).
  const auto g = test::Glyphs(pe, kFirstBodySlot + 1);
  EXPECT_NE(std::find(g.begin(), g.end(), test::GlyphAt{787, 827, "["}), g.end());
  // Left wall [1] (type 1) left of the member: top-left corner at
  // (0 - 3 h / 2, 1.5 + h / 2) = page (37, 109) mm.
  EXPECT_NE(std::find(g.begin(), g.end(), test::GlyphAt{371, 1141, "["}), g.end());
}

// --- visible blocks ---

Figure FourBlocks(const StructureModel& s) {
  Figure fig;
  fig.model = &s;
  fig.bounds = {0, 0, 3, 6, 9, 12};
  fig.block_count = 4;
  SetVisibleBlocks(fig, 1, 99);
  return fig;
}

TEST(BlockGroups, RangeEndsAtTheLastBlockOfTheGroup) {
  StructureModel s;
  s.frame_width = 11.5;
  const Figure fig = FourBlocks(s);
  struct Row {
    int first, count;
    double x0, x1;
  };
  const Row rows[] = {{2, 2, 3, 9},    {1, 4, 0, 12},   {4, 3, 9, 12}, {3, 1, 6, 9},
                      {0, 2, 0, 11.5}, {0, 0, 0, 11.5}, {9, 2, 9, 12}, {2, 0, 3, 6}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.first * 10 + r.count);
    double x0 = -1, x1 = -1;
    BlockGroupRange(fig, r.first, r.count, x0, x1);
    EXPECT_DOUBLE_EQ(x0, r.x0);
    EXPECT_DOUBLE_EQ(x1, r.x1);
  }
}

TEST(BlockGroups, VisibleRangeIsClampedToTheBlocks) {
  StructureModel s;
  Figure fig = FourBlocks(s);
  struct Row {
    int first, last, want_first, want_last;
  };
  const Row rows[] = {{0, 999, 1, 4}, {-5, 2, 1, 2}, {9, 2, 4, 4}, {3, 1, 3, 3}, {2, 3, 2, 3}};
  for (const Row& r : rows) {
    SetVisibleBlocks(fig, r.first, r.last);
    EXPECT_EQ(fig.first, r.want_first);
    EXPECT_EQ(fig.last, r.want_last);
  }
  // "All blocks" shows the last block too.
  SetVisibleBlocks(fig, 0, 999);
  EXPECT_TRUE(IsVisibleX(fig, 11.9));
  EXPECT_TRUE(IsVisibleX(fig, 1e6));
  // A range set past the table by hand never reads outside the boundaries.
  fig.first = 50, fig.last = -3;
  EXPECT_TRUE(IsVisibleX(fig, 11));
  EXPECT_FALSE(IsVisibleX(fig, 8));
}

TEST(BlockGroups, EndsWithinACentimetreOfTheGroupAreVisible) {
  // Blocks 3..5 of 8 (each 2 m): a member end 0.005 m left of block 3 is
  // drawn, one 0.02 m left of it is not; likewise at the right.
  StructureModel s;
  Figure fig;
  fig.model = &s;
  fig.bounds = {0, 0, 2, 4, 6, 8, 10, 12, 14, 16};
  fig.block_count = 8;
  SetVisibleBlocks(fig, 3, 5);
  EXPECT_TRUE(IsVisibleX(fig, 4 - 0.005));
  EXPECT_FALSE(IsVisibleX(fig, 4 - 0.02));
  EXPECT_TRUE(IsVisibleX(fig, 10 + 0.005));
  EXPECT_FALSE(IsVisibleX(fig, 10 + 0.02));
}

// --- screen set-up ---

class ScreenFigure : public ::testing::Test {
 protected:
  Frame f;
  PrintEngine pe;
  Figure fig = MakeFigure(f.s, f.row, kLayoutBox, false);
};

TEST_F(ScreenFigure, CanvasSizeGivesThePageRectangle) {
  // 900 x 600 pixels: d = 600 * 180 / 900 = 120 mm; x 18..165, y 6..104.
  // The 4 x 3 m frame is height-governed: used width 98 * 4 / 3 mm, centred.
  ASSERT_TRUE(SetupFigure(pe, fig, kFigureNew, 900, 600, 0));
  const WorldWindow& w = pe.window();
  EXPECT_DOUBLE_EQ(w.b, 6);
  EXPECT_DOUBLE_EQ(w.d, 104);
  EXPECT_NEAR((w.a + w.c) / 2, (18 + 165) / 2.0, 1e-9);
  EXPECT_NEAR(w.sx, 98.0 / 3, 1e-9);
  EXPECT_NEAR(w.sy, -98.0 / 3, 1e-9);
  EXPECT_EQ(pe.device().kind, 1);
}

TEST_F(ScreenFigure, TinyCanvasDrawsNothing) {
  struct Counter : DrawTarget {
    int n = 0;
    void Execute(const PageCommand&) override { ++n; }
  } canvas;
  for (auto [w, h] : {std::pair{0, 0}, {1, 500}, {500, 1}}) {
    EXPECT_FALSE(SetupFigure(pe, fig, kFigureNew, w, h, 0, &canvas));
    DrawModelFigure(pe, fig, kShowStandard);
    EXPECT_FALSE(SetupFigure(pe, fig, kFigureZoomIn, 10, 10, 0));
  }
  EXPECT_EQ(canvas.n, 0);
  EXPECT_TRUE(SetupFigure(pe, fig, kFigureNew, 2, 2, 0, &canvas));
  EXPECT_GT(canvas.n, 0);
  for (double v : {pe.window().sx, pe.window().sy}) EXPECT_TRUE(std::isfinite(v));
}

TEST_F(ScreenFigure, EmptyStoredViewFallsBackToTheWholeFrame) {
  ASSERT_TRUE(SetupFigure(pe, fig, kFigureNew, 900, 600, 0));
  const WorldWindow whole = pe.window();
  for (FigureView v : {FigureView{}, FigureView{1, 1, 1, 5}, FigureView{2, 0, 3, 0}}) {
    ASSERT_TRUE(SetupFigure(pe, fig, kFigureNew, 900, 600, kFigureUseStoredView, nullptr, &v));
    EXPECT_DOUBLE_EQ(pe.window().sx, whole.sx);
    EXPECT_DOUBLE_EQ(pe.window().e, whole.e);
    EXPECT_DOUBLE_EQ(pe.window().f, whole.f);
  }
}

TEST_F(ScreenFigure, StoredViewShowsWhatWasShown) {
  FigureView view;
  ASSERT_TRUE(SetupFigure(pe, fig, kFigureNew, 900, 600, 0, nullptr, &view));
  SetupFigure(pe, fig, kFigureZoomIn, 300, 200, 0, nullptr, &view);
  SetupFigure(pe, fig, kFigurePan, 40, -25, 0, nullptr, &view);
  const FigureView kept = view;
  ASSERT_TRUE(SetupFigure(pe, fig, kFigureNew, 900, 600, kFigureUseStoredView, nullptr, &view));
  EXPECT_NEAR(view.x0, kept.x0, 1e-9);
  EXPECT_NEAR(view.x1, kept.x1, 1e-9);
  EXPECT_NEAR(view.y0, kept.y0, 1e-9);
  EXPECT_NEAR(view.y1, kept.y1, 1e-9);
}

TEST_F(ScreenFigure, ZoomStopsAtTwelvePixelsPerTenthMillimetreAndAtTheFittedScale) {
  ASSERT_TRUE(SetupFigure(pe, fig, kFigureNew, 900, 600, 0));
  const double fitted = pe.window().sx;
  const double res = pe.device().resolution;
  for (int i = 0; i < 400; ++i) SetupFigure(pe, fig, kFigureZoomIn, 450, 300, 0);
  EXPECT_NEAR(0.0001 * pe.window().sx * res, 12, 1e-9);
  // The world point under the mouse stays put while zooming.
  double X, Y;
  PixelToWorld(pe, 450, 300, X, Y);
  SetupFigure(pe, fig, kFigureZoomOut, 450, 300, 0);
  double X2, Y2;
  PixelToWorld(pe, 450, 300, X2, Y2);
  EXPECT_NEAR(X, X2, 1e-9);
  EXPECT_NEAR(Y, Y2, 1e-9);
  for (int i = 0; i < 400; ++i) SetupFigure(pe, fig, kFigureZoomOut, 450, 300, 0);
  EXPECT_DOUBLE_EQ(pe.window().sx, fitted);
}

TEST_F(ScreenFigure, PanMovesThePictureWithTheMouse) {
  ASSERT_TRUE(SetupFigure(pe, fig, kFigureNew, 900, 600, 0));
  double X, Y;
  PixelToWorld(pe, 100, 100, X, Y);
  SetupFigure(pe, fig, kFigurePan, 30, -20, 0);
  double X2, Y2;
  PixelToWorld(pe, 130, 80, X2, Y2);
  EXPECT_NEAR(X, X2, 1e-9);
  EXPECT_NEAR(Y, Y2, 1e-9);
}

TEST_F(ScreenFigure, PickingFindsTheNearestMemberAndTheBlock) {
  struct Row {
    double x, y, limit;
    int member;
  };
  const Row rows[] = {{0.1, 1.5, 0.3, 1}, {2, 2.9, 0.3, 2}, {3.8, 1, 0.3, 3},    {2, 0.2, 0.3, 4},
                      {2, 1.5, 0.3, 0},   {2, 1.5, 300, 2}, {-0.2, -0.2, 0.3, 1}};
  for (const Row& r : rows) EXPECT_EQ(NearestMember(fig, r.x, r.y, r.limit), r.member) << r.x;
  EXPECT_EQ(BlockAt(fig, 2, 1.5), 1);
  EXPECT_EQ(BlockAt(fig, 5, 1.5), 0);
}

}  // namespace
}  // namespace vaultra

namespace vaultra {
namespace {

// The label placer: labels asked for at one place, or across an obstacle
// line, end up side by side, each once, deterministically.
TEST(FigureLabels, LabelsAtOnePlaceOrAcrossAMemberAreMovedApart) {
  auto draw = [](PrintEngine& pe) {
    test::StartBare(pe);
    pe.SetWindow(20, 50, 160, 100, 0, 10, 10, 0);
    pe.SetPenWidth(1);
    pe.SetObstacleLines(true);
    pe.LineWorld(0, 5, 10, 5);  // a member across the middle
    pe.SetObstacleLines(false);
    pe.SetTextFont(2.0, 1.0, 0, 0);
    const LabelScope scope(pe);
    for (int k = 0; k < 4; ++k) pe.TextWorld(TextAlign::kMiddleLeft, 5, 5, "-12.250");
    pe.TextWorld(TextAlign::kMiddleLeft, 5, 5, "[1]");
  };
  PrintEngine pe;
  draw(pe);
  const int slot = kFirstBodySlot + 1;
  // Five labels, 25 glyphs, none over another.
  EXPECT_EQ(test::Glyphs(pe, slot).size(), 4u * 7 + 3);
  EXPECT_TRUE(test::Overprints(pe, slot).empty());
  // None across the member: at y = 5 of the world, page y 75 mm, px 800
  // (page top 5 mm, 10 px a mm); a 2 mm text lies wholly above or below.
  for (const test::GlyphAt& g : test::Glyphs(pe, slot))
    EXPECT_TRUE(g.y + 20 <= 800 || g.y >= 800) << g.ch << " at " << g.y;
  // A label moved further than its height gets a leader line.
  EXPECT_GE(test::Count(pe, slot, Cmd::kLineTo), 2);
  // The same drawing again places every label the same.
  PrintEngine again;
  draw(again);
  EXPECT_EQ(test::Dumped(pe, slot, {"glyph", "lineto"}),
            test::Dumped(again, slot, {"glyph", "lineto"}));
  // Outside a label scope a text stays where it was asked for.
  PrintEngine plain;
  test::StartBare(plain);
  plain.SetTextFont(2.0, 1.0, 0, 0);
  plain.DrawText(10, 10, 0, 0, "A");
  plain.DrawText(10, 10, 0, 0, "A");
  EXPECT_EQ(test::Overprints(plain, slot).size(), 1u);
}

}  // namespace
}  // namespace vaultra
