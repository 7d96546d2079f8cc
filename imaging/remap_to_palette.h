#pragma once
// RemapToPalette: an indexed image moved onto a fixed or given colour table.

#include "imaging/bitmap.h"
#include "imaging/conversion_settings.h"

namespace glyphwell::imaging {

// Remaps the pixels of a 4- or 8-bit image onto `target`'s colour table, or, when
// `target` is null, onto the fixed 16-colour palette (4 bits) or the cube palette
// (8 bits). Acts on a 4-bit image when the depth is "16色" or "Original" is ticked,
// on an 8-bit image when the depth is "256色" or "Original" is ticked; otherwise
// does nothing. Each pixel takes the nearest of the first 16 or 256 target entries
// (missing ones count as black; sum of channel differences, first minimum) and the
// image's table becomes the target's entries.
void RemapToPalette(Bitmap& image, const Bitmap* target, const ConversionSettings& settings);

}  // namespace glyphwell::imaging
