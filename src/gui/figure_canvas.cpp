#include "gui/figure_canvas.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <QWheelEvent>
#include <cmath>

namespace vaultra::gui {

FigureCanvas::FigureCanvas(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Paint1"));
  setAccessibleName(QStringLiteral(u"図"));
  setMinimumSize(200, 150);
  setMouseTracking(true);
  fit_button_ = new QToolButton(this);
  fit_button_->setText(QStringLiteral(u"全体表示"));
  fit_button_->setAccessibleName(QStringLiteral(u"全体表示"));
  fit_button_->move(4, 4);
  connect(fit_button_, &QToolButton::clicked, this, &FigureCanvas::Fit);
}

void FigureCanvas::SetViewKey(const std::string& key) {
  if (key == key_) return;
  key_ = key;
  update();
}

void FigureCanvas::Fit() {
  views_[key_] = QTransform();
  update();
}

void FigureCanvas::ZoomAt(QPointF at, double factor) {
  if (!(factor > 0) || !std::isfinite(factor)) return;
  QTransform& v = views_[key_];
  // Scale about `at`: the point under the mouse stays where it is.
  v = v * QTransform::fromTranslate(-at.x(), -at.y()) * QTransform::fromScale(factor, factor) *
      QTransform::fromTranslate(at.x(), at.y());
  update();
}

void FigureCanvas::PanBy(QPointF delta) {
  QTransform& v = views_[key_];
  v = v * QTransform::fromTranslate(delta.x(), delta.y());
  update();
}

bool FigureCanvas::ToFit(QPointF canvas, QPointF* fit) const {
  bool ok = false;
  const QTransform inv = views_[key_].inverted(&ok);
  if (!ok) return false;
  *fit = inv.map(canvas);
  return std::isfinite(fit->x()) && std::isfinite(fit->y());
}

void FigureCanvas::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  // A canvas laid out to nothing has nothing to fit a figure into.
  if (width() < 2 || height() < 2 || !draw_) return;
  ++paint_count_;
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setTransform(views_[key_]);
  draw_(p, rect());
}

void FigureCanvas::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  pressed_ = true;
  dragging_ = false;
  down_ = last_ = e->position();
}

void FigureCanvas::mouseMoveEvent(QMouseEvent* e) {
  if (!pressed_) return;
  const QPointF d = e->position() - down_;
  if (!dragging_ && (std::abs(d.x()) > kDragStart || std::abs(d.y()) > kDragStart))
    dragging_ = true;
  if (dragging_) {
    PanBy(e->position() - last_);
    last_ = e->position();
  }
}

void FigureCanvas::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !pressed_) return;
  pressed_ = false;
  const QPointF d = e->position() - down_;
  if (dragging_ || std::abs(d.x()) > kClickSlop || std::abs(d.y()) > kClickSlop) return;
  QPointF fit;
  if (ToFit(e->position(), &fit)) emit picked(fit);
}

void FigureCanvas::wheelEvent(QWheelEvent* e) {
  const int dy = e->angleDelta().y();
  if (dy == 0) return;
  ZoomAt(e->position(), dy > 0 ? 1.1 : 1 / 1.1);
  e->accept();
}

}  // namespace vaultra::gui
