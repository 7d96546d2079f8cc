#pragma once
// PNG reading and writing through libpng. Both read paths ask libpng for the same
// transformations, so a PNG gives the same Bitmap from a file or from an icon.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "imaging/bitmap.h"

namespace glyphwell::imaging {

// True when out now holds the image; out is unchanged on failure.
bool ReadPngFile(const std::string& path, Bitmap& out);
bool ReadPngMemory(std::span<const std::uint8_t> data, Bitmap& out);

struct PngWriteOptions {
  int paletteColours = 256;  // the PNG colour count setting: palette entries written at most
  bool interlaced = false;
};
// Encodes the Bitmap as a PNG byte stream; empty on failure.
std::vector<std::uint8_t> EncodePng(const Bitmap& image, const PngWriteOptions& options = {});
// Writes the PNG file (to a temporary file beside `path`, renamed over it when
// complete). True when the file was written.
bool WritePng(const Bitmap& image, const std::string& path, const PngWriteOptions& options = {});

}  // namespace glyphwell::imaging
