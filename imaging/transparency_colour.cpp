#include "imaging/transparency_colour.h"

#include <array>

#include "imaging/palette_search.h"

namespace glyphwell::imaging {

namespace {
// Far above any sum distance, so entry 0 is taken when nothing is nearer.
constexpr int kSearchStart = 300000;
}  // namespace

void AddTransparencyColour(Bitmap& image) {
  if (image.empty() || (image.bits() != 8 && image.bits() != 4)) return;
  const ColourTable old = image.colourTable();
  if (old.empty() || old[0] == Rgbq{}) return;

  ColourTable shifted(old.size());
  for (std::size_t i = 1; i < old.size(); ++i)
    shifted[i] = old[i - 1];
  const int n = static_cast<int>(shifted.size());

  // Each old index is looked up once; an index beyond the old table reads as black.
  std::array<std::uint8_t, 256> newIndex{};
  for (int i = 0; i < 256; ++i) {
    Rgbq colour = static_cast<std::size_t>(i) < old.size() ? old[i] : Rgbq{};
    newIndex[i] = static_cast<std::uint8_t>(NearestBySum(shifted, n, colour, kSearchStart));
  }
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      image.setRawPixel(x, y, newIndex[image.rawPixel(x, y) & 255]);
  image.setColourTable(std::move(shifted));
}

}  // namespace glyphwell::imaging
