#include "controls/shape_geometry.h"

#include <algorithm>

namespace glyphwell::controls {

bool EllipseContains(const PixelRect& r, int x, int y) {
  if (r.Empty() || x < r.left || x >= r.right || y < r.top || y >= r.bottom) return false;
  const double a = r.Width() / 2.0, b = r.Height() / 2.0;
  const double dx = (x + 0.5 - (r.left + a)) / a;
  const double dy = (y + 0.5 - (r.top + b)) / b;
  return dx * dx + dy * dy <= 1.0;
}

bool RoundRectContains(const PixelRect& r, int corner, int x, int y) {
  if (r.Empty() || x < r.left || x >= r.right || y < r.top || y >= r.bottom) return false;
  const int cw = std::min(std::max(corner, 0), r.Width());
  const int ch = std::min(std::max(corner, 0), r.Height());
  if (cw < 2 || ch < 2) return true;
  // Which corner box, if any, holds the pixel; there the corner ellipse decides.
  const bool left = x < r.left + cw / 2, right = x >= r.right - cw / 2;
  const bool top = y < r.top + ch / 2, bottom = y >= r.bottom - ch / 2;
  if (!((left || right) && (top || bottom))) return true;
  const int ex = left ? r.left : r.right - cw;
  const int ey = top ? r.top : r.bottom - ch;
  return EllipseContains(PixelRect{ex, ey, ex + cw, ey + ch}, x, y);
}

namespace {
template <typename Contains>
std::optional<RowSpan> RowOf(const PixelRect& r, int y, Contains contains) {
  if (r.Empty() || y < r.top || y >= r.bottom) return std::nullopt;
  int x0 = r.left;
  while (x0 < r.right && !contains(x0))
    ++x0;
  if (x0 == r.right) return std::nullopt;
  int x1 = r.right;
  while (x1 > x0 && !contains(x1 - 1))
    --x1;
  return RowSpan{x0, x1};
}
}  // namespace

std::optional<RowSpan> EllipseRow(const PixelRect& r, int y) {
  return RowOf(r, y, [&](int x) { return EllipseContains(r, x, y); });
}

std::optional<RowSpan> RoundRectRow(const PixelRect& r, int corner, int y) {
  return RowOf(r, y, [&](int x) { return RoundRectContains(r, corner, x, y); });
}

HitMask::HitMask(int controlWidth, int controlHeight, MaskShape shape, int roundSize)
    : width_(std::max(0, controlWidth / 4)), height_(std::max(0, controlHeight / 4)) {
  bits_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), false);
  const PixelRect whole{0, 0, width_, height_};
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      bool on = false;
      if (shape == MaskShape::Ellipse) on = EllipseContains(whole, x, y);
      if (shape == MaskShape::RoundRect) on = RoundRectContains(whole, roundSize / 4, x, y);
      bits_[static_cast<std::size_t>(y) * width_ + x] = on;
    }
  }
}

bool HitMask::MaskPixel(int mx, int my) const {
  if (mx < 0 || my < 0 || mx >= width_ || my >= height_) return false;
  return bits_[static_cast<std::size_t>(my) * width_ + mx];
}

bool HitMask::Hit(int x, int y) const {
  if (x < 0 || y < 0) return false;
  return MaskPixel(x / 4, y / 4);
}

}  // namespace glyphwell::controls
