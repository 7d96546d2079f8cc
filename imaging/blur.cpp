#include "imaging/blur.h"

#include <algorithm>

namespace glyphwell::imaging {

void Blur(Bitmap& image, int radius, bool horizontalOnly) {
  if (image.empty() || radius < 1) return;
  if (image.bits() != 32) image.setPixelFormat(32);
  const int width = image.width(), height = image.height();
  const int rowRadius = horizontalOnly ? 0 : radius;
  for (int y = 0; y < height; ++y) {
    const int top = std::max(0, y - rowRadius), bottom = std::min(height - 1, y + rowRadius);
    for (int x = 0; x < width; ++x) {
      const int left = std::max(0, x - radius), right = std::min(width - 1, x + radius);
      int sum[3] = {0, 0, 0};
      for (int wy = top; wy <= bottom; ++wy) {
        const std::uint8_t* p = image.row(wy) + 4 * left;
        for (int wx = left; wx <= right; ++wx, p += 4) {
          sum[0] += p[0];
          sum[1] += p[1];
          sum[2] += p[2];
        }
      }
      const int count = (bottom - top + 1) * (right - left + 1);
      std::uint8_t* q = image.row(y) + 4 * x;
      for (int c = 0; c < 3; ++c)
        q[c] = static_cast<std::uint8_t>(sum[c] / count);
    }
  }
}

}  // namespace glyphwell::imaging
