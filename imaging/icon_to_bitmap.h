#pragma once
// The colour image or the mask of one icon image, taken from its one-image icon
// file bytes.

#include <cstdint>
#include <span>

#include "imaging/bitmap.h"
#include "imaging/conversion_settings.h"
#include "imaging/icon_image.h"

namespace glyphwell::imaging {

enum class IconPart { Image, Mask };

struct IconToBitmapOptions {
  // "補正": clear the image where the mask is transparent. The mask is the one dest
  // holds when the call starts (the caller may have put the icon's mask or another
  // mask there); when dest is not of the image's size the icon's own mask is used.
  bool correction = false;
  // Derive the mask from alpha (threshold 110) for 32-bit images: "Original" off and
  // the depth "24bit", "256色" or "16色".
  bool alphaMask = false;
};

// The options as the main window's settings give them.
IconToBitmapOptions IconOptionsFor(const ConversionSettings& settings);

// Reads the image whose info header starts at byte 22 of a one-image icon file.
// Mask part: dest becomes a 32-bit mask image of the icon's size. Image part: dest
// becomes the colour image in its own format and colour table, or, with correction,
// a 32-bit image that is black where the mask is transparent. False, dest
// unchanged, when the bytes hold no usable image (a PNG-coded image, a short or
// inconsistent header).
bool IconToBitmap(std::span<const std::uint8_t> iconFile, Bitmap& dest, IconPart part,
                  const IconToBitmapOptions& options);

// The same for an icon object; an icon whose image is PNG-coded is taken from its
// decoded colour image and mask.
bool IconToBitmap(const IconImage& icon, Bitmap& dest, IconPart part,
                  const IconToBitmapOptions& options);

// The grid's variant: with `largeOnly` it returns false without drawing when the
// image is narrower than 256 and its doubled height below 512. When `maskOut` is
// given it also receives the mask.
bool IconToBitmapLarge(const IconImage& icon, Bitmap& dest, Bitmap* maskOut, bool largeOnly,
                       const IconToBitmapOptions& options);

}  // namespace glyphwell::imaging
