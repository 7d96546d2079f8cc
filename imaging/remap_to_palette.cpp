#include "imaging/remap_to_palette.h"

#include <array>

#include "imaging/palette_search.h"

namespace glyphwell::imaging {

namespace {
constexpr int kSearchStart = 268435455;
}  // namespace

void RemapToPalette(Bitmap& image, const Bitmap* target, const ConversionSettings& settings) {
  if (image.empty()) return;
  const bool original = settings.keepSourceDepth;
  int kind = 0;
  if ((settings.depth == Depth::Colours16 || original) && image.bits() == 4)
    kind = 4;
  else if ((settings.depth == Depth::Colours256 || original) && image.bits() == 8)
    kind = 8;
  if (kind == 0) return;

  const ColourTable& targetTable = target != nullptr ? target->colourTable()
                                   : kind == 4       ? Fixed16Palette()
                                                     : CubePalette();
  const int entries = kind == 4 ? 16 : 256;
  const ColourTable& current = image.colourTable();
  std::array<std::uint8_t, 256> newIndex{};
  for (int i = 0; i < 256; ++i) {
    Rgbq colour = static_cast<std::size_t>(i) < current.size() ? current[i] : Rgbq{};
    newIndex[i] =
        static_cast<std::uint8_t>(NearestBySum(targetTable, entries, colour, kSearchStart));
  }
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      image.setRawPixel(x, y, newIndex[image.rawPixel(x, y) & 255]);
  // A short target table is padded with black, so that no pixel refers to an entry
  // the image does not have.
  ColourTable table = targetTable;
  if (table.size() < static_cast<std::size_t>(entries)) table.resize(entries);
  image.setColourTable(std::move(table));
}

}  // namespace glyphwell::imaging
