#include "app/picture_source.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

namespace glyphwell::app {
namespace {

TEST(PictureSourceTest, PictureExtensionsAreWholeMembers) {
  for (const char* ext : {".bmp", ".jpg", ".jpeg", ".png", ".wmf"})
    EXPECT_TRUE(IsPictureExtension(ext)) << ext;
  for (const char* ext : {".jp", ".pn", ".bm", ".ico", ".exe", "", ".jpg.png", "bmp"})
    EXPECT_FALSE(IsPictureExtension(ext)) << ext;
}

TEST(PictureSourceTest, LabelShowsSizeAndDepth) {
  imaging::Picture p;
  p.kind = imaging::PictureKind::kBitmap;
  p.bitmap = imaging::Bitmap(40, 30, 8);
  EXPECT_EQ(PictureLabel(p, ".bmp"), "40×30\n深さ： 8");
  EXPECT_EQ(PictureLabel(p, ".png"), "40×30\n深さ： 8");
  p.kind = imaging::PictureKind::kJpeg;
  EXPECT_EQ(PictureLabel(p, ".jpeg"), "40×30\n深さ： 24");
  p.kind = imaging::PictureKind::kMetafile;
  EXPECT_EQ(PictureLabel(p, ".wmf"), "40×30\n深さ： 不明");
}

TEST(PictureSourceTest, GridCellForPictures) {
  const GridCell reset{36, 72};
  EXPECT_EQ(PictureGridCell(256, 10, reset), (GridCell{256, 292}));
  EXPECT_EQ(PictureGridCell(10, 300, reset), (GridCell{256, 292}));
  EXPECT_EQ(PictureGridCell(20, 20, reset), reset);                 // 52 pixels to spare
  EXPECT_EQ(PictureGridCell(100, 50, reset), (GridCell{100, 86}));  // wider, taller
  EXPECT_EQ(PictureGridCell(32, 36, reset), (GridCell{36, 72}));    // exactly 36 spare
  EXPECT_EQ(PictureGridCell(33, 37, reset), (GridCell{33, 73}));
}

TEST(PictureSourceTest, PastedPictureIsOneBmpEntry) {
  imaging::Bitmap clip(50, 20, 24);
  std::optional<PictureSource> s = OpenPastedPicture(clip, GridCell{36, 72});
  ASSERT_TRUE(s);
  EXPECT_EQ(s->path, "");
  EXPECT_EQ(s->extension, ".bmp");
  EXPECT_EQ(s->entry.index, "0");
  EXPECT_EQ(s->entry.label, "50×20\n深さ： 24");
  EXPECT_EQ(s->cell, (GridCell{50, 72}));
  EXPECT_FALSE(OpenPastedPicture(imaging::Bitmap(), GridCell{}));
}

TEST(PictureSourceTest, UnreadablePictures) {
  std::string dir = (std::filesystem::temp_directory_path() / "picsrc-XXXXXX").string();
  ASSERT_NE(mkdtemp(dir.data()), nullptr);
  std::string bmp = dir + "/bad.bmp", png = dir + "/bad.PNG";
  std::ofstream(bmp) << "not a picture";
  std::ofstream(png) << "not a png";
  platform::RecordingMessages messages;
  EXPECT_FALSE(OpenPictureFile(bmp, GridCell{}, messages));
  ASSERT_EQ(messages.entries.size(), 1u);
  EXPECT_EQ(messages.entries[0].text, "この画像は読めません。");
  EXPECT_FALSE(OpenPictureFile(png, GridCell{}, messages));  // the PNG reader says nothing
  EXPECT_EQ(messages.entries.size(), 1u);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace glyphwell::app
