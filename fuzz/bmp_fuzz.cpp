// Feeds arbitrary bytes to the BMP file and DIB readers. Besides never crashing, a
// successful read must give a Bitmap that writes and reads back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "imaging/bmp_codec.h"

using glyphwell::imaging::Bitmap;

namespace {

void CheckRoundTrip(const Bitmap& image) {
  if (image.empty() || image.pixels().size() != image.stride() * image.height()) std::abort();
  // Large images (run-length data may declare millions of pixels) only slow fuzzing down.
  if (static_cast<std::size_t>(image.width()) * image.height() > (1u << 20)) return;
  Bitmap back;
  if (!glyphwell::imaging::ReadBmp(glyphwell::imaging::EncodeBmp(image), back)) std::abort();
  // An empty colour table is written as one black entry.
  if (!(back == image) && !(image.indexed() && image.colourTable().empty())) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  Bitmap image;
  if (glyphwell::imaging::ReadBmp(bytes, image)) CheckRoundTrip(image);
  Bitmap dib;
  if (glyphwell::imaging::ReadDib(bytes, dib)) CheckRoundTrip(dib);
  return 0;
}
