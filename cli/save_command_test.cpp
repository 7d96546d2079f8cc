#include <gtest/gtest.h>

#include <filesystem>

#include "cli/commands.h"
#include "platform/atomic_file.h"
#include "platform/byte_reader.h"
#include "tests/support/image_fixtures.h"
#include "tests/support/image_tool_checks.h"
#include "tests/support/module_builder.h"

namespace glyphwell::cli {

int RunSave(const Args& args);

namespace {

namespace fs = std::filesystem;
using testsupport::MakeIconDib;
using testsupport::ModuleBuilder;
using testsupport::ResName;

struct SaveRun {
  int status = 0;
  std::string out, err;
  std::vector<std::string> lines() const {
    std::vector<std::string> result;
    std::size_t start = 0;
    while (start < out.size()) {
      std::size_t end = out.find('\n', start);
      result.push_back(out.substr(start, end - start));
      start = end == std::string::npos ? out.size() : end + 1;
    }
    return result;
  }
};

class SaveCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() / (std::string("save_command_") + info->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "out");
    // Two groups: "APP" with a 32 x 32 8-bit and a 16 x 16 4-bit image, and "TOOL"
    // with a 32 x 32 32-bit image. Grid positions 0, 1, 2.
    ModuleBuilder b(ModuleBuilder::Kind::kPe32);
    b.AddIconGroup(ResName::Named("APP"), 1,
                   {MakeIconDib(32, 32, 8, 3), MakeIconDib(16, 16, 4, 4)});
    b.AddIconGroup(ResName::Named("TOOL"), 3, {MakeIconDib(32, 32, 32, 5)});
    module_ = (dir_ / "m.dll").string();
    ASSERT_TRUE(platform::WriteFileAtomically(module_, b.Build()));
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Out(const std::string& name) const { return (dir_ / "out" / name).string(); }
  SaveRun Save(Args args) const {
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    SaveRun r;
    r.status = RunSave(args);
    r.out = ::testing::internal::GetCapturedStdout();
    r.err = ::testing::internal::GetCapturedStderr();
    return r;
  }

