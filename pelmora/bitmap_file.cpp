#include "pelmora/bitmap_file.h"

#include <limits>

namespace pelmora {

namespace {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kInfoHeaderBytes = 40;
// Icons are far smaller; the limit keeps every size below in 32 bits.
constexpr std::int32_t kMaxSide = 1 << 15;

bool Fits(std::size_t size, std::size_t offset, std::size_t length) {
  return offset <= size && length <= size - offset;
}

std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t off) {
  return static_cast<std::uint16_t>(b[off] | (b[off + 1] << 8));
}

std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t off) {
  return static_cast<std::uint32_t>(b[off]) | (static_cast<std::uint32_t>(b[off + 1]) << 8) |
         (static_cast<std::uint32_t>(b[off + 2]) << 16) |
         (static_cast<std::uint32_t>(b[off + 3]) << 24);
}

}  // namespace

bool HasBitmapSignature(std::span<const std::uint8_t> file) {
  return file.size() >= kFileHeaderBytes && file[0] == 'B' && file[1] == 'M';
}

std::size_t ColourTableBytes(unsigned bitCount) {
  if (bitCount == 0 || bitCount > 8) return 0;
  return std::size_t{4} << bitCount;
}

std::size_t MaskRowBytes(std::uint32_t width) {
  return (static_cast<std::size_t>(width) + 31) / 32 * 4;
}

std::optional<BitmapFile> ParseBitmapFile(std::span<const std::uint8_t> file) {
  if (!HasBitmapSignature(file) || !Fits(file.size(), kFileHeaderBytes, kInfoHeaderBytes))
    return std::nullopt;
  auto info = file.subspan(kFileHeaderBytes, kInfoHeaderBytes);
  std::uint32_t headerSize = U32(info, 0);
  // Older 12-byte headers have none of the fields an icon needs; larger ones (V4, V5)
  // start with the same 40 bytes and put the colour table after themselves.
  if (headerSize < kInfoHeaderBytes || !Fits(file.size(), kFileHeaderBytes, headerSize))
    return std::nullopt;

  BitmapFile bmp;
  bmp.infoHeader = info;
  bmp.width = static_cast<std::int32_t>(U32(info, 4));
  bmp.height = static_cast<std::int32_t>(U32(info, 8));
  bmp.planes = U16(info, 12);
  bmp.bitCount = U16(info, 14);
  std::uint32_t compression = U32(info, 16);
  bmp.imageSize = U32(info, 20);
  // A top-down or empty bitmap cannot become an icon image (its height is doubled).
  if (bmp.width <= 0 || bmp.height <= 0 || bmp.width > kMaxSide || bmp.height > kMaxSide)
    return std::nullopt;
  if (bmp.bitCount == 0 || bmp.bitCount > 32) return std::nullopt;

  // Uncompressed bitmaps may leave the image size 0; the rows are then stride * height.
  std::size_t stride = (static_cast<std::size_t>(bmp.width) * bmp.bitCount + 31) / 32 * 4;
  std::size_t computed = stride * static_cast<std::size_t>(bmp.height);
  if (bmp.imageSize == 0 && compression == 0) {
    if (computed > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
    bmp.imageSize = static_cast<std::uint32_t>(computed);
  }

  std::size_t tableOffset = kFileHeaderBytes + headerSize;
  std::size_t tableBytes = ColourTableBytes(bmp.bitCount);
  if (!Fits(file.size(), tableOffset, tableBytes)) return std::nullopt;
  bmp.colourTable = file.subspan(tableOffset, tableBytes);
  std::size_t rowsOffset = tableOffset + tableBytes;
  // A file shorter than its header states is refused rather than padded with filler.
  if (!Fits(file.size(), rowsOffset, bmp.imageSize)) return std::nullopt;
  bmp.rows = file.subspan(rowsOffset, bmp.imageSize);
  return bmp;
}

}  // namespace pelmora
