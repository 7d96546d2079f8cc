// Blur and gray: the two filters ConvertToOutput applies to whole images.
#include <gtest/gtest.h>

#include "imaging/blur.h"
#include "imaging/gray.h"

namespace glyphwell::imaging {
namespace {

Bitmap Row32(const std::vector<int>& reds, int alpha) {
  Bitmap image(static_cast<int>(reds.size()), 1, 32);
  for (std::size_t x = 0; x < reds.size(); ++x) {
    std::uint8_t* p = image.row(0) + 4 * x;
    p[0] = p[1] = 0;
    p[2] = static_cast<std::uint8_t>(reds[x]);
    p[3] = static_cast<std::uint8_t>(alpha);
  }
  return image;
}

TEST(BlurTest, HorizontalBlurReadsValuesItAlreadyChanged) {
  Bitmap image = Row32({0, 90, 0, 30}, 77);
  Blur(image, 1, true);
  // x0: (0 + 90) / 2 = 45; x1: (45 + 90 + 0) / 3 = 45; x2: (45 + 0 + 30) / 3 = 25;
  // x3: (25 + 30) / 2 = 27.
  EXPECT_EQ(RedOf(image.pixelColour(0, 0)), 45);
  EXPECT_EQ(RedOf(image.pixelColour(1, 0)), 45);
  EXPECT_EQ(RedOf(image.pixelColour(2, 0)), 25);
  EXPECT_EQ(RedOf(image.pixelColour(3, 0)), 27);
  for (int x = 0; x < 4; ++x)
    EXPECT_EQ(image.pixelAlpha(x, 0), 77);
}

TEST(BlurTest, HorizontalBlurLeavesRowsAlone) {
  Bitmap image(1, 3, 24);
  image.setPixelColour(0, 0, MakeColour(255, 0, 0));
  image.setPixelColour(0, 1, MakeColour(0, 255, 0));
  image.setPixelColour(0, 2, MakeColour(0, 0, 255));
  Bitmap blurred = image;
  Blur(blurred, 1, true);
  EXPECT_EQ(blurred.bits(), 32);
  for (int y = 0; y < 3; ++y)
    EXPECT_EQ(blurred.pixelColour(0, y), image.pixelColour(0, y));
}

TEST(BlurTest, BoxBlurAveragesOnlyInsideTheImage) {
  // 2 x 2: reds 0, 40 / 80, 120.
  Bitmap image(2, 2, 24);
  image.setPixelColour(0, 0, MakeColour(0, 0, 0));
  image.setPixelColour(1, 0, MakeColour(40, 0, 0));
  image.setPixelColour(0, 1, MakeColour(80, 0, 0));
  image.setPixelColour(1, 1, MakeColour(120, 0, 0));
  Blur(image, 1, false);
  // (0,0): all four = 60; (1,0): 60, 40, 80, 120 -> 75; (0,1): 60, 75, 80, 120 -> 83;
  // (1,1): 60, 75, 83, 120 -> 84.
  EXPECT_EQ(RedOf(image.pixelColour(0, 0)), 60);
  EXPECT_EQ(RedOf(image.pixelColour(1, 0)), 75);
  EXPECT_EQ(RedOf(image.pixelColour(0, 1)), 83);
  EXPECT_EQ(RedOf(image.pixelColour(1, 1)), 84);
}

TEST(BlurTest, IndexedImagesBecomeTrueColour) {
  Bitmap image(3, 1, 8);
  image.setColourTable(
      {Rgbq::FromColour(MakeColour(0, 0, 0)), Rgbq::FromColour(MakeColour(0, 0, 99))});
  image.setRawPixel(0, 0, 0);
  image.setRawPixel(1, 0, 1);
  image.setRawPixel(2, 0, 0);
  Blur(image, 1, true);
  EXPECT_EQ(image.bits(), 32);
  EXPECT_EQ(BlueOf(image.pixelColour(0, 0)), 49);
  EXPECT_EQ(BlueOf(image.pixelColour(1, 0)), 49);  // (49 + 99 + 0) / 3
  EXPECT_EQ(BlueOf(image.pixelColour(2, 0)), 24);
}

TEST(GrayTest, Levels) {
  EXPECT_EQ(GrayLevel(255, 0, 0), 76);
  EXPECT_EQ(GrayLevel(0, 255, 0), 149);
  EXPECT_EQ(GrayLevel(0, 0, 255), 29);
  EXPECT_EQ(GrayLevel(255, 255, 255), 254);  // the weights sum to 9999
}

TEST(GrayTest, PixelsKeepTheirAlpha) {
  Bitmap image = Row32({255, 10}, 33);
  GrayPixels(image);
  EXPECT_EQ(image.pixelColour(0, 0), MakeColour(76, 76, 76));
  EXPECT_EQ(image.pixelColour(1, 0), MakeColour(2, 2, 2));
  EXPECT_EQ(image.pixelAlpha(0, 0), 33);
  Bitmap rgb(1, 1, 24);
  rgb.setPixelColour(0, 0, MakeColour(0, 0, 255));
  GrayPixels(rgb);
  EXPECT_EQ(rgb.pixelColour(0, 0), MakeColour(29, 29, 29));
}

TEST(GrayTest, TableOfIndexedImages) {
  Bitmap image(2, 1, 4);
  const std::vector<std::uint8_t> pixels = image.pixels();
  GrayTable(image);
  // The fixed 16-colour table: red (128, 0, 0) becomes 38, white 254.
  EXPECT_EQ(image.colourTable()[1].colour(), MakeColour(38, 38, 38));
  EXPECT_EQ(image.colourTable()[15].colour(), MakeColour(254, 254, 254));
  EXPECT_EQ(image.pixels(), pixels);
}

TEST(GrayTest, OtherFormatsAreLeftAlone) {
  Bitmap highColour(2, 2, 16);
  highColour.setPixelColour(0, 0, MakeColour(255, 0, 0));
  Bitmap before = highColour;
  GrayTable(highColour);
  GrayPixels(highColour);
  EXPECT_EQ(highColour, before);
  Bitmap indexed(2, 2, 8);
  before = indexed;
  GrayPixels(indexed);
  EXPECT_EQ(indexed, before);
}

}  // namespace
}  // namespace glyphwell::imaging
