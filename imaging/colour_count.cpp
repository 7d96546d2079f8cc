#include "imaging/colour_count.h"

#include <algorithm>
#include <array>
#include <vector>

namespace glyphwell::imaging {

namespace {

// Values appended between two compactions of the list.
constexpr std::size_t kCompactEvery = 1024;

void SortUnique(std::vector<ColourValue>& values) {
  std::sort(values.begin(), values.end());
  values.erase(std::unique(values.begin(), values.end()), values.end());
}

int CountIndexes(const Bitmap& image) {
  std::array<bool, 256> seen{};
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      std::uint32_t index = image.rawPixel(x, y) & 255;
      if (!seen[index]) {
        seen[index] = true;
        ++count;
      }
    }
  return count;
}

}  // namespace

int CountColours(const Bitmap& image, int limit) {
  if (image.empty()) return 0;
  if (image.indexed()) return CountIndexes(image);

  // The list never holds more than limit + kCompactEvery + 1 values: it is
  // compacted whenever that many were added and the count stops once the compacted
  // list alone exceeds the limit.
  std::vector<ColourValue> values;
  values.reserve(
      std::min<std::size_t>(static_cast<std::size_t>(image.width()) * image.height(),
                            static_cast<std::size_t>(std::max(limit, 0)) + kCompactEvery + 2));
  std::size_t sinceCompaction = 0;
  for (int y = image.height() - 1; y >= 0; --y) {
    for (int x = 0; x < image.width(); ++x) {
      values.push_back(image.pixelColour(x, y));
      if (++sinceCompaction > kCompactEvery) {
        sinceCompaction = 0;
        SortUnique(values);
        if (values.size() > static_cast<std::size_t>(limit)) return static_cast<int>(values.size());
      }
    }
  }
  SortUnique(values);
  return static_cast<int>(values.size());
}

}  // namespace glyphwell::imaging
