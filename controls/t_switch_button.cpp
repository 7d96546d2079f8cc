#include "controls/t_switch_button.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <vector>

#include "controls/gradient_ramp.h"
#include "controls/pixel_canvas.h"
#include "controls/switch_button_rules.h"

namespace glyphwell::controls {

using switchbutton::FaceState;

TSwitchButton::TSwitchButton(QWidget* parent) : QWidget(parent) {
  resize(75, 25);
  setAttribute(Qt::WA_OpaquePaintEvent);
  RebuildMask();
}

void TSwitchButton::Loaded() {
  // Loading ends here. Re-arming the plain-store flag instead would let the first
  // assignment after loading skip the group check and leave two buttons down.
  loading_ = false;
  RebuildMask();
  update();
}

void TSwitchButton::Changed() {
  update();
}

void TSwitchButton::RebuildMask() {
  MaskShape shape = MaskShape::None;
  if (buttonStyle_ == BTNSTYLE::btEllipse) shape = MaskShape::Ellipse;
  if (buttonStyle_ == BTNSTYLE::btRound) shape = MaskShape::RoundRect;
  mask_ = HitMask(width(), height(), shape, roundSize_);
}

void TSwitchButton::SetDown(bool value) {
  if (loading_) {
    down_ = value;
    loading_ = false;
    return;
  }
  if (groupIndex_ != 0) pressed_ = false;
  down_ = switchbutton::DownAfterAssign(groupIndex_, allowAllUp_, down_, value);
  lastPaintedDown_ = down_;
  CheckControls();
  repaint();
}

void TSwitchButton::SetAllowAllUp(bool value) {
  allowAllUp_ = value;
  Changed();
}
void TSwitchButton::SetGroupIndex(int value) {
  groupIndex_ = value;
  Changed();
}
void TSwitchButton::SetButtonStyle(BTNSTYLE value) {
  buttonStyle_ = value;
  // The hit area must follow the shape, or the button reacts where nothing is drawn.
  RebuildMask();
  Changed();
}
void TSwitchButton::SetColorButton(TColor value) {
  colorButton_ = value;
  Changed();
}
void TSwitchButton::SetColorDown(TColor value) {
  colorDown_ = value;
  Changed();
}
void TSwitchButton::SetColorDownText(TColor value) {
  colorDownText_ = value;
  Changed();
}
void TSwitchButton::SetLightColor(TColor value) {
  lightColor_ = value;
  Changed();
}
void TSwitchButton::SetCaptionAlign(ALIGN value) {
  captionAlign_ = value;
  captionTop_ = 0;
  Changed();
}
void TSwitchButton::SetCaptionLeft(int value) {
  captionLeft_ = switchbutton::ClampCaptionPos(value, width());
  Changed();
}
void TSwitchButton::SetCaptionTop(int value) {
  captionTop_ = switchbutton::ClampCaptionPos(value, height());
  Changed();
}
void TSwitchButton::SetCaption(const QString& value) {
  caption_ = value;
  Changed();
}
void TSwitchButton::SetDownFrg(bool value) {
  downFrg_ = value;
  Changed();
}
void TSwitchButton::SetRoundSize(int value) {
  roundSize_ = value;
  RebuildMask();
  Changed();
}
void TSwitchButton::SetShadow(int x, int y) {
  shadowX_ = x;
  shadowY_ = y;
  Changed();
}
void TSwitchButton::SetShadowColor(TColor value) {
  shadowColor_ = value;
  Changed();
}
void TSwitchButton::SetShadowDownColor(TColor value) {
  shadowDownColor_ = value;
  Changed();
}
void TSwitchButton::SetColorUp(TColor value) {
  colorUp_ = value;
  Changed();
}
void TSwitchButton::SetHafuDraw(bool value) {
  hafuDraw_ = value;
  Changed();
}
void TSwitchButton::SetColor(TColor value) {
  color_ = value;
  Changed();
}
void TSwitchButton::SetFontColor(TColor value) {
  fontColor_ = value;
  Changed();
}

TColor TSwitchButton::TextColor() {
  if (!allowAllUp_) {
    lastTextColor_ = (pressed_ || down_) ? colorDownText_ : fontColor_;
  } else if (!pressed_) {
    lastTextColor_ = (down_ && colorDownText_ != clWindowText) ? colorDownText_ : fontColor_;
  }
  return lastTextColor_;
}

QImage TSwitchButton::Compose() {
  const int w = width(), h = height();
  const bool enabled = isEnabled();
  PixelCanvas canvas(w, h, color_);
  if (hafuDraw_) canvas.FillRect(0, 0, w, h / 2, colorUp_);

  const TColor face =
      switchbutton::FaceColor(allowAllUp_, pressed_, down_, colorDown_, colorButton_);
  // ramp[k]: the face colour k rows above the face's bottom edge
  GradientRamp ramp(GradientRamp::StartFrom(ChkSysColorToColor(face)), GradientRamp::StepFor(h));
  const std::vector<TColor> shades = ramp.Take(h + 2);
  auto shade = [&](int k) { return shades[static_cast<std::size_t>(std::clamp(k, 0, h + 1))]; };
  const FaceState state = switchbutton::StateOf(pressed_, downFrg_, down_);

  if (buttonStyle_ == BTNSTYLE::btEllipse) {
    if (enabled) {
      canvas.FillEllipse({0, 0, w, h}, lightColor_);
      canvas.FillEllipse({0, 0, w - 1, h - 1}, clBlack);
    } else {
      canvas.EllipseOutline({1, 1, w, h}, clWhite);
      canvas.EllipseOutline({0, 0, w - 1, h - 1}, clGray);
    }
    const PixelRect f = switchbutton::EllipseFace(w, h, state);
    canvas.FillEllipseRows(f, [&](int y) { return shade(f.bottom - y); });
  } else if (buttonStyle_ == BTNSTYLE::btRound) {
    if (enabled) {
      canvas.FillRoundRect({0, 0, w, h}, roundSize_, clBlack);
    } else {
      canvas.RoundRectOutline({1, 1, w, h}, roundSize_, clWhite);
      canvas.RoundRectOutline({0, 0, w - 1, h - 1}, roundSize_, clGray);
    }
    if (roundSize_ != 0) {
      canvas.RoundRectOutline({0, 0, w, h}, roundSize_, clWhite);
      canvas.FillRoundRect({0, 0, w - 1, h - 1}, roundSize_, clBlack);
      const PixelRect f = switchbutton::RoundFace(w, h, state);
      canvas.FillRoundRectRows(f, roundSize_, [&](int y) { return shade(f.bottom - y); });
    } else {
      const auto f = switchbutton::SquareFace(w, h, state);
      for (int i = 0; i < f.rows; ++i)
        canvas.Line(f.x0, f.bottom - i, f.x1, f.bottom - i, shade(i));
      canvas.Line(0, h - 1, w - 1, h - 1, clWhite);
      canvas.Line(w - 1, h - 1, w - 1, 0, clWhite);
    }
  }

  if (!caption_.isEmpty()) {
    const int d = switchbutton::CaptionOffset(pressed_, downFrg_, down_);
    const QFontMetrics metrics(font());
    const int x =
        captionLeft_ != 0 ? captionLeft_ : w / 2 - metrics.horizontalAdvance(caption_) / 2;
    int y = captionTop_;
    if (y == 0) {
      const int line = captionAlign_ == ALIGN::psTop      ? h / 4
                       : captionAlign_ == ALIGN::psCenter ? h / 2
                                                          : 3 * (h / 4);
      y = line - QFontInfo(font()).pixelSize() / 2;
    }
    if (enabled) {
      const TColor text = TextColor();
      if (shadowX_ != 0 || shadowY_ != 0) {
        canvas.Text(x + d + shadowX_, y + d + shadowY_, caption_, font(),
                    (pressed_ || down_) ? shadowDownColor_ : shadowColor_);
      }
      canvas.Text(x + d, y + d, caption_, font(), text);
    } else {
      canvas.Text(x + d + 1, y + d + 1, caption_, font(), clWhite);
      canvas.Text(x + d, y + d, caption_, font(), clGray);
    }
  }
  return canvas.TakeImage();
}

void TSwitchButton::paintEvent(QPaintEvent*) {
  const QImage image = Compose();
  QPainter painter(this);
  painter.drawImage(0, 0, image);
}

void TSwitchButton::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  RebuildMask();
}

