#include "imaging/draw_icon_image.h"

#include <algorithm>

#include "imaging/icon_to_bitmap.h"
#include "imaging/mask_combine.h"
#include "imaging/mask_ops.h"

namespace glyphwell::imaging {

namespace {

// Where a mask is derived from alpha, alpha above this is opaque.
constexpr int kAlphaThreshold = 110;
// Own-parser images wider than this are composed from their planes.
constexpr int kDrawableWidth = 255;

bool TransparentIn(const Bitmap& mask, int x, int y) {
  return x < mask.width() && y < mask.height() && IsTransparentAt(mask, x, y);
}

ColourValue Blend(ColourValue source, ColourValue dest, int alpha) {
  auto mix = [alpha](int s, int d) { return (s * alpha + d * (255 - alpha)) / 255; };
  return MakeColour(mix(RedOf(source), RedOf(dest)), mix(GreenOf(source), GreenOf(dest)),
                    mix(BlueOf(source), BlueOf(dest)));
}

}  // namespace

IconPlanes PlanesOf(const IconImage& icon, bool ownParser) {
  return IconPlanes{icon.colour(), icon.mask(), ownParser};
}

ColourValue BackgroundFill(OutputType outputType, bool maskTicked) {
  if (outputType == OutputType::Icon) return kBlack;
  return maskTicked ? kWhite : kBlack;
}

bool ComposedFromPlanes(const IconPlanes& icon) {
  return icon.ownParser && (icon.colour.width() > kDrawableWidth || icon.colour.bits() == 32);
}

void DrawIconImage(Bitmap& dest, const IconPlanes& icon, bool correct,
                   const ConversionSettings& settings) {
  if (dest.empty() || icon.colour.empty()) return;
  const int destBits = dest.bits();
  const ColourTable destTable = dest.colourTable();
  Bitmap work = dest;
  if (work.bits() != 32) work.setPixelFormat(32);

  const Bitmap& colour = icon.colour;
  const bool colour32 = colour.bits() == 32;
  const bool composed = ComposedFromPlanes(icon);
  const bool blend = !composed && colour32 && HasAlpha(colour, 0);

  // The mask that decides what correction clears.
  Bitmap alphaMask;
  const Bitmap* correctionMask = &icon.mask;
  if (composed && correct && colour32 && IconOptionsFor(settings).alphaMask) {
    alphaMask = Bitmap(colour.width(), colour.height(), 32);
    MaskFromAlpha(colour, alphaMask, kAlphaThreshold);
    correctionMask = &alphaMask;
  }

  const int width = std::min(work.width(), colour.width());
  const int height = std::min(work.height(), colour.height());
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const ColourValue c = colour.pixelColour(x, y);
      const ColourValue d = work.pixelColour(x, y);
      const bool transparent = TransparentIn(icon.mask, x, y);
      std::uint8_t* alpha = work.row(y) + 4 * x + 3;
      ColourValue out;
      if (composed) {
        out = correct ? (TransparentIn(*correctionMask, x, y) ? kBlack : c)
                      : ((transparent ? d : kBlack) | c);
        *alpha = static_cast<std::uint8_t>(colour.pixelAlpha(x, y));
      } else if (blend) {
        const int a = colour.pixelAlpha(x, y);
        out = Blend(c, d, a);
        *alpha = static_cast<std::uint8_t>(a + *alpha * (255 - a) / 255);
        if (correct && transparent) out = kBlack;
      } else {
        out = transparent ? (d ^ c) : c;
        if (colour32) *alpha = static_cast<std::uint8_t>(colour.pixelAlpha(x, y));
        if (correct && transparent) out = kBlack;
      }
      work.setPixelColour(x, y, out);
    }
  }
  if (destBits <= 8)
    work.convertToTable(destBits, destTable);
  else if (destBits != 32)
    work.setPixelFormat(destBits);
  dest = std::move(work);
}

}  // namespace glyphwell::imaging
