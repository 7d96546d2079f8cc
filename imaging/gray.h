#pragma once
// "Gray": turning colours into gray levels.

#include "imaging/bitmap.h"

namespace glyphwell::imaging {

// The gray level of a colour: (red * 2989 + green * 5866 + blue * 1144) / 10000.
int GrayLevel(int red, int green, int blue);

// Grays every colour-table entry of an indexed image (red = green = blue = level).
// Does nothing for an image without a colour table.
void GrayTable(Bitmap& image);

// Grays every pixel of a 24- or 32-bit image; alpha bytes are unchanged. Does
// nothing for other formats.
void GrayPixels(Bitmap& image);

}  // namespace glyphwell::imaging
