#include "builder/png_image_encoder.h"

#include "builder/icon_block.h"
#include "imaging/png_codec.h"

namespace glyphwell::builder {

std::vector<std::uint8_t> EncodePngImage(const TIconEntry& entry, const IconSaveOptions& options,
                                         int paletteColours) {
  imaging::Bitmap image;
  if (!RenderIconBlock(entry.Image, image)) return {};
  if (options.pngsv && image.bits() != 32) {
    imaging::Bitmap mask;
    if (!RenderIconBlockMask(entry.Image, mask)) return {};
    image.setPixelFormat(32);
    for (int y = 0; y < image.height(); ++y) {
      std::uint8_t* px = image.row(y);
      for (int x = 0; x < image.width(); ++x)
        px[4 * x + 3] = static_cast<std::uint8_t>(255 - imaging::RedOf(mask.pixelColour(x, y)));
    }
  }
  imaging::PngWriteOptions png;
  png.paletteColours = paletteColours;
  png.interlaced = false;
  return imaging::EncodePng(image, png);
}

}  // namespace glyphwell::builder
