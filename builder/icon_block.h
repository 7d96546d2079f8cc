#pragma once
// The icon image block as the builder holds it (see TIconEntry::Image): reading its
// header, checking that it is complete, turning it into Bitmaps and building one from
// a Bitmap and a mask. Every read of block bytes is checked: a block may come
// unchanged from an icon file.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "imaging/bitmap.h"

namespace glyphwell::builder {

struct IconBlockHeader {
  std::int32_t width = 0;
  std::int32_t doubledHeight = 0;  // biHeight: XOR rows + AND rows
  std::uint16_t planes = 0;
  std::uint16_t bitCount = 0;
  std::uint32_t compression = 0;
  std::uint32_t coloursUsed = 0;

  // The icon height: biHeight / 2, truncated toward zero.
  std::int32_t height() const { return doubledHeight / 2; }
  // The directory entry's colour count: 2^(planes x bits) when that is below 8, else 0.
  int DirectoryColourCount() const;
  // 40 + 4 x P + R x h + M x h, P = 256 for 8 bits, else the directory colour count;
  // R and M the colour and mask row bytes (what a directory entry announces).
  std::uint64_t AnnouncedBytes() const;
  // Entries of the colour table stored in the block: biClrUsed when it is between 1
  // and 2^bits, else 2^bits, for depths of 8 bits and below; 0 otherwise.
  std::size_t TableEntries() const;
};

// The header fields; nullopt when the block is shorter than 40 bytes.
std::optional<IconBlockHeader> ReadIconBlockHeader(std::span<const std::uint8_t> block);

// True when the block is an uncompressed icon image of 1, 4, 8, 16, 24 or 32 bits,
// 1 to 10000 pixels a side, one plane, and holds its whole table, XOR and AND rows.
bool IsCompleteIconBlock(std::span<const std::uint8_t> block);

// The block's colour image in its own depth (16-bit blocks give a 15-bit Bitmap,
// 5-5-5 as stored). False (out unchanged) for an incomplete block.
bool RenderIconBlock(std::span<const std::uint8_t> block, imaging::Bitmap& out);
// The block's AND mask as a 32-bit mask image: white where a bit is 1 (transparent),
// black elsewhere.
bool RenderIconBlockMask(std::span<const std::uint8_t> block, imaging::Bitmap& out);

// Packed masks: 1 bit a pixel, rows bottom row first, each padded to 32 bits, bit 1
// = transparent.
std::size_t PackedMaskRowBytes(int width);
// Transparent where the mask image (32-bit, white = transparent) has red >= 128.
std::vector<std::uint8_t> PackMaskImage(const imaging::Bitmap& maskImage);
// For decoded PNG pictures: a 32-bit image is transparent where its alpha is 0, but
// only when some pixel has alpha above 0 (an image without any alpha in use is
// opaque); every other format is opaque.
std::vector<std::uint8_t> PackMaskFromAlpha(const imaging::Bitmap& image);

// Builds a block from an image (1, 4, 8, 15, 16, 24 or 32 bits; 5-6-5 images are
// stored as 24 bits) and its packed mask (missing rows count as opaque). The colour
// table is written in full (2^bits entries). Empty for an empty image.
std::vector<std::uint8_t> MakeIconBlock(const imaging::Bitmap& image,
                                        std::span<const std::uint8_t> packedMask);

}  // namespace glyphwell::builder
