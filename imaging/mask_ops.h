#pragma once
// Small operations on masks and alpha.
//
// A mask image is a 32-bit Bitmap of its image's size: white (all 24 colour bits
// set) where the image is transparent, black where it is opaque; alpha bytes are
// ignored. A packed mask holds the same at one bit per pixel: rows bottom row
// first, each padded to 32 bits, most significant bit first, bit 1 = transparent
// (the AND mask of an icon image).

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "imaging/bitmap.h"

namespace glyphwell::imaging {

// True when any pixel's alpha byte differs from `value`. False for an empty
// Bitmap and for every format other than 32 bits.
bool HasAlpha(const Bitmap& image, int value);

// True when any pixel of a 32-bit Bitmap has a colour other than black (low 24
// bits not 0). Tells an all-black (fully opaque) mask from one that holds
// transparency. False for an empty Bitmap and for other formats.
bool HasColour(const Bitmap& image);

// Writes the mask derived from the alpha of `source` into `dest`, which becomes a
// 32-bit mask image: black (opaque) where alpha > threshold, white elsewhere; with
// a negative threshold black wherever alpha is not 0. Returns true when any source
// pixel has alpha other than 0. Does nothing and returns false when the source is
// not 32-bit, either Bitmap is empty or their sizes differ.
bool MaskFromAlpha(const Bitmap& source, Bitmap& dest, int threshold);

// Size in bytes of a packed mask of width x height.
std::size_t PackedMaskBytes(int width, int height);

// Packs the mask image into a new packed mask of PackedMaskBytes(width, height)
// bytes: a bit is set where the pixel is white (low 24 bits all set). Pixels
// outside the mask image (a smaller image) count as opaque.
std::vector<std::uint8_t> PackMask(const Bitmap& mask, int width, int height);

// Turns `dest` (width and height already set) into a 32-bit mask image: white
// where the packed bit is 1, black where it is 0. Bits beyond the end of a short
// packed mask count as 0 (opaque). Returns false, leaving `dest` unchanged, when it
// is empty.
bool UnpackMask(Bitmap& dest, std::span<const std::uint8_t> packed);

}  // namespace glyphwell::imaging
