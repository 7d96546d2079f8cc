#include "imaging/mask_ops.h"

#include <algorithm>
#include <cstring>

namespace glyphwell::imaging {

namespace {

constexpr std::uint8_t kAlphaByte = 3;

bool RowHasAlphaOtherThan(const Bitmap& image, int y, std::uint8_t value) {
  const std::uint8_t* p = image.row(y);
  for (int x = 0; x < image.width(); ++x)
    if (p[4 * x + kAlphaByte] != value) return true;
  return false;
}

std::size_t PackedRowBytes(int width) {
  return width <= 0 ? 0 : ((static_cast<std::size_t>(width) + 31) / 32) * 4;
}

}  // namespace

bool HasAlpha(const Bitmap& image, int value) {
  if (image.empty() || image.bits() != 32) return false;
  // Alpha is most often found at the edges of an icon, so both ends are searched
  // at once, meeting in the middle.
  std::uint8_t v = static_cast<std::uint8_t>(value);
  int top = 0, bottom = image.height() - 1;
  while (top <= bottom) {
    if (RowHasAlphaOtherThan(image, top, v)) return true;
    if (bottom != top && RowHasAlphaOtherThan(image, bottom, v)) return true;
    ++top;
    --bottom;
  }
  return false;
}

bool HasColour(const Bitmap& image) {
  if (image.empty() || image.bits() != 32) return false;
  for (int y = 0; y < image.height(); ++y) {
    const std::uint8_t* p = image.row(y);
    for (int x = 0; x < image.width(); ++x)
      if (p[4 * x] | p[4 * x + 1] | p[4 * x + 2]) return true;
  }
  return false;
}

bool MaskFromAlpha(const Bitmap& source, Bitmap& dest, int threshold) {
  if (source.bits() != 32 || source.empty() || dest.empty() || source.width() != dest.width() ||
      source.height() != dest.height()) {
    return false;
  }
  if (dest.bits() != 32) dest = Bitmap(dest.width(), dest.height(), 32);
  bool anyAlpha = false;
  for (int y = 0; y < source.height(); ++y) {
    const std::uint8_t* s = source.row(y);
    std::uint8_t* d = dest.row(y);
    for (int x = 0; x < source.width(); ++x) {
      int alpha = s[4 * x + kAlphaByte];
      if (alpha != 0) anyAlpha = true;
      bool opaque = threshold < 0 ? alpha != 0 : alpha > threshold;
      std::uint8_t v = opaque ? 0 : 255;
      d[4 * x] = d[4 * x + 1] = d[4 * x + 2] = v;
    }
  }
  return anyAlpha;
}

std::size_t PackedMaskBytes(int width, int height) {
  if (width <= 0 || height <= 0) return 0;
  return PackedRowBytes(width) * static_cast<std::size_t>(height);
}

std::vector<std::uint8_t> PackMask(const Bitmap& mask, int width, int height) {
  std::vector<std::uint8_t> packed(PackedMaskBytes(width, height), 0);
  if (packed.empty()) return packed;
  std::size_t rowBytes = PackedRowBytes(width);
  int w = std::min(width, mask.width()), h = std::min(height, mask.height());
  // Stored rows run bottom row first: stored row r is image row height - 1 - r.
  for (int r = 0; r < height; ++r) {
    int y = height - 1 - r;
    if (y >= h) continue;
    std::uint8_t* out = packed.data() + static_cast<std::size_t>(r) * rowBytes;
    if (mask.bits() == 32) {
      // The usual mask: white is the three colour bytes at 255, alpha aside.
      const std::uint8_t* p = mask.row(y);
      for (int x = 0; x < w; ++x, p += 4)
        if ((p[0] & p[1] & p[2]) == 0xFF) out[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
      continue;
    }
    for (int x = 0; x < w; ++x)
      if (mask.pixelColour(x, y) == kWhite)
        out[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
  }
  return packed;
}

bool UnpackMask(Bitmap& dest, std::span<const std::uint8_t> packed) {
  if (dest.empty()) return false;
  int width = dest.width(), height = dest.height();
  Bitmap mask(width, height, 32);
  std::size_t rowBytes = PackedRowBytes(width);
  const std::uint8_t kTransparent[4] = {255, 255, 255, 0};
  const std::uint8_t kOpaque[4] = {0, 0, 0, 0};
  for (int r = 0; r < height; ++r) {
    int y = height - 1 - r;
    std::size_t start = static_cast<std::size_t>(r) * rowBytes;
    // The bytes of this row that the packed mask holds; the rest reads as opaque.
    std::size_t held = start < packed.size() ? std::min(rowBytes, packed.size() - start) : 0;
    const std::uint8_t* bits = packed.data() + std::min(start, packed.size());
    std::uint8_t* d = mask.row(y);
    for (int x = 0; x < width; ++x, d += 4) {
      const std::size_t at = static_cast<std::size_t>(x >> 3);
      const bool transparent = at < held && ((bits[at] >> (7 - (x & 7))) & 1);
      std::memcpy(d, transparent ? kTransparent : kOpaque, 4);
    }
  }
  dest = std::move(mask);
  return true;
}

}  // namespace glyphwell::imaging
