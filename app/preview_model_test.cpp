#include "app/preview_model.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <algorithm>

#include <filesystem>

#include "imaging/bmp_codec.h"
#include "platform/byte_reader.h"
#include "tests/support/image_fixtures.h"

namespace glyphwell::app {
namespace {

using imaging::Bitmap;
using imaging::kBlack;
using imaging::kWhite;
using imaging::MakeColour;
using imaging::SourceKind;

// A one-image icon file around an icon image (info header, colours, AND mask).
std::vector<std::uint8_t> IconStream(const std::vector<std::uint8_t>& dib, int size) {
  std::vector<std::uint8_t> f(22 + dib.size(), 0);
  platform::PutU16le(&f[2], 1);
  platform::PutU16le(&f[4], 1);
  f[6] = f[7] = static_cast<std::uint8_t>(size);
  platform::PutU32le(&f[14], static_cast<std::uint32_t>(dib.size()));
  platform::PutU32le(&f[18], 22);
  std::copy(dib.begin(), dib.end(), f.begin() + 22);
  return f;
}

class PreviewModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "preview-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // A picture source over a BMP file written from `image`.
  PreviewSource PictureSource(const Bitmap& image) {
    picturePath_ = (dir_ / "picture.bmp").string();
    EXPECT_TRUE(imaging::WriteBmp(image, picturePath_));
    picture_.kind = imaging::PictureKind::kBitmap;
    picture_.bitmap = image;
    PreviewSource s;
    s.kind = SourceKind::Picture;
    s.extension = ".bmp";
    s.picturePath = picturePath_;
    s.picture = &picture_;
    return s;
  }

  // An own-parser icon source whose only image is a 16 x 16 4-bit icon with its
  // left half transparent.
  PreviewSource IconSource() {
    Bitmap image(16, 16, 4);
    image.fill(MakeColour(255, 0, 0));
    icon_ = imaging::IconImage::FromStream(IconStream(testsupport::MakeIconDib(image, true), 16));
    EXPECT_TRUE(icon_);
    PreviewSource s;
    s.kind = SourceKind::IconMode;
    s.ownParser = true;
    s.extension = ".dll";
    s.extract = [this](int index, imaging::Picture& out) {
      if (index != 0 || !icon_) return false;
      out = imaging::Picture{};
      out.kind = imaging::PictureKind::kIcon;
      out.icon = icon_;
      return true;
    };
    return s;
  }

