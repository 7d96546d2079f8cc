#include "imaging/reduce_indexed.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace glyphwell::imaging {
namespace {

Rgbq Entry(int r, int g, int b) {
  return Rgbq::FromColour(MakeColour(r, g, b));
}

bool Holds(const ColourTable& table, const Rgbq& colour) {
  return std::find(table.begin(), table.end(), colour) != table.end();
}

// An 8-bit image of the given colours, `counts[i]` pixels of colour i in reading
// order, `width` pixels a row.
Bitmap IndexedImage(const ColourTable& colours, const std::vector<int>& counts, int width) {
  int total = 0;
  for (int c : counts)
    total += c;
  Bitmap image(width, (total + width - 1) / width, 8);
  image.setColourTable(colours);
  int pixel = 0;
  for (std::size_t i = 0; i < counts.size(); ++i)
    for (int k = 0; k < counts[i]; ++k, ++pixel)
      image.setRawPixel(pixel % width, pixel / width, static_cast<std::uint32_t>(i));
  for (; pixel < image.width() * image.height(); ++pixel)
    image.setRawPixel(pixel % width, pixel / width, 0);
  return image;
}

ConversionSettings IconSettings() {
  ConversionSettings s;
  s.sourceKind = SourceKind::IconMode;
  s.outputType = OutputType::Icon;
  s.depth = Depth::Colours16;
  return s;
}

// Sixteen colours of an icon (black is reserved on top): a heavily used dark gray,
// a close bright pair (merge distance 15) used little, and 13 bright colours far from
// everything else (merge distance 16 or more).
struct DarkGrayAndPair {
  Rgbq gray40 = Entry(40, 40, 40), p1 = Entry(200, 60, 60), p2 = Entry(200, 105, 60);
  ColourTable colours;
  std::vector<int> counts;
  DarkGrayAndPair() {
    colours = {gray40, p1, p2};
    counts = {100, 5, 3};
    const int levels[] = {80, 160, 240};
    for (int r : levels)
      for (int g : levels)
        for (int b : levels)
          if (colours.size() < 16 && !(r == 80 && g == 80 && b == 80))
            colours.push_back(Entry(r, g, b));
    counts.resize(16, 10);
  }
};

TEST(ReduceIndexedTest, WithoutMode2DarkColoursGoAtOnce) {
  DarkGrayAndPair f;
  Bitmap image = IndexedImage(f.colours, f.counts, 20);
  ReduceIndexed(image, 4, IconSettings());
  ASSERT_EQ(image.bits(), 4);
  const ColourTable& table = image.colourTable();
  ASSERT_EQ(table.size(), 16u);
  // The reserved black removes the dark gray (brightness 40 < 50) in the first pass.
  EXPECT_EQ(table[0], Rgbq{});
  EXPECT_FALSE(Holds(table, f.gray40));
  EXPECT_TRUE(Holds(table, f.p1));
  EXPECT_TRUE(Holds(table, f.p2));
  EXPECT_EQ(image.pixelColour(0, 0), kBlack);  // gray pixels fall to black
}

TEST(ReduceIndexedTest, Mode2KeepsDarkColoursAndRaisesTheThresholdByOne) {
  DarkGrayAndPair f;
  ConversionSettings s = IconSettings();
  s.mode2 = true;
  Bitmap image = IndexedImage(f.colours, f.counts, 20);
  ReduceIndexed(image, 4, s);
  const ColourTable& table = image.colourTable();
  // Thresholds 1, 2, ... 16: the pair at distance 15 merges at 16, before the gray
  // (23 from black) and every other pair; the less used of the pair goes.
  EXPECT_EQ(table[0], Rgbq{});
  EXPECT_TRUE(Holds(table, f.gray40));
  EXPECT_TRUE(Holds(table, f.p1));
  EXPECT_FALSE(Holds(table, f.p2));
  EXPECT_EQ(image.pixelColour(0, 0), f.gray40.colour());
  // The table is ordered by red² + green² + blue².
  for (std::size_t i = 1; i < table.size(); ++i) {
    auto key = [](const Rgbq& c) { return c.red * c.red + c.green * c.green + c.blue * c.blue; };
    EXPECT_LE(key(table[i - 1]), key(table[i])) << i;
  }
}

TEST(ReduceIndexedTest, Mode2ThresholdGrowsSlowlyEnoughForTheCountLimitToMatter) {
  // 17 colours of a picture, 50 pixels a row (limit step 10). Pair A is close
  // (distance 3) but its weaker colour is used 50 times; pair B is further apart
  // (distance 8) and its weaker colour is used twice. With the threshold growing by
  // 1, the limit passes 50 (pass 6, threshold 6) before the threshold passes 8, so
  // A merges; growing by 6 would merge B in pass 2.
  const Rgbq a1 = Entry(100, 200, 40), a2 = Entry(100, 200, 49);
  const Rgbq b1 = Entry(200, 40, 200), b2 = Entry(200, 40, 224);
  ColourTable colours = {a1, a2, b1, b2};
  std::vector<int> counts = {100, 50, 60, 2};
  const int levels[] = {80, 160, 240};
  for (int r : levels)
    for (int g : levels)
      for (int b : levels)
        if (colours.size() < 17) {
          colours.push_back(Entry(r, g, b));
          counts.push_back(20);
        }
  ConversionSettings s;
  s.sourceKind = SourceKind::Picture;
  s.outputType = OutputType::Bmp;
  s.mode2 = true;
  Bitmap image = IndexedImage(colours, counts, 50);
  ReduceIndexed(image, 4, s);
  EXPECT_FALSE(Holds(image.colourTable(), a2));
  EXPECT_TRUE(Holds(image.colourTable(), b2));

  // Without "mode2" the distance-10 rule removes the first close colour it meets.
  s.mode2 = false;
  image = IndexedImage(colours, counts, 50);
  ReduceIndexed(image, 4, s);
  EXPECT_FALSE(Holds(image.colourTable(), a2));
  EXPECT_TRUE(Holds(image.colourTable(), b2));
}

TEST(ReduceIndexedTest, CloseColoursMergeIntoTheMoreUsedOne) {
  // 17 colours of a picture (nothing reserved): one within distance 10 of another.
  ColourTable colours;
  std::vector<int> counts;
  for (int i = 0; i < 16; ++i) {
    colours.push_back(Entry(60 + (i % 4) * 60, 60 + (i / 4) * 60, 128));
    counts.push_back(20);
  }
  colours.push_back(Entry(65, 65, 133));  // 5 from the first colour on every channel
  counts.push_back(3);
  ConversionSettings s;
  s.sourceKind = SourceKind::Picture;
  s.outputType = OutputType::Bmp;
  Bitmap image = IndexedImage(colours, counts, 41);
  ReduceIndexed(image, 4, s);
  EXPECT_FALSE(Holds(image.colourTable(), Entry(65, 65, 133)));
  // Its pixels (the last three) take the first colour.
  EXPECT_EQ(image.pixelColour(40 - 2, 7), MakeColour(60, 60, 128));
}

TEST(ReduceIndexedTest, PngColourCountChoosesFormatAndTableSize) {
  // 200 bright colours of a picture saved as "Png" at "256色".
  ColourTable colours;
  std::vector<int> counts;
  for (int i = 0; i < 200; ++i) {
    colours.push_back(Entry(55 + (i % 10) * 20, 55 + ((i / 10) % 10) * 20, 100 + (i / 100) * 80));
    counts.push_back(1 + i % 3);
  }
  struct Case {
    int pngCount, bits, tableSize, filled;
  };
  for (const Case& c :
       {Case{16, 4, 16, 16}, Case{8, 4, 16, 8}, Case{128, 8, 256, 128}, Case{32, 8, 256, 32}}) {
    ConversionSettings s;
    s.sourceKind = SourceKind::Picture;
    s.outputType = OutputType::Png;
    s.depth = Depth::Colours256;
    s.pngColourCount = c.pngCount;
    Bitmap image = IndexedImage(colours, counts, 30);
    ReduceIndexed(image, 8, s);
    SCOPED_TRACE(c.pngCount);
    EXPECT_EQ(image.bits(), c.bits);
    ASSERT_EQ(image.colourTable().size(), static_cast<std::size_t>(c.tableSize));
    for (int i = 0; i < c.tableSize; ++i)
      EXPECT_EQ(image.colourTable()[i] == Rgbq{}, i >= c.filled) << i;
  }
}

TEST(ReduceIndexedTest, EightBitTargetOutsidePngKeeps16Colours) {
  ConversionSettings s = IconSettings();
  s.outputType = OutputType::Icon;
  EXPECT_EQ(IndexedTargetFor(8, s).colours, 16);
  EXPECT_EQ(IndexedTargetFor(8, s).bits, 8);
  s.outputType = OutputType::Png;
  s.depth = Depth::Colours16;  // "Png" but not "256色"
  s.pngColourCount = 64;
  EXPECT_EQ(IndexedTargetFor(8, s).colours, 16);
  EXPECT_EQ(IndexedTargetFor(4, s).bits, 4);
}

TEST(ReduceIndexedTest, LimitStep) {
  ConversionSettings s;
  s.sourceKind = SourceKind::Picture;
  EXPECT_EQ(LimitStep(4, s), 1);  // would be 0: the guard keeps the limit growing
  EXPECT_EQ(LimitStep(0, s), 1);
  EXPECT_EQ(LimitStep(24, s), 4);
  s.editor.exists = true;
  s.editor.visible = true;
  s.editor.reductionCorrection = 3;
  EXPECT_EQ(LimitStep(24, s), 12);
  s.editor.visible = false;  // hidden editor: only icons reset the slider to 8
  EXPECT_EQ(LimitStep(24, s), 12);
  s.sourceKind = SourceKind::IconMode;
  EXPECT_EQ(LimitStep(24, s), 32);
}

TEST(ReduceIndexedTest, NarrowImagesStillEnd) {
  // 4 pixels wide: width / 5 is 0. 40 colours far apart must still merge down.
  ColourTable colours;
  std::vector<int> counts;
  for (int i = 0; i < 40; ++i) {
    colours.push_back(Entry((i % 4) * 80, ((i / 4) % 4) * 80, (i / 16) * 100));
    counts.push_back(5);
  }
  for (bool mode2 : {false, true}) {
    ConversionSettings s;
    s.sourceKind = SourceKind::Picture;
    s.outputType = OutputType::Bmp;
    s.mode2 = mode2;
    Bitmap image = IndexedImage(colours, counts, 4);
    ReduceIndexed(image, 4, s);
    EXPECT_EQ(image.bits(), 4);
    EXPECT_EQ(image.width(), 4);
  }
}

TEST(ReduceIndexedTest, ReservedBlackSurvivesADominantColour) {
  // A 32 x 32 icon at 16 colours: the 4-bit file is 630 bytes, and 700 pixels are
  // red. Black must stay the transparency colour all the same.
  ColourTable colours = {Entry(0, 0, 0), Entry(220, 20, 20)};
  std::vector<int> counts = {100, 700};
  for (int i = 0; i < 20; ++i) {
    colours.push_back(Entry(40 + (i % 5) * 50, 60 + (i / 5) * 50, 200));
    counts.push_back(11);
  }
  Bitmap image = IndexedImage(colours, counts, 32);
  ASSERT_EQ(image.height(), 32);
  ReduceIndexed(image, 4, IconSettings());
  EXPECT_EQ(image.colourTable()[0], Rgbq{});
  EXPECT_EQ(image.rawPixel(0, 0), 0u);
  EXPECT_TRUE(Holds(image.colourTable(), Entry(220, 20, 20)));
}

TEST(ReduceIndexedTest, WithoutOptimizedPaletteMapsOntoTheFixed16) {
  ConversionSettings s = IconSettings();
  s.optimizedPalette = false;
  Bitmap image =
      IndexedImage({Entry(130, 0, 0), Entry(250, 250, 10), Entry(190, 190, 190)}, {1, 1, 1}, 3);
  ReduceIndexed(image, 4, s);
  EXPECT_EQ(image.colourTable(), Fixed16Palette());
  EXPECT_EQ(image.rawPixel(0, 0), 1u);
  EXPECT_EQ(image.rawPixel(1, 0), 11u);
  // The odd last pixel sits in the high nibble of the row's last byte.
  EXPECT_EQ(image.row(0)[1] >> 4, 8);
}

TEST(ReduceIndexedTest, IgnoresTrueColourAndEmptyImages) {
  Bitmap image(4, 4, 24);
  const Bitmap before = image;
  ReduceIndexed(image, 4, IconSettings());
  EXPECT_EQ(image, before);
  Bitmap empty;
  ReduceIndexed(empty, 4, IconSettings());
  EXPECT_TRUE(empty.empty());
}

}  // namespace
}  // namespace glyphwell::imaging
