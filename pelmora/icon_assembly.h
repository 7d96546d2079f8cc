#pragma once
// Lays out the single-image icon file: the 6-byte directory, one 16-byte entry, the
// info header with doubled height, the colour table, the colour rows and the mask.

#include <cstdint>
#include <optional>
#include <vector>

#include "pelmora/bitmap_file.h"

namespace pelmora {

// The whole icon file. `mask` is the packed mask of the bitmap's size (height rows
// of MaskRowBytes(width) bytes, bottom row first) or null for an all-zero, fully
// opaque mask. std::nullopt when the file would not fit the 32-bit size fields.
std::optional<std::vector<std::uint8_t>> BuildIconFile(const BitmapFile& bmp,
                                                       const std::uint8_t* mask);

}  // namespace pelmora
