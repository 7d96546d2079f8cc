#include "imaging/png_codec.h"

#include <gtest/gtest.h>
#include <png.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/atomic_file.h"
#include "tests/support/image_tool_checks.h"

namespace glyphwell::imaging {
namespace {

// What a hand-made test PNG holds. Samples are given per pixel, already in PNG order
// (gray, gray+alpha, RGB, RGBA or index), one value per channel; 16-bit depths take
// values up to 65535.
struct PngSpec {
  int width = 1, height = 1, depth = 8, colourType = PNG_COLOR_TYPE_RGB;
  std::vector<std::vector<int>> pixels;  // pixels[y * width + x] = channels
  std::vector<png_color> palette;
  std::vector<png_byte> trnsAlpha;         // palette tRNS
  std::optional<png_color_16> trnsColour;  // gray/RGB tRNS
  std::optional<double> gamma;
  int compressionLevel = 6;
};

void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

std::vector<std::uint8_t> MakePng(const PngSpec& desc) {
  std::vector<std::uint8_t> bytes;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    ADD_FAILURE() << "could not build the test PNG";
    return {};
  }
  png_set_write_fn(png, &bytes, AppendBytes, nullptr);
  png_set_compression_level(png, desc.compressionLevel);
  png_set_IHDR(png, info, desc.width, desc.height, desc.depth, desc.colourType, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!desc.palette.empty())
    png_set_PLTE(png, info, desc.palette.data(), static_cast<int>(desc.palette.size()));
  if (!desc.trnsAlpha.empty())
    png_set_tRNS(png, info, desc.trnsAlpha.data(), static_cast<int>(desc.trnsAlpha.size()),
                 nullptr);
  if (desc.trnsColour) {
    png_color_16 c = *desc.trnsColour;
    png_set_tRNS(png, info, nullptr, 0, &c);
  }
  if (desc.gamma) png_set_gAMA(png, info, *desc.gamma);
  png_write_info(png, info);
  const int channels = png_get_channels(png, info);
  const std::size_t rowBytes = png_get_rowbytes(png, info);
  for (int y = 0; y < desc.height; ++y) {
    std::vector<png_byte> row(rowBytes, 0);
    for (int x = 0; x < desc.width; ++x) {
      const auto& px = desc.pixels[static_cast<std::size_t>(y * desc.width + x)];
      for (int c = 0; c < channels; ++c) {
        const int v = px[static_cast<std::size_t>(c)];
        const int sample = x * channels + c;
        if (desc.depth == 16) {
          row[sample * 2] = static_cast<png_byte>(v >> 8);
          row[sample * 2 + 1] = static_cast<png_byte>(v);
        } else if (desc.depth == 8) {
          row[sample] = static_cast<png_byte>(v);
        } else {
          const int perByte = 8 / desc.depth;
          const int shift = 8 - desc.depth * (sample % perByte + 1);
          row[sample / perByte] |= static_cast<png_byte>(v << shift);
        }
      }
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return bytes;
}

// A 4x2 16-colour palette image using indices 0..7 and 15.
PngSpec Palette16Spec() {
  PngSpec desc;
  desc.width = 4;
  desc.height = 2;
  desc.depth = 4;
  desc.colourType = PNG_COLOR_TYPE_PALETTE;
  for (int i = 0; i < 16; ++i)
    desc.palette.push_back(png_color{static_cast<png_byte>(i * 16), static_cast<png_byte>(i),
                                     static_cast<png_byte>(255 - i)});
  for (int v : {0, 1, 2, 3, 4, 5, 6, 15})
    desc.pixels.push_back({v});
  return desc;
}

ColourValue PaletteColour(const PngSpec& desc, int index) {
  const png_color& c = desc.palette[static_cast<std::size_t>(index)];
  return MakeColour(c.red, c.green, c.blue);
}

TEST(PngRead, IndexedDepth4WithoutTrnsStaysIndexedWithItsPalette) {
  const PngSpec desc = Palette16Spec();
  Bitmap out;
  ASSERT_TRUE(ReadPngMemory(MakePng(desc), out));
  EXPECT_EQ(out.bits(), 4);
  ASSERT_EQ(out.colourTable().size(), 16u);
  EXPECT_EQ(out.colourTable()[3], (Rgbq{255 - 3, 3, 48, 0}));
  EXPECT_EQ(out.rawPixel(0, 0), 0u);
  EXPECT_EQ(out.rawPixel(3, 0), 3u);
  EXPECT_EQ(out.rawPixel(3, 1), 15u);
}

TEST(PngRead, IndexedDepth8KeepsAShortPalette) {
  PngSpec desc;
  desc.width = 3;
  desc.colourType = PNG_COLOR_TYPE_PALETTE;
  desc.palette = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}};
  desc.pixels = {{2}, {0}, {1}};
  Bitmap out;
  ASSERT_TRUE(ReadPngMemory(MakePng(desc), out));
  EXPECT_EQ(out.bits(), 8);
  EXPECT_EQ(out.colourTable().size(), 3u);
  EXPECT_EQ(out.pixelColour(0, 0), MakeColour(70, 80, 90));
  EXPECT_EQ(out.rawPixel(1, 0), 0u);
}

TEST(PngRead, PaletteWithTrnsBecomes32BitWithAlpha) {
  PngSpec desc = Palette16Spec();
  desc.trnsAlpha = {0, 128};
  Bitmap out;
  ASSERT_TRUE(ReadPngMemory(MakePng(desc), out));
  EXPECT_EQ(out.bits(), 32);
  EXPECT_EQ(out.pixelAlpha(0, 0), 0);
  EXPECT_EQ(out.pixelAlpha(1, 0), 128);
  EXPECT_EQ(out.pixelAlpha(2, 0), 255);
  EXPECT_EQ(out.pixelColour(2, 0), PaletteColour(desc, 2));
  EXPECT_EQ(out.pixelColour(3, 1), PaletteColour(desc, 15));
}

TEST(PngRead, OneBitPaletteExpandsTo24Bit) {
  PngSpec desc;
  desc.width = 9;
  desc.depth = 1;
  desc.colourType = PNG_COLOR_TYPE_PALETTE;
  desc.palette = {{255, 0, 0}, {0, 0, 255}};
  for (int x = 0; x < 9; ++x)
    desc.pixels.push_back({x % 3 == 0 ? 1 : 0});
  Bitmap out;
  ASSERT_TRUE(ReadPngMemory(MakePng(desc), out));
  EXPECT_EQ(out.bits(), 24);
  for (int x = 0; x < 9; ++x)
    EXPECT_EQ(out.pixelColour(x, 0), x % 3 == 0 ? MakeColour(0, 0, 255) : MakeColour(255, 0, 0))
        << x;
}

TEST(PngRead, GrayAndGrayAlphaAndRgbTransparency) {
  struct Case {
    const char* name;
    int colourType, depth;
    std::vector<int> pixel;
    std::optional<png_color_16> trns;
    int bits;
    ColourValue colour;
    int alpha;
  };
  const Case cases[] = {
      {"gray8", PNG_COLOR_TYPE_GRAY, 8, {77}, {}, 24, MakeColour(77, 77, 77), 255},
      {"gray2", PNG_COLOR_TYPE_GRAY, 2, {1}, {}, 24, MakeColour(85, 85, 85), 255},
      {"gray8 trns",
       PNG_COLOR_TYPE_GRAY,
       8,
       {77},
       png_color_16{0, 0, 0, 0, 77},
       32,
       MakeColour(77, 77, 77),
       0},
      {"gray alpha",
       PNG_COLOR_TYPE_GRAY_ALPHA,
       8,
       {200, 60},
       {},
       32,
       MakeColour(200, 200, 200),
       60},
      {"rgb trns ignored",
       PNG_COLOR_TYPE_RGB,
       8,
       {1, 2, 3},
       png_color_16{0, 1, 2, 3, 0},
       24,
       MakeColour(1, 2, 3),
       255},
      {"rgba", PNG_COLOR_TYPE_RGB_ALPHA, 8, {1, 2, 3, 4}, {}, 32, MakeColour(1, 2, 3), 4},
      {"rgb16",
       PNG_COLOR_TYPE_RGB,
       16,
       {0x1234, 0xABCD, 0xFF00},
       {},
       24,
       MakeColour(0x12, 0xAB, 0xFF),
       255},
      {"gray alpha16",
       PNG_COLOR_TYPE_GRAY_ALPHA,
       16,
       {0x8000, 0x4000},
       {},
       32,
       MakeColour(0x80, 0x80, 0x80),
       0x40},
  };
  for (const Case& c : cases) {
    PngSpec desc;
    desc.colourType = c.colourType;
    desc.depth = c.depth;
    desc.pixels = {c.pixel};
    desc.trnsColour = c.trns;
    Bitmap out;
    ASSERT_TRUE(ReadPngMemory(MakePng(desc), out)) << c.name;
    EXPECT_EQ(out.bits(), c.bits) << c.name;
    EXPECT_EQ(out.pixelColour(0, 0), c.colour) << c.name;
    EXPECT_EQ(out.pixelAlpha(0, 0), c.alpha) << c.name;
  }
}

TEST(PngRead, GammaIsAppliedOnlyWhenTheFileAsksForIt) {
  std::vector<int> samples = {0, 1, 10, 64, 128, 200, 254, 255};
  PngSpec desc;
  desc.width = static_cast<int>(samples.size());
  desc.colourType = PNG_COLOR_TYPE_GRAY;
  for (int v : samples)
    desc.pixels.push_back({v});

  for (std::optional<double> gamma : {std::optional<double>{}, std::optional<double>{0.45455}}) {
    desc.gamma = gamma;
    Bitmap out;
    ASSERT_TRUE(ReadPngMemory(MakePng(desc), out));
    for (int x = 0; x < desc.width; ++x)
      EXPECT_EQ(out.pixelColour(x, 0) & 255, static_cast<ColourValue>(samples[x])) << x;
  }

  desc.gamma = 1.0;
  Bitmap out;
  ASSERT_TRUE(ReadPngMemory(MakePng(desc), out));
  for (int x = 0; x < desc.width; ++x) {
    const int expected = static_cast<int>(255.0 * std::pow(samples[x] / 255.0, 1.0 / 2.2) + 0.5);
    EXPECT_NEAR(static_cast<int>(out.pixelColour(x, 0) & 255), expected, 1) << samples[x];
    EXPECT_GE(static_cast<int>(out.pixelColour(x, 0) & 255), samples[x]);
  }
}

// 128x128 RGB, stored uncompressed so that a cut at half the file falls mid-image
// (libpng reads compressed data in pieces of a few kilobytes).
PngSpec StripedRgbSpec() {
  PngSpec desc;
  desc.width = 128;
  desc.height = 128;
  desc.compressionLevel = 0;
  for (int y = 0; y < 128; ++y)
    for (int x = 0; x < 128; ++x)
      desc.pixels.push_back({(y * 16 + x) & 255, y, 255 - x});
  return desc;
}

TEST(PngRead, TruncatedAfterRowsBeganKeepsTheRowsReadAndLeavesTheRestWhite) {
  const PngSpec desc = StripedRgbSpec();
  std::vector<std::uint8_t> bytes = MakePng(desc);
  bytes.resize(bytes.size() / 2);
  Bitmap out;
  ASSERT_TRUE(ReadPngMemory(bytes, out));
  ASSERT_EQ(out.bits(), 24);
  EXPECT_EQ(out.pixelColour(5, 0), MakeColour(5, 0, 250));
  EXPECT_EQ(out.pixelColour(5, 3), MakeColour(53, 3, 250));
  EXPECT_EQ(out.pixelColour(5, 127), kWhite);
}

TEST(PngRead, FailuresLeaveTheOutputUnchanged) {
  const std::vector<std::uint8_t> good = MakePng(StripedRgbSpec());
  std::vector<std::uint8_t> badSignature = good;
  badSignature[1] = 'Q';
  std::vector<std::uint8_t> headerOnly(good.begin(), good.begin() + 40);
  std::vector<std::uint8_t> badCrc = good;
  badCrc[29] ^= 1;  // IHDR's CRC
  const std::vector<std::vector<std::uint8_t>> inputs = {
      {}, {0x89, 'P', 'N', 'G'}, badSignature, headerOnly, badCrc};
  for (const auto& input : inputs) {
    Bitmap out(2, 2, 8);
    const Bitmap before = out;
    EXPECT_FALSE(ReadPngMemory(input, out)) << input.size();
    EXPECT_EQ(out, before);
  }
}

// The layout read from the header must agree with the full read, success or failure
// included, whatever the colour type, depth, transparency or damage.
TEST(PngRead, LayoutAgreesWithTheFullRead) {
  std::vector<std::pair<std::string, std::vector<std::uint8_t>>> inputs;
  inputs.push_back({"palette4", MakePng(Palette16Spec())});
  PngSpec trns = Palette16Spec();
  trns.trnsAlpha = {0, 128};
  inputs.push_back({"palette trns", MakePng(trns)});
  PngSpec onebit;
  onebit.width = 9;
  onebit.depth = 1;
  onebit.colourType = PNG_COLOR_TYPE_PALETTE;
  onebit.palette = {{255, 0, 0}, {0, 0, 255}};
  onebit.pixels.assign(9, {1});
  inputs.push_back({"palette1", MakePng(onebit)});
  const std::tuple<const char*, int, int, std::vector<int>> plain[] = {
      {"gray8", PNG_COLOR_TYPE_GRAY, 8, {77}},
      {"gray2", PNG_COLOR_TYPE_GRAY, 2, {1}},
      {"gray alpha16", PNG_COLOR_TYPE_GRAY_ALPHA, 16, {0x8000, 0x4000}},
      {"rgb16", PNG_COLOR_TYPE_RGB, 16, {0x1234, 0xABCD, 0xFF00}},
      {"rgba", PNG_COLOR_TYPE_RGB_ALPHA, 8, {1, 2, 3, 4}},
  };
  for (const auto& [name, colourType, depth, pixel] : plain) {
    PngSpec desc;
    desc.colourType = colourType;
    desc.depth = depth;
    desc.pixels = {pixel};
    inputs.push_back({name, MakePng(desc)});
  }
  const std::vector<std::uint8_t> striped = MakePng(StripedRgbSpec());
  inputs.push_back({"striped", striped});
  inputs.push_back(
      {"truncated in the rows", {striped.begin(), striped.begin() + striped.size() / 2}});
  inputs.push_back({"header only", {striped.begin(), striped.begin() + 40}});
  std::vector<std::uint8_t> badCrc = striped;
  badCrc[29] ^= 1;
  inputs.push_back({"bad header CRC", badCrc});
  inputs.push_back({"empty", {}});

  for (const auto& [name, bytes] : inputs) {
    Bitmap full;
    const bool decoded = ReadPngMemory(bytes, full);
    const std::optional<PngLayout> layout = ReadPngLayout(bytes);
    ASSERT_EQ(layout.has_value(), decoded) << name;
    if (!decoded) continue;
    EXPECT_EQ(layout->width, full.width()) << name;
    EXPECT_EQ(layout->height, full.height()) << name;
    EXPECT_EQ(layout->bits, full.bits()) << name;
  }
}

class PngFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("glyphwell_png_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }
  void Save(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
    ASSERT_TRUE(platform::WriteFileAtomically(PathOf(name), bytes));
  }
  std::filesystem::path dir_;
};

TEST_F(PngFileTest, FileAndMemoryReadsGiveTheSameBitmap) {
  const std::vector<std::uint8_t> indexed = MakePng(Palette16Spec());
  std::vector<std::uint8_t> truncated = MakePng(StripedRgbSpec());
  truncated.resize(truncated.size() / 2);
  for (const auto& bytes : {indexed, truncated}) {
    Save("a.png", bytes);
    Bitmap fromFile, fromMemory;
    ASSERT_TRUE(ReadPngFile(PathOf("a.png"), fromFile));
    ASSERT_TRUE(ReadPngMemory(bytes, fromMemory));
    EXPECT_EQ(fromFile, fromMemory);
  }
}

TEST_F(PngFileTest, MissingShortOrForeignFilesAreNotRead) {
  Save("short.png", {0x89, 'P', 'N', 'G'});
  Save("text.png", std::vector<std::uint8_t>(20, 'x'));
  Bitmap out(1, 1, 24);
  const Bitmap before = out;
  for (const char* name : {"missing.png", "short.png", "text.png"})
    EXPECT_FALSE(ReadPngFile(PathOf(name), out)) << name;
  EXPECT_FALSE(ReadPngFile("", out));
  EXPECT_EQ(out, before);
}

// The chunk types of a PNG stream in order, with the length of each.
std::vector<std::pair<std::string, std::uint32_t>> ChunksOf(const std::vector<std::uint8_t>& png) {
  std::vector<std::pair<std::string, std::uint32_t>> chunks;
  std::size_t at = 8;
  while (at + 8 <= png.size()) {
    const std::uint32_t length =
        (std::uint32_t{png[at]} << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3];
    chunks.emplace_back(std::string(png.begin() + at + 4, png.begin() + at + 8), length);
    at += 12 + length;
  }
  return chunks;
}

// A test image of every pixel format with varied pixels (and alpha for 32 bits).
Bitmap Pattern(int bits, int width = 13, int height = 5) {
  Bitmap image(width, height, bits);
  if (bits == 8) {
    ColourTable table;
    for (int i = 0; i < 256; ++i)
      table.push_back(Rgbq{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                           static_cast<std::uint8_t>(i * 7), 0});
    image.setColourTable(table);
  }
  const std::uint32_t levels = bits <= 8 ? (1u << bits) : 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const std::uint32_t v = static_cast<std::uint32_t>(x * 37 + y * 101 + x * y * 13);
      if (levels)
        image.setRawPixel(x, y, v % levels);
      else if (bits == 32)
        image.setRawPixel(x, y, (v * 2654435761u) | ((x * 20 + y) & 255) << 24);
      else
        image.setRawPixel(x, y, (v * 2654435761u) & (bits == 24 ? 0xFFFFFFu : 0xFFFFu));
    }
  return image;
}

