#include "extract/source_reader.h"

#include <gtest/gtest.h>

#include "extract/shell_icons.h"
#include "tests/support/fixture_files.h"
#include "tests/support/module_builder.h"

namespace glyphwell::extract {
namespace {

using testsupport::BuildIcoFile;
using testsupport::Bytes;
using testsupport::MakeBitmapDib;
using testsupport::MakeIconDib;
using testsupport::ModuleBuilder;
using testsupport::ResName;
using testsupport::WriteFixtureFile;

std::string SampleModule(const std::string& name) {
  ModuleBuilder b(ModuleBuilder::Kind::kPe32);
  b.AddIconGroup(ResName::Named("MAINICON"), 1,
                 {MakeIconDib(48, 48, 8), MakeIconDib(32, 32, 4), MakeIconDib(32, 32, 8),
                  MakeIconDib(16, 16, 4)});
  b.AddIconGroup(ResName::Id(7), 5, {MakeIconDib(16, 16, 1)});
  b.AddBitmap(ResName::Id(1), MakeBitmapDib(20, 10, 8));
  Bytes bad = MakeBitmapDib(8, 8, 8);
  bad[12] = 3;  // planes 3: rejected
  b.AddBitmap(ResName::Id(2), bad);
  return WriteFixtureFile(name, b.Build());
}

TEST(GroupMapEntry, TextRoundTripAndLenientParse) {
  EXPECT_EQ((GroupMapEntry{10003, 3, "MAINICON-1"}).ToText(), "10003@3#MAINICON-1");
  struct Case {
    const char* text;
    int group, count;
    const char* name;
  };
  for (Case c :
       {Case{"10003@3#MAINICON-1", 10003, 3, "MAINICON-1"}, Case{"-1@1#APP", -1, 1, "APP"},
        Case{"x@y#N#2", -1, 1, "N#2"}, Case{"12@@#a@b", 12, 1, "a@b"}, Case{"", -1, 1, ""}}) {
    GroupMapEntry e = GroupMapEntry::Parse(c.text);
    EXPECT_EQ(e.group, c.group) << c.text;
    EXPECT_EQ(e.imageCount, c.count) << c.text;
    EXPECT_EQ(e.name, c.name) << c.text;
  }
}

TEST(SourceReader, ExtensionsAndPictureKinds) {
  EXPECT_EQ(SourceReader::LowerExtension("/a.b/Icon.ICO"), ".ico");
  EXPECT_EQ(SourceReader::LowerExtension("/a.b/noext"), "");
  for (const char* ext : {".bmp", ".jpg", ".jpeg", ".png", ".wmf"})
    EXPECT_TRUE(SourceReader::IsPictureExtension(ext)) << ext;
  for (const char* ext : {".jp", ".mp", ".ico", "", ".pngx", "."})
    EXPECT_FALSE(SourceReader::IsPictureExtension(ext)) << ext;
}

TEST(SourceReader, ReadWholeFileReportsErrorsAndIgnoresEmptyFiles) {
  platform::RecordingMessages messages;
  SourceReader reader(&messages);
  EXPECT_FALSE(reader.ReadWholeFile("/nonexistent/x.dll", true));
  ASSERT_EQ(messages.entries.size(), 1u);
  EXPECT_EQ(messages.entries[0].text, "/nonexistent/x.dll\nNo such file or directory");
  EXPECT_FALSE(reader.ReadWholeFile("/nonexistent/x.dll", false));
  EXPECT_FALSE(reader.ReadWholeFile(WriteFixtureFile("empty.dll", {}), true));
  EXPECT_EQ(messages.entries.size(), 1u);
  auto bytes = reader.ReadWholeFile(WriteFixtureFile("three.bin", {1, 2, 3}), true);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(*bytes, (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST(SourceReader, CountImagesPerMode) {
  std::string path = SampleModule("count.dll");
  SourceReader reader;
  struct Case {
    ExtractionMode mode;
    int count;
  };
  for (Case c : {Case{ExtractionMode::kIcon, 5}, Case{ExtractionMode::kBmp, 1},
                 Case{ExtractionMode::kNormal, 2}}) {
    reader.setMode(c.mode);
    EXPECT_EQ(reader.CountImages(path), c.count);
    EXPECT_FALSE(reader.lastReadFailed());
  }
  EXPECT_EQ(reader.CountImages("/nonexistent.dll"), 0);
  EXPECT_TRUE(reader.lastReadFailed());
}

TEST(SourceReader, CountIconsAndBitmaps) {
  SourceReader reader;
  auto counts = reader.CountIconsAndBitmaps(SampleModule("both.dll"));
  EXPECT_EQ(counts.flags, 6);
  EXPECT_EQ(counts.icons, 5);
  EXPECT_EQ(counts.bitmaps, 1);
  EXPECT_EQ(reader.mode(), ExtractionMode::kBmp);

  std::string ico =
      WriteFixtureFile("two.ico", BuildIcoFile({MakeIconDib(16, 16, 4), MakeIconDib(32, 32, 4)}));
  counts = reader.CountIconsAndBitmaps(ico);
  EXPECT_EQ(counts.flags, 2);
  EXPECT_EQ(counts.icons, 2);
  EXPECT_EQ(reader.mode(), ExtractionMode::kIcon);
  EXPECT_EQ(reader.CountIconsAndBitmaps("/nonexistent.dll").flags, 0);
}

TEST(SourceReader, ExtractedNameAndSourceImage) {
  std::string path = SampleModule("names.dll");
  SourceReader reader;
  ASSERT_TRUE(reader.LoadWholeFile(path, false));
  reader.file().enumerateGroups = true;
  EXPECT_EQ(reader.ReadImage(path, false, 0, nullptr), 5);
  GroupMapEntry second = reader.ExtractedName(1);
  EXPECT_EQ(second.group, 10000);
  EXPECT_EQ(second.imageCount, 4);
  EXPECT_EQ(second.name, "MAINICON-1");
  GroupMapEntry past = reader.ExtractedName(99, "kept");
  EXPECT_EQ(past.group, -1);
  EXPECT_EQ(past.imageCount, 1);
  EXPECT_EQ(past.name, "kept");

  imaging::Picture picture;
  EXPECT_FALSE(reader.ExtractSourceImage("", picture, 0));
  EXPECT_FALSE(reader.ExtractSourceImage(path, picture, -1));
  EXPECT_FALSE(reader.ExtractSourceImage("/x/pic.png", picture, 0));
  EXPECT_TRUE(reader.ExtractSourceImage(path, picture, 4));
  EXPECT_EQ(picture.icon->width(), 16);
  EXPECT_FALSE(reader.ExtractSourceImage(path, picture, 5));
  reader.ClearIdList();
  EXPECT_TRUE(reader.file().idList.empty());
}

TEST(ShellIcons, CountIsGroupsAndSizesAreClosestDeepest) {
  std::string path = SampleModule("shell.dll");
  SourceReader reader;
  auto bytes = reader.ReadWholeFile(path, false);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(ShellIconCount(*bytes, ".dll"), 2);
  auto large = ShellExtractIcon(*bytes, ".dll", 0, kLargeIconSize);
  ASSERT_TRUE(large);
  EXPECT_EQ(large->width(), 32);
  EXPECT_EQ(large->bits(), 8);  // deepest of the two 32x32 images
  auto small = ShellExtractIcon(*bytes, ".dll", 0, kSmallIconSize);
  ASSERT_TRUE(small);
  EXPECT_EQ(small->width(), 16);
  auto only = ShellExtractIcon(*bytes, ".dll", 1, kLargeIconSize);
  ASSERT_TRUE(only);
  EXPECT_EQ(only->width(), 16);
  EXPECT_FALSE(ShellExtractIcon(*bytes, ".dll", 2, kLargeIconSize));

  Bytes ico =
      BuildIcoFile({MakeIconDib(48, 48, 32), MakeIconDib(32, 32, 4), MakeIconDib(16, 16, 8)});
  EXPECT_EQ(ShellIconCount(ico, ".ico"), 1);
  EXPECT_EQ(ShellIconCount(ico, ".cur"), 1);
  EXPECT_EQ(ShellExtractIcon(ico, ".ico", 0, kLargeIconSize)->width(), 32);
  EXPECT_EQ(ShellExtractIcon(ico, ".ico", 0, kSmallIconSize)->width(), 16);
  EXPECT_EQ(ShellIconCount(Bytes{1, 2, 3}, ".exe"), 0);

  ModuleBuilder ne(ModuleBuilder::Kind::kNe);
  ne.AddIconGroup(ResName::Id(1), 1, {MakeIconDib(16, 16, 4), MakeIconDib(32, 32, 4)});
  ne.AddIconGroup(ResName::Id(2), 3, {MakeIconDib(48, 48, 4)});
  Bytes lib = ne.Build();
  EXPECT_EQ(ShellIconCount(lib, ".icl"), 2);
  EXPECT_EQ(ShellExtractIcon(lib, ".icl", 0, kLargeIconSize)->width(), 32);
  EXPECT_EQ(ShellExtractIcon(lib, ".icl", 1, kSmallIconSize)->width(), 48);
}

}  // namespace
}  // namespace glyphwell::extract
