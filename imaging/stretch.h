#pragma once
// Resampling one Bitmap into a rectangle of another.
//
// Both functions draw the whole source into (rect.x, rect.y, rect.w, rect.h) of the
// destination, clipped to the destination; the rest of the destination is left as it
// was. Pixels land in the destination's format: an indexed destination takes the
// nearest entry of its own colour table, a 32-bit destination keeps the source's
// alpha when the source is 32-bit and gets alpha 0 otherwise.

#include "imaging/bitmap.h"
#include "imaging/output_geometry.h"

namespace glyphwell::imaging {

// Copies the source pixel that falls on each destination pixel; never mixes colours.
// When the destination has the source's pixel format and colour table (a palette
// source drawn onto a Bitmap that took its table) the indexes are copied unchanged.
void StretchNearest(const Bitmap& source, Bitmap& dest, const Rect& rect);

// Area-averaging resampling: every destination pixel is the average of the source
// area it covers, weighted by how much of each source pixel lies inside it.
void HalftoneStretch(const Bitmap& source, Bitmap& dest, const Rect& rect);

}  // namespace glyphwell::imaging
