#include "results/section_detail_figure.h"

#include <algorithm>
#include <cmath>

namespace vaultra {

double PolynomialAt(const std::array<double, 4>& c, double x) {
  return ((c[0] * x + c[1]) * x + c[2]) * x + c[3];
}

bool StressCurveShown(const SectionDetailFigure& fig) {
  return fig.stress_poly[0] != 0 || fig.stress_poly[1] != 0;
}

namespace {

// Pixels per unit so that the larger end value of the curve over the
// section fills half the height.
double VerticalScale(const std::array<double, 4>& c, int h, int Hh) {
  const double top = std::max({std::fabs(PolynomialAt(c, 0)), std::fabs(PolynomialAt(c, h)), 1.0});
  return (Hh / 2.0) / top;
}

// The compression that brings the largest root (with 3 % room) to the
// right edge; 1 when it already lies inside the picture.
double CompressionOf(const std::array<double, 3>& roots, int h, double right_depth) {
  const double largest = *std::max_element(roots.begin(), roots.end());
  const double rmax = std::max(1.03 * largest, right_depth);
  if (!(rmax - h > 0)) return 1;
  return (right_depth - h) / (rmax - h);
}

}  // namespace

SectionDetailPlot PlotOf(const SectionDetailFigure& fig, int W, int Hh) {
  SectionDetailPlot p;
  p.h = std::max(fig.h, 1);
  p.left = W / 8.0;
  p.scale = (W / 2.0) / p.h;
  p.right_depth = (W - p.left) / p.scale;
  p.zero_line = 0.4 * Hh;
  p.stress_shown = fig.stress_on && StressCurveShown(fig);
  p.capacity_shown = fig.capacity_on;
  const double gs = p.stress_shown ? VerticalScale(fig.stress_poly, p.h, Hh) : 0;
  const double gc = p.capacity_shown ? VerticalScale(fig.ult_poly, p.h, Hh) : 0;
  if (p.stress_shown && p.capacity_shown) {
    const double smaller = std::min(gs, gc);
    p.stress_scale = (gs + smaller) / 2;
    p.capacity_scale = (gc + smaller) / 2;
  } else {
    p.stress_scale = gs;
    p.capacity_scale = gc;
  }
  double k = 1;
  bool any = false;
  auto take = [&](double each) {
    k = any ? std::min(k, each) : each;
    any = true;
  };
  if (p.stress_shown) take(CompressionOf(fig.stress_roots, p.h, p.right_depth));
  if (p.capacity_shown) take(CompressionOf(fig.ult.roots, p.h, p.right_depth));
  // A degenerate picture (no room beyond the section) is never compressed.
  if (!(k > 0) || !std::isfinite(k)) k = 1;
  p.k = k;
  p.compressed = std::fabs(k - 1) > 0.01;
  return p;
}

double DepthAtColumn(const SectionDetailPlot& p, double px) {
  const double x = (px - p.left) / p.scale;
  if (!p.compressed || x <= p.h) return x;
  return p.h + (x - p.h) / p.k;
}

double ColumnOfDepth(const SectionDetailPlot& p, double depth) {
  double x = depth;
  if (p.compressed && depth > p.h) x = p.h + (depth - p.h) * p.k;
  return p.left + x * p.scale;
}

}  // namespace vaultra
