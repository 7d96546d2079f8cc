#pragma once
// DrawIconImage: an icon drawn onto the background fill before conversion, with
// or without icon correction ("補正": black wherever the mask is transparent).

#include "imaging/bitmap.h"
#include "imaging/conversion_settings.h"
#include "imaging/icon_image.h"

namespace glyphwell::imaging {

// The two planes of one icon image and where it came from.
struct IconPlanes {
  const Bitmap& colour;  // the colour (XOR) image in its own format
  const Bitmap& mask;    // the mask image: white transparent, black opaque
  // Read by the own parser ("Icon" extraction); false for Normal-mode icons.
  bool ownParser = false;
};

IconPlanes PlanesOf(const IconImage& icon, bool ownParser);

// The background an icon is drawn on: black for "Icon" output; otherwise white
// with "Mask" ticked and black without.
ColourValue BackgroundFill(OutputType outputType, bool maskTicked);

// True for the images that are composed from their planes rather than drawn: own
// parser images wider than 255 pixels or of 32 bits.
bool ComposedFromPlanes(const IconPlanes& icon);

// Draws the icon at 0, 0 over `dest`, which holds the background fill.
//
// Without correction `dest` ends up holding the icon over the background: where
// the mask is opaque the colour image replaces the background, where it is
// transparent the background stays (XORed with the colour image, as old-style
// icons invert the screen there); 32-bit images with alpha are alpha-blended. Own
// parser images wider than 255 pixels or of 32 bits are composed instead: the
// background where the mask is transparent, ORed with the colour image.
//
// With correction `dest` holds the icon's colours where the mask is opaque and
// black where it is transparent, whatever the background. For 32-bit own-parser
// images with "Original" off and the depth "24bit", "256色" or "16色" the mask used
// for that is the one derived from alpha (opaque above 110).
//
// A 32-bit `dest` takes the alpha of a 32-bit colour image. Indexed destinations
// get the nearest colours of their own table. Does nothing when either is empty.
void DrawIconImage(Bitmap& dest, const IconPlanes& icon, bool correct,
                   const ConversionSettings& settings);

}  // namespace glyphwell::imaging
