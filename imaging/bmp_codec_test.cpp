#include "imaging/bmp_codec.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "imaging/jpeg_codec.h"
#include "imaging/png_codec.h"
#include "platform/byte_reader.h"
#include "tests/support/image_tool_checks.h"

namespace glyphwell::imaging {
namespace {

using platform::PutU16le;
using platform::PutU32le;

// A hand-made DIB: header of any version, optional masks after a 40-byte header,
// colour table and raw pixel bytes.
struct DibSpec {
  std::uint32_t headerBytes = 40;
  int width = 1, height = 1, bits = 24;
  std::uint32_t compression = 0;
  std::uint32_t coloursUsed = 0;
  std::vector<std::uint32_t> masks;  // in the header (52+) or after a 40-byte header
  std::vector<Rgbq> table;
  std::vector<std::uint8_t> pixels;
};

std::vector<std::uint8_t> MakeDib(const DibSpec& s) {
  std::vector<std::uint8_t> out(s.headerBytes, 0);
  PutU32le(out.data(), s.headerBytes);
  if (s.headerBytes == 12) {
    PutU16le(out.data() + 4, static_cast<std::uint16_t>(s.width));
    PutU16le(out.data() + 6, static_cast<std::uint16_t>(s.height));
    PutU16le(out.data() + 8, 1);
    PutU16le(out.data() + 10, static_cast<std::uint16_t>(s.bits));
  } else {
    PutU32le(out.data() + 4, static_cast<std::uint32_t>(s.width));
    PutU32le(out.data() + 8, static_cast<std::uint32_t>(s.height));
    PutU16le(out.data() + 12, 1);
    PutU16le(out.data() + 14, static_cast<std::uint16_t>(s.bits));
    PutU32le(out.data() + 16, s.compression);
    PutU32le(out.data() + 20, static_cast<std::uint32_t>(s.pixels.size()));
    PutU32le(out.data() + 32, s.coloursUsed);
  }
  for (std::size_t i = 0; i < s.masks.size(); ++i) {
    if (s.headerBytes >= 52) {
      PutU32le(out.data() + 40 + 4 * i, s.masks[i]);
    } else {
      out.resize(out.size() + 4);
      PutU32le(out.data() + out.size() - 4, s.masks[i]);
    }
  }
  for (const Rgbq& e : s.table) {
    out.push_back(e.blue);
    out.push_back(e.green);
    out.push_back(e.red);
    if (s.headerBytes != 12) out.push_back(0);
  }
  out.insert(out.end(), s.pixels.begin(), s.pixels.end());
  return out;
}

std::vector<std::uint8_t> WithFileHeader(const std::vector<std::uint8_t>& dib,
                                         std::uint32_t pixelOffset) {
  std::vector<std::uint8_t> out(14, 0);
  out[0] = 'B';
  out[1] = 'M';
  PutU32le(out.data() + 2, static_cast<std::uint32_t>(14 + dib.size()));
  PutU32le(out.data() + 10, pixelOffset);
  out.insert(out.end(), dib.begin(), dib.end());
  return out;
}

// Varied pixels of every format; 8-bit images get a table of their own.
Bitmap Pattern(int bits, int width = 11, int height = 4) {
  Bitmap image(width, height, bits);
  if (bits == 8) {
    ColourTable table;
    for (int i = 0; i < 200; ++i)
      table.push_back(Rgbq{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(3 * i),
                           static_cast<std::uint8_t>(255 - i), 0});
    image.setColourTable(table);
  }
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const std::uint32_t v = static_cast<std::uint32_t>(x * 41 + y * 97 + x * y * 7) * 2654435761u;
      const std::uint32_t mask = bits == 1    ? 1
                                 : bits == 4  ? 15
                                 : bits == 8  ? 255
                                 : bits <= 16 ? 0xFFFF
                                 : bits == 24 ? 0xFFFFFF
                                              : 0xFFFFFFFF;
      std::uint32_t value = (v >> 7) & mask;
      if (bits == 8) value %= 200;
      image.setRawPixel(x, y, value);
    }
  return image;
}

TEST(BmpCodec, EveryPixelFormatRoundTripsExactly) {
  for (int bits : {1, 4, 8, 15, 16, 24, 32}) {
    for (int width : {1, 5, 11, 32}) {
      const Bitmap image = Pattern(bits, width, 3);
      Bitmap fromFile, fromDib;
      ASSERT_TRUE(ReadBmp(EncodeBmp(image), fromFile)) << bits;
      ASSERT_TRUE(ReadDib(EncodeDib(image), fromDib)) << bits;
      EXPECT_EQ(fromFile, image) << bits << " " << width;
      EXPECT_EQ(fromDib, image) << bits << " " << width;
    }
  }
}

TEST(BmpCodec, WrittenHeaderDescribesTheFormat) {
  struct Case {
    int bits, storedBits;
    std::uint32_t compression, coloursUsed, pixelOffset;
  };
  const Case cases[] = {
      {1, 1, 0, 2, 14 + 40 + 8}, {4, 4, 0, 16, 14 + 40 + 64},  {8, 8, 0, 200, 14 + 40 + 800},
      {15, 16, 0, 0, 54},        {16, 16, 3, 0, 14 + 40 + 12}, {24, 24, 0, 0, 54},
      {32, 32, 0, 0, 54},
  };
  for (const Case& c : cases) {
    const Bitmap image = Pattern(c.bits);
    const std::vector<std::uint8_t> bmp = EncodeBmp(image);
    const platform::ByteReader r(bmp);
    EXPECT_EQ(*r.u32le(2), bmp.size());
    EXPECT_EQ(*r.u32le(10), c.pixelOffset) << c.bits;
    EXPECT_EQ(*r.u32le(14), 40u);
    EXPECT_EQ(*r.i32le(22), image.height()) << "rows bottom first";
    EXPECT_EQ(*r.u16le(28), c.storedBits);
    EXPECT_EQ(*r.u32le(30), c.compression);
    EXPECT_EQ(*r.u32le(34), image.stride() * image.height());
    EXPECT_EQ(*r.u32le(46), c.coloursUsed);
    // The bottom row comes first.
    EXPECT_TRUE(std::equal(image.row(image.height() - 1),
                           image.row(image.height() - 1) + image.stride(),
                           bmp.begin() + c.pixelOffset))
        << c.bits;
  }
  const std::vector<std::uint8_t> bmp = EncodeBmp(Pattern(16));
  EXPECT_EQ(platform::ByteReader(bmp).u32le(54), 0xF800u);
  EXPECT_EQ(platform::ByteReader(bmp).u32le(62), 0x001Fu);
}

// A 3x2 8-bit image: rows (bottom first) 0 1 2 / 2 1 0, two table entries plus one.
DibSpec Indexed3x2(std::uint32_t headerBytes) {
  DibSpec s;
  s.headerBytes = headerBytes;
  s.width = 3;
  s.height = 2;
  s.bits = 8;
  s.coloursUsed = headerBytes == 12 ? 0 : 3;
  s.table = {Rgbq{10, 20, 30, 0}, Rgbq{40, 50, 60, 0}, Rgbq{70, 80, 90, 0}};
  if (headerBytes == 12) s.table.resize(256);
  s.pixels = {0, 1, 2, 0, 2, 1, 0, 0};
  return s;
}

TEST(BmpCodec, EveryHeaderVersionReadsTheSameImage) {
  for (std::uint32_t header : {12u, 40u, 52u, 56u, 64u, 108u, 124u}) {
    const std::vector<std::uint8_t> dib = MakeDib(Indexed3x2(header));
    Bitmap out;
    ASSERT_TRUE(ReadDib(dib, out)) << header;
    EXPECT_EQ(out.bits(), 8);
    EXPECT_EQ(out.pixelColour(0, 0), MakeColour(90, 80, 70)) << header;  // top row = last
    EXPECT_EQ(out.pixelColour(2, 0), MakeColour(30, 20, 10)) << header;
    EXPECT_EQ(out.pixelColour(1, 1), MakeColour(60, 50, 40)) << header;
    Bitmap fromFile;
    ASSERT_TRUE(ReadBmp(WithFileHeader(dib, 0), fromFile)) << "a bad offset is ignored";
    EXPECT_EQ(fromFile, out);
  }
}

TEST(BmpCodec, TopDownRowsAndFileOffsets) {
  DibSpec s = Indexed3x2(40);
  s.height = -2;
  Bitmap out;
  ASSERT_TRUE(ReadDib(MakeDib(s), out));
  EXPECT_EQ(out.height(), 2);
  EXPECT_EQ(out.rawPixel(2, 0), 2u);
  EXPECT_EQ(out.rawPixel(0, 1), 2u);

  // The file header's offset is honoured when there is a gap before the pixels.
  s = Indexed3x2(40);
  std::vector<std::uint8_t> dib = MakeDib(s);
  dib.insert(dib.end() - 8, 5, 0xEE);
  ASSERT_TRUE(ReadBmp(WithFileHeader(dib, 14 + 40 + 12 + 5), out));
  EXPECT_EQ(out.rawPixel(0, 1), 0u);
  EXPECT_EQ(out.rawPixel(0, 0), 2u);
  EXPECT_EQ(out.rawPixel(1, 0), 1u);
  // A table shorter than 2^bits with a count of 0: the offset bounds the table.
  s.coloursUsed = 0;
  ASSERT_TRUE(ReadBmp(WithFileHeader(MakeDib(s), 14 + 40 + 12), out));
  EXPECT_EQ(out.colourTable().size(), 3u);
  EXPECT_EQ(out.rawPixel(1, 0), 1u);
}

TEST(BmpCodec, TwoBitImagesBecomeFourBit) {
  DibSpec s;
  s.width = 5;
  s.bits = 2;
  s.table = {Rgbq{0, 0, 0, 0}, Rgbq{1, 1, 1, 0}, Rgbq{2, 2, 2, 0}, Rgbq{3, 3, 3, 0}};
  s.pixels = {0b00011011, 0b10000000, 0, 0};
  Bitmap out;
  ASSERT_TRUE(ReadDib(MakeDib(s), out));
  EXPECT_EQ(out.bits(), 4);
  for (int x = 0; x < 5; ++x)
    EXPECT_EQ(out.rawPixel(x, 0), std::vector<std::uint32_t>({0, 1, 2, 3, 2})[x]);
}

struct BitFieldCase {
  const char* name;
  std::uint32_t headerBytes, compression;
  int bits;
  std::vector<std::uint32_t> masks;
  std::vector<std::uint8_t> pixel;  // one pixel, padded
  int outBits;
  ColourValue colour;
  int alpha;
};

TEST(BmpCodec, BitFieldsKeepOrConvertExactly) {
  const BitFieldCase cases[] = {
      {"565", 40, 3, 16, {0xF800, 0x07E0, 0x001F}, {0xFF, 0xFF, 0, 0}, 16, kWhite, 255},
      {"555",
       40,
       3,
       16,
       {0x7C00, 0x03E0, 0x001F},
       {0x1F, 0x7C, 0, 0},
       15,
       MakeColour(255, 0, 255),
       255},
      {"16 rgb is 555", 40, 0, 16, {}, {0xE0, 0x03, 0, 0}, 15, MakeColour(0, 255, 0), 255},
      {"444 in v4 header",
       108,
       3,
       16,
       {0x0F00, 0x00F0, 0x000F, 0},
       {0x8F, 0x05, 0, 0},
       24,
       MakeColour(85, 136, 255),
       255},
      {"4444 alpha",
       124,
       3,
       16,
       {0x0F00, 0x00F0, 0x000F, 0xF000},
       {0x00, 0x3F, 0, 0},
       32,
       MakeColour(255, 0, 0),
       51},
      {"32 bgra v5",
       124,
       3,
       32,
       {0xFF0000, 0xFF00, 0xFF, 0xFF000000},
       {1, 2, 3, 4},
       32,
       MakeColour(3, 2, 1),
       4},
      {"32 bgr no alpha mask",
       40,
       3,
       32,
       {0xFF0000, 0xFF00, 0xFF},
       {1, 2, 3, 4},
       32,
       MakeColour(3, 2, 1),
       0},
      {"32 rgba order",
       56,
       3,
       32,
       {0xFF, 0xFF00, 0xFF0000, 0xFF000000},
       {1, 2, 3, 4},
       32,
       MakeColour(1, 2, 3),
       4},
      {"32 ten-bit",
       52,
       3,
       32,
       {0x3FF00000, 0x000FFC00, 0x000003FF},
       {0xFF, 0x03, 0xF0, 0x3F},
       32,
       MakeColour(255, 0, 255),
       0},
      {"alpha bit fields",
       40,
       6,
       16,
       {0x0F00, 0x00F0, 0x000F, 0xF000},
       {0xF0, 0xF0, 0, 0},
       32,
       MakeColour(0, 255, 0),
       255},
  };
  for (const BitFieldCase& c : cases) {
    DibSpec s;
    s.headerBytes = c.headerBytes;
    s.compression = c.compression;
    s.bits = c.bits;
    s.masks = c.masks;
    s.pixels = c.pixel;
    Bitmap out;
    ASSERT_TRUE(ReadDib(MakeDib(s), out)) << c.name;
    EXPECT_EQ(out.bits(), c.outBits) << c.name;
    EXPECT_EQ(out.pixelColour(0, 0), c.colour) << c.name;
    EXPECT_EQ(out.pixelAlpha(0, 0), c.alpha) << c.name;
  }
}

// RLE data and the rows (top first) it decodes to, as table indexes.
struct RleCase {
  const char* name;
  int bits, width, height;
  std::vector<std::uint8_t> data;
  std::vector<std::vector<int>> rows;
};

TEST(BmpCodec, RunLengthDecoding) {
  const RleCase cases[] = {
      {"rle8 runs and eol", 8, 4, 2, {2, 5, 2, 6, 0, 0, 4, 7, 0, 1}, {{7, 7, 7, 7}, {5, 5, 6, 6}}},
      {"rle8 absolute padded", 8, 4, 1, {0, 3, 1, 2, 3, 0, 1, 9, 0, 1}, {{1, 2, 3, 9}}},
      {"rle8 delta leaves zeros",
       8,
       4,
       2,
       {1, 5, 0, 2, 2, 1, 1, 6, 0, 1},
       {{0, 0, 0, 6}, {5, 0, 0, 0}}},
      {"rle8 clips long runs", 8, 3, 1, {9, 4, 0, 1}, {{4, 4, 4}}},
      {"rle8 data ends early", 8, 3, 2, {3, 4}, {{0, 0, 0}, {4, 4, 4}}},
      {"rle8 absolute cut short", 8, 3, 1, {0, 5, 1, 2}, {{0, 0, 0}}},
      {"rle4 runs", 4, 5, 1, {5, 0x12, 0, 1}, {{1, 2, 1, 2, 1}}},
      {"rle4 absolute", 4, 5, 1, {0, 3, 0xAB, 0xC0, 2, 0xFF, 0, 1}, {{10, 11, 12, 15, 15}}},
      {"rle4 odd absolute padding",
       4,
       6,
       1,
       {0, 5, 0x12, 0x34, 0x50, 0, 1, 0x77, 0, 1},
       {{1, 2, 3, 4, 5, 7}}},
  };
  for (const RleCase& c : cases) {
    DibSpec s;
    s.width = c.width;
    s.height = c.height;
    s.bits = c.bits;
    s.compression = c.bits == 8 ? 1 : 2;
    s.table.assign(std::size_t{1} << c.bits, Rgbq{});
    s.pixels = c.data;
    Bitmap out;
    ASSERT_TRUE(ReadDib(MakeDib(s), out)) << c.name;
    ASSERT_EQ(out.bits(), c.bits);
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < c.width; ++x)
        EXPECT_EQ(out.rawPixel(x, y), static_cast<std::uint32_t>(c.rows[y][x]))
            << c.name << " at " << x << "," << y;
  }
}

