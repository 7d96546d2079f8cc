#include "imaging/stretch.h"

#include <gtest/gtest.h>

#include <set>

namespace glyphwell::imaging {
namespace {

Bitmap Checker(int width, int height, int bits, ColourValue a, ColourValue b) {
  Bitmap img(width, height, bits);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      img.setPixelColour(x, y, ((x + y) & 1) ? b : a);
  return img;
}

TEST(StretchNearestTest, NeverMixesColoursAndLeavesTheRestAlone) {
  const ColourValue red = MakeColour(255, 0, 0), blue = MakeColour(0, 0, 255);
  Bitmap src = Checker(5, 3, 24, red, blue);
  Bitmap dest(20, 20, 24);
  dest.fill(MakeColour(1, 2, 3));
  StretchNearest(src, dest, Rect{2, 3, 13, 7});
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) {
      ColourValue c = dest.pixelColour(x, y);
      bool inside = x >= 2 && x < 15 && y >= 3 && y < 10;
      if (inside)
        EXPECT_TRUE(c == red || c == blue) << x << "," << y;
      else
        EXPECT_EQ(c, MakeColour(1, 2, 3)) << x << "," << y;
    }
  EXPECT_EQ(dest.pixelColour(2, 3), red);  // corners come from the source corners
  EXPECT_EQ(dest.pixelColour(14, 9), red);
}

TEST(StretchNearestTest, PaletteSourceKeepsItsIndexes) {
  Bitmap src(4, 4, 8);
  ColourTable table(256);
  // Two entries of the same colour: an exact index copy keeps them apart.
  table[7] = Rgbq::FromColour(MakeColour(9, 9, 9));
  table[9] = Rgbq::FromColour(MakeColour(9, 9, 9));
  src.setColourTable(table);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      src.setRawPixel(x, y, x < 2 ? 7 : 9);
  Bitmap dest(8, 8, 8);
  dest.setColourTable(table);
  StretchNearest(src, dest, Rect{0, 0, 8, 8});
  EXPECT_EQ(dest.rawPixel(0, 0), 7u);
  EXPECT_EQ(dest.rawPixel(7, 7), 9u);
}

TEST(StretchNearestTest, AlphaIsCopiedFrom32BitAndZeroOtherwiseClippedAtEdges) {
  Bitmap src(2, 2, 32);
  src.fill(MakeColour(10, 20, 30));
  src.row(0)[3] = 200;
  Bitmap dest(4, 4, 32);
  StretchNearest(src, dest, Rect{-2, -2, 4, 4});  // only the bottom-right quarter lands
  EXPECT_EQ(dest.pixelColour(0, 0), MakeColour(10, 20, 30));
  EXPECT_EQ(dest.pixelAlpha(0, 0), 0);  // source pixel (1, 1)
  EXPECT_EQ(dest.pixelColour(2, 2), kWhite);
  Bitmap same(2, 2, 32);
  StretchNearest(src, same, Rect{0, 0, 2, 2});
  EXPECT_EQ(same.pixelAlpha(0, 0), 200);
}

TEST(HalftoneStretchTest, AveragesTheCoveredArea) {
  Bitmap src = Checker(4, 4, 24, kBlack, kWhite);
  Bitmap dest(2, 2, 24);
  HalftoneStretch(src, dest, Rect{0, 0, 2, 2});
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x)
      EXPECT_EQ(dest.pixelColour(x, y), MakeColour(128, 128, 128));  // half white, rounded
  // A flat area stays flat at any scale.
  Bitmap flat(3, 5, 24);
  flat.fill(MakeColour(37, 99, 201));
  Bitmap big(7, 11, 32);
  HalftoneStretch(flat, big, Rect{0, 0, 7, 11});
  EXPECT_EQ(big.pixelColour(6, 10), MakeColour(37, 99, 201));
  // Three source pixels into two: the middle one is split between both.
  Bitmap row(3, 1, 24);
  row.setPixelColour(0, 0, kBlack);
  row.setPixelColour(1, 0, MakeColour(90, 90, 90));
  row.setPixelColour(2, 0, kWhite);
  Bitmap two(2, 1, 24);
  HalftoneStretch(row, two, Rect{0, 0, 2, 1});
  EXPECT_EQ(two.pixelColour(0, 0), MakeColour(30, 30, 30));     // (2 * 0 + 90) / 3
  EXPECT_EQ(two.pixelColour(1, 0), MakeColour(200, 200, 200));  // (90 + 2 * 255) / 3
}

TEST(HalftoneStretchTest, IndexedDestinationTakesNearestTableColours) {
  Bitmap src = Checker(4, 4, 24, kBlack, kWhite);
  Bitmap dest(2, 2, 4);
  HalftoneStretch(src, dest, Rect{0, 0, 2, 2});
  EXPECT_EQ(dest.pixelColour(0, 0), MakeColour(128, 128, 128));
}

}  // namespace
}  // namespace glyphwell::imaging
