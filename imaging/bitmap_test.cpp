#include "imaging/bitmap.h"

#include <gtest/gtest.h>

namespace glyphwell::imaging {
namespace {

class BitmapFormatTest : public ::testing::TestWithParam<int> {};

TEST_P(BitmapFormatTest, NewBitmapIsWhiteAndRowsArePadded) {
  int bits = GetParam();
  Bitmap b(5, 3, bits);
  ASSERT_FALSE(b.empty());
  EXPECT_EQ(b.stride() % 4, 0u);
  EXPECT_EQ(b.stride(), RowBytes(5, bits));
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x)
      EXPECT_EQ(b.pixelColour(x, y), kWhite) << x << "," << y;
}

TEST_P(BitmapFormatTest, ResizeKeepsTopLeftAndFillsNewArea) {
  int bits = GetParam();
  Bitmap b(3, 2, bits);
  b.setPixelColour(2, 1, kBlack);
  b.resize(7, 4, kBlack);
  EXPECT_EQ(b.width(), 7);
  EXPECT_EQ(b.pixelColour(2, 1), kBlack);
  EXPECT_EQ(b.pixelColour(0, 0), kWhite);
  EXPECT_EQ(b.pixelColour(6, 3), kBlack);
  EXPECT_EQ(b.pixelColour(5, 0), kBlack);
}

INSTANTIATE_TEST_SUITE_P(AllFormats, BitmapFormatTest, ::testing::Values(1, 4, 8, 15, 16, 24, 32));

TEST(BitmapTest, TablesAndRowLayout) {
  EXPECT_EQ(Fixed16Palette().size(), 16u);
  EXPECT_EQ(Fixed16Palette()[8].colour(), MakeColour(192, 192, 192));
  Bitmap mono(9, 1, 1);
  mono.setRawPixel(0, 0, 0);
  EXPECT_EQ(mono.row(0)[0], 0x7F);  // leftmost pixel is the most significant bit
  Bitmap nib(2, 1, 4);
  nib.setRawPixel(0, 0, 0x3);
  nib.setRawPixel(1, 0, 0xA);
  EXPECT_EQ(nib.row(0)[0], 0x3A);  // leftmost pixel in the high nibble
  Bitmap rgb(1, 1, 24);
  rgb.setPixelColour(0, 0, MakeColour(1, 2, 3));
  EXPECT_EQ(rgb.row(0)[0], 3);  // blue first
  EXPECT_EQ(rgb.row(0)[2], 1);
}

TEST(BitmapTest, RaisingDepthIsExactAndInvalidSizesGiveEmpty) {
  Bitmap b(2, 1, 4);
  b.setRawPixel(1, 0, 9);  // red in the fixed palette
  b.setPixelFormat(32);
  EXPECT_EQ(b.bits(), 32);
  EXPECT_EQ(b.pixelColour(1, 0), MakeColour(255, 0, 0));
  EXPECT_TRUE(Bitmap(0, 4, 8).empty());
  EXPECT_TRUE(Bitmap(4, 4, 7).empty());
  EXPECT_TRUE(Bitmap(1 << 20, 1, 32).empty());
}

}  // namespace
}  // namespace glyphwell::imaging
