#include "imaging/bmp_codec.h"

#include <algorithm>
#include <bit>
#include <optional>

#include "imaging/bmp_rle.h"
#include "imaging/jpeg_codec.h"
#include "imaging/png_codec.h"
#include "platform/atomic_file.h"
#include "platform/byte_reader.h"

namespace glyphwell::imaging {

namespace {

using platform::ByteReader;
using platform::CheckedAdd;
using platform::CheckedMul;
using platform::PutU16le;
using platform::PutU32le;

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kCoreHeaderBytes = 12;
constexpr std::size_t kInfoHeaderBytes = 40;
// Headers longer than this are not BMP headers but garbage.
constexpr std::uint32_t kMaxHeaderBytes = 4096;
constexpr int kMaxSide = 1 << 15;
// Run-length data can describe a large image in few bytes; no real RLE bitmap comes
// near this many pixels.
constexpr std::size_t kMaxRlePixels = std::size_t{1} << 24;

enum Compression : std::uint32_t {
  kRgb = 0,
  kRle8 = 1,
  kRle4 = 2,
  kBitFields = 3,
  kJpeg = 4,
  kPng = 5,
  kAlphaBitFields = 6,
};

struct DibLayout {
  int width = 0;
  int height = 0;
  bool topDown = false;
  int bitCount = 0;
  std::uint32_t compression = kRgb;
  std::uint32_t imageBytes = 0;
  // Red, green, blue, alpha masks (bit-field images only).
  std::uint32_t masks[4] = {0, 0, 0, 0};
  ColourTable table;
  // Offset of the colour table and the byte after it, in the buffer read.
  std::size_t tableOffset = 0;
  std::size_t tableEnd = 0;
  std::size_t tableEntryBytes = 4;
  std::size_t tableEntries = 0;
};

// Reads the header, masks and colour table of a DIB starting at `at`. `pixelOffset`,
// when known (from a file header), bounds the colour table.
std::optional<DibLayout> ReadLayout(const ByteReader& r, std::size_t at,
                                    std::optional<std::size_t> pixelOffset) {
  const auto headerBytes = r.u32le(at);
  if (!headerBytes || !r.Fits(at, *headerBytes)) return std::nullopt;
  DibLayout d;
  std::size_t afterHeader = at + *headerBytes;
  std::uint32_t coloursUsed = 0;
  if (*headerBytes == kCoreHeaderBytes) {
    d.width = *r.u16le(at + 4);
    d.height = *r.u16le(at + 6);
    d.bitCount = *r.u16le(at + 10);
    d.tableEntryBytes = 3;
  } else if (*headerBytes >= kInfoHeaderBytes && *headerBytes <= kMaxHeaderBytes) {
    const std::int32_t width = *r.i32le(at + 4);
    const std::int32_t height = *r.i32le(at + 8);
    if (width <= 0 || height == 0 || height < -kMaxSide) return std::nullopt;
    d.width = width;
    d.topDown = height < 0;
    d.height = height < 0 ? -height : height;
    d.bitCount = *r.u16le(at + 14);
    d.compression = *r.u32le(at + 16);
    d.imageBytes = *r.u32le(at + 20);
    coloursUsed = *r.u32le(at + 32);
    if (d.compression == kBitFields || d.compression == kAlphaBitFields) {
      const int count = d.compression == kAlphaBitFields ? 4 : 3;
      // Version 3 headers (40 bytes) are followed by the masks; later versions hold
      // them (and the alpha mask) inside the header.
      const bool inHeader = *headerBytes >= 52;
      const std::size_t maskAt = inHeader ? at + kInfoHeaderBytes : afterHeader;
      const int present = inHeader ? (*headerBytes >= 56 ? 4 : 3) : count;
      for (int i = 0; i < present; ++i) {
        const auto mask = r.u32le(maskAt + 4 * static_cast<std::size_t>(i));
        if (!mask) return std::nullopt;
        d.masks[i] = *mask;
      }
      if (!inHeader) afterHeader += 4 * static_cast<std::size_t>(count);
    }
  } else {
    return std::nullopt;
  }
  if (d.width <= 0 || d.height <= 0 || d.width > kMaxSide || d.height > kMaxSide)
    return std::nullopt;

  // Colour table: 2^bits entries (fewer when the header says so) for indexed images;
  // other images may carry an optional table, which is skipped.
  std::size_t entries = 0;
  if (d.bitCount >= 1 && d.bitCount <= 8) {
    const std::size_t full = std::size_t{1} << d.bitCount;
    entries = coloursUsed == 0 ? full : std::min<std::size_t>(coloursUsed, full);
  } else if (d.bitCount > 8) {
    entries = std::min<std::uint32_t>(coloursUsed, 256);
  }
  d.tableOffset = afterHeader;
  if (pixelOffset && *pixelOffset >= afterHeader)
    entries = std::min(entries, (*pixelOffset - afterHeader) / d.tableEntryBytes);
  d.tableEntries = entries;
  d.tableEnd = afterHeader + entries * d.tableEntryBytes;
  if (!r.Fits(afterHeader, entries * d.tableEntryBytes)) return std::nullopt;
  if (d.bitCount >= 1 && d.bitCount <= 8) {
    for (std::size_t i = 0; i < entries; ++i) {
      const std::size_t e = afterHeader + i * d.tableEntryBytes;
      d.table.push_back(Rgbq{*r.u8(e), *r.u8(e + 1), *r.u8(e + 2), 0});
    }
  }
  return d;
}

// The bytes of `count` padded rows of `width` pixels at `bits`, the last row needing
// only its pixel bytes (some writers leave out the final padding).
std::optional<std::size_t> PixelBytesNeeded(int width, int height, int bits) {
  const auto rowBits = CheckedMul(static_cast<std::size_t>(width), static_cast<std::size_t>(bits));
  if (!rowBits) return std::nullopt;
  const std::size_t stride = ((*rowBits + 31) / 32) * 4;
  const auto body = CheckedMul(stride, static_cast<std::size_t>(height - 1));
  if (!body) return std::nullopt;
  return CheckedAdd(*body, (*rowBits + 7) / 8);
}

// The source row of output row y (DIB rows are stored bottom row first unless top-down).
std::size_t SourceRow(const DibLayout& d, int y) {
  return static_cast<std::size_t>(d.topDown ? y : d.height - 1 - y);
}

bool IsMasks(const DibLayout& d, std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
  return d.masks[0] == red && d.masks[1] == green && d.masks[2] == blue;
}

// One channel of a bit-field pixel scaled exactly to 0..255 (rounded).
std::uint32_t MaskedChannel(std::uint32_t value, std::uint32_t mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const std::uint64_t max = mask >> shift;
  const std::uint64_t field = (value & mask) >> shift;
  return static_cast<std::uint32_t>((field * 255 + max / 2) / max);
}

// Copies rows that need no conversion (indexed, 5-5-5, 5-6-5, 24 and 32 bits).
Bitmap CopyRows(const DibLayout& d, std::span<const std::uint8_t> pixels, int bits) {
  Bitmap out(d.width, d.height, bits);
  if (out.empty()) return out;
  if (out.indexed()) out.setColourTable(d.table);
  const std::size_t stride = RowBytes(d.width, d.bitCount);
  for (int y = 0; y < d.height; ++y) {
    const std::size_t from = SourceRow(d, y) * stride;
    const std::size_t length = std::min(stride, pixels.size() - from);
    std::copy_n(pixels.begin() + static_cast<std::ptrdiff_t>(from), length, out.row(y));
  }
  return out;
}

// 2-bit images (no Bitmap format of their own) become 4-bit with the same table.
Bitmap ExpandTwoBit(const DibLayout& d, std::span<const std::uint8_t> pixels) {
  Bitmap out(d.width, d.height, 4);
  if (out.empty()) return out;
  out.setColourTable(d.table);
  const std::size_t stride = ((static_cast<std::size_t>(d.width) * 2 + 31) / 32) * 4;
  for (int y = 0; y < d.height; ++y) {
    const std::uint8_t* src = pixels.data() + SourceRow(d, y) * stride;
    for (int x = 0; x < d.width; ++x)
      out.setRawPixel(x, y, (src[x / 4] >> (6 - 2 * (x % 4))) & 3);
  }
  return out;
}

// Bit-field pixels with masks other than 5-5-5 and 5-6-5, converted to 24 bits (32
// when there is an alpha mask or the pixels are 32 bits wide).
Bitmap ConvertBitFields(const DibLayout& d, std::span<const std::uint8_t> pixels) {
  const bool wide = d.bitCount == 32;
  Bitmap out(d.width, d.height, wide || d.masks[3] != 0 ? 32 : 24);
  if (out.empty()) return out;
  const std::size_t stride = RowBytes(d.width, d.bitCount);
  for (int y = 0; y < d.height; ++y) {
    const std::uint8_t* src = pixels.data() + SourceRow(d, y) * stride;
    for (int x = 0; x < d.width; ++x) {
      const std::uint8_t* p = src + static_cast<std::size_t>(x) * (wide ? 4 : 2);
      std::uint32_t v = p[0] | (p[1] << 8);
      if (wide)
        v |= (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
      const ColourValue c = MakeColour(static_cast<int>(MaskedChannel(v, d.masks[0])),
                                       static_cast<int>(MaskedChannel(v, d.masks[1])),
                                       static_cast<int>(MaskedChannel(v, d.masks[2])));
      out.setRawPixel(x, y, c | (MaskedChannel(v, d.masks[3]) << 24));
    }
  }
  return out;
}

bool DecodePixels(const DibLayout& d, std::span<const std::uint8_t> pixels, Bitmap& out) {
  if (d.compression == kPng) return ReadPngMemory(pixels, out);
  if (d.compression == kJpeg) return DecodeJpeg(pixels, out);
  if (d.compression == kRle8 || d.compression == kRle4) {
    if (d.bitCount != (d.compression == kRle8 ? 8 : 4)) return false;
    if (static_cast<std::size_t>(d.width) * static_cast<std::size_t>(d.height) > kMaxRlePixels)
      return false;
    Bitmap image(d.width, d.height, d.bitCount);
    if (image.empty()) return false;
    image.setColourTable(d.table);
    DecodeBmpRle(pixels, d.topDown, image);
    out = std::move(image);
    return true;
  }
  const bool bitFields = d.compression == kBitFields || d.compression == kAlphaBitFields;
  if (d.compression != kRgb && !bitFields) return false;
  switch (d.bitCount) {
    case 1:
    case 2:
    case 4:
    case 8:
    case 24:
      if (bitFields) return false;
      break;
    case 16:
    case 32:
      break;
    default:
      return false;
  }
  const auto needed = PixelBytesNeeded(d.width, d.height, d.bitCount);
  if (!needed || *needed > pixels.size()) return false;

  Bitmap image;
  if (d.bitCount == 2) {
    image = ExpandTwoBit(d, pixels);
  } else if (!bitFields) {
    image = CopyRows(d, pixels, d.bitCount == 16 ? 15 : d.bitCount);
  } else if (d.bitCount == 16 && IsMasks(d, 0xF800, 0x07E0, 0x001F) && d.masks[3] == 0) {
    image = CopyRows(d, pixels, 16);
  } else if (d.bitCount == 16 && IsMasks(d, 0x7C00, 0x03E0, 0x001F) && d.masks[3] == 0) {
    image = CopyRows(d, pixels, 15);
  } else if (d.bitCount == 32 && IsMasks(d, 0xFF0000, 0xFF00, 0xFF) &&
             (d.masks[3] == 0xFF000000 || d.masks[3] == 0)) {
    // The usual layout: the bytes are already blue, green, red, alpha; without an alpha
    // mask the fourth byte means nothing and becomes 0.
    image = CopyRows(d, pixels, 32);
    if (d.masks[3] == 0)
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
          image.row(y)[4 * x + 3] = 0;
  } else {
    image = ConvertBitFields(d, pixels);
  }
  if (image.empty()) return false;
  out = std::move(image);
  return true;
}

// The pixel bytes from `offset` to the end of the buffer (compressed data is bounded
// by its own codes, so the image size field is not trusted).
bool DecodeAt(const ByteReader& r, std::size_t headerAt, std::optional<std::size_t> pixelOffset,
              Bitmap& out) {
  const auto layout = ReadLayout(r, headerAt, pixelOffset);
  if (!layout) return false;
  std::size_t start = layout->tableEnd;
  if (pixelOffset && *pixelOffset >= layout->tableEnd && *pixelOffset < r.size())
    start = *pixelOffset;
  if (start > r.size()) return false;
  return DecodePixels(*layout, r.bytes().subspan(start), out);
}

}  // namespace

bool ReadBmp(std::span<const std::uint8_t> file, Bitmap& out) {
  const ByteReader r(file);
  if (file.size() < kFileHeaderBytes || file[0] != 'B' || file[1] != 'M') return false;
  return DecodeAt(r, kFileHeaderBytes, std::size_t{*r.u32le(10)}, out);
}

bool ReadDib(std::span<const std::uint8_t> dib, Bitmap& out) {
  return DecodeAt(ByteReader(dib), 0, std::nullopt, out);
}

std::vector<std::uint8_t> EncodeDib(const Bitmap& image) {
  if (image.empty()) return {};
  const int bits = image.bits();
  const bool bitFields = bits == 16;
  ColourTable table = image.colourTable();
  // A header count of 0 would mean a full table; an empty table is written as one black
  // entry, the colour the Bitmap gives indexes outside its table.
  if (image.indexed() && table.empty()) table.push_back(Rgbq{});
  if (!image.indexed()) table.clear();
  const std::size_t stride = image.stride();
  const auto pixelBytes = CheckedMul(stride, static_cast<std::size_t>(image.height()));
  const std::size_t headerBytes = kInfoHeaderBytes + (bitFields ? 12 : 0) + 4 * table.size();
  if (!pixelBytes || *pixelBytes > 0xFFFFFFFFu - headerBytes - kFileHeaderBytes) return {};

  std::vector<std::uint8_t> out(headerBytes + *pixelBytes, 0);
  std::uint8_t* h = out.data();
  PutU32le(h, kInfoHeaderBytes);
  PutU32le(h + 4, static_cast<std::uint32_t>(image.width()));
  PutU32le(h + 8, static_cast<std::uint32_t>(image.height()));
  PutU16le(h + 12, 1);
  PutU16le(h + 14, static_cast<std::uint16_t>(bits == 15 ? 16 : bits));
  PutU32le(h + 16, bitFields ? kBitFields : kRgb);
  PutU32le(h + 20, static_cast<std::uint32_t>(*pixelBytes));
  PutU32le(h + 32, static_cast<std::uint32_t>(table.size()));
  std::size_t at = kInfoHeaderBytes;
  if (bitFields) {
    PutU32le(h + at, 0xF800);
    PutU32le(h + at + 4, 0x07E0);
    PutU32le(h + at + 8, 0x001F);
    at += 12;
  }
  for (const Rgbq& e : table) {
    h[at] = e.blue;
    h[at + 1] = e.green;
    h[at + 2] = e.red;
    at += 4;
  }
  for (int y = image.height() - 1; y >= 0; --y, at += stride)
    std::copy_n(image.row(y), stride, h + at);
  return out;
}

std::vector<std::uint8_t> EncodeBmp(const Bitmap& image) {
  std::vector<std::uint8_t> dib = EncodeDib(image);
  if (dib.empty()) return {};
  std::vector<std::uint8_t> out(kFileHeaderBytes + dib.size(), 0);
  out[0] = 'B';
  out[1] = 'M';
  PutU32le(out.data() + 2, static_cast<std::uint32_t>(out.size()));
  const std::size_t pixelBytes = image.stride() * static_cast<std::size_t>(image.height());
  PutU32le(out.data() + 10, static_cast<std::uint32_t>(out.size() - pixelBytes));
  std::copy(dib.begin(), dib.end(), out.begin() + kFileHeaderBytes);
  return out;
}

bool WriteBmp(const Bitmap& image, const std::string& path) {
  if (path.empty()) return false;
  const std::vector<std::uint8_t> bytes = EncodeBmp(image);
  if (bytes.empty()) return false;
  return platform::WriteFileAtomically(path, bytes);
}

}  // namespace glyphwell::imaging
