// The figures on a page canvas painted by the replay target (as the
// window's pages paint them), and their recording replayed afterwards.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "report/figures/test_frame.h"
#include "render/render.h"
#include "report/force_diagrams.h"

namespace vaultra {
namespace {

constexpr int kW = 600, kH = 400;

QRgb Rgb(std::uint32_t bbggrr) {
  return render::ToQColor(bbggrr).rgb();
}

// Whether a pixel within one of p has the colour (lines land on whole pixels).
bool Near(const QImage& img, QPoint p, std::uint32_t bbggrr) {
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      if (img.valid(p.x() + dx, p.y() + dy) && img.pixel(p.x() + dx, p.y() + dy) == Rgb(bbggrr))
        return true;
  return false;
}

struct Canvas {
  QImage image{kW, kH, QImage::Format_RGB32};
  PrintEngine pe;
  test::Frame f;
  Figure fig = MakeFigure(f.s, f.row, kLayoutBox, false);

  Canvas() { render::EnsureGuiApplication(); }
  // Paints the frame and its moment diagram straight onto the image,
  // recording the same calls in slot 11.
  void Paint() {
    image.fill(Qt::white);
    QPainter painter(&image);
    render::PainterTarget target(painter);
    pe.recording = true;
    pe.records().Select(11);
    ASSERT_TRUE(SetupFigure(pe, fig, kFigureNew, kW, kH, 0, &target));
    DrawModelFigure(pe, fig, kShowStandard | kShowNodeNumbers);
    DrawForceDiagram(pe, fig, f.r, 1, kCompM, 0, 1);
    target.Flush();
  }
  QPoint Px(double X, double Y) const {
    return QPoint(static_cast<int>(pe.PxX(pe.PageX(X))), static_cast<int>(pe.PxY(pe.PageY(Y))));
  }
};

TEST(FigureCanvas, ScreenColoursLandWhereTheFigureDrawsThem) {
  Canvas c;
  c.Paint();
  // Background in the corner, members navy, the box wall grey, the
  // opening the background again, the slab's diagram blue under the slab.
  EXPECT_EQ(c.image.pixel(2, 2), Rgb(kFigBackground));
  // (the member's axis is drawn again, one black pixel wide, under its diagram)
  EXPECT_TRUE(Near(c.image, c.Px(1.0, 3.0), kFigMember));
  EXPECT_EQ(c.image.pixel(c.Px(0.12, 2.0)), Rgb(kFigBlockFill));
  EXPECT_EQ(c.image.pixel(c.Px(1.2, 1.5)), Rgb(kFigBackground));
  // Diagram of the top slab: M 20 at x 2 is 1 m below the slab, the line
  // from (0, 3) to (2, 2) passes (1, 2.5).
  EXPECT_TRUE(Near(c.image, c.Px(1.0, 2.5), 0xFF0000));
  // Left wall (steep): green, from (0, 0) to (1, 1.5): passes (0.5, 0.75).
  EXPECT_TRUE(Near(c.image, c.Px(0.5, 0.75), 0xB100));
}

TEST(FigureCanvas, ReplayedRecordingMatchesTheCanvas) {
  // The replay lays bitmap coordinates on its own pixel grid, so a pixel of
  // the replay may lie one pixel off; every one must be found within one
  // pixel on the canvas painted directly (glyph edges aside).
  Canvas c;
  c.Paint();
  const QImage replay = render::RenderPage(c.pe.records(), 11, kW, kH, 0xFFFFFF, kW, kH);
  ASSERT_EQ(replay.size(), c.image.size());
  int missing = 0, same = 0;
  for (int y = 1; y < kH - 1; ++y)
    for (int x = 1; x < kW - 1; ++x) {
      const QRgb p = replay.pixel(x, y);
      same += p == c.image.pixel(x, y);
      bool found = false;
      for (int dy = -1; dy <= 1 && !found; ++dy)
        for (int dx = -1; dx <= 1 && !found; ++dx) found = c.image.pixel(x + dx, y + dy) == p;
      missing += !found;
    }
  // Antialiased glyph edges blend differently one pixel off: a few dozen.
  EXPECT_LT(missing, 100);
  EXPECT_GT(same, (kW - 2) * (kH - 2) * 9 / 10);
}

TEST(FigureCanvas, ReportPageFigureIsGrey) {
  test::Frame f;
  Figure fig = MakeFigure(f.s, f.row, kLayoutBox, false);
  PrintEngine pe;
  pe.BeginReportPages(1800, 2700);
  pe.SelectPageSlot(11);
  pe.SetWindow(20, 20, 160, 160, -1, 6, 6, -1);
  DrawModelFigure(pe, fig, kShowStandard | kShowNodeNumbers);
  DrawForceDiagram(pe, fig, f.r, 1, kCompM, 0, 1);
  render::EnsureGuiApplication();
  const QImage img = render::RenderPage(pe.records(), 11, 900, 1350);
  int coloured = 0, dark = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const QRgb p = img.pixel(x, y);
      coloured += !(qRed(p) == qGreen(p) && qGreen(p) == qBlue(p));
      dark += qGray(p) < 100;
    }
  EXPECT_EQ(coloured, 0);
  EXPECT_GT(dark, 500);  // the frame, its diagram and numbers are there
}

}  // namespace
}  // namespace vaultra
