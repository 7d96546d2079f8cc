#pragma once
// "ぼかし" (blur I) and "ぼかしⅡ" (blur II).

#include "imaging/bitmap.h"

namespace glyphwell::imaging {

// Blurs `image` in place. The image becomes 32-bit first (indexed and 15/16-bit
// images are drawn into a 32-bit copy with alpha 0, 24-bit images get alpha 0).
// Rows are walked top to bottom, pixels left to right; each pixel's blue, green and
// red become the truncated average of the pixels of its window that lie inside the
// image: columns x - radius ... x + radius and rows y - radius ... y + radius, or
// only row y when `horizontalOnly` is set. The window is read from the image being
// changed, so pixels above and to the left already hold blurred values. Alpha is
// untouched. Does nothing for an empty image or a radius below 1.
void Blur(Bitmap& image, int radius, bool horizontalOnly);

}  // namespace glyphwell::imaging
