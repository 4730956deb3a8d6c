// The PDF written from the page records against the same pages painted
// through Qt's PDF engine (the printer path): rasterised alike, the two
// agree pixel for pixel within one pixel of shift.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "core/fileio.h"
#include "render/qt_pdf_reference.h"
#include "render/render.h"
#include "report/pdf_file.h"
#include "report/print_engine.h"
#include "report/report_text.h"

namespace vaultra {
namespace {

namespace fs = std::filesystem;

using test::QtReferencePdf;

PageCommand Command(Cmd c, int a, int b = 0, int d = 0, int e = 0) {
  PageCommand p;
  p.cmd = c;
  p.v[0] = a, p.v[1] = b, p.v[2] = d, p.v[3] = e;
  return p;
}

class PdfEquivalence : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::system("command -v pdftoppm >/dev/null 2>&1") != 0) GTEST_SKIP() << "no pdftoppm";
    render::EnsureGuiApplication();
    dir_ = fs::temp_directory_path() / ("vaultra_pdfeq_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  QImage Raster(const std::string& pdf, const std::string& name) {
    const fs::path file = dir_ / (name + ".pdf");
    EXPECT_TRUE(WriteFileAtomic(FromFsPath(file), pdf));
    const std::string cmd =
        "pdftoppm -r 100 -gray -singlefile " + file.string() + " " + (dir_ / name).string();
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    QImage img(QString::fromStdString((dir_ / (name + ".pgm")).string()));
    return img.convertToFormat(QImage::Format_Grayscale8);
  }
  // Pixels of a that differ by more than half the grey range from every
  // pixel of b within one pixel, and the same the other way.
  static int Mismatches(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return -1;
    auto one_way = [](const QImage& x, const QImage& y) {
      int bad = 0;
      for (int r = 0; r < x.height(); ++r)
        for (int c = 0; c < x.width(); ++c) {
          const int v = x.constScanLine(r)[c];
          int best = 255;
          for (int dr = -1; dr <= 1; ++dr)
            for (int dc = -1; dc <= 1; ++dc) {
              const int rr = r + dr, cc = c + dc;
              if (rr < 0 || cc < 0 || rr >= y.height() || cc >= y.width()) continue;
              best = std::min(best, std::abs(v - y.constScanLine(rr)[cc]));
            }
          if (best > 128) ++bad;
        }
      return bad;
    };
    return one_way(a, b) + one_way(b, a);
  }
  static int Ink(const QImage& a) {
    int n = 0;
    for (int r = 0; r < a.height(); ++r)
      for (int c = 0; c < a.width(); ++c) n += a.constScanLine(r)[c] < 128;
    return n;
  }
  fs::path dir_;
};

