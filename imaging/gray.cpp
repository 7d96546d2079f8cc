#include "imaging/gray.h"

namespace glyphwell::imaging {

int GrayLevel(int red, int green, int blue) {
  return (red * 2989 + green * 5866 + blue * 1144) / 10000;
}

void GrayTable(Bitmap& image) {
  if (!image.indexed() || image.colourTable().empty()) return;
  ColourTable table = image.colourTable();
  for (Rgbq& e : table) {
    std::uint8_t level = static_cast<std::uint8_t>(GrayLevel(e.red, e.green, e.blue));
    e.red = e.green = e.blue = level;
  }
  image.setColourTable(std::move(table));
}

void GrayPixels(Bitmap& image) {
  if (image.empty() || (image.bits() != 24 && image.bits() != 32)) return;
  const int step = image.bits() / 8;
  for (int y = 0; y < image.height(); ++y) {
    std::uint8_t* p = image.row(y);
    for (int x = 0; x < image.width(); ++x, p += step) {
      std::uint8_t level = static_cast<std::uint8_t>(GrayLevel(p[2], p[1], p[0]));
      p[0] = p[1] = p[2] = level;
    }
  }
}

}  // namespace glyphwell::imaging
