// The canvas of a page's picture: the page draws its figure fitted into the
// canvas ("fit" pixels); the canvas puts the user's view on top of it —
// wheel zoom about the mouse (1.1 a notch), pan by a left-button drag,
// "全体表示" back to the fitted view — and turns a click that did not drag
// into a pick in fit pixels. Each view key (one per model shown) keeps its
// own view.
#pragma once

#include <QPointF>
#include <QTransform>
#include <QWidget>
#include <functional>
#include <map>
#include <string>

class QToolButton;

namespace vaultra::gui {

class FigureCanvas : public QWidget {
  Q_OBJECT
 public:
  using DrawFn = std::function<void(QPainter&, const QRect&)>;
  explicit FigureCanvas(QWidget* parent = nullptr);

  void SetDraw(DrawFn draw) { draw_ = std::move(draw); }
  // Selects the stored view of a model ("yoko", "tate", ...).
  void SetViewKey(const std::string& key);
  const QTransform& view() const { return views_[key_]; }
  void Fit();
  // Zoom by `factor` about a canvas point; pan by a pixel offset.
  void ZoomAt(QPointF at, double factor);
  void PanBy(QPointF delta);
  // A canvas point in fit pixels (the view undone); nullopt-like false when
  // the view cannot be undone.
  bool ToFit(QPointF canvas, QPointF* fit) const;
  int paint_count() const { return paint_count_; }

  static constexpr int kClickSlop = 5;  // a click moves at most this far
  static constexpr int kDragStart = 6;  // a drag starts beyond this

 signals:
  void picked(QPointF fit);

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;

 private:
  DrawFn draw_;
  mutable std::map<std::string, QTransform> views_;
  std::string key_ = "default";
  QPointF down_, last_;
  bool pressed_ = false, dragging_ = false;
  int paint_count_ = 0;
  QToolButton* fit_button_ = nullptr;
};

}  // namespace vaultra::gui
