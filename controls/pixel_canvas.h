#pragma once
// Pixel-exact drawing on an off-screen QImage with the conventions of the drawn
// controls: rectangles exclude their right and bottom edges, a line excludes its end
// point, colours are TColor values (system references resolved on the way).

#include <QFont>
#include <QImage>
#include <QString>
#include <functional>
#include <utility>

#include "controls/control_color.h"
#include "controls/shape_geometry.h"

namespace glyphwell::controls {

class PixelCanvas {
 public:
  PixelCanvas(int width, int height, TColor fill);
  // Goes on drawing on an existing image (converted to 32-bit RGB).
  explicit PixelCanvas(const QImage& image);

  const QImage& Image() const { return image_; }
  QImage TakeImage() { return std::move(image_); }
  int Width() const { return image_.width(); }
  int Height() const { return image_.height(); }

  void SetPixel(int x, int y, TColor c);
  void FillRect(int left, int top, int right, int bottom, TColor c);
  void FillRect(const PixelRect& r, TColor c) { FillRect(r.left, r.top, r.right, r.bottom, c); }
  // One-pixel outline of the rectangle.
  void FrameRect(int left, int top, int right, int bottom, TColor c);
  // From (x0, y0) to (x1, y1), end point excluded.
  void Line(int x0, int y0, int x1, int y1, TColor c);

  void FillEllipse(const PixelRect& r, TColor c);
  void EllipseOutline(const PixelRect& r, TColor c);
  void FillRoundRect(const PixelRect& r, int corner, TColor c);
  void RoundRectOutline(const PixelRect& r, int corner, TColor c);
  // Each covered row y of the shape in rowColor(y).
  void FillEllipseRows(const PixelRect& r, const std::function<TColor(int)>& rowColor);
  void FillRoundRectRows(const PixelRect& r, int corner,
                         const std::function<TColor(int)>& rowColor);

  // Copies `source` with its top-left corner at (x, y).
  void DrawImage(int x, int y, const QImage& source);
  // Text with its top-left corner at (x, y), transparent background.
  void Text(int x, int y, const QString& text, const QFont& font, TColor c);

 private:
  QImage image_;
};

// QColor-free conversion for QImage pixels.
unsigned int ToQRgb(TColor c);

}  // namespace glyphwell::controls
