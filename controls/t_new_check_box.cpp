#include "controls/t_new_check_box.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "controls/check_box_layout.h"
#include "controls/pixel_canvas.h"

namespace glyphwell::controls {

TNewCheckBox::TNewCheckBox(QWidget* parent) : QWidget(parent) {
  resize(117, 17);
  setFocusPolicy(Qt::TabFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TNewCheckBox::Changed() {
  update();
}

void TNewCheckBox::SetBoxWidth(int value) {
  boxWidth_ = checkbox::ClampBoxWidth(value);
  Changed();
}
void TNewCheckBox::SetRoundSize(int value) {
  roundSize_ = checkbox::ClampRoundSize(value);
  Changed();
}
void TNewCheckBox::SetColorCheck(TColor value) {
  colorCheck_ = value;
  Changed();
}
void TNewCheckBox::SetColorBox(TColor value) {
  colorBox_ = value;
  Changed();
}
void TNewCheckBox::SetBoxStyle(TCheckBoxStyle value) {
  boxStyle_ = value;
  repaint();
}
void TNewCheckBox::SetCaption(const QString& value) {
  caption_ = value;
  Changed();
}
void TNewCheckBox::SetChecked(bool value) {
  checked_ = value;
  repaint();
}
void TNewCheckBox::SetAlignment(TLEFTRIGHT value) {
  alignment_ = value;
  repaint();
}
void TNewCheckBox::SetColorGradetion(TColor value) {
  colorGradetion_ = value;
  Changed();
}
void TNewCheckBox::SetChkFontColor(TColor value) {
  chkFontColor_ = value;
  Changed();
}
void TNewCheckBox::SetPaintType(PAINTTYPE value) {
  paintType_ = value;
  Changed();
}
void TNewCheckBox::SetShadow(int x, int y) {
  shadowX_ = x;
  shadowY_ = y;
  Changed();
}
void TNewCheckBox::SetShadowColor(TColor value) {
  shadowColor_ = value;
  Changed();
}
void TNewCheckBox::SetShadowCheckColor(TColor value) {
  shadowCheckColor_ = value;
  Changed();
}
void TNewCheckBox::SetEnabledLightColor(TColor value) {
  enabledLight_ = value;
  Changed();
}
void TNewCheckBox::SetEnabledDarkColor(TColor value) {
  enabledDark_ = value;
  Changed();
}
void TNewCheckBox::SetChkLine(bool value) {
  chkLine_ = value;
  Changed();
}
void TNewCheckBox::SetColor(TColor value) {
  color_ = value;
  Changed();
}
void TNewCheckBox::SetFontColor(TColor value) {
  fontColor_ = value;
  Changed();
}

QImage TNewCheckBox::Compose() const {
  const int w = width(), h = height(), bw = boxWidth_;
  const bool enabled = isEnabled();
  // The box is drawn in its own bitmap first, then copied beside the caption.
  PixelCanvas box(bw, std::max(0, h - 3), color_);
  if (boxStyle_ == TCheckBoxStyle::stOnOffBox) {
    if (enabled) {
      box.FrameRect(0, 0, bw, h - 4, clBlack);
      const bool sunken = checkbox::OnOffSunken(pressed_, checked_);
      const TColor a = sunken ? enabledDark_ : enabledLight_;
      const TColor b = sunken ? enabledLight_ : enabledDark_;
      box.FrameRect(1, 1, bw - 1, h - 5, a);
      box.FrameRect(2, 2, bw - 1, h - 5, b);
    } else {
      box.FrameRect(1, 1, bw, h - 4, enabledLight_);
      box.FrameRect(0, 0, bw - 1, h - 5, enabledDark_);
    }
    const TColor fill = pressed_ ? colorBox_ : (checked_ ? colorCheck_ : colorBox_);
    box.FillRect(2, 2, bw - 2, h - 6, fill);
  } else {
    const int r = roundSize_;
    box.RoundRectOutline({0, 0, bw, h - 4}, r, clWhite);
    if (enabled) {
      box.FillRoundRect({0, 0, bw - 1, h - 5}, r, clGray);
      box.RoundRectOutline({1, 1, bw - 2, h - 6}, r, clBlack);
      box.FillRoundRect({2, 2, bw - 1, h - 5}, r, clBtnFace);
      box.FillRoundRect({2, 2, bw - 2, h - 6}, r, pressed_ ? clBtnFace : colorBox_);
    } else {
      box.RoundRectOutline({1, 1, bw, h - 4}, r, clWhite);
      box.RoundRectOutline({0, 0, bw - 1, h - 5}, r, clGray);
    }
    if (checked_) {
      if (!chkLine_) {
        box.FillRoundRect({bw / 2 - 3, h / 2 - 4, bw / 2 + 3, h / 2 + 1}, 3, colorCheck_);
      } else {
        const TColor tick = enabled ? colorCheck_ : clGray;
        for (int j = 0; j < 3; ++j) {
          box.Line(bw / 2 - 4, h - 11 + j, bw / 2 - 2, h - 9 + j, tick);
          box.Line(bw / 2 - 2, h - 9 + j, bw / 2 + 4, h - 15 + j, tick);
        }
      }
    }
  }

  PixelCanvas canvas(w, h, color_);
  const bool boxAtLeft = alignment_ == TLEFTRIGHT::taRightJustify;
  canvas.DrawImage(checkbox::BoxLeft(w, bw, boxAtLeft), checkbox::BoxTop(h), box.Image());

  const int charHeight = QFontInfo(font()).pixelSize();
  const int x = checkbox::CaptionLeft(bw, boxAtLeft);
  const int y = checkbox::CaptionTop(h, charHeight);
  if (enabled) {
    if (shadowX_ != 0 || shadowY_ != 0) {
      canvas.Text(x + shadowX_, y + shadowY_, caption_, font(),
                  checked_ ? shadowCheckColor_ : shadowColor_);
    }
    canvas.Text(x, y, caption_, font(), checked_ ? chkFontColor_ : fontColor_);
  } else {
    canvas.Text(x + 1, y + 1, caption_, font(), enabledLight_);
    canvas.Text(x, y, caption_, font(), enabledDark_);
  }
  if (hasFocus()) {
    const int textWidth = QFontMetrics(font()).horizontalAdvance(caption_);
    const int y1 = std::max(0, y - 1);
    int y2 = y + charHeight;
    if (y2 >= h) y2 = h - 1;
    const int dots = textWidth / 2 + 2;
    for (int i = 0; i < dots; ++i) {
      canvas.SetPixel(x - 2 + 2 * i, y1, clBlack);
      canvas.SetPixel(x - 2 + 2 * i, y2, clBlack);
    }
    for (int yy = y1; yy <= y2 + 1; yy += 2) {
      canvas.SetPixel(x - 2, yy, clBlack);
      canvas.SetPixel(x + textWidth + 1, yy, clBlack);
    }
  }
  return canvas.TakeImage();
}

void TNewCheckBox::paintEvent(QPaintEvent*) {
  const QImage image = Compose();
  QPainter painter(this);
  painter.drawImage(0, 0, image);
}

void TNewCheckBox::showEvent(QShowEvent* event) {
  if (!captionSettled_) {
    captionSettled_ = true;
    if (caption_.isEmpty()) caption_ = objectName();
  }
  QWidget::showEvent(event);
}

void TNewCheckBox::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    leftHeld_ = true;
    pressed_ = true;
    checked_ = !checked_;
    setFocus(Qt::MouseFocusReason);
    repaint();
  }
  emit mouseDown(event->button(), event->position().toPoint());
}

void TNewCheckBox::mouseMoveEvent(QMouseEvent* event) {
  if (leftHeld_) {
    const QPoint p = event->position().toPoint();
    const bool outside = p.x() <= 0 || p.x() >= width() || p.y() <= 0 || p.y() >= height();
    if (outside == pressed_) {
      pressed_ = !outside;
      repaint();
    }
  }
  emit mouseMove(event->position().toPoint());
}

void TNewCheckBox::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && leftHeld_) {
    leftHeld_ = false;
    pressed_ = false;
    repaint();
    emit clicked();
  }
  emit mouseUp(event->button(), event->position().toPoint());
}

// The box never toggles from the keyboard; keys go on to the parent.
void TNewCheckBox::keyPressEvent(QKeyEvent* event) {
  event->ignore();
}
void TNewCheckBox::keyReleaseEvent(QKeyEvent* event) {
  event->ignore();
}

// Enabling or disabling shows at once.
void TNewCheckBox::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::EnabledChange && isVisible()) repaint();
}

void TNewCheckBox::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  update();
}
void TNewCheckBox::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  update();
}

}  // namespace glyphwell::controls
