#pragma once
// Putting finished Bitmaps on screen and taking clipboard images in: the only
// place the window converts between our Bitmap and Qt's image type.

#include <QImage>

#include "imaging/bitmap.h"

namespace glyphwell::app::ui {

// A 32-bit opaque image with the Bitmap's colours; a null image for an empty one.
QImage ToQImage(const imaging::Bitmap& bitmap);

// A 24-bit Bitmap of the image's colours (alpha dropped, as a clipboard bitmap
// carries none); empty for a null image.
imaging::Bitmap FromQImage(const QImage& image);

}  // namespace glyphwell::app::ui
