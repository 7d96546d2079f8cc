#pragma once
// Copying and drawing pictures (bitmaps, JPEG images, icons, metafiles) onto Bitmaps.

#include "imaging/bitmap.h"
#include "imaging/output_geometry.h"
#include "imaging/picture.h"

namespace glyphwell::imaging {

enum class Resampling { Nearest, Halftone };

// Copies a picture that has a bitmap form (a bitmap or a decoded JPEG image) into
// dest, which takes its size, pixel format and colour table. False, dest unchanged,
// for icons, metafiles and empty pictures: those can only be drawn.
bool CopyGraphic(Bitmap& dest, const Picture& picture);

// Draws the whole picture into rect of dest with the given resampling, as the
// platform canvas draws pictures: bitmaps and JPEG images are stretched, metafiles
// are played (here: their rendering stretched), icons are drawn as the desktop
// draws icons (mask, then image; alpha blended). For halftone the picture is first
// drawn at its own size onto a white scratch Bitmap. False when nothing could be
// drawn (an empty picture).
bool DrawPicture(const Picture& picture, Bitmap& dest, const Rect& rect, Resampling resampling);

}  // namespace glyphwell::imaging
