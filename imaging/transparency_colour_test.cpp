#include "imaging/transparency_colour.h"

#include <gtest/gtest.h>

namespace glyphwell::imaging {
namespace {

Rgbq Entry(int r, int g, int b) {
  return Rgbq::FromColour(MakeColour(r, g, b));
}

TEST(AddTransparencyColourTest, FullTableShiftsAndDropsTheLastColour) {
  // 256 entries, entry 0 white, the last one (250, 0, 0); a near red at 254.
  ColourTable table(256);
  table[0] = Entry(255, 255, 255);
  for (int i = 1; i < 255; ++i)
    table[i] = Entry(i, 255 - i, 100);
  table[254] = Entry(240, 0, 0);
  table[255] = Entry(250, 0, 0);
  Bitmap image(3, 1, 8);
  image.setColourTable(table);
  image.setRawPixel(0, 0, 0);    // white
  image.setRawPixel(1, 0, 255);  // the colour that falls off
  image.setRawPixel(2, 0, 7);
  AddTransparencyColour(image);

  const ColourTable& result = image.colourTable();
  ASSERT_EQ(result.size(), 256u);
  EXPECT_EQ(result[0], Rgbq{});
  EXPECT_EQ(result[1], Entry(255, 255, 255));
  EXPECT_EQ(result[255], Entry(240, 0, 0));
  EXPECT_EQ(image.rawPixel(0, 0), 1u);
  EXPECT_EQ(image.rawPixel(1, 0), 255u);  // nearest remaining: (240, 0, 0)
  EXPECT_EQ(image.rawPixel(2, 0), 8u);
}

TEST(AddTransparencyColourTest, ShortFourBitTableKeepsItsSize) {
  // Three entries; the image is 3 pixels wide, so the last pixel sits alone in the
  // high nibble of the row's second byte.
  Bitmap image(3, 1, 4);
  image.setColourTable({Entry(200, 0, 0), Entry(0, 0, 200), Entry(5, 5, 5)});
  image.setRawPixel(0, 0, 0);
  image.setRawPixel(1, 0, 1);
  image.setRawPixel(2, 0, 2);
  AddTransparencyColour(image);
  EXPECT_EQ(image.colourTable(), (ColourTable{Rgbq{}, Entry(200, 0, 0), Entry(0, 0, 200)}));
  EXPECT_EQ(image.row(0)[0], 0x12);
  EXPECT_EQ(image.row(0)[1], 0x00);  // (5, 5, 5) fell off: its nearest is black
}

TEST(AddTransparencyColourTest, LeavesOtherImagesAlone) {
  Bitmap blackFirst(2, 1, 8);
  blackFirst.setColourTable({Rgbq{}, Entry(255, 255, 255)});
  blackFirst.setRawPixel(1, 0, 1);
  for (Bitmap image : {blackFirst, Bitmap(2, 2, 1), Bitmap(2, 2, 24), Bitmap(2, 2, 32)}) {
    const Bitmap before = image;
    AddTransparencyColour(image);
    EXPECT_EQ(image, before) << image.bits();
  }
}

}  // namespace
}  // namespace glyphwell::imaging
