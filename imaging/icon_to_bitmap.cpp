#include "imaging/icon_to_bitmap.h"

#include <optional>

#include "imaging/mask_ops.h"
#include "platform/byte_reader.h"

namespace glyphwell::imaging {

namespace {

using platform::ByteReader;
using platform::CheckedMul;

// The directory header (6 bytes) and one 16-byte entry come first.
constexpr std::size_t kInfoHeaderOffset = 22;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr int kAlphaThreshold = 110;

struct IconDib {
  int width = 0;
  int halfHeight = 0;
  int bits = 0;
  ColourTable table;
  std::span<const std::uint8_t> colourRows;  // bottom row first
  std::span<const std::uint8_t> maskBytes;   // the last bytes of the data
};

std::optional<IconDib> ParseIconDib(std::span<const std::uint8_t> file) {
  ByteReader r(file);
  auto headerSize = r.u32le(kInfoHeaderOffset);
  auto width = r.i32le(kInfoHeaderOffset + 4);
  auto height = r.i32le(kInfoHeaderOffset + 8);
  auto bitCount = r.u16le(kInfoHeaderOffset + 14);
  auto compression = r.u32le(kInfoHeaderOffset + 16);
  auto clrUsed = r.u32le(kInfoHeaderOffset + 32);
  if (!headerSize || !width || !height || !bitCount || !compression || !clrUsed) return {};
  if (*headerSize != kInfoHeaderSize || *compression != 0) return {};
  int bits = *bitCount;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return {};
  // The stored height counts the colour image and the mask.
  int halfHeight = *height / 2;
  if (*width <= 0 || *width > 4096 || halfHeight <= 0 || halfHeight > 4096) return {};

  IconDib dib;
  dib.width = *width;
  dib.halfHeight = halfHeight;
  dib.bits = bits;
  std::size_t entries = *clrUsed;
  if (entries == 0 && bits <= 8) entries = std::size_t{1} << bits;
  if (bits <= 8 && entries > (std::size_t{1} << bits)) return {};
  if (bits > 8) entries = 0;  // a table after a true-colour header is not used
  std::size_t tableOffset = kInfoHeaderOffset + kInfoHeaderSize;
  auto tableBytes = r.Slice(tableOffset, entries * 4);
  if (!tableBytes) return {};
  for (std::size_t i = 0; i < entries; ++i)
    dib.table.push_back(
        Rgbq{(*tableBytes)[4 * i], (*tableBytes)[4 * i + 1], (*tableBytes)[4 * i + 2], 0});

  std::size_t rowBytes = ((static_cast<std::size_t>(bits) * dib.width + 31) / 32) * 4;
  auto imageSize = CheckedMul(rowBytes, static_cast<std::size_t>(halfHeight));
  if (!imageSize) return {};
  auto rows = r.Slice(tableOffset + entries * 4, *imageSize);
  std::size_t maskSize = ((static_cast<std::size_t>(dib.width) + 31) / 32) * 4 * halfHeight;
  if (!rows || file.size() < maskSize) return {};
  dib.colourRows = *rows;
  dib.maskBytes = file.subspan(file.size() - maskSize);
  return dib;
}

Bitmap ColourImageOf(const IconDib& dib) {
  Bitmap image(dib.width, dib.halfHeight, dib.bits == 16 ? 15 : dib.bits);
  if (image.indexed()) image.setColourTable(dib.table);
  std::size_t rowBytes = image.stride();
  for (int r = 0; r < dib.halfHeight; ++r) {
    const std::uint8_t* src = dib.colourRows.data() + static_cast<std::size_t>(r) * rowBytes;
    std::copy(src, src + rowBytes, image.row(dib.halfHeight - 1 - r));
  }
  return image;
}

Bitmap MaskOf(const IconDib& dib) {
  Bitmap mask(dib.width, dib.halfHeight, 32);
  UnpackMask(mask, dib.maskBytes);
  return mask;
}

// dest = image AND (NOT mask) in colour; 32-bit, alpha taken from the image.
Bitmap ClearTransparent(const Bitmap& image, const Bitmap& mask) {
  Bitmap out(image.width(), image.height(), 32);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      ColourValue c = image.pixelColour(x, y) & ~mask.pixelColour(x, y) & 0xFFFFFF;
      std::uint8_t* q = out.row(y) + 4 * x;
      q[0] = static_cast<std::uint8_t>(BlueOf(c));
      q[1] = static_cast<std::uint8_t>(GreenOf(c));
      q[2] = static_cast<std::uint8_t>(RedOf(c));
      q[3] = static_cast<std::uint8_t>(image.bits() == 32 ? image.pixelAlpha(x, y) : 0);
    }
  return out;
}

bool SameSize(const Bitmap& a, const Bitmap& b) {
  return a.width() == b.width() && a.height() == b.height();
}

// The image part once the colour image is known; `ownMask` gives the icon's own mask,
// which only the correction without a prepared mask needs.
template <typename OwnMask>
void FinishImagePart(const Bitmap& image, const OwnMask& ownMask, Bitmap& dest,
                     const IconToBitmapOptions& options) {
  if (options.alphaMask && image.bits() == 32) {
    if (!SameSize(dest, image)) dest = Bitmap(image.width(), image.height(), 32);
    MaskFromAlpha(image, dest, kAlphaThreshold);
  }
  if (!options.correction) {
    dest = image;
  } else if (SameSize(dest, image)) {
    dest = ClearTransparent(image, dest);
  } else {
    dest = ClearTransparent(image, ownMask());
  }
}

}  // namespace

IconToBitmapOptions IconOptionsFor(const ConversionSettings& s) {
  IconToBitmapOptions o;
  o.correction = s.correction;
  o.alphaMask = !s.keepSourceDepth && (s.depth == Depth::Bits24 || s.depth == Depth::Colours256 ||
                                       s.depth == Depth::Colours16);
  return o;
}

bool IconToBitmap(std::span<const std::uint8_t> iconFile, Bitmap& dest, IconPart part,
                  const IconToBitmapOptions& options) {
  std::optional<IconDib> dib = ParseIconDib(iconFile);
  if (!dib) return false;
  if (part == IconPart::Mask) {
    dest = MaskOf(*dib);
    return true;
  }
  FinishImagePart(
      ColourImageOf(*dib), [&dib] { return MaskOf(*dib); }, dest, options);
  return true;
}

bool IconToBitmap(const IconImage& icon, Bitmap& dest, IconPart part,
                  const IconToBitmapOptions& options) {
  if (IconToBitmap(icon.stream(), dest, part, options)) return true;
  // A PNG-coded image has no info header to read: use what the icon decoded.
  if (icon.colour().empty()) return false;
  if (part == IconPart::Mask) {
    dest = icon.mask();
    return !dest.empty();
  }
  FinishImagePart(
      icon.colour(), [&icon]() -> const Bitmap& { return icon.mask(); }, dest, options);
  return true;
}

bool IconToBitmapLarge(const IconImage& icon, Bitmap& dest, Bitmap* maskOut, bool largeOnly,
                       const IconToBitmapOptions& options) {
  if (largeOnly && icon.width() < 256 && icon.height() * 2 < 512) return false;
  Bitmap mask;
  if (!IconToBitmap(icon, mask, IconPart::Mask, {})) return false;
  if (maskOut) *maskOut = mask;
  Bitmap image = mask;
  if (!IconToBitmap(icon, image, IconPart::Image, options)) return false;
  dest = std::move(image);
  return true;
}

}  // namespace glyphwell::imaging
