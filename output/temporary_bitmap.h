#pragma once
// The temporary bitmap file ("sv.bmp") in the exact form libPelmora reads: a 14-byte
// file header, a 40-byte info header whose image size holds the rows' byte count,
// the full colour table for the bit count (2, 16 or 256 entries, unused ones black)
// and the rows bottom row first. 15- and 16-bit images are stored as 24-bit, since an
// icon has no place for their bit-field masks.

#include <cstdint>
#include <vector>

#include "imaging/bitmap.h"

namespace glyphwell::output {

std::vector<std::uint8_t> EncodeTemporaryBitmap(const imaging::Bitmap& image);

}  // namespace glyphwell::output
