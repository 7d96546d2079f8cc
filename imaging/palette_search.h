#pragma once
// Nearest-colour search over a colour table by the sum of absolute channel
// differences, as the colour reductions use it: the first entry that reaches the
// smallest distance wins (a later entry must be strictly nearer).

#include <cstdlib>

#include "imaging/bitmap.h"

namespace glyphwell::imaging {

inline int SumDistance(const Rgbq& a, const Rgbq& b) {
  return std::abs(a.red - b.red) + std::abs(a.green - b.green) + std::abs(a.blue - b.blue);
}

// Index of the nearest of the first `count` entries of `table`; entries beyond the
// table's end count as black. `start` is the distance an entry must beat to be
// chosen at all (the searches use values far above any real distance, so entry 0
// always wins when nothing is nearer).
int NearestBySum(const ColourTable& table, int count, const Rgbq& colour, int start);

// The 256-entry cube palette: entry 36 * i + 6 * j + k has blue 51 * i, green 51 * j,
// red 51 * k (i, j, k = 0 ... 5); entries 216 to 255 are black.
const ColourTable& CubePalette();

}  // namespace glyphwell::imaging
