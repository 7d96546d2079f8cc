#pragma once
// Writes an output image as a BMP, JPEG or PNG file. Every file is written
// completely or not at all (temporary file beside the target, then rename).

#include <string>

#include "imaging/bitmap.h"
#include "imaging/conversion_settings.h"

namespace glyphwell::output {

// `path` with its extension replaced (or added): ChangeExtension("a/b.ico", ".png").
std::string ChangeExtension(const std::string& path, const std::string& extension);

// The BMP bytes of the image go to a file with the extension ".bmp", the JPEG bytes
// (quality 90, baseline, colour) to ".jpg", the PNG bytes (at most `pngColours`
// palette entries) to ".png". Returns the path written, or empty when nothing could
// be written; `error` then tells why. The Icon type is not written here.
std::string WriteOutputFile(const imaging::Bitmap& image, const std::string& path,
                            imaging::OutputType kind, int pngColours = 256,
                            std::string* error = nullptr);

// The JPEG bytes of an image (any pixel format) at the quality; empty on failure.
std::vector<std::uint8_t> EncodeJpeg(const imaging::Bitmap& image, int quality = 90);

}  // namespace glyphwell::output
