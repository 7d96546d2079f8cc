#include "about/version_picture.h"

#include <QMouseEvent>
#include <QPainter>

namespace glyphwell::about {

VersionPicture::VersionPicture(QWidget* parent) : QWidget(parent) {
  setCursor(Qt::PointingHandCursor);
}

void VersionPicture::SetCanvas(const QImage& canvas) {
  canvas_ = canvas;
  update();
}

void VersionPicture::paintEvent(QPaintEvent*) {
  if (canvas_.isNull()) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.drawImage(rect(), canvas_);
}

void VersionPicture::enterEvent(QEnterEvent* event) {
  QWidget::enterEvent(event);
  emit pointerEntered();
}

void VersionPicture::mousePressEvent(QMouseEvent* event) {
  QWidget::mousePressEvent(event);
  emit pressed();
}

}  // namespace glyphwell::about
