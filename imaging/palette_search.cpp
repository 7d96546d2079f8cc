#include "imaging/palette_search.h"

namespace glyphwell::imaging {

int NearestBySum(const ColourTable& table, int count, const Rgbq& colour, int start) {
  static const Rgbq kBlackEntry{};
  int best = 0;
  int bestDistance = start;
  for (int i = 0; i < count; ++i) {
    const Rgbq& entry = static_cast<std::size_t>(i) < table.size() ? table[i] : kBlackEntry;
    int d = SumDistance(entry, colour);
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  return best;
}

const ColourTable& CubePalette() {
  static const ColourTable table = [] {
    ColourTable t(256);
    for (int i = 0; i < 6; ++i)
      for (int j = 0; j < 6; ++j)
        for (int k = 0; k < 6; ++k) {
          Rgbq& e = t[36 * i + 6 * j + k];
          e.blue = static_cast<std::uint8_t>(51 * i);
          e.green = static_cast<std::uint8_t>(51 * j);
          e.red = static_cast<std::uint8_t>(51 * k);
        }
    return t;
  }();
  return table;
}

}  // namespace glyphwell::imaging
