// SortPalette and RemapToPalette: the two operations that reorder or replace the
// colour table of an indexed image.
#include <gtest/gtest.h>

#include "imaging/palette_search.h"
#include "imaging/remap_to_palette.h"
#include "imaging/sort_palette.h"

namespace glyphwell::imaging {
namespace {

Rgbq Entry(int r, int g, int b) {
  return Rgbq::FromColour(MakeColour(r, g, b));
}

Bitmap WithPixels(int bits, const ColourTable& table, const std::vector<int>& indexes) {
  Bitmap image(static_cast<int>(indexes.size()), 1, bits);
  image.setColourTable(table);
  for (std::size_t x = 0; x < indexes.size(); ++x)
    image.setRawPixel(static_cast<int>(x), 0, static_cast<std::uint32_t>(indexes[x]));
  return image;
}

TEST(SortPaletteTest, OrdersByBrightnessAndCollapsesDuplicates) {
  const Rgbq white = Entry(255, 255, 255), red = Entry(255, 0, 0), black = Entry(0, 0, 0),
             blue = Entry(0, 0, 255), green = Entry(0, 200, 0);
  // blue is unused; red appears twice.
  Bitmap image = WithPixels(8, {white, red, black, blue, red, green}, {0, 1, 2, 4, 5, 4});
  SortPalette(image, ConversionSettings{});
  // Keys: black 0, green 200, red 255, red 255, white 765, unused blue last.
  EXPECT_EQ(image.colourTable(), (ColourTable{black, green, red, red, white, blue}));
  // Both reds now use the first red entry.
  std::vector<std::uint32_t> pixels;
  for (int x = 0; x < image.width(); ++x)
    pixels.push_back(image.rawPixel(x, 0));
  EXPECT_EQ(pixels, (std::vector<std::uint32_t>{4, 2, 0, 2, 1, 2}));
}

TEST(SortPaletteTest, KeepsTheTransparencyBlackOfAnIcon) {
  const Rgbq black = Entry(0, 0, 0), gray = Entry(100, 100, 100), white = Entry(255, 255, 255);
  struct Case {
    OutputType type;
    bool transparency;
    ColourTable expected;
  };
  const Case cases[] = {
      {OutputType::Icon, true, {black, gray, white}},
      // Otherwise an unused black sorts behind every used colour.
      {OutputType::Icon, false, {gray, white, black}},
      {OutputType::Bmp, true, {gray, white, black}},
  };
  for (const Case& c : cases) {
    ConversionSettings s;
    s.outputType = c.type;
    s.transparencyColour = c.transparency;
    Bitmap image = WithPixels(8, {black, white, gray}, {1, 2});
    SortPalette(image, s);
    EXPECT_EQ(image.colourTable(), c.expected);
    EXPECT_EQ(image.pixelColour(0, 0), white.colour());
    EXPECT_EQ(image.pixelColour(1, 0), gray.colour());
  }
}

TEST(SortPaletteTest, IgnoresOtherFormats) {
  Bitmap image = WithPixels(4, {Entry(255, 255, 255), Entry(0, 0, 0)}, {0, 1});
  const Bitmap before = image;
  SortPalette(image, ConversionSettings{});
  EXPECT_EQ(image, before);
}

ConversionSettings AtDepth(Depth depth, bool original = false) {
  ConversionSettings s;
  s.depth = depth;
  s.keepSourceDepth = original;
  return s;
}

TEST(RemapToPaletteTest, EightBitsGoOntoTheCube) {
  Bitmap image = WithPixels(8, {Entry(250, 10, 100), Entry(25, 26, 25)}, {0, 1});
  RemapToPalette(image, nullptr, AtDepth(Depth::Colours256));
  EXPECT_EQ(image.colourTable(), CubePalette());
  EXPECT_EQ(image.rawPixel(0, 0), 2u * 36 + 0 * 6 + 5);  // blue 102, green 0, red 255
  EXPECT_EQ(image.rawPixel(1, 0), 6u);                   // tie 0 / 51 green: the first wins
}

TEST(RemapToPaletteTest, FourBitsGoOntoTheFixed16) {
  Bitmap image =
      WithPixels(4, {Entry(130, 0, 0), Entry(250, 250, 10), Entry(190, 190, 190)}, {0, 1, 2});
  RemapToPalette(image, nullptr, AtDepth(Depth::Colours16));
  EXPECT_EQ(image.colourTable(), Fixed16Palette());
  EXPECT_EQ(image.row(0)[0], 0x1B);  // indexes 1 and 11
  EXPECT_EQ(image.row(0)[1], 0x80);  // odd last pixel in the high nibble
}

TEST(RemapToPaletteTest, OntoAGivenTable) {
  Bitmap target(1, 1, 8);
  target.setColourTable({Entry(10, 10, 10), Entry(200, 0, 0)});
  Bitmap image = WithPixels(8, {Entry(190, 20, 0), Entry(0, 0, 0)}, {0, 1});
  RemapToPalette(image, &target, AtDepth(Depth::Colours256));
  EXPECT_EQ(image.rawPixel(0, 0), 1u);
  // Black's nearest is entry 2 onwards (missing, black): the short table is padded.
  EXPECT_EQ(image.rawPixel(1, 0), 2u);
  ASSERT_EQ(image.colourTable().size(), 256u);
  EXPECT_EQ(image.pixelColour(1, 0), kBlack);
}

TEST(RemapToPaletteTest, ActsOnlyForItsDepthsOrOriginal) {
  struct Case {
    int bits;
    Depth depth;
    bool original, remapped;
  };
  const Case cases[] = {
      {8, Depth::Colours256, false, true},  {8, Depth::Colours16, false, false},
      {8, Depth::Colours16, true, true},    {4, Depth::Colours16, false, true},
      {4, Depth::Colours256, false, false}, {4, Depth::Bits24, true, true},
      {8, Depth::Bits24, false, false},
  };
  for (const Case& c : cases) {
    Bitmap image = WithPixels(c.bits, {Entry(130, 0, 0)}, {0});
    RemapToPalette(image, nullptr, AtDepth(c.depth, c.original));
    EXPECT_EQ(image.colourTable().size() > 1, c.remapped)
        << c.bits << " " << static_cast<int>(c.depth) << " " << c.original;
  }
}

}  // namespace
}  // namespace glyphwell::imaging
