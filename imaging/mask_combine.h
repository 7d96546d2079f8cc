#pragma once
// Pixel-by-pixel combination of images with masks, on the colour bits only (alpha
// bytes stay as they are). A mask image is white where transparent, black where
// opaque; its inverse is white where opaque.

#include "imaging/bitmap.h"

namespace glyphwell::imaging {

// True when the mask pixel is white (all 24 colour bits set): transparent.
bool IsTransparentAt(const Bitmap& mask, int x, int y);

// Inverts the colour bits of every pixel of a 24- or 32-bit image (a mask becomes
// its inverse). Does nothing for other formats.
void InvertColours(Bitmap& image);

// ANDs the colour of every pixel of a 24- or 32-bit image with the colour of the
// pixel at the same place of `other` (any format). Pixels outside `other` are left.
void AndColours(Bitmap& image, const Bitmap& other);

// ORs likewise.
void OrColours(Bitmap& image, const Bitmap& other);

}  // namespace glyphwell::imaging
