// Feeds arbitrary one-image icon files to IconToBitmap. Besides never crashing or
// reading outside the bytes, a successful read must give a well-formed Bitmap of
// the header's width and half height, and both parts must agree on that size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "imaging/icon_to_bitmap.h"

using glyphwell::imaging::Bitmap;
using glyphwell::imaging::IconPart;
using glyphwell::imaging::IconToBitmap;
using glyphwell::imaging::IconToBitmapOptions;

namespace {

bool WellFormed(const Bitmap& b) {
  return !b.empty() && b.pixels().size() == b.stride() * static_cast<std::size_t>(b.height());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  Bitmap mask;
  const bool haveMask = IconToBitmap(bytes, mask, IconPart::Mask, {});
  if (haveMask && (!WellFormed(mask) || mask.bits() != 32)) std::abort();
  for (bool correction : {false, true}) {
    IconToBitmapOptions options;
    options.correction = correction;
    options.alphaMask = correction;
    Bitmap image;
    if (!IconToBitmap(bytes, image, IconPart::Image, options)) continue;
    if (!WellFormed(image) || !haveMask) std::abort();
    if (image.width() != mask.width() || image.height() != mask.height()) std::abort();
  }
  return 0;
}
