// Where the section-detail figure puts things: the horizontal scale of the
// section depth, the zero line, the vertical scale of each graph, and the
// compression of the depth axis beyond the section when a root lies far
// outside it. Pure geometry in pixels and millimetres, drawn by the window.
#pragma once

#include <array>

#include "results/section_detail.h"

namespace vaultra {

// a3·x³ + a2·x² + a1·x + a0 with c = {a3, a2, a1, a0}.
double PolynomialAt(const std::array<double, 4>& c, double x);

struct SectionDetailPlot {
  int h = 10;              // section depth shown (mm)
  double left = 0;         // pixel column of depth 0 (W/8)
  double scale = 1;        // pixels per millimetre
  double right_depth = 0;  // depth at the right edge without compression (mm)
  double zero_line = 0;    // pixel row of the zero line (0.4·Hh)
  bool stress_shown = false, capacity_shown = false;
  double stress_scale = 0, capacity_scale = 0;  // pixels per unit of the polynomial
  double k = 1;                                 // axis compression beyond the section
  bool compressed = false;                      // |k − 1| > 0.01
};

// Whether the stress graph has a curve: its cubic or square coefficient is not 0.
bool StressCurveShown(const SectionDetailFigure& fig);

// The plot of a figure on a paint area of W × Hh pixels.
SectionDetailPlot PlotOf(const SectionDetailFigure& fig, int W, int Hh);

// The depth (mm) that pixel column px stands for: linear up to the
// section's far face, compressed by k beyond it.
double DepthAtColumn(const SectionDetailPlot& p, double px);
// The pixel column of a depth (the inverse of DepthAtColumn).
double ColumnOfDepth(const SectionDetailPlot& p, double depth);

}  // namespace vaultra
