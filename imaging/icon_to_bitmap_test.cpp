#include "imaging/icon_to_bitmap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/byte_reader.h"

namespace glyphwell::imaging {
namespace {

using platform::PutU16le;
using platform::PutU32le;

// A one-image icon file: directory, entry, info header (height doubled), colour
// table, XOR rows and AND rows, both bottom row first.
std::vector<std::uint8_t> IconFile(int width, int height, int bits, const ColourTable& table,
                                   const std::vector<std::uint8_t>& xorRows,
                                   const std::vector<std::uint8_t>& andRows) {
  std::vector<std::uint8_t> f(22 + 40, 0);
  PutU16le(&f[2], 1);
  PutU16le(&f[4], 1);
  f[6] = static_cast<std::uint8_t>(width);
  f[7] = static_cast<std::uint8_t>(height);
  PutU32le(&f[18], 22);
  std::uint8_t* h = &f[22];
  PutU32le(h, 40);
  PutU32le(h + 4, static_cast<std::uint32_t>(width));
  PutU32le(h + 8, static_cast<std::uint32_t>(height * 2));
  PutU16le(h + 12, 1);
  PutU16le(h + 14, static_cast<std::uint16_t>(bits));
  for (const Rgbq& e : table) {
    f.push_back(e.blue);
    f.push_back(e.green);
    f.push_back(e.red);
    f.push_back(0);
  }
  f.insert(f.end(), xorRows.begin(), xorRows.end());
  f.insert(f.end(), andRows.begin(), andRows.end());
  return f;
}

// 4-bit, 4 x 2: top row indexes 1 2 3 4, bottom row 9 9 9 9; the top-left pixel is
// transparent.
std::vector<std::uint8_t> FourBitIcon() {
  std::vector<std::uint8_t> xorRows = {0x99, 0x99, 0, 0, 0x12, 0x34, 0, 0};
  std::vector<std::uint8_t> andRows = {0x00, 0, 0, 0, 0x80, 0, 0, 0};
  return IconFile(4, 2, 4, Fixed16Palette(), xorRows, andRows);
}

TEST(IconToBitmapTest, MaskPartReadsTheAndMask) {
  Bitmap mask;
  ASSERT_TRUE(IconToBitmap(FourBitIcon(), mask, IconPart::Mask, {}));
  EXPECT_EQ(mask.bits(), 32);
  EXPECT_EQ(mask.width(), 4);
  EXPECT_EQ(mask.height(), 2);
  EXPECT_EQ(mask.pixelColour(0, 0), kWhite);
  EXPECT_EQ(mask.pixelColour(1, 0), kBlack);
  EXPECT_EQ(mask.pixelColour(0, 1), kBlack);
}

TEST(IconToBitmapTest, ImagePartWithoutCorrectionKeepsFormatAndTable) {
  Bitmap image;
  ASSERT_TRUE(IconToBitmap(FourBitIcon(), image, IconPart::Image, {}));
  EXPECT_EQ(image.bits(), 4);
  EXPECT_EQ(image.colourTable(), Fixed16Palette());
  EXPECT_EQ(image.rawPixel(0, 0), 1u);
  EXPECT_EQ(image.rawPixel(3, 0), 4u);
  EXPECT_EQ(image.rawPixel(0, 1), 9u);
}

TEST(IconToBitmapTest, CorrectionBlackensTransparentPixels) {
  Bitmap image;  // no mask prepared: the icon's own mask is used
  IconToBitmapOptions correct;
  correct.correction = true;
  ASSERT_TRUE(IconToBitmap(FourBitIcon(), image, IconPart::Image, correct));
  EXPECT_EQ(image.bits(), 32);
  EXPECT_EQ(image.pixelColour(0, 0), kBlack);
  EXPECT_EQ(image.pixelColour(1, 0), Fixed16Palette()[2].colour());
  EXPECT_EQ(image.pixelColour(0, 1), Fixed16Palette()[9].colour());

  // A mask the caller put into dest decides instead of the icon's own.
  Bitmap prepared(4, 2, 32);
  prepared.fill(kBlack);
  prepared.setPixelColour(3, 1, kWhite);
  ASSERT_TRUE(IconToBitmap(FourBitIcon(), prepared, IconPart::Image, correct));
  EXPECT_EQ(prepared.pixelColour(0, 0), Fixed16Palette()[1].colour());
  EXPECT_EQ(prepared.pixelColour(3, 1), kBlack);
}

TEST(IconToBitmapTest, AlphaDerivedMaskForThirtyTwoBitImages) {
  // 2 x 1, 32-bit: left pixel alpha 100 (transparent at threshold 110), right 200.
  std::vector<std::uint8_t> xorRows = {10, 20, 30, 100, 40, 50, 60, 200};
  std::vector<std::uint8_t> andRows = {0, 0, 0, 0};  // the AND mask says opaque
  std::vector<std::uint8_t> icon = IconFile(2, 1, 32, {}, xorRows, andRows);
  IconToBitmapOptions options;
  options.correction = true;
  options.alphaMask = true;
  Bitmap image;
  ASSERT_TRUE(IconToBitmap(icon, image, IconPart::Image, options));
  EXPECT_EQ(image.pixelColour(0, 0), kBlack);
  EXPECT_EQ(image.pixelColour(1, 0), MakeColour(60, 50, 40));
  EXPECT_EQ(image.pixelAlpha(1, 0), 200);

  options.alphaMask = false;  // "32bit": the AND mask decides, nothing is cleared
  Bitmap kept;
  ASSERT_TRUE(IconToBitmap(icon, kept, IconPart::Image, options));
  EXPECT_EQ(kept.pixelColour(0, 0), MakeColour(30, 20, 10));
}

TEST(IconToBitmapTest, OptionsFollowTheSettings) {
  ConversionSettings s;
  s.depth = Depth::Colours256;
  EXPECT_TRUE(IconOptionsFor(s).alphaMask);
  s.depth = Depth::Bits32;
  EXPECT_FALSE(IconOptionsFor(s).alphaMask);
  s.depth = Depth::Colours16;
  s.keepSourceDepth = true;
  EXPECT_FALSE(IconOptionsFor(s).alphaMask);
}

TEST(IconToBitmapTest, RejectsShortAndInconsistentData) {
  std::vector<std::uint8_t> icon = FourBitIcon();
  Bitmap dest(3, 3, 24);
  Bitmap before = dest;
  for (std::size_t cut : {std::size_t{0}, std::size_t{30}, std::size_t{62}, icon.size() - 9}) {
    std::vector<std::uint8_t> part(icon.begin(), icon.begin() + static_cast<long>(cut));
    EXPECT_FALSE(IconToBitmap(part, dest, IconPart::Image, {})) << cut;
  }
  std::vector<std::uint8_t> badBits = icon;
  badBits[22 + 14] = 7;
  EXPECT_FALSE(IconToBitmap(badBits, dest, IconPart::Mask, {}));
  std::vector<std::uint8_t> png = icon;
  png[22] = 0x89;  // a PNG signature instead of an info header
  EXPECT_FALSE(IconToBitmap(png, dest, IconPart::Image, {}));
  EXPECT_EQ(dest, before);
}

}  // namespace
}  // namespace glyphwell::imaging
