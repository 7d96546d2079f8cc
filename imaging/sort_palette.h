#pragma once
// SortPalette: the optimized palette of a 256-colour image ordered by brightness.

#include "imaging/bitmap.h"
#include "imaging/conversion_settings.h"

namespace glyphwell::imaging {

// Orders the colour table of an 8-bit image by red + green + blue, darkest first;
// entries no pixel uses go last. Entry 0 stays where it is when it is black, the
// output type is "Icon" and "透過色の追加" is ticked (it is the transparency colour).
// Every pixel is then renumbered to the first entry of its colour, so duplicate
// colours collapse onto one entry. Does nothing for other formats or an empty image.
void SortPalette(Bitmap& image, const ConversionSettings& settings);

}  // namespace glyphwell::imaging
