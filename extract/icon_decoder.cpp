#include "extract/icon_decoder.h"

#include <algorithm>
#include <cstring>

#include "imaging/mask_ops.h"
#include "imaging/png_codec.h"
#include "platform/byte_reader.h"

namespace glyphwell::extract {

namespace {

using platform::ByteReader;

// The bytes [from, from + length) of data; bytes past its end are taken as zero.
std::vector<std::uint8_t> TakeOrZero(std::span<const std::uint8_t> data, std::size_t from,
                                     std::size_t length) {
  std::vector<std::uint8_t> out(length, 0);
  if (from < data.size()) {
    std::size_t have = std::min(length, data.size() - from);
    if (have) std::memcpy(out.data(), data.data() + from, have);
  }
  return out;
}

bool LoadIcon(imaging::Picture* picture, std::span<const std::uint8_t> stream) {
  auto icon = imaging::IconImage::FromStream(stream);
  if (!icon) return false;
  picture->kind = imaging::PictureKind::kIcon;
  picture->bitmap = imaging::Bitmap();
  picture->icon = std::move(icon);
  return true;
}

// The data range must lie inside the file image; a position pointing elsewhere is
// invalid on its own and leaves every other position readable.
std::optional<std::span<const std::uint8_t>> DataRange(std::span<const std::uint8_t> image,
                                                       std::int64_t dataSize,
                                                       std::int64_t dataOffset) {
  if (dataOffset < 0 || dataSize < 0) return std::nullopt;
  auto size = static_cast<std::uint64_t>(image.size());
  if (static_cast<std::uint64_t>(dataSize) > size || static_cast<std::uint64_t>(dataOffset) > size)
    return std::nullopt;
  if (!platform::RangeFits(image.size(), static_cast<std::size_t>(dataOffset),
                           static_cast<std::size_t>(dataSize)))
    return std::nullopt;
  return image.subspan(static_cast<std::size_t>(dataOffset), static_cast<std::size_t>(dataSize));
}

}  // namespace

bool DecodePngIconImage(imaging::Picture* picture, std::span<const std::uint8_t> png,
                        IconDirEntry& entry, std::uint16_t headerReserved, ImageFacts& facts,
                        const PngDepthReducer& reduce) {
  if (!picture) {
    // Only the facts are wanted: the header gives them, and decides whether the image
    // decodes, without inflating the rows.
    const std::optional<imaging::PngLayout> layout = imaging::ReadPngLayout(png);
    if (!layout) return false;
    entry = IconDirEntry{};
    entry.width = static_cast<std::uint8_t>(layout->width);
    entry.height = static_cast<std::uint8_t>(layout->height);
    entry.colourCount = ColourCountFor(1, layout->bits);
    entry.planes = 1;
    entry.bitCount = static_cast<std::uint16_t>(layout->bits);
    facts.Set(layout->width, layout->height, layout->bits);
    facts.png = true;
    return true;
  }
  imaging::Bitmap decoded;
  if (!imaging::ReadPngMemory(png, decoded) || decoded.empty()) return false;
  int w = decoded.width();
  int h = decoded.height();
  std::vector<std::uint8_t> packed(imaging::PackedMaskBytes(w, h), 0);
  imaging::Bitmap mask(w, h, 32);
  if (imaging::MaskFromAlpha(decoded, mask, -1)) {
    packed = imaging::PackMask(mask, w, h);
    if (reduce) {
      reduce(decoded, facts.bitCount);
      if (decoded.width() != w || decoded.height() != h) return false;
    }
  }
  std::vector<std::uint8_t> dib = EncodeIconDib(decoded);
  ByteReader r(dib);
  int planes = *r.u16le(12);
  int bits = *r.u16le(14);
  std::uint32_t imageSize = *r.u32le(20);
  entry = IconDirEntry{};
  entry.width = static_cast<std::uint8_t>(w);
  entry.height = static_cast<std::uint8_t>(h);
  entry.colourCount = ColourCountFor(planes, bits);
  entry.planes = static_cast<std::uint16_t>(planes);
  entry.bitCount = static_cast<std::uint16_t>(bits);
  facts.Set(w, h, bits);
  facts.png = true;

  std::size_t tableBytes = 4 * static_cast<std::size_t>(bits == 8 ? 256 : entry.colourCount);
  entry.bytesInResource =
      static_cast<std::uint32_t>(tableBytes + imageSize + packed.size() + kDibHeaderBytes);
  platform::PutU32le(dib.data() + 8, static_cast<std::uint32_t>(h) * 2);
  dib.insert(dib.end(), packed.begin(), packed.end());
  return LoadIcon(picture, BuildOneImageStream(headerReserved, entry, dib));
}

bool DecodeIconImage(std::span<const std::uint8_t> image, bool infoOnly, imaging::Picture* picture,
                     std::int64_t dataSize, std::int64_t dataOffset, ImageFacts& facts,
                     const PngDepthReducer& reduce) {
  auto reject = [&facts] {
    facts.valid = false;
    return false;
  };
  auto range = DataRange(image, dataSize, dataOffset);
  if (!range || dataSize < static_cast<std::int64_t>(kDibHeaderBytes)) return reject();
  std::span<const std::uint8_t> data = *range;

  if (StartsWithPng(data)) {
    IconDirEntry entry;
    if (!DecodePngIconImage(picture, data, entry, 0, facts, reduce)) return reject();
    return true;
  }
  facts.png = false;

  ByteReader r(data);
  std::int32_t width = *r.i32le(4);
  std::int32_t dibHeight = *r.i32le(8);
  std::uint16_t planes = *r.u16le(12);
  std::uint16_t bitCount = *r.u16le(14);
  std::uint32_t compression = *r.u32le(16);
  std::uint32_t storedImageSize = *r.u32le(20);
  std::int32_t h = dibHeight / 2;
  facts.label = ImageFacts::MakeLabel(width, h, bitCount);

  if (width < 1 || h < 1 || bitCount < 1 || bitCount > 32 ||
      static_cast<std::uint64_t>(dataSize) < storedImageSize || width > kMaxImageSide ||
      h > kMaxImageSide || planes != 1 || compression != 0)
    return reject();

  std::uint8_t colourCount = ColourCountFor(planes, bitCount);
  std::size_t maskBytes = imaging::PackedMaskBytes(width, h);
  std::size_t paletteBytes = 4 * static_cast<std::size_t>(bitCount == 8 ? 256 : colourCount);
  std::size_t imageSize =
      imaging::RowBytes(width, bitCount) * static_cast<std::size_t>(h) + maskBytes;
  facts.Set(width, h, bitCount);
  if (width > kMaxShownIconSide || h > kMaxShownIconSide) return reject();
  if (infoOnly || !picture) return true;

  IconDirEntry entry;
  entry.width = static_cast<std::uint8_t>(width);
  entry.height = static_cast<std::uint8_t>(h);
  entry.colourCount = colourCount;
  entry.planes = planes;
  entry.bitCount = bitCount;
  entry.bytesInResource = static_cast<std::uint32_t>(paletteBytes + imageSize + kDibHeaderBytes);
  std::vector<std::uint8_t> body(data.begin(), data.begin() + kDibHeaderBytes);
  // The pixels follow the 40 bytes copied, whatever header size was stored.
  platform::PutU32le(body.data(), kDibHeaderBytes);
  platform::PutU32le(body.data() + 20, static_cast<std::uint32_t>(imageSize));
  std::vector<std::uint8_t> rest = TakeOrZero(data, kDibHeaderBytes, paletteBytes + imageSize);
  body.insert(body.end(), rest.begin(), rest.end());
  if (!LoadIcon(picture, BuildOneImageStream(0, entry, body))) return reject();
  return true;
}

int ReadIconFileEntry(std::span<const std::uint8_t> image, ExtractionMode mode, bool infoOnly,
                      int index, imaging::Picture* picture, ImageFacts& facts,
                      const PngDepthReducer& reduce) {
  if (mode == ExtractionMode::kBmp) {
    facts.valid = false;
    return 0;
  }
  facts.valid = true;
  ByteReader r(image);
  auto reserved = r.u16le(0);
  auto count = r.u16le(4);
  if (!reserved || !count) {
    facts.valid = false;
    return 0;
  }
  if (!infoOnly && !picture) return *count;

  auto invalid = [&facts, &count] {
    facts.valid = false;
    return static_cast<int>(*count);
  };
  if (index < 0 || index >= *count) return invalid();
  auto entry = IconDirEntry::Read(r, kIconHeaderBytes + kIconEntryBytes * index);
  if (!entry || entry->imageOffset >= image.size()) return invalid();
  facts.bitCount = entry->bitCount;
  std::size_t length =
      std::min<std::size_t>(entry->bytesInResource, image.size() - entry->imageOffset);
  auto data = image.subspan(entry->imageOffset, length);

  if (StartsWithPng(data)) {
    IconDirEntry repacked = *entry;
    // An entry whose PNG data cannot be decoded is still listed; its label then
    // shows the size and depth its directory entry claims.
    if (!DecodePngIconImage(picture, data, repacked, *reserved, facts, reduce)) {
      facts.Set(entry->width ? entry->width : 256, entry->height ? entry->height : 256,
                entry->bitCount);
      facts.png = true;
      if (picture) facts.valid = false;
    }
    return *count;
  }

  facts.png = false;
  ByteReader d(data);
  int w = d.i32le(4).value_or(0);
  int h = d.i32le(8).value_or(0) / 2;
  int bits = d.u16le(14).value_or(0);
  facts.Set(w, h, bits);
  if (picture) {
    IconDirEntry one = *entry;
    one.bytesInResource = static_cast<std::uint32_t>(length);
    if (!LoadIcon(picture, BuildOneImageStream(*reserved, one, data))) facts.valid = false;
  }
  return *count;
}

IconFactsResult IconFacts(const imaging::IconImage* icon) {
  IconFactsResult out;
  if (!icon) return out;
  ByteReader r(icon->stream());
  auto offset = r.u32le(kIconHeaderBytes + 12);
  if (offset && !StartsWithPng(r.bytes().subspan(std::min<std::size_t>(*offset, r.size())))) {
    auto w = r.i32le(*offset + 4);
    auto h = r.i32le(*offset + 8);
    auto bits = r.u16le(*offset + 14);
    if (w && h && bits) {
      out.width = *w;
      out.height = *h / 2;
      out.bitCount = *bits;
      return out;
    }
  }
  out.width = icon->width();
  out.height = icon->height();
  out.bitCount = icon->bits();
  return out;
}

}  // namespace glyphwell::extract
