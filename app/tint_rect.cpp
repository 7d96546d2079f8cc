#include "app/tint_rect.h"

#include <algorithm>

namespace glyphwell::app {
namespace {

constexpr int kPictureRowsFactor = 240;
constexpr int kLabelRowsFactor = 130;

int Blend(int pixel, int tint, int d) {
  // The shift of a negative difference must round toward minus infinity, as an
  // arithmetic shift does; C++20 guarantees that for >> on signed values.
  // A factor above 256 would overshoot; keep the channel a byte.
  return std::clamp(tint + (((pixel - tint) * d) >> 8), 0, 255);
}

}  // namespace

void TintRect(imaging::Bitmap& image, int inset, int labelRows, int factor,
              imaging::ColourValue colour) {
  if (image.empty()) return;
  inset = std::max(inset, 0);
  const int red = imaging::RedOf(colour);
  const int green = imaging::GreenOf(colour);
  const int blue = imaging::BlueOf(colour);
  const int firstLabelRow = image.height() - std::max(labelRows, 0);
  for (int y = inset; y <= image.height() - inset - 1; ++y) {
    int d = y < firstLabelRow ? kPictureRowsFactor : kLabelRowsFactor;
    if (labelRows == 0) d = factor;
    if (image.bits() == 32) {
      std::uint8_t* row = image.row(y);
      for (int x = inset; x <= image.width() - inset - 1; ++x) {
        std::uint8_t* p = row + static_cast<std::size_t>(x) * 4;
        p[0] = static_cast<std::uint8_t>(Blend(p[0], blue, d));
        p[1] = static_cast<std::uint8_t>(Blend(p[1], green, d));
        p[2] = static_cast<std::uint8_t>(Blend(p[2], red, d));
      }
      continue;
    }
    for (int x = inset; x <= image.width() - inset - 1; ++x) {
      const imaging::ColourValue p = image.pixelColour(x, y);
      image.setPixelColour(x, y,
                           imaging::MakeColour(Blend(imaging::RedOf(p), red, d),
                                               Blend(imaging::GreenOf(p), green, d),
                                               Blend(imaging::BlueOf(p), blue, d)));
    }
  }
}

}  // namespace glyphwell::app
