#include "imaging/output_mask.h"

#include "imaging/mask_combine.h"
#include "imaging/mask_ops.h"
#include "imaging/stretch.h"

namespace glyphwell::imaging {

namespace {

Bitmap StretchedMask(const Bitmap& mask, int width, int height) {
  Bitmap out(width, height, 32);
  if (out.empty()) return out;
  if (mask.width() == width && mask.height() == height) {
    out = mask;
    if (out.bits() != 32) out.setPixelFormat(32);
    return out;
  }
  StretchNearest(mask, out, Rect{0, 0, width, height});
  return out;
}

bool OwnMaskOnly(const ConversionSettings& s) {
  return s.keepSourceDepth || !s.correction || s.depth == Depth::Bits32 ||
         s.depth == Depth::Colours2;
}

}  // namespace

Bitmap IconMask(const IconPlanes& icon, const ConversionSettings& settings) {
  int width = icon.colour.width(), height = icon.colour.height();
  if (!icon.ownParser && settings.sizeChoice == SizeChoice::Size16) width = height = kSmallIconSize;
  Bitmap own = StretchedMask(icon.mask, width, height);
  if (own.empty() || OwnMaskOnly(settings)) return own;

  Bitmap drawn(icon.colour.width(), icon.colour.height(), 32);
  drawn.fill(kWhite);
  DrawIconImage(drawn, icon, ComposedFromPlanes(icon), settings);
  if (!HasAlpha(drawn, 0)) return own;
  Bitmap fromAlpha(drawn.width(), drawn.height(), 32);
  MaskFromAlpha(drawn, fromAlpha, kOutputMaskAlphaThreshold);
  return StretchedMask(fromAlpha, width, height);
}

OutputMasks BuildOutputMask(const IconPlanes& icon, const ConversionSettings& settings,
                            int outputWidth, int outputHeight) {
  OutputMasks masks;
  if (icon.colour.empty()) return OpaqueOutputMasks(outputWidth, outputHeight);
  masks.mask = StretchedMask(IconMask(icon, settings), outputWidth, outputHeight);
  masks.inverse = masks.mask;
  InvertColours(masks.inverse);
  return masks;
}

OutputMasks OpaqueOutputMasks(int outputWidth, int outputHeight) {
  OutputMasks masks{Bitmap(outputWidth, outputHeight, 32), Bitmap(outputWidth, outputHeight, 32)};
  masks.mask.fill(kBlack);
  masks.inverse.fill(kWhite);
  return masks;
}

}  // namespace glyphwell::imaging