void TSwitchButton::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::EnabledChange && isVisible()) repaint();
}

void TSwitchButton::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (!mask_.Hit(p.x(), p.y())) return;
  if (event->button() == Qt::LeftButton) {
    leftHeld_ = true;
    downBeforePress_ = down_;
    down_ = switchbutton::DownAfterPress(groupIndex_, allowAllUp_, down_);
    pressed_ = true;
    repaint();
  }
  emit mouseDown(event->button(), p);
}

void TSwitchButton::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (leftHeld_) {
    const bool inside = p.x() > 0 && p.x() < width() && p.y() > 0 && p.y() < height() &&
                        mask_.Hit(p.x(), p.y()) && !down_;
    if (inside && !pressed_) {
      pressed_ = true;
      repaint();
    } else if (!inside && pressed_) {
      pressed_ = false;
      repaint();
    }
  }
  emit mouseMove(p);
}

void TSwitchButton::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  const bool left = event->button() == Qt::LeftButton;
  if (!mask_.Hit(p.x(), p.y())) {
    // A release off the shape cancels the press: no event, and the button goes back
    // to how it was, so that a grouped button cannot stay down beside another.
    if (left && leftHeld_) {
      leftHeld_ = false;
      pressed_ = false;
      down_ = downBeforePress_;
      repaint();
    }
    return;
  }
  if (left && leftHeld_) {
    leftHeld_ = false;
    pressed_ = false;
    CheckControls();
    if (down_ != lastPaintedDown_ || groupIndex_ == 0) {
      repaint();
      lastPaintedDown_ = down_;
    }
    emit clicked();
  }
  emit mouseUp(event->button(), p);
}

void TSwitchButton::ReleaseByGroup() {
  down_ = false;
  pressed_ = false;
  lastPaintedDown_ = false;
  repaint();
}

void TSwitchButton::CheckControls() {
  if (pressed_ || !down_ || groupIndex_ == 0 || parentWidget() == nullptr) return;
  const auto siblings = parentWidget()->findChildren<TSwitchButton*>(Qt::FindDirectChildrenOnly);
  for (TSwitchButton* other : siblings) {
    if (other != this && other->groupIndex_ == groupIndex_ && other->down_) {
      other->ReleaseByGroup();
    }
  }
}

}  // namespace glyphwell::controls
