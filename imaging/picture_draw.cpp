#include "imaging/picture_draw.h"

#include "imaging/stretch.h"

namespace glyphwell::imaging {

namespace {

// The icon drawn at its own size onto a white 32-bit Bitmap.
Bitmap RenderIcon(const IconImage& icon) {
  Bitmap scratch(icon.width(), icon.height(), 32);
  icon.Draw(scratch, 0, 0);
  return scratch;
}

}  // namespace

bool CopyGraphic(Bitmap& dest, const Picture& picture) {
  if (picture.kind != PictureKind::kBitmap && picture.kind != PictureKind::kJpeg) return false;
  if (picture.bitmap.empty()) return false;
  dest = picture.bitmap;
  return true;
}

bool DrawPicture(const Picture& picture, Bitmap& dest, const Rect& rect, Resampling resampling) {
  if (picture.empty() || dest.empty()) return false;
  if (picture.kind == PictureKind::kIcon) {
    if (!picture.icon || picture.icon->width() <= 0) return false;
    bool direct = resampling == Resampling::Nearest && dest.bits() >= 24;
    if (direct) {
      picture.icon->DrawStretched(dest, rect.x, rect.y, rect.w, rect.h);
      return true;
    }
    Bitmap scratch = RenderIcon(*picture.icon);
    if (resampling == Resampling::Halftone)
      HalftoneStretch(scratch, dest, rect);
    else
      StretchNearest(scratch, dest, rect);
    return true;
  }
  if (picture.bitmap.empty()) return false;
  if (resampling == Resampling::Halftone)
    HalftoneStretch(picture.bitmap, dest, rect);
  else
    StretchNearest(picture.bitmap, dest, rect);
  return true;
}

}  // namespace glyphwell::imaging