TEST_F(PdfEquivalence, TextTablesLinesAndShapesLandWhereQtPutsThem) {
  PrintEngine pe;
  pe.BeginReportPages(1800, 2700);
  pe.SelectPageSlot(kFirstBodySlot);
  pe.NewPage();
  double y = 0;
  PrintLine(pe, 1.0, y += kStepLine, "$>>%. 設計条件  Gothic ｺﾞｼｯｸ 0123");
  PrintLine(pe, 1.0, y += kStepLine,
            "  鉄筋の応力度は許容応力度以下である。 σs = 123.45 N/mm2  O.K.");
  PrintLine(pe, 1.0, y += kStepLine, "┌────┬────┐");
  PrintLine(pe, 1.0, y += kStepLine, "│ 部材 │  Ｍ  │");
  PrintLine(pe, 1.0, y += kStepLine, "└────┴────┘");
  // Proportional faces, a rotated line and coloured text.
  pe.SetTextFont(3.6, 1.8, 0, 2);
  PrintLine(pe, 1.0, y += kStepLine, "ＭＳ Ｐゴシック proportional text");
  pe.SetTextFont(3.6, 1.8, 0, 3);
  PrintLine(pe, 1.0, y += kStepLine, "ＭＳ Ｐ明朝 proportional text");
  pe.SetFontColor(0x0000FF);
  pe.SetTextFont(5.0, 2.5, 90, 1);
  pe.DrawText(60, 150, 0, 0, "縦書き 90°");
  pe.SetFontColor(0);
  std::vector<PageCommand> extra;
  auto cmd = [&](Cmd c, int a, int b = 0, int d = 0, int e = 0) {
    extra.push_back(Command(c, a, b, d, e));
  };
  cmd(Cmd::kPenWidth, 3);
  for (int style = kPenSolid; style <= kPenDashDotDot; ++style) {
    cmd(Cmd::kPenStyle, style);
    cmd(Cmd::kMoveTo, 200, 1200 + 40 * style);
    cmd(Cmd::kLineTo, 1000, 1200 + 40 * style);
    cmd(Cmd::kLineTo, 1000, 1230 + 40 * style);
  }
  cmd(Cmd::kPenStyle, kPenSolid);
  cmd(Cmd::kPenWidth, 1);
  cmd(Cmd::kBrushColor, 0x808080);
  cmd(Cmd::kBrushStyle, kBrushSolid);
  cmd(Cmd::kEllipse, 1200, 1200, 1500, 1400);
  cmd(Cmd::kFillRect, 200, 1500, 600, 1600);
  cmd(Cmd::kBrushColor, 0);
  cmd(Cmd::kBrushStyle, kBrushClear);
  cmd(Cmd::kEllipse, 700, 1500, 800, 1600);
  PageCommand poly;
  poly.cmd = Cmd::kPolygon;
  poly.points = {200, 1700, 600, 1700, 400, 1900};
  extra.push_back(poly);
  poly.cmd = Cmd::kPolyline;
  poly.points = {700, 1700, 900, 1900, 1100, 1700};
  extra.push_back(poly);
  // A figure image: a red-to-blue ramp over a dark lower half.
  auto image = std::make_shared<RasterImage>();
  image->width = 40, image->height = 20;
  for (int r = 0; r < 20; ++r)
    for (int c = 0; c < 40; ++c)
      image->pixels.push_back(r >= 10 ? 0xFF202020u
                                      : 0xFF000000u | (255u - c * 6) << 16 | (c * 6u));
  PageCommand picture = Command(Cmd::kImage, 1200, 1500, 1600, 1700);
  picture.image = image;
  extra.push_back(picture);
  PageRecords records = pe.records();
  for (const PageCommand& c : extra) records.Append(c);

  const std::vector<int> page_slots = {kFirstBodySlot + 1};
  std::string ours, error;
  ASSERT_TRUE(MakePdf(records, page_slots, 300, &ours, &error)) << error;
  const QImage a = Raster(ours, "ours"), b = Raster(QtReferencePdf(records, page_slots), "qt");
  ASSERT_FALSE(a.isNull());
  ASSERT_FALSE(b.isNull());
  EXPECT_GT(Ink(a), 3000) << "the page is not blank";
  // A dash pattern off by a pen width, or glyphs a tenth of a cell too
  // high, already give dozens.
  EXPECT_LE(Mismatches(a, b), 5) << "ink " << Ink(a);
}

TEST_F(PdfEquivalence, HatchedFillsShadeTheirAreaLikeQt) {
  PageRecords records;
  records.Select(kFirstBodySlot);
  auto add = [&](Cmd c, int a, int b = 0, int d = 0, int e = 0) {
    records.Append(Command(c, a, b, d, e));
  };
  add(Cmd::kBrushColor, 0);
  for (int style = kBrushHorizontal; style <= kBrushDiagCross; ++style) {
    add(Cmd::kBrushStyle, style);
    const int x = 100 + (style - kBrushHorizontal) * 250;
    add(Cmd::kFillRect, x, 300, x + 200, 600);
  }
  std::string ours, error;
  ASSERT_TRUE(MakePdf(records, {kFirstBodySlot}, 300, &ours, &error)) << error;
  const QImage a = Raster(ours, "ours"),
               b = Raster(QtReferencePdf(records, {kFirstBodySlot}), "qt");
  // Hatches are finer than the raster: compare the shade of each area.
  for (int k = 0; k < 6; ++k) {
    const QRect area(static_cast<int>((15 + (110.0 + k * 250) / 10) * 100 / 25.4),
                     static_cast<int>((15 + 310.0 / 10) * 100 / 25.4), 20, 30);
    auto mean = [&](const QImage& img) {
      double sum = 0;
      for (int r = area.top(); r <= area.bottom(); ++r)
        for (int c = area.left(); c <= area.right(); ++c) sum += img.constScanLine(r)[c];
      return sum / (area.width() * area.height());
    };
    EXPECT_LT(mean(a), 250) << "brush " << k + kBrushHorizontal << " shades its area";
    EXPECT_NEAR(mean(a), mean(b), 60) << "brush " << k + kBrushHorizontal;
  }
}

}  // namespace
}  // namespace vaultra
