// Feeds arbitrary bytes to the JPEG decoder. Besides never crashing (libjpeg errors
// must come back as a failed read, never as exit()), a successful read must give a
// well-formed 8- or 24-bit Bitmap that encodes again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "imaging/jpeg_codec.h"

using glyphwell::imaging::Bitmap;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  // Huge declared sizes only cost memory; skip images of more than 4M pixels.
  const auto declared = glyphwell::imaging::PeekJpegSize(bytes);
  if (declared && static_cast<std::uint64_t>(declared->width) * declared->height > (1u << 22))
    return 0;
  Bitmap image;
  if (!glyphwell::imaging::DecodeJpeg(bytes, image)) return 0;
  if (image.empty() || (image.bits() != 8 && image.bits() != 24) ||
      image.pixels().size() != image.stride() * image.height())
    std::abort();
  if (image.width() <= 256 && image.height() <= 256 &&
      glyphwell::imaging::EncodeJpeg(image).empty())
    std::abort();
  return 0;
}
