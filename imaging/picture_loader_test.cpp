#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "imaging/bmp_codec.h"
#include "imaging/jpeg_codec.h"
#include "imaging/picture.h"
#include "imaging/png_codec.h"
#include "platform/atomic_file.h"
#include "platform/byte_reader.h"

namespace glyphwell::imaging {
namespace {

using platform::PutU16le;
using platform::PutU32le;

// An icon (type 1) or cursor (type 2) file whose first image is the given data.
std::vector<std::uint8_t> IconFile(int type, int width, int height,
                                   const std::vector<std::uint8_t>& image) {
  std::vector<std::uint8_t> out(22, 0);
  PutU16le(out.data() + 2, static_cast<std::uint16_t>(type));
  PutU16le(out.data() + 4, 1);
  out[6] = static_cast<std::uint8_t>(width);
  out[7] = static_cast<std::uint8_t>(height);
  PutU16le(out.data() + 10, type == 1 ? 1 : 3);   // planes, or hot spot x
  PutU16le(out.data() + 12, type == 1 ? 32 : 4);  // bit count, or hot spot y
  PutU32le(out.data() + 14, static_cast<std::uint32_t>(image.size()));
  PutU32le(out.data() + 18, 22);
  out.insert(out.end(), image.begin(), image.end());
  return out;
}

// A 4x2 32-bit icon image as a DIB: colour rows and a mask, bottom row first.
std::vector<std::uint8_t> IconDib() {
  Bitmap colour(4, 2, 32);
  colour.fill(MakeColour(10, 20, 30));
  std::vector<std::uint8_t> dib = EncodeDib(colour);
  PutU32le(dib.data() + 8, 4);  // the height counts colour rows and mask rows
  dib.insert(dib.end(), 8, 0);  // two mask rows of 4 bytes, all opaque
  return dib;
}

// A placeable metafile, 10x6 at 96 units per inch, with no drawing records.
std::vector<std::uint8_t> EmptyMetafile() {
  std::vector<std::uint8_t> out(22 + 18 + 6, 0);
  PutU32le(out.data(), 0x9AC6CDD7);
  PutU16le(out.data() + 10, 10);
  PutU16le(out.data() + 12, 6);
  PutU16le(out.data() + 14, 96);
  PutU16le(out.data() + 22, 1);
  PutU16le(out.data() + 24, 9);
  PutU16le(out.data() + 26, 0x300);
  PutU32le(out.data() + 40, 3);
  return out;
}

class PictureLoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("glyphwell_picture_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Save(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const std::string path = (dir_ / name).string();
    EXPECT_TRUE(platform::WriteFileAtomically(path, bytes));
    return path;
  }
  std::filesystem::path dir_;
};

TEST_F(PictureLoaderTest, ChoosesTheDecoderByContent) {
  Bitmap indexed(5, 3, 8);
  Bitmap gray(6, 4, 24);
  struct Case {
    const char* name;  // the extension deliberately does not match the content
    std::vector<std::uint8_t> bytes;
    PictureKind kind;
    int width, height, bits;
  };
  const Case cases[] = {
      {"bmp.jpg", EncodeBmp(indexed), PictureKind::kBitmap, 5, 3, 8},
      {"jpeg.bmp", EncodeJpeg(gray), PictureKind::kJpeg, 6, 4, 24},
      {"png.bmp", EncodePng(indexed), PictureKind::kBitmap, 5, 3, 8},
      {"meta.png", EmptyMetafile(), PictureKind::kMetafile, 10, 6, 32},
  };
  for (const Case& c : cases) {
    Picture picture;
    ASSERT_TRUE(LoadPicture(Save(c.name, c.bytes), picture)) << c.name;
    EXPECT_EQ(picture.kind, c.kind) << c.name;
    EXPECT_EQ(picture.width(), c.width) << c.name;
    EXPECT_EQ(picture.height(), c.height) << c.name;
    EXPECT_EQ(picture.bitmap.bits(), c.bits) << c.name;
    EXPECT_FALSE(picture.icon.has_value());
  }
}

TEST_F(PictureLoaderTest, IconsAndCursorsGiveTheirFirstImage) {
  for (int type : {1, 2}) {
    Picture picture;
    ASSERT_TRUE(LoadPicture(Save("i.ico", IconFile(type, 4, 2, IconDib())), picture)) << type;
    EXPECT_EQ(picture.kind, PictureKind::kIcon);
    ASSERT_TRUE(picture.icon.has_value());
    EXPECT_EQ(picture.width(), 4);
    EXPECT_EQ(picture.height(), 2);
    EXPECT_EQ(picture.icon->colour().pixelColour(1, 1), MakeColour(10, 20, 30));
    // The icon keeps a stream that is itself an icon file of one image.
    EXPECT_EQ(picture.icon->stream()[2], 1) << type;
  }
  Picture picture;
  ASSERT_TRUE(LoadPicture(Save("p.cur", IconFile(2, 7, 3, EncodePng(Bitmap(7, 3, 32)))), picture));
  EXPECT_EQ(picture.width(), 7);
}

TEST_F(PictureLoaderTest, UnreadableFilesLeaveThePictureUnchanged) {
  std::vector<std::uint8_t> cutBmp = EncodeBmp(Bitmap(8, 8, 24));
  cutBmp.resize(100);
  std::vector<std::uint8_t> badIcon = IconFile(1, 4, 2, IconDib());
  PutU32le(badIcon.data() + 18, 5000);  // image offset beyond the file
  const std::vector<std::pair<const char*, std::vector<std::uint8_t>>> inputs = {
      {"empty.bmp", {}},    {"text.bmp", {'h', 'e', 'l', 'l', 'o'}}, {"cut.bmp", cutBmp},
      {"bad.ico", badIcon}, {"cut.jpg", {0xFF, 0xD8, 0xFF}},
  };
  for (const auto& [name, bytes] : inputs) {
    Picture picture;
    picture.kind = PictureKind::kBitmap;
    picture.bitmap = Bitmap(2, 2, 24);
    EXPECT_FALSE(LoadPicture(Save(name, bytes), picture)) << name;
    EXPECT_EQ(picture.kind, PictureKind::kBitmap) << name;
    EXPECT_EQ(picture.bitmap.width(), 2) << name;
  }
  Picture picture;
  EXPECT_FALSE(LoadPicture((dir_ / "missing.bmp").string(), picture));
  EXPECT_FALSE(LoadPicture("", picture));
  EXPECT_TRUE(picture.empty());
}

}  // namespace
}  // namespace glyphwell::imaging
