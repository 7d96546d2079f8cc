#include "tests/support/image_fixtures.h"

#include <zlib.h>

#include "platform/byte_reader.h"
#include "platform/byte_writer.h"

namespace glyphwell::testsupport {

namespace {

using platform::ByteWriter;

std::size_t TableEntriesFor(int bits) {
  return bits == 8 ? 256 : (bits < 8 ? (std::size_t{1} << bits) : 0);
}

void WriteTable(ByteWriter& w, const imaging::Bitmap& image, std::size_t entries) {
  const auto& table = image.colourTable();
  for (std::size_t i = 0; i < entries; ++i) {
    imaging::Rgbq q = i < table.size() ? table[i] : imaging::Rgbq{};
    w.u8(q.blue);
    w.u8(q.green);
    w.u8(q.red);
    w.u8(0);
  }
}

void WriteRowsBottomUp(ByteWriter& w, const imaging::Bitmap& image) {
  for (int y = image.height() - 1; y >= 0; --y)
    w.append(std::span<const std::uint8_t>(image.row(y), image.stride()));
}

void WriteDibHeader(ByteWriter& w, int width, int height, int bits, std::uint32_t compression,
                    std::uint32_t imageSize, std::uint32_t coloursUsed) {
  w.u32(40);
  w.u32(static_cast<std::uint32_t>(width));
  w.u32(static_cast<std::uint32_t>(height));
  w.u16(1);
  w.u16(static_cast<std::uint16_t>(bits));
  w.u32(compression);
  w.u32(imageSize);
  w.u32(2835);
  w.u32(2835);
  w.u32(coloursUsed);
  w.u32(0);
}

void PngChunk(ByteWriter& w, const char* type, const Bytes& body) {
  w.u8(static_cast<std::uint8_t>(body.size() >> 24));
  w.u8(static_cast<std::uint8_t>(body.size() >> 16));
  w.u8(static_cast<std::uint8_t>(body.size() >> 8));
  w.u8(static_cast<std::uint8_t>(body.size()));
  Bytes crcInput(type, type + 4);
  crcInput.insert(crcInput.end(), body.begin(), body.end());
  w.append(crcInput);
  uLong crc = crc32(0, crcInput.data(), static_cast<uInt>(crcInput.size()));
  w.u8(static_cast<std::uint8_t>(crc >> 24));
  w.u8(static_cast<std::uint8_t>(crc >> 16));
  w.u8(static_cast<std::uint8_t>(crc >> 8));
  w.u8(static_cast<std::uint8_t>(crc));
}

void PutBe32(Bytes& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v >> 24));
  b.push_back(static_cast<std::uint8_t>(v >> 16));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
  b.push_back(static_cast<std::uint8_t>(v));
}

}  // namespace

imaging::Bitmap MakePatternBitmap(int width, int height, int bits, std::uint32_t seed,
                                  bool withAlpha) {
  imaging::Bitmap image(width, height, bits);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      imaging::ColourValue c = imaging::MakeColour(static_cast<int>((x * 37 + seed * 11) & 255),
                                                   static_cast<int>((y * 53 + seed * 7) & 255),
                                                   static_cast<int>(((x ^ y) * 29 + seed) & 255));
      if (bits == 32) {
        bool clear = withAlpha && x < width / 2 && y < height / 2;
        image.setRawPixel(x, y, c | (clear ? 0u : 0xFF000000u));
      } else {
        image.setPixelColour(x, y, c);
      }
    }
  }
  return image;
}

Bytes MakeIconDib(const imaging::Bitmap& image, bool maskLeftHalf) {
  ByteWriter w;
  int bits = image.bits();
  std::size_t maskRow = ((static_cast<std::size_t>(image.width()) + 31) / 32) * 4;
  std::size_t xorBytes = image.stride() * static_cast<std::size_t>(image.height());
  std::size_t andBytes = maskRow * static_cast<std::size_t>(image.height());
  WriteDibHeader(w, image.width(), image.height() * 2, bits, 0,
                 static_cast<std::uint32_t>(xorBytes + andBytes), 0);
  // Icon headers carry no resolution.
  w.patchU32(24, 0);
  w.patchU32(28, 0);
  WriteTable(w, image, TableEntriesFor(bits));
  WriteRowsBottomUp(w, image);
  for (int y = 0; y < image.height(); ++y) {
    Bytes row(maskRow, 0);
    if (maskLeftHalf)
      for (int x = 0; x < image.width() / 2; ++x)
        row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    w.append(row);
  }
  return std::move(w.bytes());
}

