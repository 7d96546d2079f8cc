#include "imaging/convert_to_output.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "imaging/bmp_codec.h"
#include "imaging/convert_bitmap_depth.h"
#include "tests/support/image_fixtures.h"

namespace glyphwell::imaging {
namespace {

class ConvertToOutputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "convert-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string WriteFixture(const std::string& name, const Bitmap& image) {
    std::string path = (dir_ / name).string();
    EXPECT_TRUE(WriteBmp(image, path));
    return path;
  }
  std::string WriteBytes(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    return path;
  }

  // A picture source with the given settings; the rest as the window starts.
  ConversionContext Context(const ConversionSettings& s, const std::string& ext = ".bmp") {
    ConversionContext c;
    c.settings = s;
    c.sourceExtension = ext;
    c.messages = &messages_;
    return c;
  }

  Bitmap Convert(const std::string& path, const ConversionContext& context) {
    Bitmap out;
    EXPECT_TRUE(ConvertToOutput(out, path, true, context, flags_));
    return out;
  }

  std::filesystem::path dir_;
  platform::RecordingMessages messages_;
  ConversionFlags flags_;
};

int DistinctColours(const Bitmap& b) {
  std::set<ColourValue> seen;
  for (int y = 0; y < b.height(); ++y)
    for (int x = 0; x < b.width(); ++x)
      seen.insert(b.pixelColour(x, y));
  return static_cast<int>(seen.size());
}

TEST_F(ConvertToOutputTest, TrueColourPictureToSixteenColoursAtThirtyTwo) {
  std::string path = WriteFixture("photo.bmp", testsupport::MakePatternBitmap(40, 40, 24, 7));
  Bitmap out = Convert(path, Context(ConversionSettings{}));
  EXPECT_EQ(out.width(), 32);
  EXPECT_EQ(out.height(), 32);
  EXPECT_EQ(out.bits(), 4);
  EXPECT_LE(out.colourTable().size(), 16u);
  EXPECT_FALSE(flags_.sourceHasAlpha);
}

TEST_F(ConvertToOutputTest, AlphaIsKeptAtThirtyTwoBitsAndOpaqueWithoutAlpha) {
  Bitmap source = testsupport::MakePatternBitmap(16, 16, 32, 3, /*withAlpha=*/true);
  std::string path = WriteFixture("alpha.bmp", source);
  ConversionSettings s;
  s.outputType = OutputType::Png;
  s.depth = Depth::Bits32;
  s.sizeChoice = SizeChoice::Original;
  Bitmap out = Convert(path, Context(s));
  EXPECT_TRUE(flags_.sourceHasAlpha);
  EXPECT_FALSE(flags_.keepAlpha);
  ASSERT_EQ(out.bits(), 32);
  EXPECT_EQ(out, source);  // "Original" size, own format: the pixels as read

  s.depth = Depth::Colours16;
  Convert(path, Context(s));
  EXPECT_TRUE(flags_.keepAlpha);

  // Alpha 0 everywhere is no alpha: "32bit" makes every pixel opaque.
  Bitmap clear = source;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      clear.row(y)[4 * x + 3] = 0;
  s.depth = Depth::Bits32;
  out = Convert(WriteFixture("clear.bmp", clear), Context(s));
  EXPECT_FALSE(flags_.sourceHasAlpha);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      ASSERT_EQ(out.pixelAlpha(x, y), 255);
}

TEST_F(ConvertToOutputTest, UserSizeGivesANewBitmapOfThatSize) {
  std::string path = WriteFixture("wide.bmp", testsupport::MakePatternBitmap(20, 20, 24, 2));
  ConversionSettings s;
  s.sizeChoice = SizeChoice::User;
  s.userWidth = 64;
  s.userHeight = 32;
  s.depth = Depth::Bits32;
  Bitmap out = Convert(path, Context(s));
  EXPECT_EQ(out.width(), 64);
  EXPECT_EQ(out.height(), 32);
  EXPECT_EQ(out.bits(), 32);
  EXPECT_EQ(out.pixelColour(0, 0), kWhite);  // the border left of the centred square
  EXPECT_EQ(out.pixelAlpha(0, 0), 255);
}

TEST_F(ConvertToOutputTest, JpegOutputNeverReduces) {
  std::string path = WriteFixture("photo.bmp", testsupport::MakePatternBitmap(40, 40, 24, 7));
  for (Depth d : {Depth::Colours256, Depth::Colours16, Depth::Colours2, Depth::Bits24}) {
    ConversionSettings s;
    s.outputType = OutputType::Jepg;
    s.depth = d;
    Bitmap out = Convert(path, Context(s));
    EXPECT_EQ(out.bits(), 24) << static_cast<int>(d);
  }
}

TEST_F(ConvertToOutputTest, OneBitSourceKeepsItsPixelsAtTwoColoursAndIsReducedOtherwise) {
  Bitmap mono = testsupport::MakePatternBitmap(32, 32, 1, 5);
  std::string path = WriteFixture("mono.bmp", mono);
  ConversionSettings s;
  s.depth = Depth::Colours2;
  Bitmap out = Convert(path, Context(s));
  ASSERT_EQ(out.bits(), 1);
  EXPECT_EQ(out.colourTable(), mono.colourTable());
  EXPECT_EQ(out.pixels(), mono.pixels());

  s.depth = Depth::Colours16;
  out = Convert(path, Context(s));
  EXPECT_EQ(out.bits(), 4);
  EXPECT_EQ(DistinctColours(out), 2);
}