  fs::path dir_;
  std::string module_;
};

TEST_F(SaveCommandTest, SavesSelectedPositionsAsNumberedIconFiles) {
  SaveRun r = Save({module_, "--index", "0", "--index", "2", "-o", Out("icons.ico")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.lines(), (std::vector<std::string>{Out("icons-001.ico"), Out("icons-003.ico")}));
  // The default settings: 32 x 32 at 16 colours.
  for (const auto& path : r.lines()) {
    std::vector<std::uint8_t> icon;
    ASSERT_TRUE(platform::ReadWholeFileBytes(path, icon));
    platform::ByteReader reader(icon);
    EXPECT_EQ(*reader.u8(6), 32);
    EXPECT_EQ(*reader.u16le(12), 4);
    if (auto pillow = testsupport::PillowIcon(path)) {
      EXPECT_EQ(pillow->width, 32) << pillow->detail;
      EXPECT_EQ(pillow->bits, 4) << pillow->detail;
    }
    if (auto magick = testsupport::IdentifyImage(path)) {
      EXPECT_EQ(magick->width, 32) << magick->detail;
      EXPECT_EQ(magick->bits, 4) << magick->detail;
    }
  }
}

TEST_F(SaveCommandTest, SaveAsChoosesTheFileTypeAndAllTakesTheOutputType) {
  struct Case {
    Args extra;
    std::string expected;
  };
  const Case cases[] = {
      {{"--save-as", "png"}, "a.png"},
      {{"--save-as", "bmp"}, "a.bmp"},
      {{"--save-as", "all", "--type", "jpeg"}, "a.jpg"},
      {{"--save-as", "all", "--type", "png"}, "a.png"},
      {{"--type", "bmp"}, "a.bmp"},
  };
  for (const Case& c : cases) {
    Args args{module_, "--index", "1", "-o", Out("a.ico")};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    SaveRun r = Save(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.lines(), std::vector<std::string>{Out(c.expected)});
    EXPECT_TRUE(fs::exists(Out(c.expected)));
  }
}

TEST_F(SaveCommandTest, ExtractedNamesNameFilesAfterTheirGroups) {
  const std::string folder = (dir_ / "out").string();
  SaveRun r = Save({module_, "--all", "--extracted-names", "-o", folder});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.lines(),
            (std::vector<std::string>{Out("APP-0.ico"), Out("APP-1.ico"), Out("TOOL-0.ico")}));
  // A second run finds the names taken and appends the first free number.
  SaveRun again = Save({module_, "--all", "--extracted-names", "-o", folder});
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(again.lines(),
            (std::vector<std::string>{Out("APP-01.ico"), Out("APP-11.ico"), Out("TOOL-01.ico")}));
}

TEST_F(SaveCommandTest, MatchingSavesOnlyMatchingImagesAndSaysHowMany) {
  SaveRun r = Save({module_, "--all", "--match-width", "32", "-o", Out("w.ico")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.lines(), (std::vector<std::string>{Out("w-001.ico"), Out("w-003.ico")}));
  EXPECT_NE(r.err.find("2個のアイコンを保存しました。"), std::string::npos) << r.err;

  // Substring tests: "1" is in none of 8, 4 and 32 ("24" would hold 4).
  SaveRun none = Save({module_, "--all", "--match-bits", "1", "-o", Out("n.ico")});
  EXPECT_EQ(none.status, 1);
  EXPECT_TRUE(none.out.empty()) << none.out;
  EXPECT_NE(none.err.find("条件と一致するアイコンが見つかりません。"), std::string::npos)
      << none.err;
}

TEST_F(SaveCommandTest, PngOptionsCompressTheIconImage) {
  SaveRun r =
      Save({module_, "--index", "2", "--pngfrg", "--pngsv", "--depth", "32", "-o", Out("p.ico")});
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::uint8_t> icon;
  ASSERT_TRUE(platform::ReadWholeFileBytes(Out("p.ico"), icon));
  ASSERT_GT(icon.size(), 26u);
  EXPECT_EQ(icon[22], 0x89);
  EXPECT_EQ(icon[23], 'P');
}

TEST_F(SaveCommandTest, UsageErrorsAndUnreadableSources) {
  const Args bad[] = {
      {module_, "--all"},                                      // no -o
      {module_, "-o", Out("x.ico")},                           // no position
      {module_, "--all", "--index", "0", "-o", Out("x.ico")},  // both
      {module_, "--index", "9", "-o", Out("x.ico")},           // past the end
      {module_, "--all", "-o", Out("x.ico"), "--save-as", "gif"},
      {module_, "--all", "-o", Out("x.ico"), "--png256", "--pngfrg"},
      {module_, "--all", "-o", Out("x.ico"), "--match-width", ""},
  };
  for (const Args& args : bad)
    EXPECT_EQ(Save(args).status, 2) << args.back();
  EXPECT_EQ(Save({(dir_ / "missing.dll").string(), "--all", "-o", Out("x.ico")}).status, 1);
  EXPECT_TRUE(fs::is_empty(dir_ / "out"));
}

TEST_F(SaveCommandTest, SavesAPictureSource) {
  const std::string png = (dir_ / "pic.png").string();
  ASSERT_TRUE(platform::WriteFileAtomically(png, testsupport::MakePngImage(40, 20, 9, true)));
  SaveRun r = Save({png, "--index", "0", "-o", Out("pic.ico")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.lines(), std::vector<std::string>{Out("pic.ico")});
  if (auto pillow = testsupport::PillowIcon(Out("pic.ico"))) {
    EXPECT_EQ(pillow->width, 32) << pillow->detail;
    EXPECT_EQ(pillow->height, 32) << pillow->detail;
  }
}

}  // namespace
}  // namespace glyphwell::cli
