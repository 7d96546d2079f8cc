#include "output/icon_file_writer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "imaging/mask_ops.h"
#include "imaging/png_codec.h"
#include "output/temporary_bitmap.h"
#include "platform/atomic_file.h"
#include "platform/byte_reader.h"
#include "tests/support/image_tool_checks.h"

namespace glyphwell::output {
namespace {

namespace fs = std::filesystem;
using imaging::Bitmap;
using platform::ByteReader;

// An image of the format with a pattern that uses many table entries.
Bitmap Pattern(int w, int h, int bits) {
  Bitmap image(w, h, bits);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      image.setPixelColour(x, y, imaging::MakeColour(x * 16, y * 16, (x + y) * 8));
  if (bits == 32)  // opaque, as a converted output image is
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        image.row(y)[4 * x + 3] = 255;
  return image;
}

// A mask image, transparent (white) in the top-left 3 x 2 corner only.
Bitmap CornerMask(int w, int h) {
  Bitmap mask(w, h, 32);
  mask.fill(imaging::kBlack);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      mask.setPixelColour(x, y, imaging::kWhite);
  return mask;
}

std::vector<std::uint8_t> Read(const std::string& path) {
  std::vector<std::uint8_t> bytes;
  platform::ReadWholeFileBytes(path, bytes);
  return bytes;
}

class IconFileWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    work_ = fs::temp_directory_path() /
            (std::string("icon_writer_") + info->test_suite_name() + "_" + info->name());
    fs::remove_all(work_);
    fs::create_directories(work_);
    ASSERT_TRUE(pelmora_.Load(messages_)) << "libPelmora.so not found beside the test program";
  }
  void TearDown() override { fs::remove_all(work_); }

  std::string Path(const std::string& name) const { return (work_ / name).string(); }
  IconFileWriter Writer(IconOptions options = {}) const {
    return IconFileWriter(pelmora_, work_.string(), options);
  }
  void StoreTemporary(const Bitmap& image, const IconFileWriter& writer) {
    ASSERT_TRUE(
        platform::WriteFileAtomically(writer.temporaryBitmapPath(), EncodeTemporaryBitmap(image)));
  }

  fs::path work_;
  platform::RecordingMessages messages_;
  PelmoraLoader pelmora_;
};

// Checks what independent readers make of an icon file. identify reports the depth
// of the image data (a PNG's own depth), Pillow the directory entry's bit count.
void ExpectToolsRead(const std::string& path, int w, int h, int bits, int identifyDepth = 0) {
  if (auto pillow = testsupport::PillowIcon(path)) {
    EXPECT_EQ(pillow->width, w) << path << ": " << pillow->detail;
    EXPECT_EQ(pillow->height, h) << pillow->detail;
    EXPECT_EQ(pillow->bits, bits) << pillow->detail;
  }
  if (auto magick = testsupport::IdentifyImage(path)) {
    EXPECT_EQ(magick->width, w) << path << ": " << magick->detail;
    EXPECT_EQ(magick->height, h) << magick->detail;
    // identify reports the depth of one channel above 8 bits a pixel.
    if (identifyDepth == 0) identifyDepth = bits > 8 ? 8 : bits;
    EXPECT_EQ(magick->bits, identifyDepth) << magick->detail;
  }
}

TEST_F(IconFileWriterTest, RenderedRouteLaysOutEveryDepth) {
  struct Case {
    int bits, w, h;
    int colourCountField;
    std::size_t tableBytes;
  };
  const Case cases[] = {
      {1, 16, 16, 2, 8},     // "2色"
      {4, 16, 16, 16, 64},   // "16色"
      {8, 33, 20, 0, 1024},  // "256色", an odd width pads every row
      {24, 48, 48, 0, 0},    // "24bit"
      {32, 256, 256, 0, 0},  // "32bit": 256 is written as 0
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bits);
    IconFileWriter writer = Writer();
    const Bitmap image = Pattern(c.w, c.h, c.bits);
    StoreTemporary(image, writer);
    const std::string target = Path("r" + std::to_string(c.bits) + ".ico");
    ASSERT_EQ(writer.SaveIconFile(CornerMask(c.w, c.h), target, true), IconWriteResult::kWritten);

    const auto icon = Read(target);
    ByteReader r(icon);
    const std::size_t rows = imaging::RowBytes(c.w, c.bits) * c.h;
    const std::size_t maskRow = (c.w + 31) / 32 * 4;
    const std::size_t resource = 40 + c.tableBytes + rows + maskRow * c.h;
    ASSERT_EQ(icon.size(), 22 + resource);
    EXPECT_EQ(*r.u16le(2), 1);
    EXPECT_EQ(*r.u16le(4), 1);
    EXPECT_EQ(*r.u8(6), c.w & 0xFF);
    EXPECT_EQ(*r.u8(7), c.h & 0xFF);
    EXPECT_EQ(*r.u8(8), c.colourCountField);
    EXPECT_EQ(*r.u16le(10), 1);
    EXPECT_EQ(*r.u16le(12), c.bits);
    EXPECT_EQ(*r.u32le(14), resource);
    EXPECT_EQ(*r.u32le(18), 22u);
    EXPECT_EQ(*r.i32le(30), 2 * c.h);
    EXPECT_EQ(*r.u32le(42), rows + maskRow * c.h);
    // The mask's top row is stored last: its first three bits are set.
    const std::size_t topMaskRow = icon.size() - maskRow;
    EXPECT_EQ(icon[topMaskRow], 0xE0);
    EXPECT_EQ(icon[22 + 40 + c.tableBytes + rows], 0);  // bottom row: opaque
    ExpectToolsRead(target, c.w, c.h, c.bits);
  }
  EXPECT_TRUE(messages_.entries.empty());
}

