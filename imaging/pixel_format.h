#pragma once
// Pixel format codes and filled Bitmaps.

#include <optional>

#include "imaging/bitmap.h"

namespace glyphwell::imaging {

// Bits per pixel of a pixel format code: 0 device, 1 to 7 for 1, 4, 8, 15, 16, 24
// and 32 bits. The device format has no fixed depth and gives 0, as does an unknown
// code.
int BitsOfFormat(int formatCode);

// Makes `bitmap` width x height, in `bits` when given (with that format's default
// colour table), else in its current format and table, and fills the whole area
// with the colour.
void NewFilledBitmap(Bitmap& bitmap, int width, int height, std::optional<int> bits,
                     ColourValue colour);

}  // namespace glyphwell::imaging
