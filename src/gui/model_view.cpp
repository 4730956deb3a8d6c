#include "gui/model_view.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "model/geometry.h"

namespace vaultra::gui {

bool FitMap::ToWorld(QPointF p, double* x, double* y) const {
  if (!(scale > 0) || !std::isfinite(scale)) return false;
  *x = (p.x() - ox) / scale;
  *y = (oy - p.y()) / scale;
  return true;
}

FitMap FitWorld(double x0, double x1, double y0, double y1, const QRect& rect, int margin) {
  FitMap m;
  const double w = std::max(1, rect.width() - 2 * margin);
  const double h = std::max(1, rect.height() - 2 * margin);
  double dx = x1 - x0, dy = y1 - y0;
  if (!(dx > 1e-9) || !std::isfinite(dx)) dx = 1;
  if (!(dy > 1e-9) || !std::isfinite(dy)) dy = 1;
  m.scale = std::min(w / dx, h / dy);
  if (!(m.scale > 0) || !std::isfinite(m.scale)) m.scale = 1;
  const double cx = std::isfinite(x0 + x1) ? (x0 + x1) / 2 : 0;
  const double cy = std::isfinite(y0 + y1) ? (y0 + y1) / 2 : 0;
  m.ox = rect.center().x() - cx * m.scale;
  m.oy = rect.center().y() + cy * m.scale;
  return m;
}

FitMap DrawModel(QPainter& p, const QRect& rect, const ModelDrawing& d) {
  const StructureModel* m = d.model;
  double x0 = std::numeric_limits<double>::max(), x1 = -x0, y0 = x0, y1 = -x0;
  auto take = [&](double x, double y) {
    x0 = std::min(x0, x);
    x1 = std::max(x1, x);
    y0 = std::min(y0, y);
    y1 = std::max(y1, y);
  };
  std::vector<std::vector<OutlinePoint>> outlines;
  if (d.blocks && m) {
    for (int k = 1; k <= m->real_block_count && k <= kMaxBlocks; ++k) {
      OutlinePoint pts[12];
      const int n = BlockOutline(d.layout, d.blocks->At(k), pts, 12);
      outlines.emplace_back(pts, pts + std::max(0, std::min(n, 12)));
      for (const OutlinePoint& q : outlines.back()) take(q.x, q.y);
    }
  }
  const int nodes = m ? std::min(m->node_count, kMaxNodes) : 0;
  for (int k = 1; k <= nodes; ++k) take(m->Node(k).x, m->Node(k).y);
  if (x0 > x1) {
    p.setPen(Qt::darkGray);
    p.drawText(rect, Qt::AlignCenter, QStringLiteral(u"構造モデルがありません"));
    return FitWorld(0, 1, 0, 1, rect);
  }
  const FitMap fit = FitWorld(x0, x1, y0, y1, rect);

  for (std::size_t i = 0; i < outlines.size(); ++i) {
    QPolygonF poly;
    for (const OutlinePoint& q : outlines[i]) poly << fit.ToPixel(q.x, q.y);
    const bool hi = static_cast<int>(i) + 1 == d.block;
    p.setPen(QPen(hi ? QColor(255, 0, 0) : QColor(96, 96, 96), hi ? 2.5 : 1));
    p.setBrush(hi ? QColor(255, 200, 200) : QColor(235, 235, 225));
    p.drawPolygon(poly);
  }
  p.setBrush(Qt::NoBrush);
  const int members = m ? std::min(m->member_count, kMaxMembers) : 0;
  QFont f = p.font();
  f.setPixelSize(10);
  p.setFont(f);
  for (int k = 1; k <= members; ++k) {
    const ModelMember& mm = m->Member(k);
    if (mm.node_i < 1 || mm.node_i > nodes || mm.node_j < 1 || mm.node_j > nodes) continue;
    const QPointF a = fit.ToPixel(m->Node(mm.node_i).x, m->Node(mm.node_i).y);
    const QPointF b = fit.ToPixel(m->Node(mm.node_j).x, m->Node(mm.node_j).y);
    const bool hi = std::find(d.members.begin(), d.members.end(), k) != d.members.end();
    p.setPen(QPen(hi ? QColor(255, 0, 0) : QColor(0, 0, 160), hi ? 4 : 1.5));
    p.drawLine(a, b);
    if (d.numbers) {
      p.setPen(QColor(0, 110, 0));
      p.drawText((a + b) / 2 + QPointF(3, -3), QString::number(k));
    }
  }
  p.setPen(QPen(Qt::black, 4));
  for (int k = 1; k <= nodes; ++k) p.drawPoint(fit.ToPixel(m->Node(k).x, m->Node(k).y));
  return fit;
}

}  // namespace vaultra::gui