TEST_F(IconFileWriterTest, UneditedPictureGetsAnOpaqueMask) {
  IconFileWriter writer = Writer();
  StoreTemporary(Pattern(32, 32, 32), writer);
  ASSERT_EQ(writer.SaveIconFile(CornerMask(32, 32), Path("p.ico"), false),
            IconWriteResult::kWritten);
  const auto icon = Read(Path("p.ico"));
  ASSERT_EQ(icon.size(), 22u + 40 + 32 * 32 * 4 + 32 * 4);
  for (std::size_t i = icon.size() - 32 * 4; i < icon.size(); ++i)
    ASSERT_EQ(icon[i], 0) << i;
}

TEST_F(IconFileWriterTest, PngRouteKeepsTheBitmapsBitCountInTheEntry) {
  struct Case {
    IconOptions options;
    int bits, size;
    bool png;
  };
  const Case cases[] = {
      {{.png256 = true}, 32, 256, true},  // large image, png256: PNG
      {{.png256 = true}, 32, 48, false},  // small image, png256 only: rendered
      {{.pngfrg = true}, 4, 16, true},    // every size with pngfrg
      {{.pngfrg = true, .pngsv = true}, 4, 16, true},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(n);
    IconFileWriter writer = Writer(c.options);
    StoreTemporary(Pattern(c.size, c.size, c.bits), writer);
    const std::string target = Path("png" + std::to_string(n++) + ".ico");
    ASSERT_EQ(writer.SaveIconFile(CornerMask(c.size, c.size), target, true),
              IconWriteResult::kWritten);
    const auto icon = Read(target);
    ByteReader r(icon);
    EXPECT_EQ(*r.u16le(12), c.bits);
    EXPECT_EQ(*r.u8(8), c.bits < 8 ? 1 << c.bits : 0);
    EXPECT_EQ(*r.u8(6), c.size & 0xFF);
    if (!c.png) {
      EXPECT_EQ(*r.u32le(22), 40u);
      continue;
    }
    EXPECT_EQ(*r.u32le(14), icon.size() - 22);
    const auto png = std::span<const std::uint8_t>(icon).subspan(22);
    EXPECT_EQ(png[0], 0x89);
    // "tpng.png" stays in the work folder and is the embedded PNG.
    EXPECT_EQ(Read(writer.temporaryPngPath()), std::vector<std::uint8_t>(png.begin(), png.end()));
    Bitmap decoded;
    ASSERT_TRUE(imaging::ReadPngMemory(png, decoded));
    EXPECT_EQ(decoded.width(), c.size);
    // With "pngsv" the alpha comes from the mask: white (transparent) gives 0.
    const int cornerAlpha = c.options.pngsv ? 0 : 255;
    EXPECT_EQ(decoded.pixelAlpha(0, 0), cornerAlpha);
    EXPECT_EQ(decoded.pixelAlpha(5, 5), 255);
    if (c.bits == 32) ExpectToolsRead(target, c.size, c.size, 32);
  }
}