TEST(PngWrite, EveryPixelFormatReadsBackToTheSamePixels) {
  for (int bits : {1, 4, 8, 15, 16, 24, 32}) {
    const Bitmap image = Pattern(bits);
    const std::vector<std::uint8_t> png = EncodePng(image);
    ASSERT_FALSE(png.empty()) << bits;
    Bitmap back;
    ASSERT_TRUE(ReadPngMemory(png, back)) << bits;
    ASSERT_EQ(back.width(), image.width());
    ASSERT_EQ(back.height(), image.height());
    // 1-bit palettes expand to 24 bits on reading; 15/16-bit images are written as 24.
    const int expectedBits = bits == 1 || bits == 15 || bits == 16 ? 24 : bits;
    EXPECT_EQ(back.bits(), expectedBits) << bits;
    if (bits == 4 || bits == 8) {
      EXPECT_EQ(back.colourTable(), image.colourTable()) << bits;
    }
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        ASSERT_EQ(back.pixelColour(x, y), image.pixelColour(x, y)) << bits << " " << x << "," << y;
        ASSERT_EQ(back.pixelAlpha(x, y), image.pixelAlpha(x, y)) << bits;
      }
  }
}

TEST(PngWrite, HeaderPaletteGammaAndNoOtherChunks) {
  struct Case {
    int bits, paletteColours, ihdrDepth, ihdrColourType, plteEntries;
  };
  const Case cases[] = {
      {1, 256, 1, 3, 2},  {4, 256, 4, 3, 16}, {8, 256, 8, 3, 256},
      {24, 256, 8, 2, 0}, {32, 256, 8, 6, 0},
  };
  for (const Case& c : cases) {
    const std::vector<std::uint8_t> png = EncodePng(Pattern(c.bits), {c.paletteColours, false});
    ASSERT_GT(png.size(), 33u);
    EXPECT_EQ(png[24], c.ihdrDepth) << c.bits;
    EXPECT_EQ(png[25], c.ihdrColourType) << c.bits;
    EXPECT_EQ(png[28], 0) << "not interlaced";
    std::vector<std::string> types;
    for (const auto& [type, length] : ChunksOf(png)) {
      if (types.empty() || types.back() != type) types.push_back(type);
      if (type == "PLTE") {
        EXPECT_EQ(length, 3u * c.plteEntries) << c.bits;
      }
    }
    const std::vector<std::string> expected =
        c.plteEntries ? std::vector<std::string>{"IHDR", "gAMA", "PLTE", "IDAT", "IEND"}
                      : std::vector<std::string>{"IHDR", "gAMA", "IDAT", "IEND"};
    EXPECT_EQ(types, expected) << c.bits;
    const auto gama =
        std::search(png.begin(), png.end(), std::begin("gAMA"), std::begin("gAMA") + 4);
    ASSERT_NE(gama, png.end());
    EXPECT_EQ((std::vector<std::uint8_t>(gama + 4, gama + 8)),
              (std::vector<std::uint8_t>{0, 0, 0xB1, 0x8F}));  // 45455
  }
}

