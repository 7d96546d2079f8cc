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
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      imaging::ColourValue c = image.pixelColour(x, y);
      if (y < mask.height() && x < mask.width()) c |= mask.pixelColour(x, y);
      rgb.setPixelColour(x, y, c);
    }
  std::vector<std::uint8_t> jpeg = imaging::EncodeJpeg(rgb);
  if (jpeg.empty()) return false;
  cache.push_back(std::move(jpeg));
  entry.thumbnail = std::to_string(cache.size() - 1);
  return true;
}

}  // namespace glyphwell::app
