#pragma once
// The icon file layout as this system reads and writes it, and the one-image stream
// (an icon file in memory with one directory entry whose data starts at byte 22)
// through which every icon image reaches the icon object.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "imaging/bitmap.h"
#include "platform/byte_reader.h"

namespace glyphwell::extract {

inline constexpr std::size_t kIconHeaderBytes = 6;
inline constexpr std::size_t kIconEntryBytes = 16;
inline constexpr std::size_t kDibHeaderBytes = 40;
inline constexpr std::uint32_t kOneImageDataOffset = 22;

struct IconDirEntry {
  std::uint8_t width = 0;  // 0 stands for 256
  std::uint8_t height = 0;
  std::uint8_t colourCount = 0;
  std::uint8_t reserved = 0;
  std::uint16_t planes = 1;
  std::uint16_t bitCount = 0;
  std::uint32_t bytesInResource = 0;
  std::uint32_t imageOffset = 0;

  static std::optional<IconDirEntry> Read(const platform::ByteReader& r, std::size_t offset);
  void Write(std::vector<std::uint8_t>& out) const;
};

// True when the bytes begin with the PNG signature's first four bytes.
bool StartsWithPng(std::span<const std::uint8_t> data);

// 2^(planes x bit count) when that product is below 8, else 0 (the directory
// entry's colour count). Safe for any field values.
std::uint8_t ColourCountFor(std::uint32_t planes, std::uint32_t bitCount);

// Header (reserved, type 1, count 1) + entry (image offset set to 22) + data.
std::vector<std::uint8_t> BuildOneImageStream(std::uint16_t reserved, IconDirEntry entry,
                                              std::span<const std::uint8_t> data);

// The device-independent bitmap form of an image (40-byte header, colour table,
// rows bottom row first) as an icon image stores it: 8-bit images get a 256-entry
// table and 1/4-bit ones 2^bits entries, padded with black; colours used is 0.
std::vector<std::uint8_t> EncodeIconDib(const imaging::Bitmap& image);

}  // namespace glyphwell::extract
