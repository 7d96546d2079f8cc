#include "builder/ico_file_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "builder/icon_block.h"
#include "builder/png_image_encoder.h"
#include "builder/testing_entries.h"
#include "imaging/png_codec.h"
#include "platform/atomic_file.h"
#include "platform/byte_reader.h"

namespace glyphwell::builder {
namespace {

using testing::MakeEntry;

class IcoFileWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("glyphwell_builder_ico_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::vector<std::uint8_t> Read(const std::string& path) const {
    std::vector<std::uint8_t> bytes;
    EXPECT_TRUE(platform::ReadWholeFileBytes(path, bytes));
    return bytes;
  }
  std::filesystem::path dir_;
  platform::RecordingMessages messages_;
};

TEST_F(IcoFileWriterTest, ThreeEntriesFollowTheDirectory) {
  std::vector<TIconEntry> entries = {MakeEntry(48, 48, 32), MakeEntry(16, 16, 4),
                                     MakeEntry(32, 32, 8), MakeEntry(16, 16, 1)};
  const std::string path = Path("three.ico");
  // Written in grid order whatever order they were clicked in.
  ASSERT_TRUE(WriteIcoFile(path, entries, std::vector<int>{1, 2, 0}, {}, messages_));
  const auto f = Read(path);
  platform::ByteReader r(f);
  EXPECT_EQ(*r.u16le(0), 0);
  EXPECT_EQ(*r.u16le(2), 1);
  EXPECT_EQ(*r.u16le(4), 3);
  const std::size_t lengths[] = {296, 40 + 1024 + 32 * 32 + 4 * 32, 40 + 48 * 48 * 4 + 8 * 48};
  const int order[] = {1, 2, 0};
  std::uint32_t offset = 54;
  for (int k = 0; k < 3; ++k) {
    const std::size_t d = 6 + 16 * k;
    const TIconEntry& e = entries[order[k]];
    EXPECT_EQ(*r.u32le(d + 8), lengths[k]) << k;
    EXPECT_EQ(*r.u32le(d + 12), offset) << k;
    EXPECT_TRUE(std::equal(e.Image.begin(), e.Image.end(), f.begin() + offset));
    offset += static_cast<std::uint32_t>(lengths[k]);
  }
  EXPECT_EQ(f.size(), offset);
  const std::uint8_t fourBit[] = {16, 16, 16, 0, 1, 0, 4, 0, 0x28, 0x01, 0, 0, 54, 0, 0, 0};
  EXPECT_TRUE(std::equal(std::begin(fourBit), std::end(fourBit), f.begin() + 6));
  EXPECT_EQ(f[6 + 16 + 2], 0);  // 8 bits: colour count 0

  // The entries now refer to the new file.
  EXPECT_EQ(entries[1].SrcIndex, 0);
  EXPECT_EQ(entries[2].SrcIndex, 1);
  EXPECT_EQ(entries[0].SrcIndex, 2);
  EXPECT_EQ(entries[2].HomePos, 2);
  EXPECT_EQ(entries[0].SourcePath, path);
  EXPECT_EQ(entries[3].SourcePath, "/icons/source.ico");
}

TEST_F(IcoFileWriterTest, Png256StoresOnlyLargeImagesAsPng) {
  std::vector<TIconEntry> entries = {MakeEntry(16, 16, 4), MakeEntry(256, 256, 32)};
  IcoWriteJob job;
  job.options.png256 = true;
  job.encoder = [&](const TIconEntry& e) { return EncodePngImage(e, job.options); };
  const std::string path = Path("big.ico");
  ASSERT_TRUE(WriteIcoFile(path, entries, std::vector<int>{0, 1}, job, messages_));
  const auto f = Read(path);
  platform::ByteReader r(f);
  EXPECT_EQ(f[6 + 16], 0);  // 256 stored as 0
  EXPECT_EQ(f[6 + 16 + 1], 0);
  const std::uint32_t len = *r.u32le(6 + 16 + 8), off = *r.u32le(6 + 16 + 12);
  EXPECT_EQ(off, 6 + 32 + 296u);
  EXPECT_EQ(f.size(), off + len);
  EXPECT_EQ(f[off], 0x89);
  imaging::Bitmap decoded;
  ASSERT_TRUE(imaging::ReadPngMemory(std::span(f).subspan(off, len), decoded));
  imaging::Bitmap rendered;
  ASSERT_TRUE(RenderIconBlock(entries[1].Image, rendered));
  EXPECT_EQ(decoded.width(), 256);
  for (int y : {0, 100, 255})
    for (int x : {0, 17, 255})
      EXPECT_EQ(decoded.pixelColour(x, y), rendered.pixelColour(x, y));
}

TEST_F(IcoFileWriterTest, PngsvTurnsTheMaskIntoAlpha) {
  std::vector<TIconEntry> entries = {MakeEntry(16, 16, 24)};
  IconSaveOptions options;
  options.pngfrg = options.pngsv = true;
  const auto png = EncodePngImage(entries[0], options);
  imaging::Bitmap decoded;
  ASSERT_TRUE(imaging::ReadPngMemory(png, decoded));
  ASSERT_EQ(decoded.bits(), 32);
  EXPECT_EQ(decoded.pixelAlpha(0, 5), 0);  // the masked left column
  EXPECT_EQ(decoded.pixelAlpha(1, 5), 255);
  // Without pngsv the same image keeps no alpha channel.
  options.pngsv = false;
  ASSERT_TRUE(imaging::ReadPngMemory(EncodePngImage(entries[0], options), decoded));
  EXPECT_EQ(decoded.pixelAlpha(0, 5), 255);
}

TEST_F(IcoFileWriterTest, FailedEncodingLeavesAnEmptyImage) {
  std::vector<TIconEntry> entries = {MakeEntry(16, 16, 4), MakeEntry(16, 16, 8)};
  IcoWriteJob job;
  job.options.pngfrg = true;
  job.encoder = [](const TIconEntry&) { return std::vector<std::uint8_t>{}; };
  const std::string path = Path("empty.ico");
  ASSERT_TRUE(WriteIcoFile(path, entries, std::vector<int>{0, 1}, job, messages_));
  const auto f = Read(path);
  platform::ByteReader r(f);
  EXPECT_EQ(f.size(), 38u);
  EXPECT_EQ(*r.u32le(6 + 8), 0u);
  EXPECT_EQ(*r.u32le(6 + 16 + 12), 38u);
}

TEST_F(IcoFileWriterTest, NothingSelectedAndUnwritableFiles) {
  std::vector<TIconEntry> entries = {MakeEntry(16, 16, 4)};
  entries[0].State = 3;
  EXPECT_FALSE(WriteIcoFile(Path("none.ico"), entries, std::vector<int>{}, {}, messages_));
  EXPECT_FALSE(std::filesystem::exists(Path("none.ico")));
  EXPECT_TRUE(messages_.entries.empty());

  const std::string bad = Path("no/such/dir.ico");
  EXPECT_FALSE(WriteIcoFile(bad, entries, std::vector<int>{0}, {}, messages_));
  ASSERT_EQ(messages_.entries.size(), 1u);
  EXPECT_EQ(messages_.entries[0].text.rfind(bad + "\n", 0), 0u);
  EXPECT_EQ(entries[0].State, 3);
  EXPECT_EQ(entries[0].SourcePath, "/icons/source.ico");
}

// Other tools read what we write: ImageMagick lists every size.
TEST_F(IcoFileWriterTest, ImageMagickReadsEverySize) {
  if (std::system("identify -version > /dev/null 2>&1") != 0) GTEST_SKIP() << "no identify";
  std::vector<TIconEntry> entries = {MakeEntry(16, 16, 4), MakeEntry(24, 24, 8),
                                     MakeEntry(32, 32, 24), MakeEntry(48, 48, 32),
                                     MakeEntry(256, 256, 32)};
  IcoWriteJob job;
  job.options.png256 = true;
  job.encoder = [&](const TIconEntry& e) { return EncodePngImage(e, job.options); };
  const std::string path = Path("sizes.ico");
  ASSERT_TRUE(WriteIcoFile(path, entries, std::vector<int>{0, 1, 2, 3, 4}, job, messages_));
  const std::string out = Path("identify.txt");
  ASSERT_EQ(
      std::system(("identify -format '%wx%h\\n' '" + path + "' > '" + out + "' 2>&1").c_str()), 0);
  std::ifstream in(out);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "16x16\n24x24\n32x32\n48x48\n256x256\n");
}

TEST_F(IcoFileWriterTest, PillowReadsEverySize) {
  if (std::system("/usr/bin/python3 -c 'import PIL' > /dev/null 2>&1") != 0)
    GTEST_SKIP() << "no Pillow";
  std::vector<TIconEntry> entries = {MakeEntry(16, 16, 4), MakeEntry(32, 32, 8),
                                     MakeEntry(48, 48, 32)};
  const std::string path = Path("pillow.ico");
  ASSERT_TRUE(WriteIcoFile(path, entries, std::vector<int>{0, 1, 2}, {}, messages_));
  const std::string script =
      "/usr/bin/python3 -c \"from PIL import Image; im = Image.open('" + path +
      "'); s = sorted(im.info['sizes']); assert s == [(16,16),(32,32),(48,48)], s\"";
  EXPECT_EQ(std::system(script.c_str()), 0);
}

}  // namespace
}  // namespace glyphwell::builder
