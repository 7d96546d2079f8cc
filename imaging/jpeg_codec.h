#pragma once
// JPEG reading and writing through libjpeg. Colour JPEGs decode to 24-bit Bitmaps,
// gray ones to 8-bit Bitmaps with a 256-level gray colour table. Writing always
// produces a baseline YCbCr JPEG from the image's 24-bit colours (alpha is dropped).

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "imaging/bitmap.h"

namespace glyphwell::imaging {

inline constexpr int kDefaultJpegQuality = 90;

// Width and height from the stream's header, without decoding; std::nullopt when the
// header cannot be read.
struct JpegSize {
  int width = 0;
  int height = 0;
};
std::optional<JpegSize> PeekJpegSize(std::span<const std::uint8_t> data);

// True when out now holds the image; out is unchanged on failure. A stream that ends
// early decodes with its missing part filled in by libjpeg (a warning, not an error);
// corrupt data is an error.
bool DecodeJpeg(std::span<const std::uint8_t> data, Bitmap& out);
bool ReadJpegFile(const std::string& path, Bitmap& out);

// The JPEG bytes of the image at the quality (1-100); empty on failure.
std::vector<std::uint8_t> EncodeJpeg(const Bitmap& image, int quality = kDefaultJpegQuality);
// Writes the JPEG file atomically (temporary file renamed over the target).
bool WriteJpeg(const Bitmap& image, const std::string& path, int quality = kDefaultJpegQuality);

}  // namespace glyphwell::imaging
