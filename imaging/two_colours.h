#pragma once
// "2色": turning an image into black and white.

#include "imaging/bitmap.h"

namespace glyphwell::imaging {

// The 16 gray levels 0, 16, ... 240 the image is judged against.
const ColourTable& GrayLevels16();

// Replaces `image` by a width x height 1-bit Bitmap (table black, white) drawn from
// it at the top-left corner: a pixel is white when its nearest gray level is the
// lightest one (240), black otherwise. Area outside the image stays white. An image
// that already has 1 bit only changes size.
void ToTwoColours(Bitmap& image, int width, int height);

}  // namespace glyphwell::imaging
