#include "app/thumbnail.h"

#include <string>

#include "imaging/icon_to_bitmap.h"
#include "imaging/jpeg_codec.h"

namespace glyphwell::app {

bool MakeThumbnail(const imaging::IconImage& icon, extract::ImageEntry& entry,
                   ThumbnailCache& cache) {
  imaging::Bitmap image, mask;
  if (!imaging::IconToBitmapLarge(icon, image, &mask, false, {})) return false;
  imaging::Bitmap rgb(image.width(), image.height(), 24);
  if (rgb.empty()) return false;
  const bool sameSize = mask.width() == image.width() && mask.height() == image.height();
  if (sameSize && image.bits() == 32 && mask.bits() == 32) {
    // The usual case, byte by byte: the colour channels ORed with the mask's.
    for (int y = 0; y < image.height(); ++y) {
      const std::uint8_t* colour = image.row(y);
      const std::uint8_t* transparent = mask.row(y);
      std::uint8_t* out = rgb.row(y);
      for (int x = 0; x < image.width(); ++x, colour += 4, transparent += 4, out += 3) {
        out[0] = colour[0] | transparent[0];
        out[1] = colour[1] | transparent[1];
        out[2] = colour[2] | transparent[2];
      }
    }
  } else {
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        imaging::ColourValue c = image.pixelColour(x, y);
        if (y < mask.height() && x < mask.width()) c |= mask.pixelColour(x, y);
        rgb.setPixelColour(x, y, c);
      }
  }
  std::vector<std::uint8_t> jpeg = imaging::EncodeJpeg(rgb);
  if (jpeg.empty()) return false;
  cache.push_back(std::move(jpeg));
  entry.thumbnail = std::to_string(cache.size() - 1);
  return true;
}

}  // namespace glyphwell::app
