#pragma once
// "透過色の追加": black at colour-table index 0 as the transparency colour.

#include "imaging/bitmap.h"

namespace glyphwell::imaging {

// For an 8- or 4-bit image whose entry 0 is not already black: the entries move up
// by one, entry 0 becomes black and the table keeps its size (the old last entry
// falls off). Every pixel then takes the nearest entry of the new table to its old
// colour (sum of channel differences, first minimum), so black pixels take index 0
// and pixels of the dropped colour their nearest neighbour. Does nothing for other
// formats, an empty image or an empty table.
void AddTransparencyColour(Bitmap& image);

}  // namespace glyphwell::imaging
