#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "builder/ico_file_writer.h"
#include "builder/testing_entries.h"
#include "cli/commands.h"
#include "platform/atomic_file.h"
#include "platform/byte_reader.h"

namespace glyphwell::cli {

int RunBuild(const Args& args);

namespace {

class BuildCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("glyphwell_cli_build_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
    std::vector<builder::TIconEntry> entries = {builder::testing::MakeEntry(16, 16, 4),
                                                builder::testing::MakeEntry(32, 32, 8),
                                                builder::testing::MakeEntry(48, 48, 32)};
    std::string error;
    auto bytes = builder::EncodeIconFile(entries, std::vector<int>{0, 1, 2}, {}, error);
    ASSERT_TRUE(platform::WriteFileAtomically(Path("app.ico"), *bytes));
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::vector<std::uint8_t> Read(const std::string& name) const {
    std::vector<std::uint8_t> bytes;
    EXPECT_TRUE(platform::ReadWholeFileBytes(Path(name), bytes));
    return bytes;
  }
  std::filesystem::path dir_;
};

TEST_F(BuildCommandTest, IconFileInGridOrderWithJson) {
  ::testing::internal::CaptureStdout();
  const int rc = RunBuild({"-o", Path("out.ico"), "--select", "2,0", "--json", Path("app.ico")});
  const std::string json = ::testing::internal::GetCapturedStdout();
  ASSERT_EQ(rc, 0);
  const auto f = Read("out.ico");
  platform::ByteReader r(f);
  EXPECT_EQ(*r.u16le(4), 2);
  EXPECT_EQ(f[6], 16);
  EXPECT_EQ(f[6 + 16], 48);
  EXPECT_NE(json.find("\"name\": \"app.ico-1\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"width\": 48, \"height\": 48, \"bits\": 32, \"png\": false, "
                      "\"group\": -1, \"group_count\": 1"),
            std::string::npos)
      << json;
}

TEST_F(BuildCommandTest, LibraryWithGroupsAndPng) {
  ASSERT_EQ(RunBuild({"-o", Path("lib.icl"), "--group", "0-1", "--pngfrg", Path("app.ico")}), 0);
  const auto f = Read("lib.icl");
  platform::ByteReader r(f);
  EXPECT_EQ(*r.u16le(196), 2);           // two icons
  EXPECT_EQ(*r.u16le(202 + 24 + 2), 3);  // three images
  // The images are PNG data.
  const std::size_t shift = *r.u16le(192);
  const std::size_t image = static_cast<std::size_t>(*r.u16le(202 + 24 + 8)) << shift;
  EXPECT_EQ(f[image], 0x89);
}

TEST_F(BuildCommandTest, ExtractedNameNamesTheOutput) {
  ASSERT_EQ(RunBuild({"-o", Path("x.icl"), "--extracted-name", "--select", "1", Path("app.ico")}),
            0);
  EXPECT_TRUE(std::filesystem::exists(Path("app.ico-1.icl")));
  EXPECT_FALSE(std::filesystem::exists(Path("x.icl")));
}

TEST_F(BuildCommandTest, UsageAndReadErrors) {
  struct Case {
    Args args;
    int rc;
  } cases[] = {
      {{Path("app.ico")}, 2},
      {{"-o", Path("out.png"), Path("app.ico")}, 2},
      {{"-o", Path("out.ico")}, 2},
      {{"-o", Path("out.ico"), "--select", "1,x", Path("app.ico")}, 2},
      {{"-o", Path("out.ico"), "--select", "3", Path("app.ico")}, 2},
      {{"-o", Path("out.ico"), "--group", "2-1", Path("app.ico")}, 2},
      {{"-o", Path("out.ico"), "--group", "1-5", Path("app.ico")}, 2},
      {{"-o", Path("out.ico"), "--png256", "--pngfrg", Path("app.ico")}, 2},
      {{"-o", Path("out.ico"), Path("missing.ico")}, 1},
      {{"-o", Path("no/dir/out.ico"), Path("app.ico")}, 1},
  };
  for (const auto& c : cases) {
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(RunBuild(c.args), c.rc) << c.args.back();
    ::testing::internal::GetCapturedStderr();
  }
  EXPECT_FALSE(std::filesystem::exists(Path("out.ico")));
}

}  // namespace
}  // namespace glyphwell::cli