TEST(PngWrite, PaletteHoldsTheColourCountButCoversEveryIndexUsed) {
  // A 64-colour image written with the colour count 64.
  Bitmap reduced = Pattern(8);
  for (int y = 0; y < reduced.height(); ++y)
    for (int x = 0; x < reduced.width(); ++x)
      reduced.setRawPixel(x, y, reduced.rawPixel(x, y) % 64);
  auto plteLength = [](const std::vector<std::uint8_t>& png) {
    for (const auto& [type, length] : ChunksOf(png))
      if (type == "PLTE") return length;
    return 0u;
  };
  EXPECT_EQ(plteLength(EncodePng(reduced, {64, false})), 64u * 3);
  // Index 99 used while the colour count is 64: the palette reaches it.
  reduced.setRawPixel(0, 0, 99);
  const std::vector<std::uint8_t> png = EncodePng(reduced, {64, false});
  EXPECT_EQ(plteLength(png), 100u * 3);
  Bitmap back;
  ASSERT_TRUE(ReadPngMemory(png, back));
  EXPECT_EQ(back.pixelColour(0, 0), reduced.pixelColour(0, 0));
  // An index beyond a short colour table is written as black, as the Bitmap shows it.
  Bitmap shortTable(2, 1, 8);
  shortTable.setColourTable({Rgbq{1, 2, 3, 0}});
  shortTable.setRawPixel(0, 0, 0);
  shortTable.setRawPixel(1, 0, 5);
  ASSERT_TRUE(ReadPngMemory(EncodePng(shortTable), back));
  EXPECT_EQ(back.pixelColour(0, 0), MakeColour(3, 2, 1));
  EXPECT_EQ(back.pixelColour(1, 0), kBlack);
}

