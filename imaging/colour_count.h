#pragma once
// Counting the distinct colours of an image, with an early stop.

#include "imaging/bitmap.h"

namespace glyphwell::imaging {

// Number of distinct colours of `image`.
//
// 15-, 16-, 24- and 32-bit images: colours are taken at their expanded value, alpha
// ignored. The count gives up as soon as it knows there are more than `limit`
// colours; the number it then returns is above the limit but not the full count.
// Indexed images: the number of distinct colour-table indexes that occur.
// 0 for an empty image.
int CountColours(const Bitmap& image, int limit);

}  // namespace glyphwell::imaging
