// A failed verdict keeps its red on a replayed report page, in the preview
// image and in the PDF, while the rest of the page stays in grey levels.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "render/render.h"
#include "report/pdf_file.h"
#include "report/build_report.h"
#include "report/check_pages.h"
#include "report/print_engine.h"
#include "report/report_text.h"

namespace vaultra {
namespace {

bool Red(QRgb p) {
  return qRed(p) > 180 && qGreen(p) < 100 && qBlue(p) < 100;
}

int CountRed(const QImage& img) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) n += Red(img.pixel(x, y));
  return n;
}

// The longest run of red pixels in one row.
int LongestRedRow(const QImage& img) {
  int best = 0;
  for (int y = 0; y < img.height(); ++y) {
    int run = 0;
    for (int x = 0; x < img.width(); ++x) {
      run = Red(img.pixel(x, y)) ? run + 1 : 0;
      best = std::max(best, run);
    }
  }
  return best;
}

struct VerdictPage {
  PrintEngine pe;
  ReportSources src;
  ReportOptions opt;
  ReportBuild build;
  VerdictPage(bool ok, double ratio, std::string_view reason = "σs 超過") {
    pe.BeginReportPages(1800, 2700);
    pe.SelectPageSlot(11);
    ReportContext ctx(pe, src, opt, build);
    VerdictLine(ctx, 20, "曲げ", ok, ratio, reason);
    // The next line's text is black again.
    pe.SetTextFont(3.6, 1.8, 0, 1);
    PrintLine(pe, 10, 40, "以上");
    // A coloured line of a figure stays grey on a report page.
    pe.SetPenWidth(3);
    pe.LinePage(10, 100, 170, 100, 0x0000FF);
  }
};

TEST(VerdictColour, AFailedVerdictsMarkFrameAndTextAreRedOnTheReplayedPage) {
  render::EnsureGuiApplication();
  const VerdictPage failed(false, 1.25);
  const QImage img = render::RenderPage(failed.pe.records(), 11, 1800, 2700);
  // The frame around "N.G." is 3 px of red, (4 × 2.5 + 2) mm = 120 px wide.
  EXPECT_GE(LongestRedRow(img), 110);
  EXPECT_GT(CountRed(img), 1500);
  // The text after the mark ("照査比 1.250 > 1.000  σs 超過", with a
  // subscript that changes the font) is red too; the line after it is not.
  EXPECT_GT(CountRed(img.copy(390, 200, 1000, 140)), 500);
  EXPECT_EQ(CountRed(img.copy(0, 400, 1800, 80)), 0);
  // The figure line below stays grey: no red in its rows.
  EXPECT_EQ(CountRed(img.copy(0, 1020, 1800, 40)), 0);
  const QImage small = render::RenderPage(failed.pe.records(), 11, 450, 675);
  EXPECT_GT(CountRed(small), 50) << "the preview's smaller page keeps the red";

  const VerdictPage passed(true, 0.5);
  EXPECT_EQ(CountRed(render::RenderPage(passed.pe.records(), 11, 1800, 2700)), 0);
}

TEST(VerdictColour, ThePdfOfAFailedVerdictIsRedWhereTheMarkIs) {
  if (std::system("command -v pdftoppm >/dev/null 2>&1") != 0) GTEST_SKIP() << "no pdftoppm";
  render::EnsureGuiApplication();
  const VerdictPage failed(false, 1.25);
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("vaultra_colour_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string pdf = (dir / "v.pdf").string();
  std::string error;
  ASSERT_TRUE(WritePdfFile(failed.pe.records(), {11}, pdf, 150, &error)) << error;
  const std::string cmd = "pdftoppm -r 60 -png " + pdf + " " + (dir / "p").string();
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  QImage page;
  for (const auto& f : std::filesystem::directory_iterator(dir))
    if (f.path().extension() == ".png") page.load(QString::fromStdString(f.path().string()));
  ASSERT_FALSE(page.isNull());
  EXPECT_GT(CountRed(page), 20);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace vaultra
