#pragma once
// TNewTrackBar: a slider whose channel is either the selection box (styBox) or a
// plain line (styLine), with a background colour and the mouse events published.

#include <QSlider>

#include "controls/control_color.h"

namespace glyphwell::controls {

enum class TBarStyle { styBox = 0, styLine = 1 };

class TNewTrackBar : public QSlider {
  Q_OBJECT
 public:
  explicit TNewTrackBar(QWidget* parent = nullptr);

  TBarStyle BarStyle() const { return barStyle_; }
  void SetBarStyle(TBarStyle value);
  TColor Color() const { return color_; }
  void SetColor(TColor value);

  // The channel as the current style shows it: the selection box is a sunken white
  // box, the line a one-pixel groove. Exposed so that the look can be checked.
  QRect ChannelRect() const;
  bool SelectionRangeStyle() const { return selectionRange_; }

 signals:
  void mouseDown(Qt::MouseButton button, QPoint pos);
  void mouseMove(QPoint pos);
  void mouseUp(Qt::MouseButton button, QPoint pos);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void StyleSet();

  TBarStyle barStyle_ = TBarStyle::styBox;
  bool selectionRange_ = true;  // the "selection range" window style flag
  TColor color_ = clWindow;
};

}  // namespace glyphwell::controls
