#include "imaging/mask_combine.h"

#include <algorithm>

namespace glyphwell::imaging {

namespace {

bool TrueColour(const Bitmap& image) {
  return !image.empty() && (image.bits() == 24 || image.bits() == 32);
}

template <typename Op>
void Combine(Bitmap& image, const Bitmap& other, Op op) {
  if (!TrueColour(image) || other.empty()) return;
  const int width = std::min(image.width(), other.width());
  const int height = std::min(image.height(), other.height());
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image.setPixelColour(x, y, op(image.pixelColour(x, y), other.pixelColour(x, y)));
}

}  // namespace

bool IsTransparentAt(const Bitmap& mask, int x, int y) {
  return mask.pixelColour(x, y) == kWhite;
}

void InvertColours(Bitmap& image) {
  if (!TrueColour(image)) return;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      image.setPixelColour(x, y, ~image.pixelColour(x, y) & kWhite);
}

void AndColours(Bitmap& image, const Bitmap& other) {
  Combine(image, other, [](ColourValue a, ColourValue b) { return a & b; });
}

void OrColours(Bitmap& image, const Bitmap& other) {
  Combine(image, other, [](ColourValue a, ColourValue b) { return a | b; });
}

}  // namespace glyphwell::imaging
