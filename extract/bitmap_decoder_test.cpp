#include "extract/bitmap_decoder.h"

#include <gtest/gtest.h>

#include "platform/byte_reader.h"
#include "tests/support/image_fixtures.h"

namespace glyphwell::extract {
namespace {

using testsupport::Bytes;

bool Decode(const Bytes& data, ImageFacts& facts, imaging::Picture* picture) {
  facts = ImageFacts{};
  facts.valid = true;
  return DecodeBitmapResource(data, picture == nullptr, picture,
                              static_cast<std::int64_t>(data.size()), 0, facts);
}

TEST(ExpandRle, Rle8RunsEscapesAndAbsoluteRuns) {
  // Row 0: 3 x 7, absolute 1 2 3 (padded); end of row. Row 1: move right 2 and up 1,
  // then 2 x 9 on row 2; end of bitmap.
  Bytes src{3, 7, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 2, 1, 2, 9, 0, 1};
  std::vector<std::uint8_t> out;
  ASSERT_EQ(ExpandRle(1, src, out, 3, 8), 24u);
  EXPECT_EQ(out, (std::vector<std::uint8_t>{7, 7, 7, 1, 2, 3, 0, 0,  //
                                            0, 0, 0, 0, 0, 0, 0, 0,  //
                                            0, 0, 9, 9, 0, 0, 0, 0}));
}

TEST(ExpandRle, Rle4AlternatesNibblesAndKeepsTheFirstHalf) {
  // 5 pixels of 0x12 -> 1 2 1 2 1; then absolute 3 pixels 0xAB 0xC0 (padded to 4 bytes).
  Bytes src{5, 0x12, 0, 3, 0xAB, 0xC0, 0, 1};
  std::vector<std::uint8_t> out;
  ASSERT_EQ(ExpandRle(2, src, out, 1, 8), 4u);
  EXPECT_EQ(out, (std::vector<std::uint8_t>{0x12, 0x12, 0x1A, 0xBC}));
}

TEST(ExpandRle, RunStartingInAFullRowFails) {
  std::vector<std::uint8_t> out;
  EXPECT_EQ(ExpandRle(1, Bytes{4, 1, 1, 2}, out, 2, 4), 0u);
  // A run that starts inside the row is cut at its end.
  EXPECT_EQ(ExpandRle(1, Bytes{6, 1, 0, 1}, out, 1, 4), 4u);
  EXPECT_EQ(out, (std::vector<std::uint8_t>{1, 1, 1, 1}));
  EXPECT_EQ(ExpandRle(3, Bytes{1, 1}, out, 1, 4), 0u);
  // A stream ending early leaves the rest cleared.
  EXPECT_EQ(ExpandRle(1, Bytes{2, 5}, out, 2, 4), 8u);
}

TEST(DecodeBitmapResource, RleBitmapsDecodeAndAnOverflowingRunShowsErr) {
  Bytes rle8{4, 10, 0, 0, 2, 20, 2, 30, 0, 1};
  imaging::Picture picture;
  ImageFacts facts;
  ASSERT_TRUE(Decode(testsupport::MakeRleBitmap(4, 2, 1, rle8), facts, &picture));
  ASSERT_EQ(picture.bitmap.bits(), 8);
  EXPECT_EQ(picture.bitmap.rawPixel(0, 1), 10u);  // bottom row first
  EXPECT_EQ(picture.bitmap.rawPixel(3, 0), 30u);
  EXPECT_EQ(facts.label,
            "\n4\xC3\x97"
            "2\n8bit");

  Bytes rle4{4, 0x5A, 0, 1};
  ASSERT_TRUE(Decode(testsupport::MakeRleBitmap(4, 1, 2, rle4, true), facts, &picture));
  EXPECT_EQ(picture.bitmap.rawPixel(1, 0), 0xAu);

  Bytes overflow{8, 1, 8, 2, 0, 1};
  EXPECT_FALSE(Decode(testsupport::MakeRleBitmap(8, 4, 1, overflow), facts, &picture));
  EXPECT_FALSE(facts.valid);
  ASSERT_FALSE(picture.bitmap.empty());
  EXPECT_EQ(picture.bitmap.width(), 8);
  // Listing only checks the header: the overflow shows up when it is drawn.
  EXPECT_TRUE(Decode(testsupport::MakeRleBitmap(8, 4, 1, overflow), facts, nullptr));
}

TEST(DecodeBitmapResource, FourBitColoursUsedSixteenOrZero) {
  imaging::Bitmap reference = testsupport::MakePatternBitmap(9, 5, 4, 2);
  for (std::uint32_t used : {0u, 16u}) {
    imaging::Picture picture;
    ImageFacts facts;
    ASSERT_TRUE(Decode(testsupport::MakeBitmapDib(reference, used), facts, &picture)) << used;
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 9; ++x)
        ASSERT_EQ(picture.bitmap.pixelColour(x, y), reference.pixelColour(x, y)) << used;
  }
}

TEST(DecodeBitmapResource, FormatsAndRejections) {
  for (int bits : {1, 4, 8, 24, 32}) {
    imaging::Bitmap reference = testsupport::MakePatternBitmap(7, 3, bits, 9);
    imaging::Picture picture;
    ImageFacts facts;
    ASSERT_TRUE(Decode(testsupport::MakeBitmapDib(reference), facts, &picture)) << bits;
    EXPECT_EQ(picture.bitmap.pixelColour(6, 2), reference.pixelColour(6, 2)) << bits;
  }
  ImageFacts facts;
  Bytes dib = testsupport::MakeBitmapDib(8, 8, 8);
  Bytes shortPixels(dib.begin(), dib.end() - 10);
  EXPECT_FALSE(Decode(shortPixels, facts, nullptr));
  Bytes planes = dib;
  platform::PutU16le(planes.data() + 12, 2);
  EXPECT_FALSE(Decode(planes, facts, nullptr));
  Bytes wide = dib;
  platform::PutU32le(wide.data() + 4, 10001);
  EXPECT_FALSE(Decode(wide, facts, nullptr));
  EXPECT_FALSE(DecodeBitmapResource(dib, true, nullptr, static_cast<std::int64_t>(dib.size()) + 1,
                                    0, facts));
}

TEST(DecodeBitmapResource, BitFieldsAreConvertedThroughTheirMasks) {
  // 2x1, 16-bit 5-6-5: pure red and pure blue.
  Bytes dib(40, 0);
  platform::PutU32le(dib.data(), 40);
  platform::PutU32le(dib.data() + 4, 2);
  platform::PutU32le(dib.data() + 8, 1);
  platform::PutU16le(dib.data() + 12, 1);
  platform::PutU16le(dib.data() + 14, 16);
  platform::PutU32le(dib.data() + 16, 3);
  for (std::uint32_t mask : {0xF800u, 0x07E0u, 0x001Fu})
    for (int i = 0; i < 4; ++i)
      dib.push_back(static_cast<std::uint8_t>(mask >> (8 * i)));
  for (std::uint8_t b : {0x00, 0xF8, 0x1F, 0x00})
    dib.push_back(b);
  imaging::Picture picture;
  ImageFacts facts;
  // With colours used 0 a 16-bit image has no table: the masks sit right after the header.
  ASSERT_TRUE(Decode(dib, facts, &picture));
  EXPECT_EQ(picture.bitmap.pixelColour(0, 0), imaging::MakeColour(255, 0, 0));
  EXPECT_EQ(picture.bitmap.pixelColour(1, 0), imaging::MakeColour(0, 0, 255));
}

}  // namespace
}  // namespace glyphwell::extract
