#include "app/icon_preparation.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <optional>

#include "app/thumbnail.h"
#include "imaging/jpeg_codec.h"
#include "platform/byte_reader.h"
#include "tests/support/image_fixtures.h"

namespace glyphwell::app {
namespace {

using imaging::Bitmap;
using imaging::ConversionSettings;
using imaging::Depth;
using imaging::kBlack;
using imaging::kWhite;
using imaging::MakeColour;
using imaging::SourceKind;

const imaging::ColourValue kRed = MakeColour(255, 0, 0);

// A one-image icon of `image`, its left half transparent in the AND mask.
imaging::IconImage MakeIcon(const Bitmap& image) {
  std::vector<std::uint8_t> dib = testsupport::MakeIconDib(image, true);
  std::vector<std::uint8_t> f(22 + dib.size(), 0);
  platform::PutU16le(&f[2], 1);
  platform::PutU16le(&f[4], 1);
  f[6] = static_cast<std::uint8_t>(image.width());
  f[7] = static_cast<std::uint8_t>(image.height());
  platform::PutU32le(&f[14], static_cast<std::uint32_t>(dib.size()));
  platform::PutU32le(&f[18], 22);
  std::copy(dib.begin(), dib.end(), f.begin() + 22);
  std::optional<imaging::IconImage> icon = imaging::IconImage::FromStream(f);
  EXPECT_TRUE(icon);
  return *icon;
}

// Red on the right half, black (the usual XOR colour) on the transparent left half.
Bitmap RedRightHalf(int bits) {
  Bitmap b(16, 16, bits);
  b.fill(kBlack);
  for (int y = 0; y < 16; ++y)
    for (int x = 8; x < 16; ++x)
      b.setPixelColour(x, y, kRed);
  return b;
}

ConversionSettings Settings(SourceKind kind) {
  ConversionSettings s;
  s.sourceKind = kind;
  s.ownParser = kind != SourceKind::NormalMode;
  return s;
}

TEST(IconPreparationTest, BackgroundFill) {
  ConversionSettings s;
  EXPECT_EQ(BackgroundFill(s), kBlack);  // "Icon"
  s.outputType = imaging::OutputType::Bmp;
  EXPECT_EQ(BackgroundFill(s), kWhite);
  s.mask = false;
  EXPECT_EQ(BackgroundFill(s), kBlack);
}

TEST(IconPreparationTest, DrawIconImageOverTheBackgroundOrCorrected) {
  imaging::IconImage icon = MakeIcon(RedRightHalf(4));
  // Normal mode: drawn over a white background, which shows where transparent.
  Bitmap drawn(16, 16, 32);
  drawn.fill(kWhite);
  DrawIconImage(drawn, icon, false, Settings(SourceKind::NormalMode));
  EXPECT_EQ(drawn.pixelColour(0, 0), kWhite);
  EXPECT_EQ(drawn.pixelColour(15, 0), kRed);
  // With correction the transparent part is black whatever the background.
  Bitmap corrected(16, 16, 32);
  corrected.fill(kWhite);
  DrawIconImage(corrected, icon, true, Settings(SourceKind::NormalMode));
  EXPECT_EQ(corrected.pixelColour(0, 0), kBlack);
  EXPECT_EQ(corrected.pixelColour(15, 0), kRed);
  // The own parser's small indexed image takes over the Bitmap in its own format.
  Bitmap own(16, 16, 32);
  own.fill(kWhite);
  DrawIconImage(own, icon, true, Settings(SourceKind::IconMode));
  EXPECT_EQ(own.bits(), 4);
  EXPECT_EQ(own.pixelColour(0, 0), kBlack);
  EXPECT_EQ(own.pixelColour(15, 15), kRed);
}

TEST(IconPreparationTest, ThirtyTwoBitImagesAreTakenApart) {
  Bitmap image = RedRightHalf(32);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      image.row(y)[4 * x + 3] = x < 8 ? 0 : 255;
  imaging::IconImage icon = MakeIcon(image);
  Bitmap dest(16, 16, 32);
  dest.fill(kWhite);
  DrawIconImage(dest, icon, false, Settings(SourceKind::IconMode));
  EXPECT_EQ(dest.pixelColour(0, 0), kWhite);  // background kept where transparent
  EXPECT_EQ(dest.pixelColour(15, 0), kRed);
  EXPECT_EQ(dest.pixelAlpha(15, 0), 255);
}

TEST(IconPreparationTest, OutputMaskFromAlphaOrFromTheAndMask) {
  // All opaque in the AND mask but the left half: alpha 100 at (12, 0).
  Bitmap image = RedRightHalf(32);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      image.row(y)[4 * x + 3] = x < 8 ? 0 : 255;
  image.row(0)[4 * 12 + 3] = 100;
  imaging::IconImage icon = MakeIcon(image);
  ConversionSettings s = Settings(SourceKind::IconMode);
  s.sizeChoice = imaging::SizeChoice::Size16;
  s.correction = true;
  s.depth = Depth::Colours256;
  Bitmap mask, inverse;
  BuildOutputMask(icon, s, mask, inverse);
  EXPECT_EQ(mask.pixelColour(12, 0), kWhite);  // alpha 100 <= 110: transparent
  EXPECT_EQ(mask.pixelColour(12, 1), kBlack);
  EXPECT_EQ(inverse.pixelColour(12, 0), kBlack);
  s.depth = Depth::Bits32;  // the icon's own AND mask decides
  BuildOutputMask(icon, s, mask, inverse);
  EXPECT_EQ(mask.pixelColour(12, 0), kBlack);
  EXPECT_EQ(mask.pixelColour(0, 0), kWhite);

  // No alpha anywhere: the AND mask again, stretched to the output size.
  imaging::IconImage flat = MakeIcon(RedRightHalf(32));
  s.depth = Depth::Colours16;
  s.sizeChoice = imaging::SizeChoice::SystemLarge;
  BuildOutputMask(flat, s, mask, inverse);
  ASSERT_EQ(mask.width(), 32);
  EXPECT_EQ(mask.pixelColour(15, 31), kWhite);
  EXPECT_EQ(mask.pixelColour(16, 31), kBlack);
}

TEST(ThumbnailTest, TransparentPixelsAreWhiteInTheJpeg) {
  imaging::IconImage icon = MakeIcon(RedRightHalf(24));
  extract::ImageEntry entry;
  ThumbnailCache cache(2);
  ASSERT_TRUE(MakeThumbnail(icon, entry, cache));
  EXPECT_EQ(entry.thumbnail, "2");
  ASSERT_EQ(cache.size(), 3u);
  Bitmap decoded;
  ASSERT_TRUE(imaging::DecodeJpeg(cache[2], decoded));
  EXPECT_EQ(decoded.width(), 16);
  auto near = [](imaging::ColourValue a, imaging::ColourValue b) {
    return std::abs(imaging::RedOf(a) - imaging::RedOf(b)) < 24 &&
           std::abs(imaging::GreenOf(a) - imaging::GreenOf(b)) < 24 &&
           std::abs(imaging::BlueOf(a) - imaging::BlueOf(b)) < 24;
  };
  EXPECT_TRUE(near(decoded.pixelColour(1, 1), kWhite));
  EXPECT_TRUE(near(decoded.pixelColour(14, 14), kRed));
}

}  // namespace
}  // namespace glyphwell::app
