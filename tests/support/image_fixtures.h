#pragma once
// Image data for fixtures, laid out byte by byte: icon images (DIB with XOR and AND
// mask, or PNG), bitmap resources (plain, RLE8, RLE4) and small PNG files. Pixels
// follow a deterministic pattern chosen by `seed`, so tests can check decoded
// colours against MakePatternBitmap.

#include <cstdint>
#include <span>
#include <vector>

#include "imaging/bitmap.h"

namespace glyphwell::testsupport {

using Bytes = std::vector<std::uint8_t>;

// The reference pattern: a width x height Bitmap of the given format (1, 4, 8, 24,
// 32) with the default colour table for indexed formats; 32-bit images get alpha
// 255 except a transparent top-left quarter when `withAlpha`.
imaging::Bitmap MakePatternBitmap(int width, int height, int bits, std::uint32_t seed,
                                  bool withAlpha = false);

// An icon image as stored in RT_ICON resources and icon files: 40-byte header with
// the doubled height, colour table (2^bits entries below 8 bits, 256 at 8 bits),
// XOR rows bottom row first, then the AND mask (the left half of each row marked
// transparent when `maskLeftHalf`).
Bytes MakeIconDib(const imaging::Bitmap& image, bool maskLeftHalf = false);
Bytes MakeIconDib(int width, int height, int bits, std::uint32_t seed = 1);

// A complete PNG file (RGBA, 8 bits a channel, stored deflate) of a 32-bit Bitmap;
// other formats are written through their colours with alpha 255.
Bytes MakePng(const imaging::Bitmap& image);
// A width x height RGBA PNG of the pattern; `opaque` makes every alpha 255.
Bytes MakePngImage(int width, int height, std::uint32_t seed = 1, bool opaque = false);

// A bitmap resource (DIB without file header): 40-byte header, `coloursUsed` in the
// header (0 = leave it 0: 2^bits entries are written), colour table, rows bottom first.
Bytes MakeBitmapDib(const imaging::Bitmap& image, std::uint32_t coloursUsed = 0);
Bytes MakeBitmapDib(int width, int height, int bits, std::uint32_t seed = 1);

// An RLE bitmap resource: header with compression 1 (RLE8) or 2 (RLE4), a 256- or
// 16-entry grey colour table, then `encoded` as the pixels; the header's image size
// is encoded.size() (or 0 when `zeroImageSize`).
Bytes MakeRleBitmap(int width, int height, int compression, std::span<const std::uint8_t> encoded,
                    bool zeroImageSize = false);

// Parses the size and depth a group directory entry records for an icon image
// (DIB header or PNG IHDR): width, height (0 stands for 256) and bit count.
struct IconShape {
  int width = 0;
  int height = 0;
  int bits = 0;
};
IconShape ShapeOfIconImage(std::span<const std::uint8_t> data);

}  // namespace glyphwell::testsupport
