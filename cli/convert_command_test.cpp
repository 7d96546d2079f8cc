#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "cli/commands.h"
#include "imaging/bmp_codec.h"
#include "platform/atomic_file.h"
#include "tests/support/image_fixtures.h"
#include "tests/support/module_builder.h"

namespace glyphwell::cli {

int RunConvert(const Args& args);

namespace {

namespace fs = std::filesystem;
using imaging::Bitmap;
using testsupport::MakeIconDib;
using testsupport::ModuleBuilder;
using testsupport::ResName;

class ConvertCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() / (std::string("convert_command_") + info->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    // One group "APP": a 32 x 32 8-bit image and a 16 x 16 4-bit one, both with
    // the left half transparent; and a bitmap resource of 20 x 10 at 24 bits.
    ModuleBuilder b(ModuleBuilder::Kind::kPe32);
    b.AddIconGroup(ResName::Named("APP"), 1,
                   {MakeIconDib(32, 32, 8, 3), MakeIconDib(16, 16, 4, 4)});
    b.AddBitmap(ResName::Id(5), testsupport::MakeBitmapDib(20, 10, 24, 6));
    module_ = Path("m.dll");
    ASSERT_TRUE(platform::WriteFileAtomically(module_, b.Build()));
    picture_ = Path("p.bmp");
    ASSERT_TRUE(imaging::WriteBmp(testsupport::MakePatternBitmap(40, 20, 24, 2), picture_));
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  int Run(const Args& args) {
    ::testing::internal::CaptureStderr();
    int status = RunConvert(args);
    err_ = ::testing::internal::GetCapturedStderr();
    return status;
  }

  Bitmap ReadBack(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(f)), {});
    Bitmap b;
    EXPECT_TRUE(imaging::ReadBmp(bytes, b)) << path;
    return b;
  }

  fs::path dir_;
  std::string module_, picture_, err_;
};

TEST_F(ConvertCommandTest, ModuleImageWithItsMask) {
  std::string out = Path("o.bmp"), mask = Path("m.bmp");
  ASSERT_EQ(
      Run({module_, "--index", "1", "-o", out, "--mask-out", mask, "--depth", "24", "--correct"}),
      0)
      << err_;
  Bitmap image = ReadBack(out);
  EXPECT_EQ(image.width(), 32);
  EXPECT_EQ(image.bits(), 24);
  EXPECT_EQ(image.pixelColour(0, 0), imaging::kBlack);  // transparent, corrected
  Bitmap m = ReadBack(mask);
  EXPECT_EQ(m.bits(), 32);
  EXPECT_EQ(m.pixelColour(0, 0), imaging::kWhite);
  EXPECT_EQ(m.pixelColour(31, 0), imaging::kBlack);
}

TEST_F(ConvertCommandTest, DepthAndSizeChoices) {
  struct Case {
    Args extra;
    int width, height, bits;
  } cases[] = {
      {{}, 32, 32, 4},
      {{"--depth", "256", "--size", "48"}, 48, 48, 8},
      {{"--depth", "2", "--size", "16"}, 16, 16, 1},
      {{"--depth", "32", "--size", "user", "--user", "64x40"}, 64, 40, 32},
      {{"--size", "original", "--original-colours"}, 32, 32, 8},
  };
  for (const Case& c : cases) {
    Args args = {module_, "-o", Path("o.bmp")};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    ASSERT_EQ(Run(args), 0) << err_;
    Bitmap b = ReadBack(Path("o.bmp"));
    EXPECT_EQ(b.width(), c.width);
    EXPECT_EQ(b.height(), c.height);
    EXPECT_EQ(b.bits(), c.bits);
  }
}

TEST_F(ConvertCommandTest, PicturesBitmapModeAndPng) {
  ASSERT_EQ(Run({picture_, "-o", Path("p.png"), "--type", "png", "--depth", "256", "--png-colours",
                 "16"}),
            0)
      << err_;
  EXPECT_TRUE(fs::exists(Path("p.png")));
  ASSERT_EQ(Run({module_, "--mode", "bmp", "-o", Path("b.bmp"), "--depth", "24"}), 0) << err_;
  Bitmap b = ReadBack(Path("b.bmp"));
  EXPECT_EQ(b.bits(), 24);
  EXPECT_EQ(b.width(), 32);
  ASSERT_EQ(Run({module_, "--mode", "normal", "-o", Path("n.bmp")}), 0) << err_;
}

TEST_F(ConvertCommandTest, UsageErrorsAndUnreadableInput) {
  const Args usage[] = {
      {module_},
      {module_, "-o", Path("o.gif")},
      {module_, "-o", Path("o.bmp"), "--index", "9"},
      {module_, "-o", Path("o.bmp"), "--bogus"},
      {picture_, "-o", Path("o.bmp"), "--size", "original"},
      {picture_, "-o", Path("o.bmp"), "--type", "jpeg", "--depth", "16"},
      {module_, "-o", Path("o.bmp"), "--mode", "normal", "--original-colours"},
  };
  for (const Args& a : usage)
    EXPECT_EQ(Run(a), 2) << a.back();
  EXPECT_EQ(Run({Path("missing.dll"), "-o", Path("o.bmp")}), 1);
  std::ofstream(Path("bad.bmp")) << "nope";
  EXPECT_EQ(Run({Path("bad.bmp"), "-o", Path("o.bmp")}), 1);
  EXPECT_NE(err_.find("この画像は読めません。"), std::string::npos);
}

}  // namespace
}  // namespace glyphwell::cli
