#pragma once
// PNG reading and writing through libpng. Both read paths ask libpng for the same
// transformations, so a PNG gives the same Bitmap from a file or from an icon.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "imaging/bitmap.h"

namespace glyphwell::imaging {

// True when out now holds the image; out is unchanged on failure.
bool ReadPngFile(const std::string& path, Bitmap& out);
bool ReadPngMemory(std::span<const std::uint8_t> data, Bitmap& out);

// The size and pixel format ReadPngMemory gives `data`, found from its header chunks
// without decoding the rows; nullopt exactly when ReadPngMemory would fail. (Once the
// rows have begun a read succeeds, damaged rows or not, so the header decides.)
struct PngLayout {
  int width = 0;
  int height = 0;
  int bits = 0;  // 4 or 8 (indexed), 24 or 32
};
std::optional<PngLayout> ReadPngLayout(std::span<const std::uint8_t> data);

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
