#include "imaging/two_colours.h"

#include <algorithm>

namespace glyphwell::imaging {

namespace {

ColourTable MakeGrayLevels() {
  ColourTable t;
  for (int i = 0; i < 16; ++i)
    t.push_back(Rgbq::FromColour(MakeColour(16 * i, 16 * i, 16 * i)));
  return t;
}

}  // namespace

const ColourTable& GrayLevels16() {
  static const ColourTable t = MakeGrayLevels();
  return t;
}

void ToTwoColours(Bitmap& image, int width, int height) {
  if (image.bits() == 1) {
    image.resize(width, height);
    return;
  }
  Bitmap mono(width, height, 1);
  if (mono.empty()) return;
  const ColourTable& levels = GrayLevels16();
  int w = std::min(width, image.width()), h = std::min(height, image.height());
  // The gray level of each colour-table entry is found once; true-colour pixels are
  // judged one by one.
  std::vector<std::uint8_t> entryIsWhite;
  if (image.indexed())
    for (const Rgbq& e : image.colourTable())
      entryIsWhite.push_back(Bitmap::NearestIndex(levels, e.colour()) == 15);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      bool white;
      if (image.indexed()) {
        std::uint32_t index = image.rawPixel(x, y);
        white = index < entryIsWhite.size() && entryIsWhite[index];
      } else {
        white = Bitmap::NearestIndex(levels, image.pixelColour(x, y)) == 15;
      }
      mono.setRawPixel(x, y, white ? 1 : 0);
    }
  image = std::move(mono);
}

}  // namespace glyphwell::imaging
