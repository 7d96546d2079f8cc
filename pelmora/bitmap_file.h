#pragma once
// Reading the bitmap file the host hands over: a 14-byte file header starting with
// "BM", an info header of at least 40 bytes, the colour table and the rows. Every
// field is read with a bounds check; nothing is read outside the file's bytes.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace pelmora {

// The fields of the 40-byte info header that the icon needs, plus where the colour
// table and the rows lie in the file.
struct BitmapFile {
  std::span<const std::uint8_t> infoHeader;   // the first 40 bytes of the info header
  std::span<const std::uint8_t> colourTable;  // full table for the bit count (may be empty)
  std::span<const std::uint8_t> rows;         // exactly `imageSize` bytes
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t planes = 0;
  std::uint16_t bitCount = 0;
  std::uint32_t imageSize = 0;  // bytes of the colour rows
};

// True when the file starts with "BM" (the only test the host's message names).
bool HasBitmapSignature(std::span<const std::uint8_t> file);

// The bitmap file's parts, or std::nullopt when the headers are missing, the size is
// not positive, or the file is shorter than its headers promise.
std::optional<BitmapFile> ParseBitmapFile(std::span<const std::uint8_t> file);

// Colour table bytes for a bit count: 2, 16 or 256 entries for 1, 4 and 8 bits
// (2^bits entries for other depths below 8), none above 8.
std::size_t ColourTableBytes(unsigned bitCount);

// Bytes of one mask row: ((width + 31) / 32) * 4.
std::size_t MaskRowBytes(std::uint32_t width);

}  // namespace pelmora
