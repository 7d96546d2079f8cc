#include "imaging/colour_count.h"

#include <gtest/gtest.h>

namespace glyphwell::imaging {
namespace {

Bitmap DistinctColours(int width, int height, int distinct) {
  Bitmap image(width, height, 32);
  for (int i = 0; i < width * height; ++i) {
    int c = i % distinct;
    image.setPixelColour(i % width, i / width, MakeColour(c & 255, c >> 8, 7));
    image.row(i / width)[4 * (i % width) + 3] = static_cast<std::uint8_t>(i);  // alpha ignored
  }
  return image;
}

TEST(CountColoursTest, CountsDistinctColoursIgnoringAlpha) {
  EXPECT_EQ(CountColours(DistinctColours(30, 30, 1), 1024), 1);
  EXPECT_EQ(CountColours(DistinctColours(30, 30, 900), 1024), 900);
  EXPECT_EQ(CountColours(DistinctColours(40, 40, 1025), 1024), 1025);
  // 24- and 16-bit images by their expanded colour.
  Bitmap rgb(3, 1, 24), high(3, 1, 16);
  for (Bitmap* image : {&rgb, &high}) {
    image->setPixelColour(0, 0, MakeColour(255, 0, 0));
    image->setPixelColour(1, 0, MakeColour(255, 0, 0));
    image->setPixelColour(2, 0, MakeColour(0, 0, 255));
    EXPECT_EQ(CountColours(*image, 1024), 2);
  }
}

TEST(CountColoursTest, GivesUpEarlyAboveTheLimit) {
  // 256 x 256 distinct colours: the count stops at the first compaction that leaves
  // more than the limit, having looked at 2050 values at most.
  const int count = CountColours(DistinctColours(256, 256, 65536), 1024);
  EXPECT_GT(count, 1024);
  EXPECT_LE(count, 1024 + 1025 + 1);
}

TEST(CountColoursTest, IndexedImagesCountUsedIndexes) {
  Bitmap image(4, 1, 8);
  image.setColourTable({Rgbq{}, Rgbq{}, Rgbq::FromColour(kWhite)});
  image.setRawPixel(0, 0, 0);
  image.setRawPixel(1, 0, 1);  // the same colour as index 0, counted apart
  image.setRawPixel(2, 0, 2);
  image.setRawPixel(3, 0, 2);
  EXPECT_EQ(CountColours(image, 1024), 3);
  EXPECT_EQ(CountColours(Bitmap(), 1024), 0);
}

}  // namespace
}  // namespace glyphwell::imaging
