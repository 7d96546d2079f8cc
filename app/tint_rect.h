#pragma once
// TintRect: the selection tint of a grid cell. Every pixel inside the inset moves
// toward the tint colour; the label rows at the bottom move further than the picture
// rows above them, so the selection reads as a coloured label under a lightly
// coloured picture.

#include "imaging/bitmap.h"

namespace glyphwell::app {

// For every row from `inset` to height - inset - 1 and every pixel from `inset` to
// width - inset - 1, each channel becomes c + ((p - c) * d) >> 8 (arithmetic shift),
// c being the tint's channel and p the pixel's: d = 240 above the last `labelRows`
// rows and 130 within them. With labelRows 0 every row uses d = `factor`. Alpha is
// left as it is. Indexed images take the nearest colour of their own table.
void TintRect(imaging::Bitmap& image, int inset, int labelRows, int factor,
              imaging::ColourValue colour);

}  // namespace glyphwell::app
