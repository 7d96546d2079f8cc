#include "imaging/jpeg_codec.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <jpeglib.h>

#include <unistd.h>

namespace glyphwell::imaging {
namespace {

// A smooth 24-bit test picture (JPEG keeps smooth areas close to the original).
Bitmap Gradient(int width = 40, int height = 24) {
  Bitmap image(width, height, 24);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image.setPixelColour(x, y, MakeColour(x * 255 / width, y * 255 / height, 128));
  return image;
}

double MeanError(const Bitmap& a, const Bitmap& b) {
  double total = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const ColourValue p = a.pixelColour(x, y), q = b.pixelColour(x, y);
      total += std::abs(RedOf(p) - RedOf(q)) + std::abs(GreenOf(p) - GreenOf(q)) +
               std::abs(BlueOf(p) - BlueOf(q));
    }
  return total / (3.0 * a.width() * a.height());
}

// Encodes raw samples (gray: 1 component, CMYK: 4) with plain libjpeg.
std::vector<std::uint8_t> EncodeRaw(int width, int height, J_COLOR_SPACE space, int components,
                                    const std::vector<std::uint8_t>& samples) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr errors;
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = width;
  cinfo.image_height = height;
  cinfo.input_components = components;
  cinfo.in_color_space = space;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 95, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(samples.data() + cinfo.next_scanline * width * components);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::vector<std::uint8_t> out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

// The byte after the first occurrence of the two-byte marker, or -1.
int MarkerAt(const std::vector<std::uint8_t>& jpeg, std::uint8_t marker) {
  for (std::size_t i = 0; i + 1 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && jpeg[i + 1] == marker) return static_cast<int>(i + 2);
  return -1;
}

TEST(JpegCodec, ColourRoundTripIsCloseAndBaselineYCbCrAtQuality90) {
  const Bitmap image = Gradient();
  const std::vector<std::uint8_t> jpeg = EncodeJpeg(image);
  ASSERT_FALSE(jpeg.empty());
  EXPECT_EQ(PeekJpegSize(jpeg)->width, 40);
  const int sof = MarkerAt(jpeg, 0xC0);
  ASSERT_GT(sof, 0) << "baseline frame";
  EXPECT_EQ(MarkerAt(jpeg, 0xC2), -1) << "not progressive";
  EXPECT_EQ(jpeg[sof + 7], 3) << "three components";
  // The first luminance quantizer at quality 90 is 16 * 20 / 100, rounded: 3.
  const int dqt = MarkerAt(jpeg, 0xDB);
  ASSERT_GT(dqt, 0);
  EXPECT_EQ(jpeg[dqt + 3], 3);

  Bitmap back;
  ASSERT_TRUE(DecodeJpeg(jpeg, back));
  EXPECT_EQ(back.bits(), 24);
  ASSERT_EQ(back.width(), 40);
  ASSERT_EQ(back.height(), 24);
  EXPECT_LT(MeanError(back, image), 2.0);
}

TEST(JpegCodec, EveryPixelFormatIsWrittenFromItsColours) {
  for (int bits : {1, 4, 8, 16, 32}) {
    Bitmap image = Gradient();
    image.setPixelFormat(bits);
    Bitmap back;
    ASSERT_TRUE(DecodeJpeg(EncodeJpeg(image), back)) << bits;
    EXPECT_EQ(back.bits(), 24);
    EXPECT_LT(MeanError(back, image), bits == 1 ? 40.0 : 8.0) << bits;
  }
  EXPECT_TRUE(EncodeJpeg(Bitmap()).empty());
}

TEST(JpegCodec, GrayJpegDecodesTo8BitWithAGrayTable) {
  std::vector<std::uint8_t> samples;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x)
      samples.push_back(static_cast<std::uint8_t>(x * 16));
  Bitmap out;
  ASSERT_TRUE(DecodeJpeg(EncodeRaw(16, 8, JCS_GRAYSCALE, 1, samples), out));
  EXPECT_EQ(out.bits(), 8);
  ASSERT_EQ(out.colourTable().size(), 256u);
  EXPECT_EQ(out.colourTable()[200], (Rgbq{200, 200, 200, 0}));
  EXPECT_NEAR(static_cast<int>(out.rawPixel(10, 3)), 160, 3);
}

TEST(JpegCodec, CmykJpegDecodesToItsColours) {
  // libjpeg marks CMYK streams with the Adobe marker, whose convention stores the inks
  // inverted: full cyan and no other ink is (0, 255, 255, 255), seen as (0, 255, 255).
  std::vector<std::uint8_t> samples;
  for (int i = 0; i < 64; ++i)
    samples.insert(samples.end(), {0, 255, 255, 255});
  Bitmap out;
  ASSERT_TRUE(DecodeJpeg(EncodeRaw(8, 8, JCS_CMYK, 4, samples), out));
  EXPECT_EQ(out.bits(), 24);
  const ColourValue c = out.pixelColour(3, 3);
  EXPECT_LT(RedOf(c), 8);
  EXPECT_GT(GreenOf(c), 247);
  EXPECT_GT(BlueOf(c), 247);
}

TEST(JpegCodec, TruncatedStreamStillDecodesButGarbageDoesNot) {
  const std::vector<std::uint8_t> jpeg = EncodeJpeg(Gradient(64, 64));
  std::vector<std::uint8_t> truncated(jpeg.begin(), jpeg.begin() + jpeg.size() * 2 / 3);
  Bitmap out;
  ASSERT_TRUE(DecodeJpeg(truncated, out));
  EXPECT_EQ(out.width(), 64);

  std::vector<std::uint8_t> headerOnly(jpeg.begin(), jpeg.begin() + 20);
  std::vector<std::uint8_t> badFrame = jpeg;
  const int sof = MarkerAt(badFrame, 0xC0);
  badFrame[sof + 7] = 9;  // nine components
  const std::vector<std::vector<std::uint8_t>> inputs = {
      {},         {0xFF},   {0xFF, 0xD8},    std::vector<std::uint8_t>(100, 0xFF),
      headerOnly, badFrame, {'B', 'M', 0, 0}};
  for (const auto& input : inputs) {
    Bitmap unchanged(3, 3, 24);
    const Bitmap before = unchanged;
    EXPECT_FALSE(DecodeJpeg(input, unchanged)) << input.size();
    EXPECT_EQ(unchanged, before);
  }
}

TEST(JpegCodec, FilesAreWrittenAndReadBack) {
  const auto dir =
      std::filesystem::temp_directory_path() / ("glyphwell_jpeg_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "a.jpg").string();
  ASSERT_TRUE(WriteJpeg(Gradient(), path));
  Bitmap back;
  ASSERT_TRUE(ReadJpegFile(path, back));
  EXPECT_LT(MeanError(back, Gradient()), 2.0);
  EXPECT_FALSE(ReadJpegFile((dir / "missing.jpg").string(), back));
  EXPECT_FALSE(WriteJpeg(Gradient(), (dir / "no" / "dir.jpg").string()));
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace glyphwell::imaging
