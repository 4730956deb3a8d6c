#include <gtest/gtest.h>

#include <filesystem>

#include "core/fileio.h"
#include "core/number.h"
#include "report/report_template.h"
#include "report_test_util.h"

namespace vaultra {
namespace {

using test::GlyphAt;
using test::Glyphs;

class DrawingFile : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::filesystem::temp_directory_path() / (std::string("vaultra_pcj_") + info->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    test::StartBare(pe_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Write(const std::vector<std::string>& lines) {
    const std::string p = WithTrailingSlash(FromFsPath(dir_)) + "図.PCJ";
    std::vector<std::string> all = {"ＰＣＪ図形データファイル\t5.2"};
    all.insert(all.end(), lines.begin(), lines.end());
    EXPECT_TRUE(WriteFileAtomic(p, JoinLinesCrLf(all)));
    return p;
  }
  PrintEngine pe_;
  std::filesystem::path dir_;
};

TEST_F(DrawingFile, LineWeightsDecideGreyThinOrBlackHeavyLines) {
  const std::string f = Write({"CF_WINDOW,0,-9000,18000,0", "LINE,0,0,3,0,0,18000,-9000",
                               "LINE,0,0,0,0,0,18000,-9000", "LINE,0,0,7,0,0,18000,-9000",
                               "LINE,0,0,17,0,-9000,18000,0"});
  EXPECT_NEAR(DrawPcjFigure(pe_, 0, f), 90, 1e-9);
  // Pass 1: the thin ones (codes 0 and 17 & 15 = 1), grey and 2 px on odd
  // pixels; pass 2: code 3, black, 4 px on even pixels; code 7 never.
  EXPECT_EQ(
      test::Dumped(pe_, 11, {"pencolor", "penwidth", "moveto", "lineto"}),
      (std::vector<std::string>{"pencolor 000000",  // slot state
                                "penwidth 1",
                                "pencolor 000000",  // before the line passes
                                "pencolor 808080", "penwidth 2", "moveto 1 51", "lineto 1801 951",
                                "pencolor 000000", "pencolor 808080", "penwidth 2", "moveto 1 951",
                                "lineto 1801 51", "pencolor 000000", "penwidth 4", "moveto 0 50",
                                "lineto 1800 950"}));
}

TEST_F(DrawingFile, BackgroundsComeFirstAndColoursTurnGrey) {
  const std::string f = Write({"CF_WINDOW,0,-9000,18000,0", "LINE,0,0,3,0,0,1000,0",
                               "FILL4K,0,0,0,1000,-2000,0,1000,3000,0,0,0,H000000FF",
                               "POLYGON,0,0,0", "H0000FF00,0,0,1000,0,1000,-1000"});
  DrawPcjFigure(pe_, 0, f);
  const auto d = test::Dumped(pe_, 11, {"polygon", "lineto", "brushcolor"});
  // FILL4K: (1000, -1000)..(4000, -2000) -> 10..40 mm, 10..20 mm below the top.
  EXPECT_EQ(d[1], "brushcolor 1F1F1F");
  EXPECT_EQ(d[2], "polygon 4 100 150 400 150 400 250 100 250");
  EXPECT_EQ(d[3], "brushcolor 8F8F8F");
  EXPECT_EQ(d[4], "polygon 3 0 50 100 50 100 150");
  EXPECT_EQ(d[5], "lineto 100 50");
}

TEST_F(DrawingFile, TheWindowGivesTheBottomAndDrawingOffOnlyMeasures) {
  const std::string f = Write({"LINE,0,0,3,0,0,1000,0", "CF_WINDOW,0,-6000,18000,0"});
  EXPECT_NEAR(DrawPcjFigure(pe_, 20, f), 80, 1e-9);
  pe_.SelectPageSlot(12);
  pe_.drawing = false;
  EXPECT_NEAR(DrawPcjFigure(pe_, 20, f), 80, 1e-9);
  pe_.drawing = true;
  EXPECT_EQ(test::Count(pe_, 12, Cmd::kLineTo), 0);
  // A window line whose x max reads as weight code 7 still counts.
  pe_.SelectPageSlot(13);
  EXPECT_NEAR(DrawPcjFigure(pe_, 0, Write({"CF_WINDOW,0,-6000,18007,0"})), 60, 1e-9);
}

TEST_F(DrawingFile, AFileWithoutAWindowEndsAtTheBandBottom) {
  EXPECT_NEAR(DrawPcjFigure(pe_, 30, Write({"LINE,0,0,3,0,0,1000,0"})), 120, 1e-9);
  pe_.drawing = false;
  EXPECT_NEAR(DrawPcjFigure(pe_, 30, Write({"LINE,0,0,3,0,0,1000,0"})), 120, 1e-9);
}

TEST_F(DrawingFile, AMissingFileDrawsTheNoticeAndReturnsBelowIt) {
  const double y = DrawPcjFigure(pe_, 30, WithTrailingSlash(FromFsPath(dir_)) + "無い.PCJ");
  EXPECT_NEAR(y, 30 + 3 * 4.5 + 3.6, 1e-9);
  EXPECT_EQ(pe_.notices.size(), 1u);
  EXPECT_EQ(Glyphs(pe_, 11).front().ch, "#");
}

TEST_F(DrawingFile, TextsUseTheirSizeClassAndTheMinchoMarker) {
  const std::string f =
      Write({"CF_WINDOW,0,-9000,18000,0", "CF_SCALE,1", "CF_MJSIZH,100,200,350",
             "CF_MJSIZW,100,200,300", "CF_MJSIZP,0,0,50", "TEXT,0,0,3,1000,-1050,0,3", "~aB",
             "TEXT,0,0,3,1000,-1050,1.5707963267949,99", "x", "CIRCLE,0,0,3,9000,-4500,1000,0.5"});
  DrawPcjFigure(pe_, 0, f);
  const auto fonts = test::Dumped(pe_, 11, {"font"});
  // Class 3: 3.5 mm high, 3.0 + 0.5 mm wide -> pitch 1.75 mm; "~" selects face 1.
  EXPECT_NE(std::find(fonts.begin(), fonts.end(), "font 34 16 0 1"), fonts.end());
  // Class 99 has no size: the smallest cell, turned 90 degrees.
  EXPECT_NE(std::find(fonts.begin(), fonts.end(), "font 6 4 900 0"), fonts.end());
  const auto g = Glyphs(pe_, 11);
  ASSERT_GE(g.size(), 3u);
  // Lower-left corner at (10, 10.5) mm: the top at 7.0 mm.
  EXPECT_EQ(g[0], (GlyphAt{101, 121, "a"}));
  EXPECT_EQ(g[1], (GlyphAt{119, 121, "B"}));  // 17.5 px on
  EXPECT_EQ(test::Dumped(pe_, 11, {"ellipse"}),
            (std::vector<std::string>{"ellipse 800 450 1000 550"}));
}

TEST_F(DrawingFile, MalformedFilesAreReadSafely) {
  std::string many = "H00000000";
  for (int i = 0; i < 400; ++i) many += Format(",%d,%d", i * 10, -(i % 9) * 100);
  std::string wide = "LINE";
  for (int i = 0; i < 60; ++i) wide += ",3";
  const std::string f =
      Write({"CF_WINDOW,0,-9000,18000,0", "CF_MJSIZH,1e400,nan,-5", "POLYGON,0,0,0", many, wide,
             "TEXT,0,0,3,0,0,0,-2147483649", "text", "POLYGON,0,0,0", "TEXT,0,0,3,0,0,0,5"});
  EXPECT_NEAR(DrawPcjFigure(pe_, 0, f), 90, 1e-9);
  std::vector<std::size_t> polygons;
  for (const auto& c : pe_.records().Slot(11)) {
    if (c.cmd == Cmd::kPolygon) polygons.push_back(c.points.size() / 2);
  }
  // 400 points cut to 256; the last POLYGON takes the TEXT line as its data line.
  EXPECT_EQ(polygons, (std::vector<std::size_t>{256, 3}));
  // A data line missing at the end: POLYGON and TEXT just end the file.
  EXPECT_NEAR(DrawPcjFigure(pe_, 0, Write({"CF_WINDOW,0,-3000,18000,0", "TEXT,0,0,3,0,0,0,1"})), 30,
              1e-9);
  EXPECT_NEAR(DrawPcjFigure(pe_, 0, Write({"POLYGON,0,0,0"})), 90, 1e-9);
}

TEST_F(DrawingFile, TheShippedFiguresDrawInsideTheirBand) {
  for (const char* name : {"寸法記号図.PCJ", "支点条件(常時).PCJ", "支点条件(地震時).PCJ"}) {
    PrintEngine pe;
    test::StartBare(pe);
    const double bottom =
        DrawPcjFigure(pe, 10, std::string(VAULTRA_SOURCE_DIR "/Master/印刷/") + name);
    EXPECT_GT(bottom, 10) << name;
    EXPECT_LE(bottom, 100) << name;
    EXPECT_TRUE(pe.notices.empty()) << name;
    EXPECT_GT(test::Count(pe, 11, Cmd::kLineTo), 10) << name;
    EXPECT_GT(Glyphs(pe, 11).size(), 3u) << name;
    for (const auto& c : pe.records().Slot(11)) {
      if (c.cmd != Cmd::kLineTo && c.cmd != Cmd::kGlyph) continue;
      EXPECT_GE(c.v[0], 0) << name;
      EXPECT_LE(c.v[0], 1801) << name;
      EXPECT_GE(c.v[1], 50 + 100 - 60) << name;  // a text's top may rise above its point
      EXPECT_LE(c.v[1], 50 + 1000 + 1) << name;
    }
  }
}

}  // namespace
}  // namespace vaultra
