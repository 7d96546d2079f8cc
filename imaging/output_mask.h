#pragma once
// BuildOutputMask: the mask of the selected icon at the output size, and its
// inverse.

#include "imaging/bitmap.h"
#include "imaging/conversion_settings.h"
#include "imaging/draw_icon_image.h"

namespace glyphwell::imaging {

// Where a mask is derived from alpha, alpha above this is opaque.
inline constexpr int kOutputMaskAlphaThreshold = 110;
// The system's small icon size, which Normal-mode icons have at "16×16".
inline constexpr int kSmallIconSize = 16;

struct OutputMasks {
  Bitmap mask;     // white transparent, black opaque
  Bitmap inverse;  // white opaque, black transparent
};

// The mask at the icon's own size (16 x 16 for a Normal-mode icon at "16×16"):
// the icon's own mask when "Original" is ticked, correction is off or the depth is
// "32bit" or "2色". Otherwise (correction at "24bit", "256色" or "16色") the icon is
// drawn onto white as DrawIconImage draws it (with correction for images composed
// from their planes) and the mask is taken from the drawing's alpha (opaque above
// 110); a drawing without any alpha falls back to the icon's own mask.
Bitmap IconMask(const IconPlanes& icon, const ConversionSettings& settings);

// The icon's mask stretched (nearest) to outputWidth x outputHeight, and the same
// inverted. Both are 32-bit.
OutputMasks BuildOutputMask(const IconPlanes& icon, const ConversionSettings& settings,
                            int outputWidth, int outputHeight);

// The masks of a picture source or a Bmp-mode bitmap: all opaque.
OutputMasks OpaqueOutputMasks(int outputWidth, int outputHeight);

}  // namespace glyphwell::imaging
