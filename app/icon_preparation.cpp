#include "app/icon_preparation.h"

#include <algorithm>

#include "imaging/icon_to_bitmap.h"
#include "imaging/mask_ops.h"
#include "imaging/output_geometry.h"
#include "imaging/stretch.h"

namespace glyphwell::app {

namespace {

using imaging::Bitmap;
using imaging::ColourValue;
using imaging::IconImage;
using imaging::IconPart;
using imaging::kBlack;
using imaging::kWhite;

constexpr int kAlphaThreshold = 110;

bool OwnParser(const imaging::ConversionSettings& s) {
  return s.sourceKind != imaging::SourceKind::NormalMode;
}

// Own-parser images that are large or carry alpha are taken apart rather than drawn.
bool TakenApart(const IconImage& icon, const imaging::ConversionSettings& s) {
  return OwnParser(s) && (icon.width() > 255 || icon.bits() == 32);
}

// Applies `op` to the colour of every pixel of `dest` together with the matching
// pixel of `other` (over the part both cover).
template <typename Op>
void Combine(Bitmap& dest, const Bitmap& other, Op op) {
  int w = std::min(dest.width(), other.width()), h = std::min(dest.height(), other.height());
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      dest.setPixelColour(x, y, op(dest.pixelColour(x, y), other.pixelColour(x, y)) & kWhite);
}

Bitmap IconMask(const IconImage& icon) {
  Bitmap mask;
  if (!imaging::IconToBitmap(icon, mask, IconPart::Mask, {})) mask = icon.mask();
  return mask;
}

// The second way of DrawIconImage: the background kept only where the icon is
// transparent, the colour image (cleared by its mask with correction) ORed on.
void DrawTakenApart(Bitmap& dest, const IconImage& icon, bool correct,
                    const imaging::ConversionSettings& s) {
  Bitmap mask = IconMask(icon);
  if (mask.empty()) return;
  Combine(dest, mask, [](ColourValue d, ColourValue m) { return d & m; });
  Bitmap image = mask;
  imaging::IconToBitmapOptions options = imaging::IconOptionsFor(s);
  options.correction = correct;
  if (!imaging::IconToBitmap(icon, image, IconPart::Image, options)) return;
  Bitmap result = dest;
  Combine(result, image, [](ColourValue d, ColourValue i) { return d | i; });
  // Alpha travels with the image, so the conversion can still see it.
  if (result.bits() == 32 && image.bits() == 32) {
    int w = std::min(result.width(), image.width()), h = std::min(result.height(), image.height());
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        result.row(y)[4 * x + 3] = static_cast<std::uint8_t>(image.pixelAlpha(x, y));
  }
  dest = std::move(result);
}

}  // namespace

ColourValue BackgroundFill(const imaging::ConversionSettings& s) {
  if (s.outputType == imaging::OutputType::Icon) return kBlack;
  return s.mask ? kWhite : kBlack;
}

void DrawIconImage(Bitmap& dest, const IconImage& icon, bool correct,
                   const imaging::ConversionSettings& s) {
  if (icon.colour().empty() || dest.empty()) return;
  if (TakenApart(icon, s)) {
    DrawTakenApart(dest, icon, correct, s);
    return;
  }
  if (OwnParser(s)) {
    Bitmap image;
    if (!imaging::IconToBitmap(icon, image, IconPart::Image, {})) return;
    dest = std::move(image);
  } else {
    icon.Draw(dest, 0, 0);
  }
  if (correct) {
    Combine(dest, IconMask(icon), [](ColourValue d, ColourValue m) { return d & ~m; });
  }
}

void BuildOutputMask(const IconImage& icon, const imaging::ConversionSettings& s,
                     Bitmap& outputMask, Bitmap& inverseOutputMask) {
  using imaging::Depth;
  Bitmap m0(icon.width(), icon.height(), 32);
  const bool fromAlpha =
      s.correction && !s.keepSourceDepth &&
      (s.depth == Depth::Bits24 || s.depth == Depth::Colours256 || s.depth == Depth::Colours16);
  bool useIconMask = !fromAlpha;
  if (fromAlpha) {
    Bitmap drawn(icon.width(), icon.height(), 32);
    if (TakenApart(icon, s))
      DrawTakenApart(drawn, icon, true, s);
    else
      icon.Draw(drawn, 0, 0);
    useIconMask = !(drawn.bits() == 32 && imaging::HasAlpha(drawn, 0)) ||
                  !imaging::MaskFromAlpha(drawn, m0, kAlphaThreshold);
  }
  if (useIconMask) {
    Bitmap mask = IconMask(icon);
    if (!mask.empty()) m0 = std::move(mask);
  }
  imaging::Size size = imaging::OutputDimensions(s, icon.width(), icon.height());
  outputMask = Bitmap(size.width, size.height, 32);
  imaging::StretchNearest(m0, outputMask, imaging::Rect{0, 0, size.width, size.height});
  inverseOutputMask = outputMask;
  for (int y = 0; y < inverseOutputMask.height(); ++y) {
    std::uint8_t* p = inverseOutputMask.row(y);
    for (int x = 0; x < inverseOutputMask.width(); ++x)
      for (int c = 0; c < 3; ++c)
        p[4 * x + c] = static_cast<std::uint8_t>(~p[4 * x + c]);
  }
}

}  // namespace glyphwell::app
