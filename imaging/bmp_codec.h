#pragma once
// BMP (device-independent bitmap) reading and writing: every header version,
// 1-32 bits per pixel, RLE4/RLE8, bit fields, bottom-up and top-down rows.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "imaging/bitmap.h"

namespace glyphwell::imaging {

// A whole BMP file (with its 14-byte file header). True when out holds the image.
bool ReadBmp(std::span<const std::uint8_t> file, Bitmap& out);
// A DIB without file header (info header, colour table, pixels), as on the clipboard
// and in bitmap resources.
bool ReadDib(std::span<const std::uint8_t> dib, Bitmap& out);

// The BMP file bytes of the image in its exact pixel format and colour table
// (40-byte header, rows bottom row first). 15/16-bit images are written as 16-bit
// 5-6-5 bit fields (15 as BI_RGB 5-5-5).
std::vector<std::uint8_t> EncodeBmp(const Bitmap& image);
// The same without the 14-byte file header.
std::vector<std::uint8_t> EncodeDib(const Bitmap& image);
bool WriteBmp(const Bitmap& image, const std::string& path);

}  // namespace glyphwell::imaging
