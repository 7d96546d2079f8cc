// Feeds arbitrary bytes to the PNG memory reader. Besides never crashing, a successful
// read must give a well-formed Bitmap that writes and reads back to the same pixels, and
// the layout read from the header alone must agree with it, failure included.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "imaging/png_codec.h"

using glyphwell::imaging::Bitmap;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Huge declared sizes only cost memory (the reader accepts sides up to 32768), so the
  // fuzzer skips images of more than 4M pixels.
  if (size >= 24) {
    auto u32be = [&](std::size_t at) {
      return (std::uint64_t{data[at]} << 24) | (data[at + 1] << 16) | (data[at + 2] << 8) |
             data[at + 3];
    };
    if (u32be(16) * u32be(20) > (std::uint64_t{1} << 22)) return 0;
  }
  Bitmap image;
  const auto layout = glyphwell::imaging::ReadPngLayout(std::span(data, size));
  const bool decoded = glyphwell::imaging::ReadPngMemory(std::span(data, size), image);
  if (layout.has_value() != decoded) std::abort();
  if (!decoded) return 0;
  if (image.empty() || image.pixels().size() != image.stride() * image.height()) std::abort();
  if (layout->width != image.width() || layout->height != image.height() ||
      layout->bits != image.bits())
    std::abort();
  Bitmap back;
  if (!glyphwell::imaging::ReadPngMemory(glyphwell::imaging::EncodePng(image), back)) std::abort();
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (back.pixelColour(x, y) != image.pixelColour(x, y) ||
          back.pixelAlpha(x, y) != image.pixelAlpha(x, y))
        std::abort();
  return 0;
}
