#pragma once
// Run-length decoding of BMP pixel data (RLE8 and RLE4 compression).

#include <cstdint>
#include <span>

#include "imaging/bitmap.h"

namespace glyphwell::imaging {

// Decodes RLE8 (bits 8) or RLE4 (bits 4) data into `out`, an indexed Bitmap of that
// format already sized and given its colour table. Lines count from the bottom row
// unless `topDown`. Pixels the data never reaches (skipped by a delta, an early end of
// line or an early end of data) are index 0. Runs beyond the right edge are clipped;
// data that ends without an end-of-bitmap code keeps what was decoded. Never reads
// outside `data`.
void DecodeBmpRle(std::span<const std::uint8_t> data, bool topDown, Bitmap& out);

}  // namespace glyphwell::imaging