TEST_F(ConvertToOutputTest, TwoColoursFromTrueColour) {
  Bitmap source(32, 32, 24);
  source.fill(kBlack);
  for (int x = 0; x < 16; ++x)
    for (int y = 0; y < 32; ++y)
      source.setPixelColour(x, y, kWhite);
  ConversionSettings s;
  s.depth = Depth::Colours2;
  Bitmap out = Convert(WriteFixture("half.bmp", source), Context(s));
  ASSERT_EQ(out.bits(), 1);
  EXPECT_EQ(out.pixelColour(0, 0), kWhite);
  EXPECT_EQ(out.pixelColour(31, 31), kBlack);
}

TEST_F(ConvertToOutputTest, BlurTurnsAPaletteImageTrueColourBeforeReducing) {
  Bitmap pal = testsupport::MakePatternBitmap(32, 32, 8, 9);
  std::string path = WriteFixture("pal.bmp", pal);
  ConversionSettings s;
  s.blur1 = true;
  Bitmap out = Convert(path, Context(s));
  EXPECT_EQ(out.bits(), 4);

  std::string rgb = WriteFixture("rgb.bmp", testsupport::MakePatternBitmap(32, 32, 24, 9));
  s.depth = Depth::Bits24;
  out = Convert(rgb, Context(s));
  EXPECT_EQ(out.bits(), 24);
}

TEST_F(ConvertToOutputTest, BlurredIconIsMaskedBlackWhereTransparent) {
  std::string path = WriteFixture("flat.bmp", [] {
    Bitmap b(32, 32, 24);
    b.fill(MakeColour(200, 100, 50));
    return b;
  }());
  Bitmap inverse(32, 32, 32);  // white where opaque
  inverse.setPixelColour(0, 0, kBlack);
  ConversionSettings s;
  s.sourceKind = SourceKind::IconMode;
  s.ownParser = true;
  s.depth = Depth::Bits24;
  s.blur2 = true;
  ConversionContext c = Context(s, ".dll");
  c.inverseOutputMask = &inverse;
  Bitmap out = Convert(path, c);
  EXPECT_EQ(out.pixelColour(0, 0), kBlack);
  EXPECT_EQ(out.pixelColour(5, 5), MakeColour(200, 100, 50));
  // Without blur the mask is not applied here.
  s.blur2 = false;
  c.settings = s;
  out = Convert(path, c);
  EXPECT_EQ(out.pixelColour(0, 0), MakeColour(200, 100, 50));
}

TEST_F(ConvertToOutputTest, GrayAndTransparencyColour) {
  Bitmap red(32, 32, 24);
  red.fill(MakeColour(255, 0, 0));
  std::string path = WriteFixture("red.bmp", red);
  ConversionSettings s;
  s.depth = Depth::Bits24;
  s.gray = true;
  Bitmap out = Convert(path, Context(s));
  EXPECT_EQ(out.pixelColour(3, 3), MakeColour(76, 76, 76));

  ConversionSettings t;
  t.depth = Depth::Colours256;
  t.transparencyColour = true;
  out = Convert(path, Context(t));
  ASSERT_EQ(out.bits(), 8);
  EXPECT_EQ(out.colourTable()[0].colour(), kBlack);
}

TEST_F(ConvertToOutputTest, UnreadableSourcesLeaveTheOutputAlone) {
  Bitmap out(3, 3, 24);
  Bitmap before = out;
  std::string junk = WriteBytes("junk.bmp", {1, 2, 3, 4, 5});
  EXPECT_FALSE(ConvertToOutput(out, junk, true, Context(ConversionSettings{}), flags_));
  ASSERT_EQ(messages_.entries.size(), 1u);
  EXPECT_EQ(messages_.entries[0].text, "この画像は読めません。");
  // The PNG reader fails quietly.
  std::string badPng = WriteBytes("bad.png", {0x89, 'P', 'N', 'G'});
  EXPECT_FALSE(ConvertToOutput(out, badPng, true, Context(ConversionSettings{}, ".png"), flags_));
  EXPECT_EQ(messages_.entries.size(), 1u);
  EXPECT_EQ(out, before);
}

TEST_F(ConvertToOutputTest, PngSourceWithAlpha) {
  std::string path = WriteBytes("icon.png", testsupport::MakePngImage(24, 24, 4));
  ConversionSettings s;
  s.outputType = OutputType::Png;
  s.depth = Depth::Bits32;
  Bitmap out = Convert(path, Context(s, ".png"));
  EXPECT_TRUE(flags_.sourceHasAlpha);
  EXPECT_EQ(out.bits(), 32);
  EXPECT_EQ(out.width(), 32);
}

TEST(ConvertBitmapDepthTest, BringsAnEditedImageBackToItsDepth) {
  Bitmap edited = testsupport::MakePatternBitmap(20, 20, 32, 11);
  ConversionSettings s;
  Bitmap b = edited;
  ASSERT_TRUE(ConvertBitmapDepth(b, 8, false, s));
  EXPECT_EQ(b.bits(), 8);
  EXPECT_EQ(b.width(), 20);
  b = edited;
  ASSERT_TRUE(ConvertBitmapDepth(b, 4, false, s));
  EXPECT_EQ(b.bits(), 4);
  b = edited;
  ASSERT_TRUE(ConvertBitmapDepth(b, 1, true, s));  // fitted into the 32 x 32 output
  EXPECT_EQ(b.bits(), 1);
  EXPECT_EQ(b.width(), 32);
  b = edited;
  ASSERT_TRUE(ConvertBitmapDepth(b, 24, false, s));
  EXPECT_EQ(b.bits(), 24);
  EXPECT_EQ(b.pixelColour(7, 3), edited.pixelColour(7, 3));
  b = edited;
  EXPECT_FALSE(ConvertBitmapDepth(b, 7, false, s));
  EXPECT_EQ(b, edited);
}

}  // namespace
}  // namespace glyphwell::imaging
