#pragma once
// Pixel coverage of the drawn shapes, shared by the painting and the hit tests so
// that a button reacts exactly where it is drawn. Rectangles exclude their right and
// bottom edges; a pixel belongs to a shape when its centre lies inside it.

#include <optional>
#include <vector>

namespace glyphwell::controls {

struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
};

struct RowSpan {
  int x0 = 0, x1 = 0;  // x1 excluded
};

bool EllipseContains(const PixelRect& r, int x, int y);
// A rectangle with corners rounded by ellipses `corner` pixels wide and high;
// corner 0 is a plain rectangle.
bool RoundRectContains(const PixelRect& r, int corner, int x, int y);

// The covered pixels of row y, or nothing when the row misses the shape.
std::optional<RowSpan> EllipseRow(const PixelRect& r, int y);
std::optional<RowSpan> RoundRectRow(const PixelRect& r, int corner, int y);

enum class MaskShape { Ellipse, RoundRect, None };

// The hit area of a drawn button, at a quarter of its size: a control point (x, y)
// is on the button when mask pixel (x / 4, y / 4) is set.
class HitMask {
 public:
  HitMask() = default;
  HitMask(int controlWidth, int controlHeight, MaskShape shape, int roundSize);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool MaskPixel(int mx, int my) const;
  bool Hit(int x, int y) const;

 private:
  int width_ = 0, height_ = 0;
  std::vector<bool> bits_;
};

}  // namespace glyphwell::controls
