#include "app/source_listing.h"

#include <gtest/gtest.h>

#include "tests/support/fixture_files.h"
#include "tests/support/module_builder.h"

namespace glyphwell::app {
namespace {

using extract::ExtractionMode;
using testsupport::Bytes;
using testsupport::MakeBitmapDib;
using testsupport::MakeIconDib;
using testsupport::MakePngImage;
using testsupport::ModuleBuilder;
using testsupport::ResName;
using testsupport::WriteFixtureFile;

std::vector<std::string> Labels(const SourceListing& l) {
  std::vector<std::string> out;
  for (const auto& i : l.images())
    out.push_back(i.entry.index + "|" + i.entry.label);
  return out;
}

std::string Module() {
  ModuleBuilder b(ModuleBuilder::Kind::kPe32);
  b.AddIconGroup(ResName::Named("MAINICON"), 1, {MakeIconDib(32, 32, 8), MakeIconDib(16, 16, 4)});
  Bytes bad = MakeIconDib(16, 16, 4);
  bad[16] = 3;  // compression 3: rejected, not listed
  b.AddIconGroup(ResName::Id(9), 3, {bad, MakeIconDib(48, 48, 32)});
  b.AddBitmap(ResName::Id(1), MakeBitmapDib(20, 10, 8));
  return WriteFixtureFile("listing.dll", b.Build());
}

TEST(SourceListing, IconModeListsValidImagesWithNumbersOrNames) {
  platform::RecordingMessages messages;
  SourceListing listing(messages);
  std::string path = Module();
  ASSERT_EQ(listing.OpenSource(path), SourceListing::Result::kListed);
  EXPECT_TRUE(listing.ownParserGrid());
  EXPECT_EQ(Labels(listing), (std::vector<std::string>{"0|1\n32×32\n8bit", "1|2\n16×16\n4bit",
                                                       "3|3\n48×48\n32bit"}));
  EXPECT_EQ(listing.images()[2].position, 3);
  EXPECT_EQ(listing.GridHint(), "抽出モード(アイコン)");

  listing.setShowExtractedNames(true);
  ASSERT_EQ(listing.OpenSource(path), SourceListing::Result::kListed);
  EXPECT_EQ(Labels(listing),
            (std::vector<std::string>{"0|MAINICON-0\n32×32\n8bit", "1|MAINICON-1\n16×16\n4bit",
                                      "3|9-1\n48×48\n32bit"}));
  // The counters keep counting across opens.
  EXPECT_EQ(listing.reader().file().groupMap[0].group, 10002);
  EXPECT_TRUE(messages.entries.empty());
}

TEST(SourceListing, BmpAndNormalModes) {
  platform::RecordingMessages messages;
  SourceListing listing(messages);
  std::string path = Module();
  listing.setMode(ExtractionMode::kBmp);
  listing.setShowExtractedNames(true);  // Bmp reads build no map: numbers stay
  ASSERT_EQ(listing.OpenSource(path), SourceListing::Result::kListed);
  EXPECT_EQ(Labels(listing), (std::vector<std::string>{"0|1\n20×10\n8bit"}));

  // An icon file lists nothing in the Bmp mode and leaves the grid as it was.
  std::string ico = WriteFixtureFile("x.ico", testsupport::BuildIcoFile({MakeIconDib(16, 16, 4)}));
  EXPECT_EQ(listing.OpenSource(ico), SourceListing::Result::kNothingInBmpMode);
  EXPECT_EQ(listing.images().size(), 1u);

  listing.setMode(ExtractionMode::kNormal);
  ASSERT_EQ(listing.OpenSource(path), SourceListing::Result::kListed);
  EXPECT_FALSE(listing.ownParserGrid());
  EXPECT_EQ(Labels(listing), (std::vector<std::string>{"0|1", "1|2"}));
  EXPECT_EQ(listing.GridHint(), "");
}

TEST(SourceListing, IconModeFallsBackToTheShellAndReportsUnreadableFiles) {
  platform::RecordingMessages messages;
  SourceListing listing(messages);
  // A cursor file: no MZ header, so the own parser finds nothing; the shell lists it.
  std::string cur =
      WriteFixtureFile("arrow.cur", testsupport::BuildIcoFile({MakeIconDib(32, 32, 1)}));
  ASSERT_EQ(listing.OpenSource(cur), SourceListing::Result::kListed);
  EXPECT_FALSE(listing.ownParserGrid());
  EXPECT_EQ(Labels(listing), (std::vector<std::string>{"0|1"}));

  EXPECT_EQ(listing.OpenSource("/nonexistent/file.dll"), SourceListing::Result::kNoFile);
  std::string dir = testsupport::FixtureDir();
  EXPECT_EQ(listing.OpenSource(dir), SourceListing::Result::kUnreadable);
  ASSERT_EQ(messages.entries.size(), 2u);
  EXPECT_EQ(messages.entries[1].text, "pBufAdr error");
  EXPECT_EQ(Labels(listing), (std::vector<std::string>{"0|1"}));  // grid unchanged
}

TEST(SourceListing, LargePngImagesGetThumbnails) {
  ModuleBuilder b(ModuleBuilder::Kind::kPe32);
  b.AddIconGroup(ResName::Named("BIG"), 1, {MakePngImage(256, 256), MakePngImage(48, 48)});
  std::string path = WriteFixtureFile("png.dll", b.Build());
  platform::RecordingMessages messages;
  SourceListing listing(messages);
  ASSERT_EQ(listing.OpenSource(path), SourceListing::Result::kListed);
  ASSERT_EQ(listing.images().size(), 2u);
  EXPECT_TRUE(listing.images()[0].facts.png);
  EXPECT_EQ(listing.images()[0].entry.thumbnail, "0");
  EXPECT_EQ(listing.images()[1].entry.thumbnail, "");
  ASSERT_EQ(listing.thumbnails().size(), 1u);
  const auto& jpeg = listing.thumbnails()[0];
  ASSERT_GT(jpeg.size(), 4u);
  EXPECT_EQ(jpeg[0], 0xFF);
  EXPECT_EQ(jpeg[1], 0xD8);
}

TEST(SourceListing, MoreThan5000ImagesAreCutWithAMessage) {
  // One group of 6000 copies of one tiny image.
  ModuleBuilder b(ModuleBuilder::Kind::kPe32);
  Bytes tiny = MakeIconDib(1, 1, 1);
  std::vector<Bytes> images(6000, tiny);
  b.AddIconGroup(ResName::Id(1), 1, images);
  std::string path = WriteFixtureFile("many.dll", b.Build());
  platform::RecordingMessages messages;
  SourceListing listing(messages);
  int stopAfter = -1;
  listing.stopRequested = [&] {
    return stopAfter >= 0 && listing.images().size() >= static_cast<std::size_t>(stopAfter);
  };
  ASSERT_EQ(listing.OpenSource(path), SourceListing::Result::kListed);
  EXPECT_EQ(listing.images().size(), 5001u);
  ASSERT_EQ(messages.entries.size(), 1u);
  EXPECT_EQ(messages.entries[0].text,
            "総数：6000\nアイテム数が5000を超えましたので読み込みを中断します。");
  // The stop toggle keeps what was listed so far.
  stopAfter = 10;
  listing.OpenSource(path);
  EXPECT_EQ(listing.images().size(), 10u);
}

TEST(SourceListing, PictureFilesListOneEntry) {
  platform::RecordingMessages messages;
  SourceListing listing(messages);
  std::string png = WriteFixtureFile("pic.png", MakePngImage(20, 10));
  ASSERT_EQ(listing.OpenSource(png), SourceListing::Result::kPicture);
  ASSERT_EQ(listing.images().size(), 1u);
  EXPECT_EQ(listing.images()[0].entry.index, "0");
  EXPECT_EQ(listing.images()[0].entry.label.rfind("20×10\n深さ： ", 0), 0u);
  EXPECT_FALSE(listing.reader().file().loaded());
  std::string broken = WriteFixtureFile("broken.bmp", Bytes{'B', 'M', 1, 2, 3});
  EXPECT_EQ(listing.OpenSource(broken), SourceListing::Result::kPictureUnreadable);
  EXPECT_EQ(listing.images().size(), 1u);
}

}  // namespace
}  // namespace glyphwell::app
