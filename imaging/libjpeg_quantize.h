#pragma once
// LibjpegQuantize: the 256-colour reduction of large or colourful images, by a trip
// through a JPEG image whose decoder quantizes with dithering.

#include "imaging/bitmap.h"

namespace glyphwell::imaging {

// The JPEG quality of the trip, the same as JPEG saving.
inline constexpr int kQuantizeJpegQuality = 90;
// The colour count the decoder quantizes to.
inline constexpr int kQuantizeColours = 236;

// Compresses a 15-, 16-, 24- or 32-bit image to JPEG (quality 90, baseline, the
// library's default chroma subsampling) and decodes it again with two-pass colour
// quantization to 236 colours and Floyd-Steinberg dithering (accurate integer
// inverse transform, smooth upsampling). The image becomes the decoded 8-bit image
// with its colour table of at most 236 entries; alpha is lost, and the lossy
// compression is part of the result. Returns false, the image unchanged, for an
// empty or indexed image or when the library reports an error.
bool LibjpegQuantize(Bitmap& image);

}  // namespace glyphwell::imaging