  std::filesystem::path dir_;
  std::string picturePath_;
  imaging::Picture picture_;
  std::optional<imaging::IconImage> icon_;
  platform::RecordingMessages messages_;
};

TEST_F(PreviewModelTest, PictureSourceFillsTheWorkingBitmaps) {
  PreviewModel model(dir_);
  PreviewSource source = PictureSource(testsupport::MakePatternBitmap(16, 16, 24, 3));
  PreviewOptions options;  // "Icon", "16色", 32 x 32
  ASSERT_TRUE(model.RebuildPreview(0, source, options, messages_));
  const Bitmap& out = model.outputImage();
  EXPECT_EQ(out.width(), 32);
  EXPECT_EQ(out.bits(), 4);
  // A picture has no mask: fully opaque.
  EXPECT_EQ(model.outputMask().width(), 32);
  EXPECT_EQ(model.outputMask().pixelColour(5, 5), kBlack);
  EXPECT_EQ(model.inverseOutputMask().pixelColour(5, 5), kWhite);
  EXPECT_EQ(model.whitePlane().pixelColour(31, 31), kWhite);
  EXPECT_EQ(model.blackPlane().pixelColour(0, 0), kBlack);
  EXPECT_EQ(model.alphaPlane().width(), 32);
  // 48 x 48 preview with the output at its top-left corner, white around it.
  const Bitmap& preview = model.preview();
  EXPECT_EQ(preview.width(), 48);
  EXPECT_EQ(preview.height(), 48);
  EXPECT_EQ(preview.pixelColour(3, 3), out.pixelColour(3, 3));
  EXPECT_EQ(preview.pixelColour(40, 40), kWhite);
  EXPECT_EQ(model.previewCopy(), preview);
  // The temporary bitmap file holds the last output image.
  ASSERT_TRUE(std::filesystem::exists(model.temporaryBitmapPath()));
  EXPECT_TRUE(messages_.entries.empty());
}

TEST_F(PreviewModelTest, PreviewSizeRules) {
  struct Case {
    imaging::SizeChoice choice;
    int userWidth, userHeight;
    bool enlarge;
    imaging::Size output, source, expected;
  } cases[] = {
      {imaging::SizeChoice::Size16, 64, 64, false, {16, 16}, {16, 16}, {48, 48}},
      {imaging::SizeChoice::Size16, 64, 64, true, {16, 16}, {16, 16}, {16, 16}},
      {imaging::SizeChoice::User, 64, 40, false, {64, 40}, {10, 10}, {64, 40}},  // 104 >= 97
      {imaging::SizeChoice::User, 40, 40, false, {40, 40}, {10, 10}, {48, 48}},
      {imaging::SizeChoice::Original, 64, 64, false, {100, 20}, {100, 20}, {100, 20}},
      {imaging::SizeChoice::Original, 64, 64, false, {40, 40}, {40, 40}, {48, 48}},
  };
  for (const Case& c : cases) {
    PreviewOptions o;
    o.settings.sizeChoice = c.choice;
    o.settings.userWidth = c.userWidth;
    o.settings.userHeight = c.userHeight;
    o.enlarge = c.enlarge;
    EXPECT_EQ(PreviewModel::PreviewSize(o, c.output, c.source), c.expected)
        << static_cast<int>(c.choice) << " " << c.userWidth << "x" << c.userHeight;
  }
  PreviewOptions editor;
  editor.editorOpen = true;
  EXPECT_EQ(PreviewModel::PreviewSize(editor, {24, 24}, {24, 24}), (imaging::Size{24, 24}));
}

TEST_F(PreviewModelTest, IconSourceBuildsTheMaskAndShowsTransparencyWhite) {
  PreviewModel model(dir_);
  PreviewSource source = IconSource();
  PreviewOptions options;
  options.settings.sizeChoice = imaging::SizeChoice::Size16;
  options.settings.depth = imaging::Depth::Bits24;
  options.settings.correction = true;
  ASSERT_TRUE(model.RebuildPreview(0, source, options, messages_));
  const Bitmap& mask = model.outputMask();
  ASSERT_EQ(mask.width(), 16);
  EXPECT_EQ(mask.pixelColour(0, 0), kWhite);  // left half transparent
  EXPECT_EQ(mask.pixelColour(15, 0), kBlack);
  EXPECT_EQ(model.inverseOutputMask().pixelColour(0, 0), kBlack);
  EXPECT_EQ(model.maskCopy(), mask);
  // Correction clears the transparent half to black; the opaque half keeps red.
  EXPECT_EQ(model.outputImage().bits(), 24);
  EXPECT_EQ(model.outputImage().pixelColour(0, 0), kBlack);
  EXPECT_EQ(model.outputImage().pixelColour(15, 15), MakeColour(255, 0, 0));
  // The preview ORs the mask over the image: transparent pixels show white.
  EXPECT_EQ(model.preview().pixelColour(0, 0), kWhite);
  EXPECT_EQ(model.preview().pixelColour(15, 15), MakeColour(255, 0, 0));
  EXPECT_EQ(model.scaledSource().width(), 16);
}

TEST_F(PreviewModelTest, OwnParserIconKeepsItsDepthWithOriginalColours) {
  PreviewModel model(dir_);
  PreviewSource source = IconSource();
  PreviewOptions options;
  options.settings.sizeChoice = imaging::SizeChoice::Size16;
  options.settings.keepSourceDepth = true;
  ASSERT_TRUE(model.RebuildPreview(0, source, options, messages_));
  EXPECT_EQ(model.outputImage().bits(), 4);
}

TEST_F(PreviewModelTest, NoSelectionBusyAndMissingImages) {
  PreviewModel model(dir_);
  PreviewSource source = PictureSource(testsupport::MakePatternBitmap(8, 8, 24, 1));
  PreviewOptions options;
  ASSERT_TRUE(model.RebuildPreview(0, source, options, messages_));
  Bitmap before = model.outputImage();

  EXPECT_FALSE(model.RebuildPreview(-1, source, options, messages_));
  EXPECT_EQ(model.preview().pixelColour(0, 0), kWhite);
  EXPECT_EQ(model.outputImage(), before);

  options.busy = true;
  EXPECT_FALSE(model.RebuildPreview(0, source, options, messages_));

  PreviewSource icons = IconSource();
  PreviewOptions plain;
  EXPECT_FALSE(model.RebuildPreview(5, icons, plain, messages_));  // no such image
  EXPECT_EQ(model.outputImage(), before);
}

TEST_F(PreviewModelTest, PastedPictureGoesThroughTheTemporaryFile) {
  PreviewModel model(dir_);
  PreviewSource source = PictureSource(testsupport::MakePatternBitmap(20, 10, 24, 5));
  source.picturePath.clear();
  std::filesystem::remove(picturePath_);
  PreviewOptions options;
  options.settings.depth = imaging::Depth::Bits32;
  ASSERT_TRUE(model.RebuildPreview(0, source, options, messages_));
  EXPECT_EQ(model.outputImage().bits(), 32);
  EXPECT_EQ(model.outputImage().width(), 32);
}

TEST_F(PreviewModelTest, EightBitWorkingFormat) {
  PreviewModel model(dir_, 8);
  EXPECT_EQ(model.workingBits(), 8);
  PreviewSource source = PictureSource(testsupport::MakePatternBitmap(16, 16, 24, 3));
  PreviewOptions options;
  options.settings.depth = imaging::Depth::Bits24;
  ASSERT_TRUE(model.RebuildPreview(0, source, options, messages_));
  EXPECT_EQ(model.outputImage().bits(), 24);  // the conversion does not depend on it
  EXPECT_EQ(model.preview().bits(), 8);
  PreviewSource icons = IconSource();
  options.settings.sizeChoice = imaging::SizeChoice::Size16;
  ASSERT_TRUE(model.RebuildPreview(0, icons, options, messages_));
  EXPECT_EQ(model.scaledSource().bits(), 4);  // the own parser's image in its own format
}

}  // namespace
}  // namespace glyphwell::app
