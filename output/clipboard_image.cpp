#include "output/clipboard_image.h"

#include "imaging/picture_draw.h"

namespace glyphwell::output {

imaging::Bitmap ClipboardBitmap(const imaging::Picture& picture, imaging::SourceKind kind,
                                bool realSize, imaging::Size outputSize) {
  if (picture.empty() || picture.width() <= 0 || picture.height() <= 0) return {};
  const bool pictureSource = kind == imaging::SourceKind::Picture;
  if (pictureSource && realSize) {
    imaging::Bitmap copy(picture.width(), picture.height(), 24);
    imaging::DrawPicture(picture, copy, {0, 0, picture.width(), picture.height()},
                         imaging::Resampling::Nearest);
    return copy;
  }
  if (outputSize.width <= 0 || outputSize.height <= 0) return {};
  imaging::Bitmap out(outputSize.width, outputSize.height, 24);
  imaging::Rect rect{0, 0, outputSize.width, outputSize.height};
  if (pictureSource || kind == imaging::SourceKind::BmpMode)
    rect = imaging::FitRect(outputSize.width, outputSize.height, picture.width(), picture.height());
  imaging::DrawPicture(picture, out, rect, imaging::Resampling::Nearest);
  return out;
}

}  // namespace glyphwell::output
