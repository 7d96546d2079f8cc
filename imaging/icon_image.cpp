#include "imaging/icon_image.h"

#include <algorithm>
#include <cstring>

#include "imaging/mask_ops.h"
#include "imaging/png_codec.h"
#include "platform/byte_reader.h"

namespace glyphwell::imaging {

namespace {

using platform::ByteReader;

// Larger icon images cannot come from any icon file we read (256 is the format's
// limit); the bound keeps a hostile header from asking for gigabytes.
constexpr int kMaxIconSide = 4096;

bool IsPng(std::span<const std::uint8_t> data) {
  return data.size() >= 4 && data[0] == 0x89 && data[1] == 'P' && data[2] == 'N' && data[3] == 'G';
}

// Copies `length` bytes from `from` in `data` to `dst`; bytes past the end of the
// data are taken as zero.
void CopyOrZero(std::span<const std::uint8_t> data, std::size_t from, std::size_t length,
                std::uint8_t* dst) {
  std::size_t have = from < data.size() ? std::min(length, data.size() - from) : 0;
  if (have) std::memcpy(dst, data.data() + from, have);
  if (have < length) std::memset(dst + have, 0, length - have);
}

bool FromPng(std::span<const std::uint8_t> data, Bitmap& colour, Bitmap& mask, int& bits) {
  Bitmap decoded;
  if (!ReadPngMemory(data, decoded) || decoded.empty()) return false;
  mask = Bitmap(decoded.width(), decoded.height(), 32);
  if (mask.empty()) return false;
  if (decoded.bits() == 32) {
    MaskFromAlpha(decoded, mask, -1);
  } else {
    mask.fill(kBlack);
  }
  bits = decoded.bits();
  colour = std::move(decoded);
  return true;
}

bool FromDib(std::span<const std::uint8_t> data, Bitmap& colour, Bitmap& mask, int& bits) {
  ByteReader r(data);
  auto headerSize = r.u32le(0);
  auto width = r.i32le(4);
  auto dibHeight = r.i32le(8);
  auto bitCount = r.u16le(14);
  auto compression = r.u32le(16);
  auto used = r.u32le(32);
  if (!headerSize || !width || !dibHeight || !bitCount || !compression || !used) return false;
  if (*headerSize < 40 || *headerSize > data.size() || *compression != 0) return false;
  int w = *width;
  int h = *dibHeight / 2;
  if (w < 1 || h < 1 || w > kMaxIconSide || h > kMaxIconSide) return false;
  int bc = *bitCount;
  if (bc != 1 && bc != 4 && bc != 8 && bc != 16 && bc != 24 && bc != 32) return false;

  std::size_t tableEntries = 0;
  if (bc <= 8) {
    std::size_t max = std::size_t{1} << bc;
    tableEntries = *used ? std::min<std::size_t>(*used, max) : max;
  }
  Bitmap image(w, h, bc == 16 ? 15 : bc);
  if (image.empty()) return false;
  std::size_t pos = *headerSize;
  if (tableEntries) {
    std::vector<std::uint8_t> raw(tableEntries * 4);
    CopyOrZero(data, pos, raw.size(), raw.data());
    ColourTable table(tableEntries);
    for (std::size_t i = 0; i < tableEntries; ++i)
      table[i] = Rgbq{raw[4 * i], raw[4 * i + 1], raw[4 * i + 2], 0};
    image.setColourTable(std::move(table));
    pos += tableEntries * 4;
  }
  std::size_t rowBytes = RowBytes(w, bc);
  for (int r = 0; r < h; ++r)
    CopyOrZero(data, pos + rowBytes * static_cast<std::size_t>(r), rowBytes, image.row(h - 1 - r));
  pos += rowBytes * static_cast<std::size_t>(h);

  mask = Bitmap(w, h, 32);
  std::size_t maskBytes = PackedMaskBytes(w, h);
  std::vector<std::uint8_t> packed(maskBytes);
  CopyOrZero(data, pos, maskBytes, packed.data());
  if (!UnpackMask(mask, packed)) return false;
  colour = std::move(image);
  bits = bc;
  return true;
}

}  // namespace

std::optional<IconImage> IconImage::FromStream(std::span<const std::uint8_t> stream) {
  ByteReader r(stream);
  auto count = r.u16le(4);
  auto length = r.u32le(6 + 8);
  auto offset = r.u32le(6 + 12);
  if (!count || *count == 0 || !length || !offset || *offset >= stream.size()) return std::nullopt;
  std::size_t have = std::min<std::size_t>(*length, stream.size() - *offset);
  auto data = stream.subspan(*offset, have);
  IconImage icon;
  bool ok = IsPng(data) ? FromPng(data, icon.colour_, icon.mask_, icon.bits_)
                        : FromDib(data, icon.colour_, icon.mask_, icon.bits_);
  if (!ok) return std::nullopt;
  icon.stream_.assign(stream.begin(), stream.end());
  return icon;
}

namespace {

// One destination pixel: AND with the mask, then XOR with the colour; a 32-bit
// image with alpha is blended over the destination instead.
void DrawPixel(const Bitmap& colour, const Bitmap& mask, bool blend, int sx, int sy, Bitmap& dest,
               int dx, int dy) {
  ColourValue src = colour.pixelColour(sx, sy);
  ColourValue dst = dest.pixelColour(dx, dy);
  ColourValue out;
  if (blend) {
    int a = colour.pixelAlpha(sx, sy);
    if (a == 0) return;
    auto mix = [a](int s, int d) { return (s * a + d * (255 - a)) / 255; };
    out = MakeColour(mix(RedOf(src), RedOf(dst)), mix(GreenOf(src), GreenOf(dst)),
                     mix(BlueOf(src), BlueOf(dst)));
  } else {
    bool transparent = (mask.pixelColour(sx, sy) & kWhite) == kWhite;
    out = ((transparent ? dst : kBlack) ^ src) & kWhite;
  }
  dest.setPixelColour(dx, dy, out);
}

}  // namespace

void IconImage::Draw(Bitmap& dest, int x, int y) const {
  DrawStretched(dest, x, y, width(), height());
}

void IconImage::DrawStretched(Bitmap& dest, int x, int y, int w, int h) const {
  if (colour_.empty() || dest.empty() || w <= 0 || h <= 0) return;
  bool blend = colour_.bits() == 32 && HasAlpha(colour_, 0);
  for (int dy = std::max(0, -y); dy < h && y + dy < dest.height(); ++dy) {
    int sy = static_cast<int>(static_cast<long long>(dy) * height() / h);
    for (int dx = std::max(0, -x); dx < w && x + dx < dest.width(); ++dx) {
      int sx = static_cast<int>(static_cast<long long>(dx) * width() / w);
      DrawPixel(colour_, mask_, blend, sx, sy, dest, x + dx, y + dy);
    }
  }
}

}  // namespace glyphwell::imaging
