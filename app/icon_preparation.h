#pragma once
// Preparing an icon image for the conversion: drawing it onto the background fill
// (with or without clearing its transparent part) and building the output mask at
// the output size.

#include "imaging/bitmap.h"
#include "imaging/conversion_settings.h"
#include "imaging/icon_image.h"

namespace glyphwell::app {

// Black for "Icon" output; otherwise white when "Mask" is ticked, black when not.
imaging::ColourValue BackgroundFill(const imaging::ConversionSettings& settings);

// Draws the icon at 0, 0 of `dest`, which holds the background fill. With
// `correct` the result holds the icon's colours where its mask is opaque and black
// where it is transparent; without it the icon over the background. An image of the
// own parser (settings.sourceKind IconMode) at most 255 wide and below 32 bits
// replaces dest in its own pixel format and colour table.
void DrawIconImage(imaging::Bitmap& dest, const imaging::IconImage& icon, bool correct,
                   const imaging::ConversionSettings& settings);

// The mask of the icon at the output size and its inverse (white where opaque).
// With correction at "24bit", "256色" or "16色" (and "Original" colours off) the
// mask of a 32-bit image comes from its alpha (above 110 is opaque), falling back
// to the AND mask when the image has no alpha.
void BuildOutputMask(const imaging::IconImage& icon, const imaging::ConversionSettings& settings,
                     imaging::Bitmap& outputMask, imaging::Bitmap& inverseOutputMask);

}  // namespace glyphwell::app
