// The structure drawn on a page canvas: the model's members (and, on the
// dimensions page, the block outlines) fitted into the canvas, with the
// highlighted members or block drawn in red. The fit is kept so that a
// click can be turned back into model coordinates.
#pragma once

#include <QPainter>
#include <QPointF>
#include <QRect>
#include <vector>

#include "model/structure_model.h"

namespace vaultra::gui {

// World (m, y up) to canvas pixels.
struct FitMap {
  double scale = 1;
  double ox = 0, oy = 0;  // pixel of world (0, 0)
  QPointF ToPixel(double x, double y) const { return {ox + x * scale, oy - y * scale}; }
  // False when the map cannot be undone (a canvas or model of no size).
  bool ToWorld(QPointF p, double* x, double* y) const;
};

// The map that fits [x0, x1] × [y0, y1] into rect with a margin; an empty
// extent or rect gives a map of scale 1 rather than a division by zero.
FitMap FitWorld(double x0, double x1, double y0, double y1, const QRect& rect, int margin = 24);

struct ModelDrawing {
  const StructureModel* model = nullptr;
  const BlockRow* blocks = nullptr;  // draws the block outlines when set
  int layout = 0;                    // 0 stand, 1 box (outlines)
  std::vector<int> members;          // highlighted members
  int block = 0;                     // highlighted block, 0 none
  bool numbers = true;               // member numbers
};

// Draws and returns the fit used.
FitMap DrawModel(QPainter& p, const QRect& rect, const ModelDrawing& d);

}  // namespace vaultra::gui
