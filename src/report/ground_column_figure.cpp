// The ground column figure: the soil layers with their depths and the
// facility beside them, and the record it is drawn from.
#include "report/figures.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string>

#include "core/number.h"

namespace vaultra {

void DrawGroundColumn(PrintEngine& pe, const GroundColumnInput& in, double a, double b, double c,
                      double d) {
  const double D = std::max(in.total_depth, 0.001);
  pe.SetWindow(a, b, c, d, 0, 0, D / 9, D);
  const bool screen = pe.device().kind == 1;
  const double sx = SafeDivisor(std::fabs(pe.window().sx));
  const double u = 1 / sx;  // one page millimetre in world units
  pe.SetTextFont(screen ? 4.8 : 2.4, 0, 0, 0);
  pe.SetFontColor(0);
  pe.SetPenColor(0);
  pe.SetPenWidth(1);
  const double th = pe.font().height;
  const double axis = pe.WorldX(42), col0 = pe.WorldX(50), col1 = pe.WorldX(130);
  const double fac0 = pe.WorldX(65), fac1 = pe.WorldX(115);
  auto band = [&](int soil, double x0, double y0, double x1, double y1) {
    if (screen) {
      pe.PolygonWorld({x0, y0, x1, y0, x1, y1, x0, y1},
                      soil == 1 ? kBrushDiagCross : kBrushBDiagonal,
                      soil == 1 ? kFigClay : kFigSand, 0, 0);
      return;
    }
    pe.SetPenColor(0);
    if (soil == 1) pe.HatchRectWorld(x0, y0, x1, y1, 1.5 * u, std::numbers::pi / 4);
    pe.HatchRectWorld(x0, y0, x1, y1, 1.5 * u, -std::numbers::pi / 4);
    pe.RectangleWorld(x0, y0, x1, y1);
  };
  double top = 0;
  for (const GroundColumnLayer& layer : in.layers) {
    const double bottom = std::clamp(layer.bottom, top, D);
    pe.SetPenColor(0);
    pe.LineWorld(axis, top, axis, bottom);
    pe.LineWorld(axis - (screen ? 3 : 1) * u, bottom, axis, bottom);
    pe.DrawText(42 - 4 * th, pe.PageY(bottom) - th / 2, 0, 0, Format("%7.3f", layer.bottom));
    if (bottom > top) band(layer.soil, col0, top, col1, bottom);
    top = bottom;
  }
  // The facility.
  if (in.facility_bottom > in.facility_top)
    pe.PolygonWorld({fac0, in.facility_top, fac1, in.facility_top, fac1, in.facility_bottom, fac0,
                     in.facility_bottom},
                    kBrushSolid, kNoFirstFill, 0xFFFFFF, 0);
  // Ground water: a level line with two shorter lines under it and a
  // triangle standing on it, right of the column.
  if (in.ground_water) {
    const double y = in.ground_water_depth;
    const double x0 = pe.WorldX(132), x1 = pe.WorldX(142);
    pe.SetPenColor(kFigGroundWater);
    pe.LineWorld(x0, y, x1, y);
    pe.LineWorld(x0 + 2 * u, y + 0.8 * u, x1 - 2 * u, y + 0.8 * u);
    pe.LineWorld(x0 + 3.5 * u, y + 1.6 * u, x1 - 3.5 * u, y + 1.6 * u);
    const double xm = (x0 + x1) / 2;
    pe.PolygonWorld({xm, y, xm - 1.2 * u, y - 2 * u, xm + 1.2 * u, y - 2 * u}, kBrushSolid,
                    kNoFirstFill, kFigGroundWater, kFigGroundWater);
    pe.SetFontColor(kFigGroundWater);
    pe.DrawText(143, pe.PageY(y) - th, 0, 0, Format("%0.3f", y));
    pe.SetFontColor(0);
    pe.SetPenColor(0);
  }
  pe.TextWorld(TextAlign::kBottomCentre, (col0 + col1) / 2, -0.5 * u, "地表面");
  pe.TextWorld(TextAlign::kTopCentre, (col0 + col1) / 2, top + 0.5 * u, "基  盤");
  // Legend at the bottom right of the column, clear of the ground-water
  // mark near the top: a swatch of each soil kind, drawn like the bands.
  const double lx0 = pe.WorldX(134), lx1 = pe.WorldX(142);
  const double band_h = std::max(4.0, 1.2 * th) * u, gap = 1.5 * u;
  const double ly = top - 2 * band_h - gap - u;
  band(1, lx0, ly, lx1, ly + band_h);
  pe.DrawText(143, pe.PageY(ly + band_h / 2) - th / 2, 0, 0, "粘土層");
  band(2, lx0, ly + band_h + gap, lx1, ly + 2 * band_h + gap);
  pe.DrawText(143, pe.PageY(ly + 1.5 * band_h + gap) - th / 2, 0, 0, "砂質層");
  pe.SetPenColor(0);
}

GroundColumnInput GroundColumnOf(const GroundTable& ground, const ModelRecord& rec,
                                 const StructureModel& transverse) {
  GroundColumnInput in;
  for (const GroundLayer& l : ground.layers) in.layers.push_back({l.soil, l.bottom});
  in.total_depth = ground.total_depth;
  if (!in.layers.empty()) in.total_depth = std::max(in.total_depth, in.layers.back().bottom);
  in.facility_top = transverse.cover_depth;
  in.facility_bottom = transverse.depth_of_bottom;
  in.ground_water = rec.ground_water;
  in.ground_water_depth = rec.ground_water_depth;
  return in;
}

}  // namespace vaultra
