#include "output/pelmora_loader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/atomic_file.h"
#include "platform/byte_writer.h"

namespace glyphwell::output {
namespace {

namespace fs = std::filesystem;

class PelmoraLoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("pelmora_loader_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const char* name) const { return (dir_ / name).string(); }
  fs::path dir_;
};

// An 8 x 2 24-bit bitmap file.
std::vector<std::uint8_t> SmallBitmapFile() {
  platform::ByteWriter w;
  w.u8('B');
  w.u8('M');
  w.u32(54 + 48);
  w.u32(0);
  w.u32(54);
  w.u32(40);
  w.u32(8);
  w.u32(2);
  w.u16(1);
  w.u16(24);
  w.u32(0);
  w.u32(48);
  w.zeros(16);
  for (int i = 0; i < 48; ++i)
    w.u8(static_cast<std::uint8_t>(i));
  return w.bytes();
}

TEST_F(PelmoraLoaderTest, MissingLibraryOrEntryRemovesIconsWithTheMessage) {
  for (const char* name : {"libNoSuchPelmora.so", "libm.so.6"}) {
    platform::RecordingMessages messages;
    PelmoraLoader loader;
    EXPECT_FALSE(loader.Load(messages, name)) << name;
    EXPECT_FALSE(loader.available());
    ASSERT_EQ(messages.entries.size(), 1u) << name;
    EXPECT_EQ(messages.entries[0].text,
              "アイコンを作成する為のファイルが見つからないので、この機能は使用できません！");
    EXPECT_EQ(loader.WriteIcon("a.bmp", "a.ico", nullptr), -1);
  }
}

TEST_F(PelmoraLoaderTest, FindsTheLibraryBesideTheProgramAndWritesIcons) {
  platform::RecordingMessages messages;
  PelmoraLoader loader;
  ASSERT_TRUE(loader.Load(messages)) << "libPelmora.so not found beside the test program";
  EXPECT_TRUE(messages.entries.empty());
  ASSERT_TRUE(platform::WriteFileAtomically(Path("sv.bmp"), SmallBitmapFile()));
  std::vector<std::uint8_t> mask(8, 0xFF);
  EXPECT_EQ(loader.WriteIcon(Path("sv.bmp"), Path("a.ico"), mask.data()), 0);
  std::vector<std::uint8_t> icon;
  ASSERT_TRUE(platform::ReadWholeFileBytes(Path("a.ico"), icon));
  // directory + entry + header + 48 colour bytes + 2 mask rows of 4 bytes
  EXPECT_EQ(icon.size(), 22u + 40 + 48 + 8);
  EXPECT_EQ(icon.back(), 0xFF);
}

TEST_F(PelmoraLoaderTest, LibraryMessagesReachTheHostWithAnEmptyCaption) {
  platform::RecordingMessages messages;
  PelmoraLoader loader;
  ASSERT_TRUE(loader.Load(messages));
  std::ofstream(Path("text.bmp")) << "this is plain text, not a bitmap file at all";
  EXPECT_NE(loader.WriteIcon(Path("text.bmp"), Path("b.ico"), nullptr), 0);
  ASSERT_EQ(messages.entries.size(), 1u);
  EXPECT_EQ(messages.entries[0].text,
            Path("text.bmp") + "\n入力したファイルはビットマップではありません！");
  EXPECT_EQ(messages.entries[0].caption, "");
  EXPECT_FALSE(fs::exists(Path("b.ico")));
}

}  // namespace
}  // namespace glyphwell::output
