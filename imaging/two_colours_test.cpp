#include "imaging/two_colours.h"

#include <gtest/gtest.h>

namespace glyphwell::imaging {
namespace {

TEST(TwoColoursTest, OnlyTheLightestGrayLevelTurnsWhite) {
  struct Case {
    ColourValue colour;
    bool white;
  } cases[] = {
      {kWhite, true},
      {MakeColour(233, 233, 233), true},   // nearest level 240
      {MakeColour(231, 231, 231), false},  // nearest level 224
      {MakeColour(255, 255, 0), false},
      {kBlack, false},
  };
  for (int bits : {24, 32}) {
    Bitmap img(5, 1, bits);
    for (int i = 0; i < 5; ++i)
      img.setPixelColour(i, 0, cases[i].colour);
    ToTwoColours(img, 5, 1);
    ASSERT_EQ(img.bits(), 1);
    EXPECT_EQ(img.colourTable(), Mono2Palette());
    for (int i = 0; i < 5; ++i)
      EXPECT_EQ(img.rawPixel(i, 0), cases[i].white ? 1u : 0u) << bits << " " << i;
  }
}

TEST(TwoColoursTest, IndexedSourceAndOutputSize) {
  Bitmap img(2, 2, 4);
  img.fill(kBlack);
  img.setPixelColour(1, 1, kWhite);
  ToTwoColours(img, 3, 3);
  EXPECT_EQ(img.width(), 3);
  EXPECT_EQ(img.rawPixel(0, 0), 0u);
  EXPECT_EQ(img.rawPixel(1, 1), 1u);
  EXPECT_EQ(img.rawPixel(2, 2), 1u);  // outside the source: white
}

}  // namespace
}  // namespace glyphwell::imaging
