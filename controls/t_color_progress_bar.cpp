#include "controls/t_color_progress_bar.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTransform>
#include <algorithm>

#include "controls/gradient_ramp.h"
#include "controls/pixel_canvas.h"
#include "controls/progress_bar_layout.h"

namespace glyphwell::controls {

TColorProgressBar::TColorProgressBar(QWidget* parent)
    : QWidget(parent),
      boxColor_(ChkSysColorToColor(clBtnFace)),
      barColor_(ChkSysColorToColor(clHighlight)),
      lineColor_(ChkSysColorToColor(clBtnFace)) {
  resize(150, 16);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TColorProgressBar::Changed() {
  update();
}

void TColorProgressBar::SetMin(std::uint64_t value) {
  min_ = progress::ClampMin(value, max_);
}

void TColorProgressBar::SetMax(std::uint64_t value) {
  max_ = progress::ClampMax(value, min_);
}

void TColorProgressBar::SetPosition(std::uint64_t value) {
  value = std::clamp(value, min_, max_);
  const int before = GetPercentDone();
  if (value == position_) return;
  previous_ = position_;
  position_ = value;
  parValue_ = progress::ParValue(value, max_);
  if (GetPercentDone() != before) repaint();
}

void TColorProgressBar::SetStep(int value) {
  step_ = progress::ClampStep(value, max_);
}

void TColorProgressBar::StepIt() {
  // A negative step moves back; below zero the position stops at Min.
  if (step_ < 0) {
    const auto back = static_cast<std::uint64_t>(-static_cast<std::int64_t>(step_));
    SetPosition(position_ > back ? position_ - back : 0);
  } else {
    StepBy(static_cast<std::uint64_t>(step_));
  }
}

void TColorProgressBar::StepBy(std::uint64_t amount) {
  std::uint64_t sum;
  if (__builtin_add_overflow(position_, amount, &sum)) sum = max_;
  SetPosition(sum);
}

int TColorProgressBar::GetPercentDone() const {
  return progress::PercentDone(min_, max_, position_);
}

void TColorProgressBar::SetSmooth(bool value) {
  smooth_ = value;
  Changed();
}

int TColorProgressBar::BarLength() const {
  return orientation_ == TProgressBarOrientation::pbVertical ? height() : width();
}

void TColorProgressBar::SetBlockCount(int value) {
  blockCount_ = progress::ClampBlockCount(value, BarLength());
  Changed();
}

void TColorProgressBar::SetBlockSpace(int value) {
  if (!progress::BlockSpaceAccepted(value, BarLength(), blockCount_)) return;
  blockSpace_ = value;
  Changed();
}

void TColorProgressBar::SetBoxColor(TColor value) {
  boxColor_ = value;
  colorsDirty_ = true;
  Changed();
}
void TColorProgressBar::SetBarColor(TColor value) {
  barColor_ = value;
  colorsDirty_ = true;
  Changed();
}
void TColorProgressBar::SetLineColor(TColor value) {
  lineColor_ = value;
  colorsDirty_ = true;
  Changed();
}
void TColorProgressBar::SetLineParColor(TColor value) {
  lineParColor_ = value;
  colorsDirty_ = true;
  Changed();
}
void TColorProgressBar::SetWhiteLevel(int value) {
  whiteLevel_ = progress::ClampWhiteLevel(value);
  colorsDirty_ = true;
  Changed();
}
void TColorProgressBar::SetPrsLevel(int value) {
  prsLevel_ = value;
  colorsDirty_ = true;
  Changed();
}
void TColorProgressBar::SetBarStyle(PAINTTYPE value) {
  barStyle_ = value;
  Changed();
}
void TColorProgressBar::SetOrientation(TProgressBarOrientation value) {
  orientation_ = value;
  Changed();
}
void TColorProgressBar::SetTextSwitch(bool value) {
  textSwitch_ = value;
  Changed();
}
void TColorProgressBar::SetFlat(bool value) {
  flat_ = value;
  Changed();
}
void TColorProgressBar::SetShadow(bool value) {
  shadow_ = value;
  Changed();
}
void TColorProgressBar::SetLineParVisible(bool value) {
  lineParVisible_ = value;
  Changed();
}
void TColorProgressBar::SetLinePar(int value) {
  linePar_ = progress::ClampLinePar(value);
  Changed();
}
void TColorProgressBar::SetColor(TColor value) {
  color_ = value;
  Changed();
}
void TColorProgressBar::SetFontColor(TColor value) {
  fontColor_ = value;
  Changed();
}

void TColorProgressBar::ResolveColors() {
  box_ = ChkSysColorToColor(boxColor_);
  bar_ = ChkSysColorToColor(barColor_);
  line_ = ChkSysColorToColor(lineColor_);
  marker_ = ChkSysColorToColor(lineParColor_);
  lightTint_ = GetAlphaColor(bar_, clWhite, whiteLevel_);
  pressTint_ = GetAlphaColor(bar_, clWhite, whiteLevel_ + prsLevel_);
  boxShade_ = GetAlphaColor(box_, clBlack, 150);
  topLine_ = GetAlphaColor(bar_, clWhite, 100);
  colorsDirty_ = false;
}

namespace {

struct BarColors {
  TColor bar, dark, light, press, shade, topLine;
};

void DrawSpan(PixelCanvas& c, PAINTTYPE style, const progress::BarSpan& s, int h,
              const BarColors& col) {
  const int x0 = s.x0, x1 = s.x1;
  if (x1 < x0) return;  // a bar too narrow for any span
  switch (style) {
    case PAINTTYPE::btSolid:
      c.FillRect(x0, 2, x1, h - 2, col.bar);
      break;
    case PAINTTYPE::btSolid2: {
      const int t = 2, b = h - 2;
      const int half = (b - t) / 2, foot = (b - t) * 20 / 100;
      c.FillRect(x0, t, x1, half, GetAlphaColor(col.bar, clWhite, 100));
      c.FillRect(x0, half, x1, b - foot, col.bar);
      c.FillRect(x0, b - foot, x1, b, GetAlphaColor(col.bar, clBlack, 240));
      c.Line(x0, t, x1, t, col.topLine);
      break;
    }
    case PAINTTYPE::btGradetion:
    case PAINTTYPE::btGradetion2: {
      const bool second = style == PAINTTYPE::btGradetion2;
      for (const auto& row : progress::GradientBarRows(h, col.dark, second)) {
        c.Line(x0, row.y, x1, row.y, row.color);
      }
      if (second) {
        c.FillRect(x0, 2, x1, progress::Gradient2Top(h), col.light);
        c.Line(x0, 2, x1, 2, clWhite);
        c.Line(x1, 3, x1, h - 2, col.shade);
      }
      break;
    }
    case PAINTTYPE::btWin7: {
      const auto rows = progress::Win7BarRows(h, col.dark);
      for (const auto& row : rows.rows)
        c.Line(x0, row.y, x1, row.y, row.color);
      c.FillRect(x0, 2, x1, rows.lightBottom, col.light);
      c.FillRect(x0, rows.lightBottom, x1, rows.pressBottom, col.press);
      c.Line(x1, 3, x1, h - 2, col.shade);
      break;
    }
  }
}

}  // namespace

void TColorProgressBar::ComposeBar(QImage& image, int length, int thickness) {
  PixelCanvas canvas(length, thickness, box_);
  if (max_ != 0 && position_ != 0) {
    const BarColors colors{bar_,    DarkenChannels(bar_, 64), lightTint_, pressTint_, boxShade_,
                           topLine_};
    progress::BarExtent extent{length, position_, max_, smooth_, flat_, blockCount_, blockSpace_};
    if (orientation_ == TProgressBarOrientation::pbVertical) {
      // The vertical bar is the horizontal one turned so that it grows upward; its
      // inner length is one pixel longer, the frame having no inner line at its end.
      extent.width = length + 1;
    }
    for (const auto& span : progress::BarSpans(extent)) {
      DrawSpan(canvas, barStyle_, span, thickness, colors);
    }
  }
  image = canvas.TakeImage();
}

QImage TColorProgressBar::Compose() {
  if (colorsDirty_) ResolveColors();
  const int w = width(), h = height();
  const bool vertical = orientation_ == TProgressBarOrientation::pbVertical;
  QImage bar;
  if (vertical) {
    ComposeBar(bar, h, w);
    bar = bar.transformed(QTransform().rotate(-90));
  } else {
    ComposeBar(bar, w, h);
  }
  PixelCanvas canvas(bar);

  if (flat_) {
    canvas.FrameRect(0, 0, w, h, line_);
  } else {
    canvas.Line(0, h - 1, 0, 0, RgbHex(0x505050));
    canvas.Line(0, 0, w - 1, 0, RgbHex(0x505050));
    canvas.Line(w - 1, 0, w - 1, h - 1, clWhite);
    canvas.Line(w - 1, h - 1, 0, h - 1, clWhite);
    canvas.Line(w - 2, 1, w - 2, h - 2, color_);
  }

  if (lineParVisible_) {
    if (vertical) {
      const int y = h - 1 - (h - 1) * linePar_ / 100;
      canvas.Line(1, y, 5, y, marker_);
      canvas.Line(w - 6, y, w - 2, y, marker_);
    } else {
      const int x = (w - 1) * linePar_ / 100;
      canvas.Line(x, 1, x, 5, marker_);
      canvas.Line(x, h - 6, x, h - 2, marker_);
    }
  }

  if (textSwitch_ && max_ != 0) {
    const QString text = QString::number(parValue_) + QStringLiteral("%");
    const QFontMetrics metrics(font());
    const int x = w / 2 - metrics.horizontalAdvance(text) / 2;
    const int y = h / 2 - metrics.height() / 2;
    if (shadow_) {
      canvas.Text(x + 1, y + 1, text, font(), bar_);
      canvas.Text(x, y, text, font(), box_);
    } else {
      canvas.Text(x, y, text, font(), fontColor_);
    }
  }
  offscreen_ = canvas.TakeImage();
  return offscreen_;
}

void TColorProgressBar::paintEvent(QPaintEvent*) {
  const QImage image = Compose();
  QPainter painter(this);
  painter.drawImage(0, 0, image);
}

}  // namespace glyphwell::controls