Bytes MakeIconDib(int width, int height, int bits, std::uint32_t seed) {
  return MakeIconDib(MakePatternBitmap(width, height, bits, seed), true);
}

Bytes MakePng(const imaging::Bitmap& image) {
  ByteWriter w;
  static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  w.append(kSignature);
  Bytes ihdr;
  PutBe32(ihdr, static_cast<std::uint32_t>(image.width()));
  PutBe32(ihdr, static_cast<std::uint32_t>(image.height()));
  ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});
  PngChunk(w, "IHDR", ihdr);
  Bytes raw;
  for (int y = 0; y < image.height(); ++y) {
    raw.push_back(0);
    for (int x = 0; x < image.width(); ++x) {
      imaging::ColourValue c = image.pixelColour(x, y);
      raw.push_back(static_cast<std::uint8_t>(imaging::RedOf(c)));
      raw.push_back(static_cast<std::uint8_t>(imaging::GreenOf(c)));
      raw.push_back(static_cast<std::uint8_t>(imaging::BlueOf(c)));
      raw.push_back(static_cast<std::uint8_t>(image.pixelAlpha(x, y)));
    }
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  Bytes packed(packedSize);
  compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9);
  packed.resize(packedSize);
  PngChunk(w, "IDAT", packed);
  PngChunk(w, "IEND", {});
  return std::move(w.bytes());
}

Bytes MakePngImage(int width, int height, std::uint32_t seed, bool opaque) {
  return MakePng(MakePatternBitmap(width, height, 32, seed, !opaque));
}

Bytes MakeBitmapDib(const imaging::Bitmap& image, std::uint32_t coloursUsed) {
  ByteWriter w;
  std::size_t pixels = image.stride() * static_cast<std::size_t>(image.height());
  WriteDibHeader(w, image.width(), image.height(), image.bits(), 0,
                 static_cast<std::uint32_t>(pixels), coloursUsed);
  WriteTable(w, image, coloursUsed ? coloursUsed : TableEntriesFor(image.bits()));
  WriteRowsBottomUp(w, image);
  return std::move(w.bytes());
}

Bytes MakeBitmapDib(int width, int height, int bits, std::uint32_t seed) {
  return MakeBitmapDib(MakePatternBitmap(width, height, bits, seed));
}

Bytes MakeRleBitmap(int width, int height, int compression, std::span<const std::uint8_t> encoded,
                    bool zeroImageSize) {
  ByteWriter w;
  int bits = compression == 1 ? 8 : 4;
  WriteDibHeader(w, width, height, bits, static_cast<std::uint32_t>(compression),
                 zeroImageSize ? 0 : static_cast<std::uint32_t>(encoded.size()), 0);
  std::size_t entries = std::size_t{1} << bits;
  for (std::size_t i = 0; i < entries; ++i) {
    auto v = static_cast<std::uint8_t>(i * 255 / (entries - 1));
    w.u8(v);
    w.u8(v);
    w.u8(v);
    w.u8(0);
  }
  w.append(encoded);
  return std::move(w.bytes());
}

IconShape ShapeOfIconImage(std::span<const std::uint8_t> data) {
  platform::ByteReader r(data);
  if (data.size() >= 24 && data[0] == 0x89 && data[1] == 'P') {
    auto be32 = [&](std::size_t o) {
      return static_cast<int>((data[o] << 24) | (data[o + 1] << 16) | (data[o + 2] << 8) |
                              data[o + 3]);
    };
    return IconShape{be32(16), be32(20), 32};
  }
  return IconShape{r.i32le(4).value_or(0), r.i32le(8).value_or(0) / 2, r.u16le(14).value_or(0)};
}

}  // namespace glyphwell::testsupport