TEST(BmpCodec, EmbeddedPngAndJpegAreDecoded) {
  const Bitmap image = Pattern(32, 6, 3);
  DibSpec s;
  s.width = 6;
  s.height = 3;
  s.bits = 0;
  s.compression = 5;
  s.pixels = EncodePng(image);
  Bitmap out;
  ASSERT_TRUE(ReadDib(MakeDib(s), out));
  EXPECT_EQ(out, image);
  s.compression = 4;
  s.pixels = EncodeJpeg(Bitmap(6, 3, 24));
  ASSERT_TRUE(ReadDib(MakeDib(s), out));
  EXPECT_EQ(out.bits(), 24);
  EXPECT_EQ(out.width(), 6);
}

TEST(BmpCodec, MalformedInputIsRejectedWithoutTouchingTheOutput) {
  auto mutate = [](auto change) {
    DibSpec s = Indexed3x2(40);
    change(s);
    return MakeDib(s);
  };
  std::vector<std::uint8_t> truncated = MakeDib(Indexed3x2(40));
  truncated.resize(truncated.size() - 5);
  std::vector<std::uint8_t> badHeaderSize = MakeDib(Indexed3x2(40));
  PutU32le(badHeaderSize.data(), 30);
  std::vector<std::uint8_t> hugeHeader = MakeDib(Indexed3x2(40));
  PutU32le(hugeHeader.data(), 0xFFFFFFF0u);
  const std::vector<std::pair<const char*, std::vector<std::uint8_t>>> inputs = {
      {"empty", {}},
      {"truncated pixels", truncated},
      {"header size 30", badHeaderSize},
      {"header beyond the data", hugeHeader},
      {"zero height", mutate([](DibSpec& s) { s.height = 0; })},
      {"lowest height", mutate([](DibSpec& s) { s.height = INT32_MIN; })},
      {"negative width", mutate([](DibSpec& s) { s.width = -3; })},
      {"huge width", mutate([](DibSpec& s) { s.width = 1 << 30; })},
      {"huge rle", mutate([](DibSpec& s) {
         s.width = 30000;
         s.height = 30000;
         s.compression = 1;
       })},
      {"rle4 with 8 bits", mutate([](DibSpec& s) { s.compression = 2; })},
      {"bit fields with 8 bits", mutate([](DibSpec& s) { s.compression = 3; })},
      {"jpeg data", mutate([](DibSpec& s) { s.compression = 4; })},
      {"unknown compression", mutate([](DibSpec& s) { s.compression = 77; })},
      {"bit count 7", mutate([](DibSpec& s) { s.bits = 7; })},
      {"table beyond the data", mutate([](DibSpec& s) {
         s.coloursUsed = 256;
         s.pixels.clear();
       })},
      {"masks beyond the data", mutate([](DibSpec& s) {
         s.bits = 16;
         s.compression = 3;
         s.table.clear();
         s.pixels.clear();
       })},
  };
  for (const auto& [name, dib] : inputs) {
    Bitmap out(2, 2, 24);
    const Bitmap before = out;
    EXPECT_FALSE(ReadDib(dib, out)) << name;
    EXPECT_FALSE(ReadBmp(WithFileHeader(dib, 0), out)) << name;
    EXPECT_EQ(out, before) << name;
  }
  Bitmap out;
  EXPECT_FALSE(ReadBmp(MakeDib(Indexed3x2(40)), out)) << "no file header";
}

