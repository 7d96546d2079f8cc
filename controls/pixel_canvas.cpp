#include "controls/pixel_canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

namespace glyphwell::controls {

unsigned int ToQRgb(TColor c) {
  return qRgb(RedOf(ChkSysColorToColor(c)), GreenOf(ChkSysColorToColor(c)),
              BlueOf(ChkSysColorToColor(c)));
}

PixelCanvas::PixelCanvas(int width, int height, TColor fill)
    : image_(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32) {
  image_.fill(ToQRgb(fill));
}

PixelCanvas::PixelCanvas(const QImage& image)
    : image_(image.convertToFormat(QImage::Format_RGB32)) {}

void PixelCanvas::SetPixel(int x, int y, TColor c) {
  if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) return;
  image_.setPixel(x, y, ToQRgb(c));
}

void PixelCanvas::FillRect(int left, int top, int right, int bottom, TColor c) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, image_.width());
  bottom = std::min(bottom, image_.height());
  const unsigned int rgb = ToQRgb(c);
  for (int y = top; y < bottom; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image_.scanLine(y));
    for (int x = left; x < right; ++x)
      row[x] = rgb;
  }
}

void PixelCanvas::FrameRect(int left, int top, int right, int bottom, TColor c) {
  if (right <= left || bottom <= top) return;
  FillRect(left, top, right, top + 1, c);
  FillRect(left, bottom - 1, right, bottom, c);
  FillRect(left, top, left + 1, bottom, c);
  FillRect(right - 1, top, right, bottom, c);
}

void PixelCanvas::Line(int x0, int y0, int x1, int y1, TColor c) {
  const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
  const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  while (x0 != x1 || y0 != y1) {
    SetPixel(x0, y0, c);
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y0 += sy;
    }
  }
}

void PixelCanvas::FillEllipse(const PixelRect& r, TColor c) {
  FillEllipseRows(r, [c](int) { return c; });
}

void PixelCanvas::FillRoundRect(const PixelRect& r, int corner, TColor c) {
  FillRoundRectRows(r, corner, [c](int) { return c; });
}

void PixelCanvas::FillEllipseRows(const PixelRect& r, const std::function<TColor(int)>& rowColor) {
  for (int y = r.top; y < r.bottom; ++y) {
    if (auto span = EllipseRow(r, y)) FillRect(span->x0, y, span->x1, y + 1, rowColor(y));
  }
}

void PixelCanvas::FillRoundRectRows(const PixelRect& r, int corner,
                                    const std::function<TColor(int)>& rowColor) {
  for (int y = r.top; y < r.bottom; ++y) {
    if (auto span = RoundRectRow(r, corner, y)) FillRect(span->x0, y, span->x1, y + 1, rowColor(y));
  }
}

namespace {
// The boundary of a shape: covered pixels with an uncovered 4-neighbour.
template <typename Contains>
void Outline(PixelCanvas& canvas, const PixelRect& r, TColor c, Contains contains) {
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) {
      if (!contains(x, y)) continue;
      if (!contains(x - 1, y) || !contains(x + 1, y) || !contains(x, y - 1) ||
          !contains(x, y + 1)) {
        canvas.SetPixel(x, y, c);
      }
    }
  }
}
}  // namespace

void PixelCanvas::EllipseOutline(const PixelRect& r, TColor c) {
  Outline(*this, r, c, [&](int x, int y) { return EllipseContains(r, x, y); });
}

void PixelCanvas::RoundRectOutline(const PixelRect& r, int corner, TColor c) {
  Outline(*this, r, c, [&](int x, int y) { return RoundRectContains(r, corner, x, y); });
}

void PixelCanvas::DrawImage(int x, int y, const QImage& source) {
  if (image_.isNull() || source.isNull()) return;
  QPainter painter(&image_);
  painter.drawImage(x, y, source);
}

void PixelCanvas::Text(int x, int y, const QString& text, const QFont& font, TColor c) {
  if (text.isEmpty() || image_.isNull()) return;
  QPainter painter(&image_);
  painter.setFont(font);
  painter.setPen(QColor::fromRgb(ToQRgb(c)));
  const QFontMetrics metrics(font);
  painter.drawText(x, y + metrics.ascent(), text);
}

}  // namespace glyphwell::controls
