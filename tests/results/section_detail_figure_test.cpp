// Where the section-detail figure draws: scales, the zero line and the
// compression of the depth axis, against values worked out by hand.
#include "results/section_detail_figure.h"

#include <gtest/gtest.h>

namespace vaultra {
namespace {

// h = 1000 mm on a 800 × 400 picture: depth 0 at 100 px, 0.4 px/mm, the
// right edge at (800 − 100)/0.4 = 1750 mm, the zero line at 160 px.
SectionDetailFigure Figure() {
  SectionDetailFigure f;
  f.h = 1000;
  f.stress_on = true;
  f.capacity_on = true;
  f.stress_poly = {1, 0, 0, -1e6};  // x³ − 10⁶: the root 100
  f.stress_roots = {100, 100, 100};
  f.ult_poly = {0, 1, -3000, 0};  // c² − 3000c: the roots 0 and 3000
  f.ult.roots = {0, 3000, 3000};
  return f;
}

TEST(SectionDetailFigure, PolynomialIsEvaluatedFromTheCubicTerm) {
  const std::array<double, 4> c = {2, -3, 4, -5};
  const std::vector<std::pair<double, double>> cases = {{0, -5}, {1, -2}, {2, 7}, {-1, -14}};
  for (const auto& [x, y] : cases) EXPECT_DOUBLE_EQ(PolynomialAt(c, x), y) << x;
}

TEST(SectionDetailFigure, ScalesAndAxisCompressionOfBothGraphs) {
  const SectionDetailPlot p = PlotOf(Figure(), 800, 400);
  EXPECT_DOUBLE_EQ(p.left, 100);
  EXPECT_DOUBLE_EQ(p.scale, 0.4);
  EXPECT_DOUBLE_EQ(p.right_depth, 1750);
  EXPECT_DOUBLE_EQ(p.zero_line, 160);
  // Stress: max(|f(0)|, |f(h)|) = 10⁹ − 10⁶ → g = 200/9.99e8; capacity:
  // |f(h)| = 2·10⁶ → g = 10⁻⁴. Both shown: each takes (g + smaller)/2.
  const double gs = 200 / 9.99e8, gc = 1e-4;
  EXPECT_NEAR(p.stress_scale, gs, 1e-18);
  EXPECT_NEAR(p.capacity_scale, (gc + gs) / 2, 1e-15);
  // The stress root lies inside; the capacity root 3000·1.03 = 3090 does
  // not: k = (1750 − 1000)/(3090 − 1000) = 0.358852.
  EXPECT_TRUE(p.compressed);
  EXPECT_NEAR(p.k, 750.0 / 2090.0, 1e-12);
  // Columns map linearly over the section, compressed beyond it; the right
  // edge stands for 3090 mm.
  EXPECT_DOUBLE_EQ(DepthAtColumn(p, 300), 500);
  EXPECT_NEAR(DepthAtColumn(p, 800), 3090, 1e-9);
  EXPECT_NEAR(ColumnOfDepth(p, 3090), 800, 1e-9);
  EXPECT_NEAR(DepthAtColumn(p, ColumnOfDepth(p, 2222)), 2222, 1e-9);
}

TEST(SectionDetailFigure, SingleGraphAndFlatStressCurve) {
  SectionDetailFigure f = Figure();
  f.capacity_on = false;
  SectionDetailPlot p = PlotOf(f, 800, 400);
  EXPECT_NEAR(p.stress_scale, 200 / 9.99e8, 1e-18);
  EXPECT_EQ(p.capacity_scale, 0);
  EXPECT_FALSE(p.compressed);  // 103 mm lies inside the picture
  EXPECT_EQ(p.k, 1);
  // A stress case without a cubic or square term draws no curve: only the
  // capacity graph sets the scale and the compression.
  f = Figure();
  f.stress_poly = {0, 0, 5, 1};
  p = PlotOf(f, 800, 400);
  EXPECT_FALSE(p.stress_shown);
  EXPECT_NEAR(p.capacity_scale, 1e-4, 1e-15);
  // An empty paint area gives no infinite or negative compression.
  p = PlotOf(Figure(), 0, 0);
  EXPECT_EQ(p.k, 1);
  EXPECT_FALSE(p.compressed);
}

}  // namespace
}  // namespace vaultra
