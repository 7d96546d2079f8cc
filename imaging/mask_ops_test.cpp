#include "imaging/mask_ops.h"

#include <gtest/gtest.h>

namespace glyphwell::imaging {
namespace {

Bitmap Alpha32(int width, int height, std::uint8_t alpha) {
  Bitmap b(width, height, 32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      b.row(y)[4 * x + 3] = alpha;
  return b;
}

TEST(HasAlphaTest, FindsAnyDifferingAlphaAndIgnoresOtherFormats) {
  Bitmap b = Alpha32(3, 5, 0);
  EXPECT_FALSE(HasAlpha(b, 0));
  EXPECT_TRUE(HasAlpha(b, 255));
  // One differing pixel in the middle row is found whichever end the search starts at.
  b.row(2)[4 * 1 + 3] = 7;
  EXPECT_TRUE(HasAlpha(b, 0));
  Bitmap one = Alpha32(1, 1, 255);
  EXPECT_FALSE(HasAlpha(one, 255));
  EXPECT_FALSE(HasAlpha(Bitmap(), 0));
  EXPECT_FALSE(HasAlpha(Bitmap(4, 4, 24), 0));
}

TEST(HasColourTest, TellsAllBlackFromAnyColourAndIgnoresAlpha) {
  Bitmap b(4, 4, 32);
  b.fill(kBlack);
  for (int y = 0; y < 4; ++y)
    b.row(y)[3] = 255;  // alpha is not colour
  EXPECT_FALSE(HasColour(b));
  b.setPixelColour(3, 3, MakeColour(0, 0, 1));
  EXPECT_TRUE(HasColour(b));
  EXPECT_FALSE(HasColour(Bitmap(2, 2, 24)));
  EXPECT_FALSE(HasColour(Bitmap()));
}

TEST(MaskFromAlphaTest, ThresholdAndNegativeThreshold) {
  Bitmap src = Alpha32(4, 1, 0);
  const std::uint8_t alphas[4] = {0, 110, 111, 255};
  for (int x = 0; x < 4; ++x)
    src.row(0)[4 * x + 3] = alphas[x];
  Bitmap dest(4, 1, 32);
  EXPECT_TRUE(MaskFromAlpha(src, dest, 110));
  EXPECT_EQ(dest.pixelColour(0, 0), kWhite);
  EXPECT_EQ(dest.pixelColour(1, 0), kWhite);  // not above the threshold
  EXPECT_EQ(dest.pixelColour(2, 0), kBlack);
  EXPECT_EQ(dest.pixelColour(3, 0), kBlack);
  EXPECT_TRUE(MaskFromAlpha(src, dest, -1));
  EXPECT_EQ(dest.pixelColour(0, 0), kWhite);
  EXPECT_EQ(dest.pixelColour(1, 0), kBlack);
}

TEST(MaskFromAlphaTest, ReportsNoAlphaAndRefusesUnusableInput) {
  Bitmap clear = Alpha32(2, 2, 0);
  Bitmap dest(2, 2, 32);
  dest.fill(MakeColour(1, 2, 3));
  EXPECT_FALSE(MaskFromAlpha(clear, dest, 110));
  EXPECT_EQ(dest.pixelColour(0, 0), kWhite);  // written, all transparent

  Bitmap marker(2, 2, 32);
  marker.fill(MakeColour(1, 2, 3));
  Bitmap before = marker;
  EXPECT_FALSE(MaskFromAlpha(Alpha32(3, 2, 255), marker, 0));  // size differs
  EXPECT_FALSE(MaskFromAlpha(Bitmap(2, 2, 24), marker, 0));    // not 32-bit
  EXPECT_FALSE(MaskFromAlpha(Bitmap(), marker, 0));
  EXPECT_EQ(marker, before);
}

TEST(PackMaskTest, BottomRowFirstMostSignificantBitFirstPaddedTo32Bits) {
  Bitmap mask(33, 2, 32);
  mask.fill(kBlack);
  mask.setPixelColour(0, 1, kWhite);   // bottom row, first pixel
  mask.setPixelColour(32, 1, kWhite);  // bottom row, 33rd pixel: next 32-bit group
  mask.setPixelColour(9, 0, kWhite);   // top row
  std::vector<std::uint8_t> packed = PackMask(mask, 33, 2);
  ASSERT_EQ(packed.size(), 16u);
  const std::uint8_t expected[16] = {0x80, 0, 0, 0, 0x80, 0, 0, 0, 0, 0x40, 0, 0, 0, 0, 0, 0};
  for (int i = 0; i < 16; ++i)
    EXPECT_EQ(packed[i], expected[i]) << i;
}

TEST(PackMaskTest, OnlyPureWhiteIsTransparent) {
  Bitmap mask(2, 1, 32);
  mask.setPixelColour(0, 0, MakeColour(255, 255, 254));
  std::vector<std::uint8_t> packed = PackMask(mask, 2, 1);
  EXPECT_EQ(packed[0], 0x40);
}

TEST(UnpackMaskTest, RoundTripsAndToleratesShortInput) {
  Bitmap mask(13, 5, 32);
  mask.fill(kBlack);
  for (int i = 0; i < 13; ++i)
    mask.setPixelColour(i, (i * 3) % 5, kWhite);
  std::vector<std::uint8_t> packed = PackMask(mask, 13, 5);
  Bitmap back(13, 5, 8);
  ASSERT_TRUE(UnpackMask(back, packed));
  EXPECT_EQ(back.bits(), 32);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 13; ++x)
      EXPECT_EQ(back.pixelColour(x, y), mask.pixelColour(x, y)) << x << "," << y;

  // Only the bottom row is present: the rest counts as opaque.
  std::vector<std::uint8_t> shortMask = {0xFF, 0xFF};
  Bitmap partial(13, 5, 32);
  ASSERT_TRUE(UnpackMask(partial, shortMask));
  EXPECT_EQ(partial.pixelColour(12, 4), kWhite);
  EXPECT_EQ(partial.pixelColour(0, 3), kBlack);

  Bitmap empty;
  EXPECT_FALSE(UnpackMask(empty, packed));
}

}  // namespace
}  // namespace glyphwell::imaging
