// Arrows and dimension lines of the figures, on the page in millimetres or
// between world points.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string>

#include "core/number.h"
#include "report/figures.h"

namespace vaultra {

void DrawArrow(PrintEngine& pe, double x1, double y1, double x2, double y2, int flags) {
  if (flags & kArrowShaft) pe.LineMm(x1, y1, x2, y2);
  const double a = pe.device().arrow_head;
  if (!(a > 0)) return;
  const double len = std::hypot(x2 - x1, y2 - y1);
  if ((flags & kArrowHeadStart) && (flags & kArrowHeadEnd) && len < 2.2 * a) return;
  const double th = std::atan2(y2 - y1, x2 - x1), w = 15 * std::numbers::pi / 180;
  auto head = [&](double x, double y, double dir) {
    pe.LineMm(x, y, x + a * std::cos(dir + w), y + a * std::sin(dir + w));
    pe.LineMm(x, y, x + a * std::cos(dir - w), y + a * std::sin(dir - w));
  };
  if (flags & kArrowHeadStart) head(x1, y1, th);
  if (flags & kArrowHeadEnd) head(x2, y2, th + std::numbers::pi);
}

void DrawArrowWorld(PrintEngine& pe, double X1, double Y1, double X2, double Y2, int flags) {
  DrawArrow(pe, pe.PageX(X1), pe.PageY(Y1), pe.PageX(X2), pe.PageY(Y2), flags);
}

void DrawDimension(PrintEngine& pe, double X1, double Y1, double X2, double Y2, double o, int flags,
                   std::string_view text_in, double t) {
  if (std::fabs(X2 - X1) < 1e-6 && std::fabs(Y2 - Y1) < 1e-6) return;
  std::string text(text_in);
  if (!text.empty() && text[0] == '$') {
    const int n = std::atoi(text.c_str() + 1);
    text = Format("%.0f", std::hypot(X2 - X1, Y2 - Y1) * std::pow(10.0, n));
  }
  double x1 = pe.PageX(X1), y1 = pe.PageY(Y1), x2 = pe.PageX(X2), y2 = pe.PageY(Y2);
  const double om = o * pe.window().sx;  // a world length L is L * sx mm
  const double th = std::atan2(y2 - y1, x2 - x1);
  const double ux = std::cos(th), uy = std::sin(th);
  const double nx = std::sin(th), ny = -std::cos(th);  // the normal, at th - 90 degrees
  // The lines of a dimension keep every figure label, its own text too, off them.
  pe.SetObstacleLines(true);
  if (om != 0) {
    const double sg = om > 0 ? 1 : -1;
    if (flags & kDimExtStart)
      pe.LineMm(x1 + nx * sg, y1 + ny * sg, x1 + nx * (om + 0.7 * sg), y1 + ny * (om + 0.7 * sg));
    if (flags & kDimExtEnd)
      pe.LineMm(x2 + nx * sg, y2 + ny * sg, x2 + nx * (om + 0.7 * sg), y2 + ny * (om + 0.7 * sg));
    x1 += nx * om, y1 += ny * om, x2 += nx * om, y2 += ny * om;
  }
  const double q = 0.6 * t;
  const double nb = static_cast<double>(text.size());
  double sx, sy;  // start of the text along the shaft
  if (flags & kDimTextOutsideStart) {
    const double ax = x1 - ux * (nb + 3) * q, ay = y1 - uy * (nb + 3) * q;
    pe.LineMm(ax, ay, x2 + ux * 2 * q, y2 + uy * 2 * q);
    DrawArrow(pe, x1 - ux, y1 - uy, x1, y1, kArrowHeadEnd);
    DrawArrow(pe, x2 + ux, y2 + uy, x2, y2, kArrowHeadEnd);
    sx = ax + ux * q, sy = ay + uy * q;
  } else if (flags & kDimTextOutsideEnd) {
    pe.LineMm(x1 - ux * 2 * q, y1 - uy * 2 * q, x2 + ux * (nb + 3) * q, y2 + uy * (nb + 3) * q);
    DrawArrow(pe, x1 - ux, y1 - uy, x1, y1, kArrowHeadEnd);
    DrawArrow(pe, x2 + ux, y2 + uy, x2, y2, kArrowHeadEnd);
    sx = x2 + ux * 2 * q, sy = y2 + uy * 2 * q;
  } else {
    DrawArrow(pe, x1, y1, x2, y2, kArrowShaft | kArrowHeadStart | kArrowHeadEnd);
    sx = (x1 + x2) / 2 - ux * nb * q / 2, sy = (y1 + y2) / 2 - uy * nb * q / 2;
  }
  pe.SetObstacleLines(false);
  if (text.empty() || !(flags & (kDimText | kDimTextOther))) return;
  const LabelScope placed(pe);
  const StFont saved = pe.SaveFont();
  pe.SetTextFont(t, q, -th * 180 / std::numbers::pi, 0);
  // The text's lower edge lies 0.3 t beside the shaft on the normal's side,
  // or its upper edge 0.1 t from it on the other side (its foot 1.1 t away).
  const double lift = (flags & kDimTextOther) ? -1.1 * t + t : 0.3 * t + t;
  pe.DrawText(sx + nx * lift, sy + ny * lift, 0, 0, text);
  pe.RestoreFont(saved);
}

}  // namespace vaultra
