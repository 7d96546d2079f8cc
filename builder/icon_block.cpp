#include "builder/icon_block.h"

#include <algorithm>

#include "platform/byte_reader.h"
#include "platform/byte_writer.h"

namespace glyphwell::builder {

namespace {

constexpr std::size_t kHeaderBytes = 40;
constexpr std::int32_t kMaxSide = 10000;

bool IsIconDepth(int bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

struct BlockLayout {
  std::size_t tableOffset = kHeaderBytes;
  std::size_t tableEntries = 0;
  std::size_t xorOffset = 0;
  std::size_t xorRowBytes = 0;
  std::size_t andOffset = 0;
  std::size_t andRowBytes = 0;
  std::size_t end = 0;
  int width = 0;
  int height = 0;
  int bits = 0;
};

std::optional<BlockLayout> LayOut(std::span<const std::uint8_t> block) {
  auto header = ReadIconBlockHeader(block);
  if (!header) return std::nullopt;
  const int height = header->height();
  if (header->width < 1 || header->width > kMaxSide || height < 1 || height > kMaxSide ||
      header->planes != 1 || header->compression != 0 || !IsIconDepth(header->bitCount))
    return std::nullopt;
  BlockLayout l;
  l.width = header->width;
  l.height = height;
  l.bits = header->bitCount;
  l.tableEntries = header->TableEntries();
  l.xorOffset = kHeaderBytes + 4 * l.tableEntries;
  // Sides are at most 10000, so none of these products can overflow.
  l.xorRowBytes = ((static_cast<std::size_t>(l.width) * l.bits + 31) / 32) * 4;
  l.andOffset = l.xorOffset + l.xorRowBytes * static_cast<std::size_t>(height);
  l.andRowBytes = PackedMaskRowBytes(l.width);
  l.end = l.andOffset + l.andRowBytes * static_cast<std::size_t>(height);
  if (l.end > block.size()) return std::nullopt;
  return l;
}

}  // namespace

int IconBlockHeader::DirectoryColourCount() const {
  const unsigned product = static_cast<unsigned>(planes) * bitCount;
  return product < 8 ? 1 << product : 0;
}

std::uint64_t IconBlockHeader::AnnouncedBytes() const {
  const std::uint64_t w = static_cast<std::uint32_t>(std::max(width, 0));
  const std::uint64_t h = static_cast<std::uint32_t>(std::max(height(), 0));
  const std::uint64_t palette = bitCount == 8 ? 256 : DirectoryColourCount();
  const std::uint64_t rowBytes = ((w * bitCount + 31) / 32) * 4;
  const std::uint64_t maskBytes = ((w + 31) / 32) * 4;
  return 40 + 4 * palette + rowBytes * h + maskBytes * h;
}

std::size_t IconBlockHeader::TableEntries() const {
  if (bitCount > 8 || bitCount == 0) return 0;
  const std::size_t full = std::size_t{1} << bitCount;
  return coloursUsed >= 1 && coloursUsed <= full ? coloursUsed : full;
}

std::optional<IconBlockHeader> ReadIconBlockHeader(std::span<const std::uint8_t> block) {
  platform::ByteReader r(block);
  if (!r.Fits(0, kHeaderBytes)) return std::nullopt;
  IconBlockHeader h;
  h.width = *r.i32le(4);
  h.doubledHeight = *r.i32le(8);
  h.planes = *r.u16le(12);
  h.bitCount = *r.u16le(14);
  h.compression = *r.u32le(16);
  h.coloursUsed = *r.u32le(32);
  return h;
}

bool IsCompleteIconBlock(std::span<const std::uint8_t> block) {
  return LayOut(block).has_value();
}

bool RenderIconBlock(std::span<const std::uint8_t> block, imaging::Bitmap& out) {
  auto l = LayOut(block);
  if (!l) return false;
  const int bits = l->bits == 16 ? 15 : l->bits;
  imaging::Bitmap image(l->width, l->height, bits);
  if (image.empty()) return false;
  if (l->tableEntries) {
    imaging::ColourTable table(l->tableEntries);
    for (std::size_t i = 0; i < l->tableEntries; ++i) {
      const std::uint8_t* p = block.data() + l->tableOffset + 4 * i;
      table[i] = imaging::Rgbq{p[0], p[1], p[2], 0};
    }
    image.setColourTable(std::move(table));
  }
  const std::size_t copy = std::min(l->xorRowBytes, image.stride());
  for (int y = 0; y < l->height; ++y) {
    const std::uint8_t* src =
        block.data() + l->xorOffset + l->xorRowBytes * static_cast<std::size_t>(y);
    std::copy(src, src + copy, image.row(l->height - 1 - y));
  }
  out = std::move(image);
  return true;
}

bool RenderIconBlockMask(std::span<const std::uint8_t> block, imaging::Bitmap& out) {
  auto l = LayOut(block);
  if (!l) return false;
  imaging::Bitmap mask(l->width, l->height, 32);
  if (mask.empty()) return false;
  for (int y = 0; y < l->height; ++y) {
    const std::uint8_t* src =
        block.data() + l->andOffset + l->andRowBytes * static_cast<std::size_t>(y);
    const int top = l->height - 1 - y;
    for (int x = 0; x < l->width; ++x) {
      const bool transparent = (src[x >> 3] >> (7 - (x & 7))) & 1;
      mask.setRawPixel(x, top, transparent ? imaging::kWhite : imaging::kBlack);
    }
  }
  out = std::move(mask);
  return true;
}

std::size_t PackedMaskRowBytes(int width) {
  return ((static_cast<std::size_t>(std::max(width, 0)) + 31) / 32) * 4;
}

std::vector<std::uint8_t> PackMaskImage(const imaging::Bitmap& maskImage) {
  const int w = maskImage.width(), h = maskImage.height();
  const std::size_t rowBytes = PackedMaskRowBytes(w);
  std::vector<std::uint8_t> packed(rowBytes * static_cast<std::size_t>(std::max(h, 0)), 0);
  for (int y = 0; y < h; ++y) {
    std::uint8_t* row = packed.data() + rowBytes * static_cast<std::size_t>(h - 1 - y);
    for (int x = 0; x < w; ++x) {
      if (imaging::RedOf(maskImage.pixelColour(x, y)) >= 128)
        row[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
    }
  }
  return packed;
}

std::vector<std::uint8_t> PackMaskFromAlpha(const imaging::Bitmap& image) {
  const int w = image.width(), h = image.height();
  const std::size_t rowBytes = PackedMaskRowBytes(w);
  std::vector<std::uint8_t> packed(rowBytes * static_cast<std::size_t>(std::max(h, 0)), 0);
  if (image.bits() != 32) return packed;
  bool alphaInUse = false;
  for (int y = 0; y < h && !alphaInUse; ++y)
    for (int x = 0; x < w && !alphaInUse; ++x)
      alphaInUse = image.pixelAlpha(x, y) > 0;
  if (!alphaInUse) return packed;
  for (int y = 0; y < h; ++y) {
    std::uint8_t* row = packed.data() + rowBytes * static_cast<std::size_t>(h - 1 - y);
    for (int x = 0; x < w; ++x) {
      if (image.pixelAlpha(x, y) == 0) row[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
    }
  }
  return packed;
}

std::vector<std::uint8_t> MakeIconBlock(const imaging::Bitmap& source,
                                        std::span<const std::uint8_t> packedMask) {
  if (source.empty()) return {};
  imaging::Bitmap converted;
  const imaging::Bitmap* image = &source;
  if (source.bits() == 16) {
    converted = source;
    converted.setPixelFormat(24);
    image = &converted;
  }
  const int w = image->width(), h = image->height();
  const int bits = image->bits() == 15 ? 16 : image->bits();
  const std::size_t rowBytes = ((static_cast<std::size_t>(w) * bits + 31) / 32) * 4;
  const std::size_t maskRowBytes = PackedMaskRowBytes(w);
  const std::size_t tableEntries = bits <= 8 ? std::size_t{1} << bits : 0;

  platform::ByteWriter out;
  out.bytes().reserve(40 + 4 * tableEntries + (rowBytes + maskRowBytes) * h);
  out.u32(40);
  out.u32(static_cast<std::uint32_t>(w));
  out.u32(static_cast<std::uint32_t>(h * 2));
  out.u16(1);
  out.u16(static_cast<std::uint16_t>(bits));
  out.u32(0);
  out.u32(static_cast<std::uint32_t>((rowBytes + maskRowBytes) * h));
  out.u32(0);
  out.u32(0);
  out.u32(0);
  out.u32(0);
  const auto& table = image->colourTable();
  for (std::size_t i = 0; i < tableEntries; ++i) {
    const imaging::Rgbq q = i < table.size() ? table[i] : imaging::Rgbq{};
    out.u8(q.blue);
    out.u8(q.green);
    out.u8(q.red);
    out.u8(0);
  }
  const std::size_t copy = std::min(rowBytes, image->stride());
  for (int y = h - 1; y >= 0; --y) {
    out.append(std::span<const std::uint8_t>(image->row(y), copy));
    out.zeros(rowBytes - copy);
  }
  const std::size_t maskBytes = maskRowBytes * static_cast<std::size_t>(h);
  const std::size_t given = std::min(maskBytes, packedMask.size());
  out.append(packedMask.first(given));
  out.zeros(maskBytes - given);
  return std::move(out.bytes());
}

}  // namespace glyphwell::builder
