#include "report/report_template.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/fileio.h"
#include "core/number.h"
#include "report/build_report.h"
#include "report/image_file.h"
#include "report/report_text.h"
#include "report_test_util.h"

namespace vaultra {
namespace {

using test::GlyphAt;
using test::Glyphs;

// The glyphs as text, without box characters (separator rows draw theirs
// over the rule as the cell's text).
std::string Text(const std::vector<GlyphAt>& g) {
  std::string s;
  for (const auto& x : g) {
    const bool box = x.ch.size() == 2 && static_cast<unsigned char>(x.ch[0]) == 0x84 &&
                     static_cast<unsigned char>(x.ch[1]) >= 0x9F &&
                     static_cast<unsigned char>(x.ch[1]) <= 0xBE;
    if (!box) s += x.ch;
  }
  return s;
}

// A fresh folder per test; cp932 path with a trailing "/".
class TemplateFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::filesystem::temp_directory_path() / (std::string("vaultra_tmpl_") + info->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Path(const std::string& name) const {
    return WithTrailingSlash(FromFsPath(dir_)) + name;
  }
  std::string Write(const std::string& name, const std::vector<std::string>& lines) {
    const std::string p = Path(name);
    EXPECT_TRUE(WriteFileAtomic(p, JoinLinesCrLf(lines)));
    return p;
  }
  std::filesystem::path dir_;
};

TEST(Template, HeadingsUseFaceZeroAndTheStepOfTheirPrefix) {
  PrintEngine pe;
  test::StartBare(pe);
  const double y = PrintTemplate(pe, 10, {"+F2-|$>>(%) 単位体積重量", "----|次"}, 0, 0);
  EXPECT_NEAR(y, 10 + 2 * 5.76, 1e-9);
  ASSERT_EQ(pe.text.contents.size(), 1u);
  EXPECT_EQ(pe.text.contents[0].text, "(1) 単位体積重量");
  EXPECT_NEAR(pe.text.contents[0].y, 15.76, 1e-9);
  EXPECT_EQ(pe.text.contents[0].face, 0);
  const auto g = Glyphs(pe, 11);
  EXPECT_EQ(g.back(), (GlyphAt{11, 267, "次"}));  // top at 21.52 mm
  EXPECT_EQ(pe.text.contents[0].x, 1.0);
}

TEST(Template, StepCodesAndCommentLines) {
  struct Case {
    std::vector<std::string> lines;
    double y;
  };
  const Case cases[] = {
      {{"+F3-|//", "----|a", "----|b", "----|c"}, 3 * 2.88},
      {{"+F1-|a", "----|b"}, 2 * 6.4},
      {{"+F4-|a", "-F4-|b"}, 0},                               // a negative step goes back up
      {{"+3.5-|a", "1.25-|b", "0.05-|c"}, 3.5 + 1.25 + 1.25},  // a tiny number keeps the step
      {{"----|a", "// comment", "----|b"}, 2 * 5.76},
      {{"", "ab", "----|c"}, 3 * 5.76},  // short lines are blank lines with the plain prefix
  };
  for (const Case& c : cases) {
    PrintEngine pe;
    test::StartBare(pe);
    EXPECT_NEAR(PrintTemplate(pe, 0, c.lines, 0, 0), c.y, 1e-9) << c.lines[0];
  }
}

TEST(Template, FarOffLinesAreClampedNotWrapped) {
  PrintEngine pe;
  test::StartBare(pe);
  EXPECT_GT(PrintTemplate(pe, 0, {"+1e99-|far", "-1e99-|back"}, 0, 0), -1);
  for (const auto& g : Glyphs(pe, 11)) {
    EXPECT_GT(g.y, 0);
    EXPECT_LE(g.y, 2000000001);
  }
}

TEST(Template, ConditionLettersAndOneBlockLetters) {
  PrintEngine pe;
  test::StartBare(pe);
  const std::vector<std::string> block = {"---S|s", "---X|x", "---STt", "----|n"};
  PrintTemplate(pe, 0, block, 0, 0);
  SetLetter(pe, 'S');
  SetLetter(pe, 'X');
  PrintTemplate(pe, 0, block, 0, 0);
  EXPECT_FALSE(IsLetterSet(pe, 'X')) << "X, Y, Z and U to W last one block";
  EXPECT_TRUE(IsLetterSet(pe, 'S'));
  PrintTemplate(pe, 0, block, 0, 0);
  SetLetter(pe, 'T');
  PrintTemplate(pe, 0, block, 0, 0);
  EXPECT_EQ(Text(Glyphs(pe, 11)),
            "n"
            "sxn"
            "sn"
            "stn");
}

TEST(Template, RepeatedRowsAreNumberedAndKeepTheirSeparators) {
  const std::vector<std::string> block = {"----|┌──┬────┐", "----|│-1│##.#│", "----|├──┼────┤",
                                          "----|└──┴────┘"};
  struct Case {
    int a, b;
    int rows;
    std::string numbers;
  };
  for (const Case& c : {Case{1, 3, 3, "123"}, Case{1, 0, 1, "1"}, Case{4, 5, 2, "45"}}) {
    PrintEngine pe;
    test::StartBare(pe);
    const double y = PrintTemplate(pe, 0, block, c.a, c.b);
    EXPECT_EQ(pe.text.sequential_count, c.rows);
    // Opening line, rows, separators between them and the closing line.
    EXPECT_NEAR(y, 5.76 * (1 + c.rows + (c.rows - 1) + 1), 1e-9);
    EXPECT_EQ(Text(Glyphs(pe, 11)), c.numbers);
    // Every row closes its cell with the placeholder: the fills go row by row.
    for (int i = 0; i < c.rows; ++i) FillNumber(pe, -1, i + 0.5, false);
    EXPECT_EQ(NextField(pe), -1);
  }
}

TEST(Template, ARowLimitShowsRowsUpToItAndDropsTheFollowingSeparator) {
  const std::vector<std::string> block = {"----|┌─┬─┐",   "----|│1 │a │", "----|├─┼─┤",
                                          "----|│2 │b │", "----|├─┼─┤",   "----|│3 │c │",
                                          "----|└─┴─┘"};
  PrintEngine pe;
  test::StartBare(pe);
  const double y = PrintTemplate(pe, 0, block, 2, 0);
  EXPECT_EQ(Text(Glyphs(pe, 11)), "1a2b");
  // Top, row 1, separator, row 2; row 3 goes and with it the line after it.
  EXPECT_NEAR(y, 4 * 5.76, 1e-9);
}

TEST(Template, SmallTypeUsesThreeQuartersOfTheBlockFont) {
  PrintEngine pe;
  test::StartBare(pe);
  PrintTemplate(pe, 0, {"+F2t|ab  cd"}, 0, 0);
  // Words at ((k - 1.125) x 1.8) mm, 0.9 mm up: "ab" from column 2 (the text
  // after the prefix starts with its appended blank? no: "ab" is column 1).
  EXPECT_EQ(test::Dumped(pe, 11, {"font"}).back(), "font 36 18 0 1");
  const auto g = Glyphs(pe, 11);
  ASSERT_EQ(g.size(), 4u);
  // top = 5.76 - 0.9 = 4.86 mm -> 98.6 px -> 99; x of "a": 1.0 - 0.225 = 0.775 mm -> 9
  EXPECT_EQ(g[0], (GlyphAt{9, 99, "a"}));
  EXPECT_EQ(g[1].x, 25);                    // pitch 7/8 of 1.8 mm: 15.75 px further
  EXPECT_EQ(g[2], (GlyphAt{81, 99, "c"}));  // column 5
}

TEST_F(TemplateFiles, SectionsAreChosenByWholeLabels) {
  const std::string file =
      Write("t.c", {"// sample", "//--", "----|#LABEL ＲＣ断面の応力度照査 ｽﾀﾝﾄﾞ", "----|$>>A",
                    "//--", "----|#LABEL ＲＣ断面の応力 ｽﾀﾝﾄﾞL2", "----|$>>B", "//--",
                    "----|#LABEL 1.1 施設概要表 ﾎﾞｯｸｽ-1", "----|$>>C", "//--"});
  PrintEngine pe;
  ASSERT_TRUE(LoadTemplateFile(pe, file));
  EXPECT_EQ(pe.templates.labels.size(), 3u) << "the closing line of the file starts no section";
  test::StartBare(pe);
  struct Case {
    const char* title;
    const char* type;
    const char* printed;  // "" when no section matches
  };
  const Case cases[] = {
      {"ＲＣ断面の応力", "ｽﾀﾝﾄﾞL2", "B"},
      {"ＲＣ断面の応力度照査", "ｽﾀﾝﾄﾞ", "A"},
      {"ＲＣ断面の応力", "ｽﾀﾝﾄﾞ", ""},
      {"1.1 施設概要表", "ﾎﾞｯｸｽ", ""},
      {"1.1 施設概要表", "ﾎﾞｯｸｽ-1", "C"},
      {"ＲＣ断面の応力度照査", "", "A"},
      {"施設概要", "", ""},
  };
  for (const Case& c : cases) {
    pe.text.contents.clear();
    const double y = PrintSection(pe, 40, c.title, c.type, 99);
    if (*c.printed) {
      ASSERT_EQ(pe.text.contents.size(), 1u) << c.title;
      EXPECT_EQ(pe.text.contents[0].text, c.printed) << c.title << " " << c.type;
      EXPECT_NEAR(y, 45.76, 1e-9);
    } else {
      EXPECT_TRUE(pe.text.contents.empty()) << c.title << " " << c.type;
      EXPECT_EQ(y, 40) << c.title;
    }
  }
}

TEST_F(TemplateFiles, AMissingTemplateFileLeavesYAndIsReportedOnce) {
  PrintEngine pe;
  test::StartBare(pe);
  EXPECT_FALSE(LoadTemplateFile(pe, Path("none.c")));
  EXPECT_FALSE(LoadTemplateFile(pe, Path("none.c")));
  EXPECT_EQ(pe.notices.size(), 1u);
  EXPECT_EQ(PrintSection(pe, 42.5, "設計条件", "", 99), 42.5);
}

TEST_F(TemplateFiles, FiguresOfTheTemplateAreDrawnAndTheTemplateContinuesBelow) {
  Write("fig.PCJ", {"ＰＣＪ図形データファイル\t5.2", "CF_WINDOW,0,-6000,18000,0",
                    "LINE,0,0,3,0,0,18000,-6000"});
  const std::string file =
      Write("t.c", {"//--", "----|#LABEL 図", "----|#G_DrawPCJ_18mX9m, fig.PCJ", "----|次",
                    "----|#int# Gmm_DrawJpeg,10,0,50,30,none.jpg", "----|後"});
  PrintEngine pe;
  ASSERT_TRUE(LoadTemplateFile(pe, file));
  test::StartBare(pe);
  const double y = PrintSection(pe, 20, "図", "", 99);
  // Figure 20..80 mm, "次" at 85.76, the missing image 30 mm, "後" 5.76 below.
  EXPECT_NEAR(y, 20 + 60 + 5.76 + 30 + 5.76, 1e-9);
  EXPECT_EQ(test::Count(pe, 11, Cmd::kLineTo), 1 + 6) << "the figure line, then a crossed frame";
  EXPECT_NE(Text(Glyphs(pe, 11)).find("none.jpg....が開けません"), std::string::npos);
  EXPECT_EQ(pe.notices.size(), 1u);
}

std::string TinyBmp() {
  // 2 x 2, 24 bits, rows bottom-up, each padded to 8 bytes.
  std::string b = "BM";
  auto u32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  auto u16 = [&](std::uint32_t v) {
    for (int i = 0; i < 2; ++i) b += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  u32(70), u32(0), u32(54);
  u32(40), u32(2), u32(2), u16(1), u16(24), u32(0), u32(16), u32(2835), u32(2835), u32(0), u32(0);
  const unsigned char rows[] = {255, 0, 0,   0,   255, 0,   0, 0,   // bottom: blue, green
                                0,   0, 255, 255, 255, 255, 0, 0};  // top: red, white
  b.append(reinterpret_cast<const char*>(rows), sizeof rows);
  return b;
}

TEST(Images, DecodesUncompressedBitmapsAndRefusesBrokenOnes) {
  const auto img = DecodeBmp(TinyBmp());
  ASSERT_TRUE(img);
  EXPECT_EQ(img->width, 2);
  EXPECT_EQ(img->height, 2);
  EXPECT_EQ(img->pixels,
            (std::vector<std::uint32_t>{0xFFFF0000, 0xFFFFFFFF, 0xFF0000FF, 0xFF00FF00}));
  std::string error;
  EXPECT_FALSE(DecodeBmp(TinyBmp().substr(0, 60), &error));
  EXPECT_FALSE(error.empty());
  std::string huge = TinyBmp();
  huge[18] = '\xFF', huge[19] = '\xFF', huge[20] = '\xFF', huge[21] = '\x7F';
  EXPECT_FALSE(DecodeBmp(huge));
  EXPECT_FALSE(DecodeJpeg("not a jpeg"));
  EXPECT_FALSE(DecodeJpeg(""));
}

TEST_F(TemplateFiles, ImagesAreRecordedOnThePage) {
  ASSERT_TRUE(WriteFileAtomic(Path("pic.BMP"), TinyBmp()));
  const std::string file =
      Write("t.c", {"//--", "----|#LABEL 写真", "----|#Gmm_DrawJpeg,10,0,50,30, pic.BMP"});
  PrintEngine pe;
  ASSERT_TRUE(LoadTemplateFile(pe, file));
  test::StartBare(pe);
  EXPECT_NEAR(PrintSection(pe, 20, "写真", "", 99), 50, 1e-9);
  EXPECT_EQ(test::Dumped(pe, 11, {"image"}),
            (std::vector<std::string>{"image 100 250 500 550 2x2"}));
  pe.drawing = false;
  pe.SelectPageSlot(12);
  PrintSection(pe, 20, "写真", "", 99);
  EXPECT_EQ(test::Count(pe, 12, Cmd::kImage), 0);
}

}  // namespace
}  // namespace vaultra

namespace vaultra {
namespace {

// A header cell of two lines (symbol over unit) at the half step: the unit
// line gets its own baseline a whole line below the symbol's, the rule rows
// keep the half step, and the block's height counts the extra half step.
TEST(Template, TwoLineHeadersGetTheirOwnBaselines) {
  const std::vector<std::string> block = {
      "+F3-|//",       "----|┌──────┐",       "----|│ 断面積 Ａ  │", "----|│    [m2]    │",
      "----|├──────┤", "----|│ 1          │", "----|└──────┘",
  };
  PrintEngine pe;
  test::StartBare(pe);
  // Half steps of 2.88 mm: the rule at 12.88, the symbol at 15.76, the unit
  // one extra half step on at 21.52, the rule at 24.40, the row at 27.28,
  // the closing rule at 30.16.
  const double y = PrintTemplate(pe, 10, block, 0, 0);
  EXPECT_NEAR(y, 10 + 7 * 2.88, 1e-9);
  EXPECT_NEAR(BlockHeight(block, 0), 7 * 2.88, 1e-9);
  int symbol = -1, unit = -1;
  for (const GlyphAt& g : Glyphs(pe, 11)) {
    if (g.ch == "断") symbol = g.y;
    if (g.ch == "[") unit = g.y;
  }
  // Tops in pixels: (15.76 + 5) x 10 = 207.6 and (21.52 + 5) x 10 = 265.2,
  // taken to the odd pixel of their pair (2 trunc(v / 2 + 0.5) + 1).
  EXPECT_EQ(symbol, 209);
  EXPECT_EQ(unit, 267);
  EXPECT_TRUE(test::Overprints(pe, 11).empty());
  EXPECT_TRUE(IsTableTextRow("│ 断面積 Ａ  │"));
  EXPECT_FALSE(IsTableTextRow("├──────┤"));
  EXPECT_FALSE(IsTableTextRow("自重"));
}

}  // namespace
}  // namespace vaultra