TEST_F(IconFileWriterTest, AsReadRouteGivesBackTheSourceBytesUnlessPngIsAskedFor) {
  // A 16 x 16 4-bit icon file as an icon source holds it.
  IconFileWriter plain = Writer();
  StoreTemporary(Pattern(16, 16, 4), plain);
  ASSERT_EQ(plain.SaveIconFile(CornerMask(16, 16), Path("src.ico"), true),
            IconWriteResult::kWritten);
  const auto source = Read(Path("src.ico"));

  EXPECT_EQ(plain.SaveIconAsRead(source, Path("a.ico")), IconWriteResult::kDeclined);
  EXPECT_FALSE(fs::exists(Path("a.ico")));
  ASSERT_TRUE(plain.WriteIconAsRead(source, Path("a.ico")));
  EXPECT_EQ(Read(Path("a.ico")), source);

  // png256 asks only for images of 256 pixels or more.
  EXPECT_EQ(Writer({.png256 = true}).SaveIconAsRead(source, Path("b.ico")),
            IconWriteResult::kDeclined);

  IconFileWriter png = Writer({.pngfrg = true, .pngsv = true});
  ASSERT_EQ(png.SaveIconAsRead(source, Path("c.ico")), IconWriteResult::kWritten);
  const auto icon = Read(Path("c.ico"));
  ByteReader r(icon);
  EXPECT_EQ(*r.u16le(12), 4);
  EXPECT_EQ(*r.u8(8), 16);
  Bitmap decoded;
  ASSERT_TRUE(imaging::ReadPngMemory(std::span<const std::uint8_t>(icon).subspan(22), decoded));
  EXPECT_EQ(decoded.width(), 16);
  EXPECT_EQ(decoded.height(), 16);
  EXPECT_EQ(decoded.pixelAlpha(0, 0), 0);  // the source's mask is transparent there
  EXPECT_EQ(decoded.pixelAlpha(8, 8), 255);
  EXPECT_EQ(decoded.pixelColour(8, 8), Pattern(16, 16, 4).pixelColour(8, 8));
  ExpectToolsRead(Path("c.ico"), 16, 16, 4, 8);
}

TEST_F(IconFileWriterTest, AsReadRouteKeepsDataItCannotReencode) {
  IconFileWriter png = Writer({.pngfrg = true});
  // Cut short, and PNG data already: both are written unchanged.
  std::vector<std::uint8_t> cut(22 + 40 + 10, 0);
  cut[22] = 40;
  cut[26] = 16;
  cut[30] = 32;
  cut[36] = 4;
  std::vector<std::uint8_t> pngData(22, 0);
  for (int b : {0x89, 0x50, 0x4E, 0x47})
    pngData.push_back(static_cast<std::uint8_t>(b));
  pngData.resize(22 + 40, 0);
  for (const auto& data : {cut, pngData}) {
    EXPECT_EQ(png.SaveIconAsRead(data, Path("k.ico")), IconWriteResult::kDeclined);
    ASSERT_TRUE(png.WriteIconAsRead(data, Path("k.ico")));
    EXPECT_EQ(Read(Path("k.ico")), data);
  }
}

TEST_F(IconFileWriterTest, FailuresLeaveNoFileAndReportFailed) {
  IconFileWriter writer = Writer();
  StoreTemporary(Pattern(16, 16, 4), writer);
  EXPECT_EQ(writer.SaveIconFile(CornerMask(16, 16), Path("none/x.ico"), true),
            IconWriteResult::kFailed);
  ASSERT_EQ(messages_.entries.size(), 1u);
  EXPECT_EQ(messages_.entries[0].text, Path("none/x.ico") + "\n出力ファイルを開けません！");
  EXPECT_EQ(Writer({.pngfrg = true}).SaveIconFile(CornerMask(16, 16), Path("none/y.ico"), true),
            IconWriteResult::kFailed);

  PelmoraLoader missing;
  platform::SilentMessages silent;
  missing.Load(silent, "libNoSuchPelmora.so");
  IconFileWriter without(missing, work_.string(), {});
  EXPECT_EQ(without.SaveIconFile(CornerMask(16, 16), Path("z.ico"), true),
            IconWriteResult::kFailed);
  EXPECT_FALSE(fs::exists(Path("z.ico")));
}

TEST(ChooseIconRouteTest, AsReadNeedsEveryConditionThenPngOptionsDecide) {
  const IconRouteFacts asRead{true, true, true, false, true, 32, 32};
  EXPECT_EQ(ChooseIconRoute(asRead, {}), IconRoute::AsRead);
  EXPECT_EQ(ChooseIconRoute(asRead, {.pngfrg = true}), IconRoute::AsRead);
  struct Case {
    IconRouteFacts facts;
    IconOptions options;
    IconRoute route;
  };
  IconRouteFacts notOwn = asRead, resized = asRead, edited = asRead, bmpType = asRead;
  notOwn.ownParserIconMode = false;
  resized.originalSize = false;
  edited.editorOpen = true;
  bmpType.savingAsIcon = false;
  IconRouteFacts large = notOwn;
  large.width = 256;
  const Case cases[] = {
      {notOwn, {}, IconRoute::Rendered},          {resized, {}, IconRoute::Rendered},
      {edited, {.pngfrg = true}, IconRoute::Png}, {bmpType, {.png256 = true}, IconRoute::Rendered},
      {large, {.png256 = true}, IconRoute::Png},  {large, {}, IconRoute::Rendered},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ChooseIconRoute(c.facts, c.options), c.route);
}

}  // namespace
}  // namespace glyphwell::output
