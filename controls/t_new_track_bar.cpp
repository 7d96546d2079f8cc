#include "controls/t_new_track_bar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionSlider>

#include "controls/pixel_canvas.h"

namespace glyphwell::controls {

TNewTrackBar::TNewTrackBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
  StyleSet();
}

void TNewTrackBar::SetBarStyle(TBarStyle value) {
  barStyle_ = value;
  StyleSet();
}

void TNewTrackBar::StyleSet() {
  selectionRange_ = barStyle_ == TBarStyle::styBox;
  update();
}

void TNewTrackBar::SetColor(TColor value) {
  color_ = value;
  update();
}

QRect TNewTrackBar::ChannelRect() const {
  QStyleOptionSlider opt;
  initStyleOption(&opt);
  const QRect groove =
      style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderGroove, this);
  const int thickness = selectionRange_ ? 6 : 2;
  if (orientation() == Qt::Horizontal) {
    return QRect(groove.left() + 4, groove.center().y() - thickness / 2, groove.width() - 8,
                 thickness);
  }
  return QRect(groove.center().x() - thickness / 2, groove.top() + 4, thickness,
               groove.height() - 8);
}

void TNewTrackBar::paintEvent(QPaintEvent*) {
  // Background and channel are ours; the thumb and ticks are the style's.
  PixelCanvas canvas(width(), height(), color_);
  const QRect ch = ChannelRect();
  if (selectionRange_) {
    canvas.FillRect(ch.left(), ch.top(), ch.right() + 1, ch.bottom() + 1, clWhite);
    canvas.Line(ch.left(), ch.bottom(), ch.left(), ch.top(), clGray);
    canvas.Line(ch.left(), ch.top(), ch.right(), ch.top(), clGray);
    canvas.Line(ch.right(), ch.top(), ch.right(), ch.bottom(), clWhite);
    canvas.Line(ch.right(), ch.bottom(), ch.left(), ch.bottom(), clWhite);
  } else {
    canvas.FillRect(ch.left(), ch.top(), ch.right() + 1, ch.top() + 1, clGray);
    canvas.FillRect(ch.left(), ch.top() + 1, ch.right() + 1, ch.top() + 2, clWhite);
  }
  QPainter painter(this);
  painter.drawImage(0, 0, canvas.Image());
  QStyleOptionSlider opt;
  initStyleOption(&opt);
  opt.subControls = QStyle::SC_SliderHandle | QStyle::SC_SliderTickmarks;
  style()->drawComplexControl(QStyle::CC_Slider, &opt, &painter, this);
}

void TNewTrackBar::mousePressEvent(QMouseEvent* event) {
  QSlider::mousePressEvent(event);
  emit mouseDown(event->button(), event->position().toPoint());
}

void TNewTrackBar::mouseMoveEvent(QMouseEvent* event) {
  QSlider::mouseMoveEvent(event);
  emit mouseMove(event->position().toPoint());
}

void TNewTrackBar::mouseReleaseEvent(QMouseEvent* event) {
  QSlider::mouseReleaseEvent(event);
  emit mouseUp(event->button(), event->position().toPoint());
}

}  // namespace glyphwell::controls