TEST(BmpCodec, EmptyImagesAreNotWritten) {
  EXPECT_TRUE(EncodeBmp(Bitmap()).empty());
  EXPECT_FALSE(WriteBmp(Bitmap(), "/tmp/glyphwell-never.bmp"));
}

TEST(BmpCodec, WrittenFilesReadInPillowToTheSameColours) {
  const std::string python = "/usr/bin/python3";
  if (testsupport::RunShell(python + " -c 'import PIL' >/dev/null 2>&1").first != 0)
    GTEST_SKIP() << "Python Pillow is not installed";
  const auto dir =
      std::filesystem::temp_directory_path() / ("glyphwell_bmp_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  for (int bits : {1, 4, 8, 16, 24}) {
    const Bitmap image = Pattern(bits);
    const std::string path = (dir / ("p" + std::to_string(bits) + ".bmp")).string();
    ASSERT_TRUE(WriteBmp(image, path));
    const auto [status, output] = testsupport::RunShell(
        python +
        " -c \"import sys; from PIL import Image; im=Image.open(sys.argv[1])."
        "convert('RGB'); print('\\n'.join('%d %d %d' % p for p in im.getdata()))\" '" +
        path + "'");
    ASSERT_EQ(status, 0) << output;
    // Pillow widens 5- and 6-bit channels with its own rounding: one step apart at most.
    const int tolerance = bits == 16 ? 1 : 0;
    std::istringstream values(output);
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const ColourValue c = image.pixelColour(x, y);
        int red = -1, green = -1, blue = -1;
        values >> red >> green >> blue;
        EXPECT_NEAR(red, RedOf(c), tolerance) << bits << " at " << x << "," << y;
        EXPECT_NEAR(green, GreenOf(c), tolerance) << bits << " at " << x << "," << y;
        EXPECT_NEAR(blue, BlueOf(c), tolerance) << bits << " at " << x << "," << y;
      }
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace glyphwell::imaging
