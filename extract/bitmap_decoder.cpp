#include "extract/bitmap_decoder.h"

#include <algorithm>
#include <cstring>

#include "platform/byte_reader.h"

namespace glyphwell::extract {

namespace {

using platform::ByteReader;

constexpr int kMaxSide = 10000;

std::optional<std::span<const std::uint8_t>> DataRange(std::span<const std::uint8_t> image,
                                                       std::int64_t dataSize,
                                                       std::int64_t dataOffset) {
  if (dataOffset < 0 || dataSize < 0) return std::nullopt;
  if (!platform::RangeFits(image.size(), static_cast<std::size_t>(dataOffset),
                           static_cast<std::size_t>(dataSize)))
    return std::nullopt;
  return image.subspan(static_cast<std::size_t>(dataOffset), static_cast<std::size_t>(dataSize));
}

// Writes pixel value v at x of an 8- or 4-bit row. In a 4-bit row a pixel in the
// second half of a byte keeps the pixel in the first half.
void PutPixel(std::uint8_t* row, int bits, int x, std::uint8_t v) {
  if (bits == 8) {
    row[x] = v;
  } else if (x % 2 == 0) {
    row[x / 2] = static_cast<std::uint8_t>((row[x / 2] & 0x0F) | (v << 4));
  } else {
    row[x / 2] = static_cast<std::uint8_t>((row[x / 2] & 0xF0) | (v & 0x0F));
  }
}

// 3x5 glyphs for the letters of "err", one row a byte, bit 2 = leftmost column.
constexpr std::uint8_t kGlyphE[5] = {0b111, 0b100, 0b111, 0b100, 0b111};
constexpr std::uint8_t kGlyphR[5] = {0b000, 0b101, 0b110, 0b100, 0b100};

std::uint32_t PixelFromMasks(std::uint32_t v, std::uint32_t mask) {
  if (!mask) return 0;
  int shift = __builtin_ctz(mask);
  std::uint32_t max = mask >> shift;
  return max ? ((v & mask) >> shift) * 255 / max : 0;
}

// 16- and 32-bit bit-field pixels, converted to 24 bits.
bool DecodeBitFields(std::span<const std::uint8_t> data, std::size_t masksAt, std::size_t pixelsAt,
                     int w, int h, int bits, imaging::Bitmap& out) {
  ByteReader r(data);
  auto red = r.u32le(masksAt), green = r.u32le(masksAt + 4), blue = r.u32le(masksAt + 8);
  if (!red || !green || !blue || (bits != 16 && bits != 32)) return false;
  imaging::Bitmap bmp(w, h, 24);
  if (bmp.empty()) return false;
  std::size_t rowBytes = imaging::RowBytes(w, bits);
  for (int y = 0; y < h; ++y) {
    std::size_t rowAt = pixelsAt + rowBytes * static_cast<std::size_t>(h - 1 - y);
    for (int x = 0; x < w; ++x) {
      std::size_t at = rowAt + static_cast<std::size_t>(x) * (bits / 8);
      std::uint32_t v = bits == 16 ? r.u16le(at).value_or(0) : r.u32le(at).value_or(0);
      bmp.setPixelColour(x, y,
                         imaging::MakeColour(static_cast<int>(PixelFromMasks(v, *red)),
                                             static_cast<int>(PixelFromMasks(v, *green)),
                                             static_cast<int>(PixelFromMasks(v, *blue))));
    }
  }
  out = std::move(bmp);
  return true;
}

}  // namespace

std::size_t ExpandRle(std::uint32_t compression, std::span<const std::uint8_t> source,
                      std::vector<std::uint8_t>& dest, int height, int width) {
  if ((compression != 1 && compression != 2) || width < 1 || height < 1) return 0;
  int bits = compression == 1 ? 8 : 4;
  std::size_t rowBytes = imaging::RowBytes(width, bits);
  auto total = platform::CheckedMul(rowBytes, static_cast<std::size_t>(height));
  if (!total) return 0;
  dest.assign(*total, 0);
  std::size_t i = 0;
  int x = 0, y = 0;
  auto next = [&](std::uint8_t& b) {
    if (i >= source.size()) return false;
    b = source[i++];
    return true;
  };
  while (y < height) {
    std::uint8_t count, value;
    if (!next(count) || !next(value)) break;
    std::uint8_t* row = dest.data() + rowBytes * static_cast<std::size_t>(y);
    if (count > 0) {
      if (x >= width) return 0;
      for (int k = 0; k < count && x < width; ++k, ++x) {
        std::uint8_t v = bits == 8 ? value : (k % 2 == 0 ? value >> 4 : value & 0x0F);
        PutPixel(row, bits, x, v);
      }
      continue;
    }
    if (value == 0) {  // end of row
      x = 0;
      ++y;
    } else if (value == 1) {  // end of bitmap
      break;
    } else if (value == 2) {  // move
      std::uint8_t dx, dy;
      if (!next(dx) || !next(dy)) break;
      x += dx;
      y += dy;
    } else {  // absolute run of `value` pixels, padded to a 16-bit boundary
      int n = value;
      std::size_t bytes = bits == 8 ? n : (n + 1) / 2;
      for (int k = 0; k < n; ++k) {
        std::size_t at = i + (bits == 8 ? k : k / 2);
        if (at >= source.size()) break;
        std::uint8_t v =
            bits == 8 ? source[at] : (k % 2 == 0 ? source[at] >> 4 : source[at] & 0x0F);
        if (x < width) PutPixel(row, bits, x, v);
        ++x;
      }
      i += bytes + (bytes & 1);
    }
  }
  return *total;
}

imaging::Bitmap ErrorBitmap(int width, int height) {
  imaging::Bitmap bmp(std::max(1, width), std::max(1, height), 1);
  int x0 = width / 2, y0 = height / 2;
  const std::uint8_t* glyphs[3] = {kGlyphE, kGlyphR, kGlyphR};
  for (int g = 0; g < 3; ++g)
    for (int gy = 0; gy < 5; ++gy)
      for (int gx = 0; gx < 3; ++gx) {
        int px = x0 + g * 4 + gx, py = y0 + gy;
        if ((glyphs[g][gy] >> (2 - gx)) & 1 && px < bmp.width() && py < bmp.height())
          bmp.setPixelColour(px, py, imaging::kBlack);
      }
  return bmp;
}

bool DecodeBitmapResource(std::span<const std::uint8_t> image, bool infoOnly,
                          imaging::Picture* picture, std::int64_t dataSize, std::int64_t dataOffset,
                          ImageFacts& facts) {
  auto reject = [&facts] {
    facts.valid = false;
    return false;
  };
  auto range = DataRange(image, dataSize, dataOffset);
  if (!range || dataSize < 40) return reject();
  std::span<const std::uint8_t> data = *range;
  facts.png = false;

  ByteReader r(data);
  std::uint32_t headerSize = *r.u32le(0);
  std::int32_t width = *r.i32le(4);
  std::int32_t height = *r.i32le(8);
  std::uint16_t planes = *r.u16le(12);
  std::uint16_t bitCount = *r.u16le(14);
  std::uint32_t compression = *r.u32le(16);
  std::uint32_t storedImageSize = *r.u32le(20);
  std::uint32_t coloursUsed = *r.u32le(32);
  std::uint32_t importantColours = *r.u32le(36);
  facts.label = ImageFacts::MakeLabel(width, height, bitCount);
  if (width < 1 || height < 1 || bitCount < 1 || bitCount > 32 || width > kMaxSide ||
      height > kMaxSide || planes != 1 || static_cast<std::uint64_t>(dataSize) < storedImageSize)
    return reject();

  if (bitCount < 16 && coloursUsed == 0) coloursUsed = 1u << bitCount;
  std::uint64_t tableEntries = bitCount == 8 ? 256 : coloursUsed;
  std::uint64_t pixelOffset = static_cast<std::uint64_t>(headerSize) + 4 * tableEntries;
  std::size_t rowBytes = imaging::RowBytes(width, bitCount);
  std::uint64_t pixelBytes = static_cast<std::uint64_t>(rowBytes) * height;
  if (compression == 0 && static_cast<std::uint64_t>(dataSize) < pixelOffset + pixelBytes)
    return reject();
  facts.Set(width, height, bitCount);
  if (infoOnly) return true;
  if (!picture) return true;

  // Normalise the header as the bitmap is built from it.
  std::uint32_t tableAt = headerSize == 0 ? 40 : headerSize;
  if (bitCount == 4) coloursUsed = 16;
  if (bitCount >= 8 && coloursUsed != 0) coloursUsed = 0;

  std::span<const std::uint8_t> pixels = data;
  std::vector<std::uint8_t> expanded;
  if (compression == 1 || compression == 2) {
    std::span<const std::uint8_t> packed =
        storedImageSize != 0 ? data.subspan(data.size() - storedImageSize)
                             : (pixelOffset < data.size() ? data.subspan(pixelOffset)
                                                          : std::span<const std::uint8_t>());
    int rleBits = compression == 1 ? 8 : 4;
    if (bitCount != rleBits || ExpandRle(compression, packed, expanded, height, width) == 0) {
      picture->kind = imaging::PictureKind::kBitmap;
      picture->icon.reset();
      picture->bitmap = ErrorBitmap(width, height);
      return reject();
    }
    pixels = expanded;
    pixelOffset = 0;
  } else if (importantColours != 0) {
    pixelOffset = static_cast<std::uint64_t>(tableAt) + 4ull * importantColours;
  }

  imaging::Bitmap bmp;
  if (compression == 3) {
    // The three masks follow the header; the pixels follow the masks.
    if (!DecodeBitFields(data, tableAt, std::uint64_t{tableAt} + 12, width, height, bitCount, bmp))
      return reject();
  } else if (compression == 0 || compression == 1 || compression == 2) {
    int format = bitCount == 16 ? 15 : bitCount;
    if (!imaging::IsValidPixelFormat(format)) return reject();
    bmp = imaging::Bitmap(width, height, format);
    if (bmp.empty()) return reject();
    if (bitCount <= 8) {
      std::size_t entries = coloursUsed ? coloursUsed : (std::size_t{1} << bitCount);
      entries = std::min<std::size_t>(entries, std::size_t{1} << bitCount);
      imaging::ColourTable table(entries);
      for (std::size_t k = 0; k < entries; ++k) {
        std::size_t at = tableAt + 4 * k;
        table[k] = imaging::Rgbq{r.u8(at).value_or(0), r.u8(at + 1).value_or(0),
                                 r.u8(at + 2).value_or(0), 0};
      }
      bmp.setColourTable(std::move(table));
    }
    for (int y = 0; y < height; ++y) {
      std::uint8_t* dst = bmp.row(height - 1 - y);
      std::uint64_t from = pixelOffset + static_cast<std::uint64_t>(rowBytes) * y;
      std::size_t have =
          from < pixels.size() ? std::min<std::size_t>(rowBytes, pixels.size() - from) : 0;
      if (have) std::memcpy(dst, pixels.data() + from, have);
      if (have < rowBytes) std::memset(dst + have, 0, rowBytes - have);
    }
  } else {
    return reject();  // JPEG or PNG inside a DIB, or unknown codes: no picture
  }
  picture->kind = imaging::PictureKind::kBitmap;
  picture->icon.reset();
  picture->bitmap = std::move(bmp);
  return true;
}

}  // namespace glyphwell::extract
