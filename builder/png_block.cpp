#include "builder/png_block.h"

#include "builder/icon_block.h"
#include "imaging/png_codec.h"

namespace glyphwell::builder {

void ReduceToBitCount(imaging::Bitmap& image, int bitCount) {
  const int format = bitCount == 16 ? 15 : bitCount;
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
      bitCount != 32)
    return;
  if (image.bits() != format) image.setPixelFormat(format);
}

std::optional<std::vector<std::uint8_t>> BlockFromPng(std::span<const std::uint8_t> png,
                                                      int reduceTo) {
  imaging::Bitmap image;
  if (!imaging::ReadPngMemory(png, image) || image.empty()) return std::nullopt;
  const std::vector<std::uint8_t> mask = PackMaskFromAlpha(image);
  if (reduceTo > 0) ReduceToBitCount(image, reduceTo);
  auto block = MakeIconBlock(image, mask);
  if (block.empty()) return std::nullopt;
  return block;
}

}  // namespace glyphwell::builder
