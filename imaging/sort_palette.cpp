#include "imaging/sort_palette.h"

#include <array>
#include <utility>

namespace glyphwell::imaging {

namespace {
// The key of an entry no pixel uses: above every real brightness.
constexpr int kUnusedKey = 16777215;

int BrightnessKey(const Rgbq& e, long count) {
  return count == 0 ? kUnusedKey : e.red + e.green + e.blue;
}
}  // namespace

void SortPalette(Bitmap& image, const ConversionSettings& settings) {
  if (image.empty() || image.bits() != 8) return;
  ColourTable table = image.colourTable();
  const std::size_t n = table.size();
  if (n == 0) return;

  std::array<long, 256> counts{};
  for (int y = 0; y < image.height(); ++y) {
    const std::uint8_t* p = image.row(y);
    for (int x = 0; x < image.width(); ++x)
      ++counts[p[x]];
  }
  const std::array<long, 256> oldCounts = counts;
  const ColourTable oldTable = table;

  const bool keepFirst =
      table[0] == Rgbq{} && settings.outputType == OutputType::Icon && settings.transparencyColour;
  for (std::size_t i = keepFirst ? 1 : 0; i < n; ++i) {
    std::size_t best = i;
    int bestKey = BrightnessKey(table[i], counts[i]);
    for (std::size_t j = i + 1; j < n; ++j) {
      if (counts[j] == 0) continue;
      int key = BrightnessKey(table[j], counts[j]);
      if (key < bestKey) {
        bestKey = key;
        best = j;
      }
    }
    if (best != i) {
      std::swap(table[i], table[best]);
      std::swap(counts[i], counts[best]);
    }
  }

  // Old index -> first position of the same colour in the sorted table. Indexes
  // beyond the old table, or whose colour no longer has a position, stay as they are.
  std::array<std::uint8_t, 256> renumber{};
  for (std::size_t old = 0; old < 256; ++old) {
    renumber[old] = static_cast<std::uint8_t>(old);
    if (old >= n || oldCounts[old] == 0) continue;
    for (std::size_t k = 0; k < n; ++k)
      if (table[k] == oldTable[old]) {
        renumber[old] = static_cast<std::uint8_t>(k);
        break;
      }
  }
  for (int y = 0; y < image.height(); ++y) {
    std::uint8_t* p = image.row(y);
    for (int x = 0; x < image.width(); ++x)
      p[x] = renumber[p[x]];
  }
  image.setColourTable(std::move(table));
}

}  // namespace glyphwell::imaging