TEST(PngWrite, InterlacedWritesReadBack) {
  const Bitmap image = Pattern(32, 17, 9);
  Bitmap back;
  ASSERT_TRUE(ReadPngMemory(EncodePng(image, {256, true}), back));
  EXPECT_EQ(back, image);
}

TEST(PngWrite, EmptyImageIsNotWritten) {
  EXPECT_TRUE(EncodePng(Bitmap()).empty());
  EXPECT_FALSE(WritePng(Bitmap(), "/tmp/never-written.png"));
}

TEST_F(PngFileTest, WrittenFilesPassPngcheck) {
  if (testsupport::RunShell("command -v pngcheck >/dev/null 2>&1").first != 0)
    GTEST_SKIP() << "pngcheck is not installed";
  for (int bits : {1, 4, 8, 16, 24, 32}) {
    const std::string path = PathOf("w" + std::to_string(bits) + ".png");
    ASSERT_TRUE(WritePng(Pattern(bits), path)) << bits;
    const auto [status, output] = testsupport::RunShell("pngcheck -v '" + path + "' 2>&1");
    EXPECT_EQ(status, 0) << output;
  }
}

TEST_F(PngFileTest, WrittenFilesReadInPillowToTheSamePixels) {
  const std::string python = "/usr/bin/python3";
  if (testsupport::RunShell(python + " -c 'import PIL' >/dev/null 2>&1").first != 0)
    GTEST_SKIP() << "Python Pillow is not installed";
  for (int bits : {1, 4, 8, 24, 32}) {
    const Bitmap image = Pattern(bits);
    const std::string path = PathOf("p" + std::to_string(bits) + ".png");
    ASSERT_TRUE(WritePng(image, path));
    // Pillow prints every pixel as "r g b a" lines, rows top first.
    const auto [status, output] = testsupport::RunShell(
        python +
        " -c \"import sys; from PIL import Image; im=Image.open(sys.argv[1])."
        "convert('RGBA'); print('\\n'.join('%d %d %d %d' % p for p in im.getdata()))\" '" +
        path + "'");
    ASSERT_EQ(status, 0) << output;
    std::string expected;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const ColourValue c = image.pixelColour(x, y);
        expected += std::to_string(RedOf(c)) + " " + std::to_string(GreenOf(c)) + " " +
                    std::to_string(BlueOf(c)) + " " + std::to_string(image.pixelAlpha(x, y)) + "\n";
      }
    EXPECT_EQ(output, expected) << bits;
  }
}

TEST_F(PngFileTest, WriteReplacesAnExistingFileWhole) {
  const std::string path = PathOf("replace.png");
  Save("replace.png", std::vector<std::uint8_t>(100000, 7));
  ASSERT_TRUE(WritePng(Pattern(24), path));
  Bitmap back;
  ASSERT_TRUE(ReadPngFile(path, back));
  EXPECT_EQ(back, Pattern(24));
  // A path in a missing folder fails without creating anything.
  EXPECT_FALSE(WritePng(Pattern(24), PathOf("no/such/dir/x.png")));
}

}  // namespace
}  // namespace glyphwell::imaging
