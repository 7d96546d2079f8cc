#include "output/clipboard_image.h"

#include <gtest/gtest.h>

namespace glyphwell::output {
namespace {

using imaging::Bitmap;
using imaging::Picture;
using imaging::PictureKind;
using imaging::SourceKind;

// A 40 x 20 red picture.
Picture WidePicture() {
  Picture p;
  p.kind = PictureKind::kBitmap;
  p.bitmap = Bitmap(40, 20, 24);
  p.bitmap.fill(imaging::MakeColour(255, 0, 0));
  return p;
}

TEST(ClipboardBitmapTest, PicturesAreFittedOrCopiedAtTheirOwnSize) {
  const Picture wide = WidePicture();
  const Bitmap fitted = ClipboardBitmap(wide, SourceKind::Picture, false, {32, 32});
  ASSERT_EQ(fitted.width(), 32);
  ASSERT_EQ(fitted.height(), 32);
  // Fitted with its aspect: the middle is the picture, the top stays white.
  EXPECT_EQ(fitted.pixelColour(16, 16), imaging::MakeColour(255, 0, 0));
  EXPECT_EQ(fitted.pixelColour(16, 0), imaging::kWhite);

  const Bitmap real = ClipboardBitmap(wide, SourceKind::Picture, true, {32, 32});
  EXPECT_EQ(real.width(), 40);
  EXPECT_EQ(real.height(), 20);
  EXPECT_EQ(real.pixelColour(39, 19), imaging::MakeColour(255, 0, 0));

  // A Bmp-mode bitmap is fitted like a picture; the real-size flag is for pictures.
  const Bitmap bmpMode = ClipboardBitmap(wide, SourceKind::BmpMode, true, {32, 32});
  EXPECT_EQ(bmpMode.width(), 32);
  EXPECT_EQ(bmpMode.pixelColour(16, 0), imaging::kWhite);

  EXPECT_TRUE(ClipboardBitmap(Picture{}, SourceKind::Picture, false, {32, 32}).empty());
}

TEST(ClipboardBitmapTest, IconSourcesFillTheWholeOutputSize) {
  const Picture wide = WidePicture();
  const Bitmap icon = ClipboardBitmap(wide, SourceKind::IconMode, false, {16, 16});
  ASSERT_EQ(icon.width(), 16);
  EXPECT_EQ(icon.bits(), 24);
  EXPECT_EQ(icon.pixelColour(8, 0), imaging::MakeColour(255, 0, 0));
  EXPECT_EQ(icon.pixelColour(8, 15), imaging::MakeColour(255, 0, 0));
}

}  // namespace
}  // namespace glyphwell::output
