#pragma once
// Bringing an image that was changed (blurred, edited, rebuilt) back to a bit depth.

#include "imaging/bitmap.h"
#include "imaging/conversion_settings.h"

namespace glyphwell::imaging {

// The depth a bit count stands for: 32 "32bit", 24 "24bit", 8 "256色", 4 "16色",
// 1 "2色". False for any other count.
bool DepthOfBitCount(int bits, Depth& depth);

// Brings `picture` to the depth of `bits` with the reductions of the conversion
// (the settings give "最適化", "mode2", the output type and the rest; their depth is
// replaced by the one asked for). With `fit` and a size choice other than
// "Original" the picture is also fitted into the output size. No alpha filling,
// blur, gray or transparency colour is applied. Returns false, `picture`
// unchanged, for an empty picture or a bit count that names no depth.
bool ConvertBitmapDepth(Bitmap& picture, int bits, bool fit, const ConversionSettings& settings);

}  // namespace glyphwell::imaging
