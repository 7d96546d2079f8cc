#include "imaging/libjpeg_quantize.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "platform/byte_reader.h"

namespace glyphwell::imaging {
namespace {

namespace fs = std::filesystem;

bool HaveTools() {
  return std::system("command -v cjpeg >/dev/null 2>&1 && command -v djpeg >/dev/null 2>&1") == 0;
}

void WritePpm(const Bitmap& image, const fs::path& path) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << image.width() << " " << image.height() << "\n255\n";
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      ColourValue c = image.pixelColour(x, y);
      out.put(static_cast<char>(RedOf(c)));
      out.put(static_cast<char>(GreenOf(c)));
      out.put(static_cast<char>(BlueOf(c)));
    }
}

// Reads the 8-bit bottom-up BMP that djpeg writes; false when it is not one.
bool ReadIndexedBmp(const fs::path& path, Bitmap& image) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
  platform::ByteReader r(bytes);
  auto offBits = r.u32le(10), headerSize = r.u32le(14), used = r.u32le(46);
  auto bitCount = r.u16le(28);
  auto width = r.i32le(18), height = r.i32le(22);
  if (!offBits || !headerSize || !width || !height || !bitCount || !used) return false;
  if (*bitCount != 8 || *width <= 0 || *height <= 0) return false;
  const std::size_t entries = *used == 0 ? 256 : *used;
  ColourTable table;
  for (std::size_t i = 0; i < entries; ++i) {
    std::size_t at = 14 + *headerSize + 4 * i;
    if (!r.Fits(at, 4)) return false;
    table.push_back(Rgbq{bytes[at], bytes[at + 1], bytes[at + 2], 0});
  }
  image = Bitmap(*width, *height, 8);
  image.setColourTable(table);
  const std::size_t stride = RowBytes(*width, 8);
  for (int y = 0; y < *height; ++y) {
    std::size_t at = *offBits + static_cast<std::size_t>(*height - 1 - y) * stride;
    if (!r.Fits(at, static_cast<std::size_t>(*width))) return false;
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), *width, image.row(y));
  }
  return true;
}

Bitmap TestImage(int kind, int width, int height, int bits) {
  Bitmap image(width, height, bits);
  std::mt19937 rng(static_cast<unsigned>(kind * 7919 + width));
  std::uniform_int_distribution<int> noise(0, 255);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      int r, g, b;
      switch (kind) {
        case 0:  // smooth gradients
          r = x * 255 / std::max(1, width - 1);
          g = y * 255 / std::max(1, height - 1);
          b = (x + y) * 255 / std::max(1, width + height - 2);
          break;
        case 1:  // noise: every pixel its own colour
          r = noise(rng), g = noise(rng), b = noise(rng);
          break;
        default:  // hard-edged shapes on a textured ground, as icons have
          r = ((x / 8 + y / 8) % 2) ? 230 : (x * y) % 256;
          g = (x - width / 2) * (x - width / 2) + (y - height / 2) * (y - height / 2) <
                      (width * height) / 8
                  ? 40
                  : 180;
          b = (x * 3 + y * 5) % 256;
          break;
      }
      image.setPixelColour(x, y, MakeColour(r, g, b));
    }
  return image;
}

TEST(LibjpegQuantizeTest, MatchesCjpegPipedIntoDjpeg) {
  if (!HaveTools()) GTEST_SKIP() << "cjpeg/djpeg not installed";
  const fs::path dir = fs::temp_directory_path() / ("glyphwell_ljq_" + std::to_string(getpid()));
  fs::create_directories(dir);
  struct Case {
    int kind, width, height, bits;
  };
  const Case cases[] = {{0, 64, 48, 24},   {1, 37, 29, 24}, {2, 256, 256, 32},
                        {1, 300, 200, 32}, {2, 5, 3, 24},   {0, 1, 1, 24}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.kind) + " " + std::to_string(c.width) + "x" +
                 std::to_string(c.height));
    Bitmap image = TestImage(c.kind, c.width, c.height, c.bits);
    const fs::path ppm = dir / "in.ppm", bmp = dir / "out.bmp";
    WritePpm(image, ppm);
    const std::string command = "cjpeg -quality 90 '" + ppm.string() +
                                "' | djpeg -colors 236 -dither fs -bmp > '" + bmp.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    Bitmap expected;
    ASSERT_TRUE(ReadIndexedBmp(bmp, expected));

    ASSERT_TRUE(LibjpegQuantize(image));
    ASSERT_EQ(image.bits(), 8);
    ASSERT_EQ(image.width(), expected.width());
    ASSERT_EQ(image.height(), expected.height());
    ASSERT_LE(image.colourTable().size(), 236u);
    for (std::size_t i = 0; i < image.colourTable().size(); ++i)
      ASSERT_EQ(image.colourTable()[i], expected.colourTable()[i]) << "entry " << i;
    // djpeg pads its table to 256 entries with black; ours holds only the colours.
    for (std::size_t i = image.colourTable().size(); i < expected.colourTable().size(); ++i)
      ASSERT_EQ(expected.colourTable()[i], Rgbq{}) << "entry " << i;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        ASSERT_EQ(image.rawPixel(x, y), expected.rawPixel(x, y)) << x << "," << y;
        ASSERT_EQ(image.pixelColour(x, y), expected.pixelColour(x, y));
      }
  }
  fs::remove_all(dir);
}

TEST(LibjpegQuantizeTest, RefusesIndexedAndEmptyImages) {
  Bitmap indexed(8, 8, 8);
  const Bitmap before = indexed;
  EXPECT_FALSE(LibjpegQuantize(indexed));
  EXPECT_EQ(indexed, before);
  Bitmap empty;
  EXPECT_FALSE(LibjpegQuantize(empty));
}

TEST(LibjpegQuantizeTest, FewColoursGiveAShortTable) {
  Bitmap image(16, 16, 24);
  image.fill(MakeColour(200, 30, 30));
  ASSERT_TRUE(LibjpegQuantize(image));
  EXPECT_LT(image.colourTable().size(), 236u);
  EXPECT_GE(image.colourTable().size(), 1u);
}

}  // namespace
}  // namespace glyphwell::imaging
