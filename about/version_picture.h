#pragma once
// Image1 of the about box: shows the animation canvas stretched to its own size,
// with a hand cursor, and reports the pointer coming over it and presses on it.

#include <QImage>
#include <QWidget>

namespace glyphwell::about {

class VersionPicture : public QWidget {
  Q_OBJECT
 public:
  explicit VersionPicture(QWidget* parent = nullptr);

  void SetCanvas(const QImage& canvas);
  const QImage& canvas() const { return canvas_; }

 signals:
  void pointerEntered();
  void pressed();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QImage canvas_;
};

}  // namespace glyphwell::about
