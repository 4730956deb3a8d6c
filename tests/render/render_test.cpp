#include "render/render.h"
#include "report/pdf_file.h"

#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>

#include "core/fileio.h"
#include "report/image_file.h"
#include "report/print_engine.h"
#include "report/report_text.h"

namespace vaultra {
namespace {

bool Dark(QRgb p) {
  return qGray(p) < 128;
}

// Bounding box of the dark pixels inside a search rectangle.
QRect DarkBox(const QImage& img, const QRect& within) {
  QRect box;
  for (int y = within.top(); y <= within.bottom(); ++y)
    for (int x = within.left(); x <= within.right(); ++x)
      if (Dark(img.pixel(x, y))) box = box.united(QRect(x, y, 1, 1));
  return box;
}

PageCommand Cmd1(Cmd c, int v0, int v1 = 0, int v2 = 0, int v3 = 0) {
  PageCommand p;
  p.cmd = c;
  p.v[0] = v0, p.v[1] = v1, p.v[2] = v2, p.v[3] = v3;
  return p;
}

class Render : public ::testing::Test {
 protected:
  void SetUp() override {
    render::EnsureGuiApplication();
    records_.Select(11);
  }
  PageRecords records_;
};

TEST_F(Render, AFilledPolygonCoversItsPixelsAtEveryScale) {
  records_.Append(Cmd1(Cmd::kPenColor, 0));
  records_.Append(Cmd1(Cmd::kBrushColor, 0));
  records_.Append(Cmd1(Cmd::kBrushStyle, kBrushSolid));
  PageCommand poly;
  poly.cmd = Cmd::kPolygon;
  poly.points = {101, 101, 301, 101, 301, 201, 101, 201};
  records_.Append(poly);
  const QImage full = render::RenderPage(records_, 11, 1800, 2700);
  EXPECT_TRUE(Dark(full.pixel(102, 102)));
  EXPECT_TRUE(Dark(full.pixel(300, 200)));
  EXPECT_FALSE(Dark(full.pixel(99, 150)));
  EXPECT_FALSE(Dark(full.pixel(150, 204)));
  EXPECT_EQ(DarkBox(full, QRect(0, 0, 400, 400)), QRect(QPoint(101, 101), QPoint(301, 201)));
  // Half size: coordinates halve and are made odd.
  const QImage half = render::RenderPage(records_, 11, 900, 1350);
  EXPECT_EQ(DarkBox(half, QRect(0, 0, 200, 200)), QRect(QPoint(51, 51), QPoint(151, 101)));
  // An unused slot is the background.
  const QImage empty = render::RenderPage(records_, 200, 90, 135, kBackgroundColour);
  EXPECT_EQ(empty.pixel(45, 60) & 0xFFFFFF, 0xE0E0D0u) << "0xD0E0E0 has its red in the low byte";
}

TEST_F(Render, ColoursKeepRedInTheLowByte) {
  records_.Append(Cmd1(Cmd::kPenColor, 0x0000FF));
  records_.Append(Cmd1(Cmd::kPenWidth, 4));
  records_.Append(Cmd1(Cmd::kMoveTo, 100, 100));
  records_.Append(Cmd1(Cmd::kLineTo, 300, 100));
  records_.Append(Cmd1(Cmd::kBrushColor, 0xFF0000));
  records_.Append(Cmd1(Cmd::kBrushStyle, kBrushSolid));
  records_.Append(Cmd1(Cmd::kFillRect, 100, 200, 150, 250));
  const QImage img = render::RenderPage(records_, 11, 1800, 2700);
  EXPECT_EQ(QColor(img.pixel(200, 100)), QColor(255, 0, 0));
  EXPECT_EQ(QColor(img.pixel(200, 102)), QColor(255, 0, 0)) << "4 px wide";
  EXPECT_EQ(QColor(img.pixel(200, 105)), QColor(255, 255, 255));
  EXPECT_EQ(QColor(img.pixel(120, 220)), QColor(0, 0, 255));
  EXPECT_EQ(QColor(img.pixel(151, 220)), QColor(255, 255, 255)) << "the right edge is exclusive";
}

TEST_F(Render, GlyphsFillTheirCellFromTheTopLeftCorner) {
  // "■" nearly fills a full-width cell: two columns of 18 px by 36 px.
  for (int face : {0, 1}) {
    PageRecords r;
    r.Select(11);
    r.Append(Cmd1(Cmd::kSetFont, 36, 18, 0, face));
    PageCommand g;
    g.cmd = Cmd::kGlyph;
    g.v[0] = 201, g.v[1] = 301;
    g.text = "■";
    r.Append(g);
    g.v[1] = 501;
    g.text = "H";
    r.Append(g);
    const QImage img = render::RenderPage(r, 11, 1800, 2700);
    const QRect box = DarkBox(img, QRect(150, 250, 150, 150));
    ASSERT_FALSE(box.isEmpty()) << face;
    EXPECT_GE(box.left(), 201) << face;
    EXPECT_LE(box.right(), 201 + 36) << face;
    EXPECT_GE(box.top(), 301) << face;
    EXPECT_LE(box.bottom(), 301 + 36) << face;
    EXPECT_GE(box.width(), 26) << face;
    EXPECT_GE(box.height(), 22) << face;
    // The square sits in the middle of its cell, not on its top edge.
    EXPECT_NEAR((box.top() + box.bottom()) / 2.0, 301 + 18, 4) << face;
    EXPECT_NEAR((box.left() + box.right()) / 2.0, 201 + 18, 4) << face;
    // A half-width capital stays in its one column.
    const QRect h = DarkBox(img, QRect(150, 450, 150, 150));
    ASSERT_FALSE(h.isEmpty());
    EXPECT_GE(h.left(), 201);
    EXPECT_LE(h.right(), 201 + 18);
    EXPECT_GE(h.top(), 501 + 2);
    EXPECT_LE(h.bottom(), 501 + 36);
    EXPECT_GE(h.height(), 20);
  }
}

TEST_F(Render, EscapementTurnsTheCellAboutItsTopLeftCorner) {
  records_.Append(Cmd1(Cmd::kSetFont, 36, 18, 900, 0));
  PageCommand g;
  g.cmd = Cmd::kGlyph;
  g.v[0] = 401, g.v[1] = 401;
  g.text = "■";
  records_.Append(g);
  const QImage img = render::RenderPage(records_, 11, 1800, 2700);
  // Turned 90 degrees counter-clockwise: the cell lies right of x and above y.
  const QRect box = DarkBox(img, QRect(330, 330, 140, 140));
  ASSERT_FALSE(box.isEmpty());
  EXPECT_GE(box.left(), 401 - 1);
  EXPECT_LE(box.right(), 401 + 37);
  EXPECT_GE(box.top(), 401 - 37);
  EXPECT_LE(box.bottom(), 401 + 1);
  EXPECT_GE(box.height(), 26);
}

TEST_F(Render, RecordedReportTextLandsWhereTheEngineSays) {
  PrintEngine pe;
  pe.BeginReportPages(1800, 2700);
  pe.SelectPageSlot(11);
  pe.SetBodyFont();
  PrintLine(pe, 20.0, 30.0, "■■");
  const QImage img = render::RenderPage(pe.records(), 11, 1800, 2700);
  // Top-left at (20, 30 + 5) mm: pixels (201, 351); two cells of 36 px.
  const QRect box = DarkBox(img, QRect(150, 300, 200, 150));
  ASSERT_FALSE(box.isEmpty());
  EXPECT_GE(box.left(), 201);
  EXPECT_LE(box.right(), 201 + 72);
  EXPECT_GE(box.top(), 351);
  EXPECT_LE(box.bottom(), 351 + 36);
  EXPECT_GE(box.width(), 26 + 36);
}

TEST_F(Render, ImagesAreStretchedIntoTheirRectangle) {
  auto image = std::make_shared<RasterImage>();
  image->width = 2;
  image->height = 1;
  image->pixels = {0xFF00FF00, 0xFF0000FF};
  PageCommand c = Cmd1(Cmd::kImage, 100, 100, 300, 200);
  c.image = image;
  records_.Append(c);
  const QImage img = render::RenderPage(records_, 11, 1800, 2700);
  EXPECT_EQ(QColor(img.pixel(150, 150)), QColor(0, 255, 0));
  EXPECT_EQ(QColor(img.pixel(250, 150)), QColor(0, 0, 255));
  EXPECT_EQ(QColor(img.pixel(350, 150)), QColor(255, 255, 255));
}

TEST_F(Render, JpegFiguresDecodeThroughLibjpeg) {
  QImage src(16, 8, QImage::Format_RGB32);
  src.fill(QColor(200, 40, 40));
  const auto path = std::filesystem::temp_directory_path() / "vaultra_render_test.jpg";
  ASSERT_TRUE(src.save(QString::fromStdString(path.string()), "JPEG", 95));
  const auto img = LoadImageFile(FromFsPath(path));
  std::filesystem::remove(path);
  ASSERT_TRUE(img);
  EXPECT_EQ(img->width, 16);
  EXPECT_EQ(img->height, 8);
  const QColor c(img->pixels[8 * 16 + 8 - 16]);
  EXPECT_NEAR(c.red(), 200, 8);
  EXPECT_NEAR(c.green(), 40, 8);
  EXPECT_NEAR(c.blue(), 40, 8);
}

TEST_F(Render, PdfHasOneA4PagePerSlotWithEmbeddedFonts) {
  PrintEngine pe;
  pe.BeginReportPages(1800, 2700);
  pe.SelectPageSlot(kFirstBodySlot);
  pe.NewPage();
  PrintLine(pe, 1.0, 5.76, "設計条件 ｺﾞｼｯｸ");
  pe.NewPage();
  pe.SetTextFont(3.6, 1.8, 0, 0);
  PrintLine(pe, 1.0, 5.76, "見出し");
  const auto path = std::filesystem::temp_directory_path() / "vaultra_render_test.pdf";
  std::string error;
  ASSERT_TRUE(WritePdfFile(pe.records(), {11, 12}, FromFsPath(path), 300, &error)) << error;
  const auto bytes = ReadFileBytes(FromFsPath(path));
  std::filesystem::remove(path);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(bytes->compare(0, 5, "%PDF-"), 0);
  auto count = [&](const std::string& what) {
    int n = 0;
    for (std::size_t p = bytes->find(what); p != std::string::npos; p = bytes->find(what, p + 1))
      ++n;
    return n;
  };
  EXPECT_EQ(count("/Type /Page\n") + count("/Type /Page "), 2);
  EXPECT_GE(count("FontFile2"), 2) << "Gothic and Mincho embedded";
  EXPECT_NE(bytes->find("IPAMincho"), std::string::npos);
  EXPECT_NE(bytes->find("IPAGothic"), std::string::npos);
  EXPECT_NE(bytes->find("595"), std::string::npos) << "A4 width in points";
}

TEST_F(Render, PngIsWrittenAtTheRequestedSize) {
  records_.Append(Cmd1(Cmd::kBrushColor, 0));
  records_.Append(Cmd1(Cmd::kBrushStyle, kBrushSolid));
  records_.Append(Cmd1(Cmd::kFillRect, 0, 0, 1800, 100));
  const auto path = std::filesystem::temp_directory_path() / "vaultra_render_test.png";
  std::string error;
  ASSERT_TRUE(render::WritePagePng(records_, 11, FromFsPath(path), 600, 900, &error)) << error;
  QImage back(QString::fromStdString(path.string()));
  std::filesystem::remove(path);
  EXPECT_EQ(back.size(), QSize(600, 900));
  EXPECT_TRUE(Dark(back.pixel(300, 10)));
  EXPECT_FALSE(Dark(back.pixel(300, 40)));
}

}  // namespace
}  // namespace vaultra
