#include "imaging/merge_quantize.h"

#include <gtest/gtest.h>

#include <random>

#include "imaging/palette_search.h"
#include "tests/support/merge_quantize_reference.h"

namespace glyphwell::imaging {
namespace {

// An image whose pixels are drawn from `colours` random colours. With `spread`
// small the colours cluster, so passes stop midway and near colours compete.
Bitmap RandomImage(int width, int height, int bits, int colours, int spread, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> base(0, 255 - spread);
  std::uniform_int_distribution<int> offset(0, spread);
  std::vector<ColourValue> palette;
  int r0 = base(rng), g0 = base(rng), b0 = base(rng);
  for (int i = 0; i < colours; ++i)
    palette.push_back(MakeColour(r0 + offset(rng), g0 + offset(rng), b0 + offset(rng)));
  std::uniform_int_distribution<int> pick(0, colours - 1);
  Bitmap image(width, height, bits);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image.setPixelColour(x, y, palette[pick(rng)]);
  return image;
}

TEST(MergeQuantizeTest, MatchesTheDirectWalkOnRandomImages) {
  struct Case {
    int width, height, bits, colours, spread;
  };
  const Case cases[] = {
      {16, 16, 24, 200, 255},  // no pass at all: 256 candidates
      {17, 17, 24, 289, 255},  // 289 distinct colours, one pass
      {32, 32, 32, 300, 255}, {32, 32, 24, 300, 40},  {48, 48, 24, 1024, 255},
      {48, 48, 32, 1024, 20}, {64, 40, 24, 700, 90},  {5, 80, 24, 500, 255},
      {3, 100, 24, 290, 8},   {100, 3, 32, 260, 255}, {40, 30, 16, 400, 255},
  };
  unsigned seed = 1;
  for (const Case& c : cases) {
    for (bool reserve : {false, true}) {
      for (int round = 0; round < 3; ++round, ++seed) {
        Bitmap image = RandomImage(c.width, c.height, c.bits, c.colours, c.spread, seed);
        Bitmap expected = image;
        testsupport::MergeQuantizeReference(expected, true, reserve);
        MergeQuantize(image, MergeQuantizeOptions{true, reserve});
        ASSERT_EQ(image.bits(), 8);
        ASSERT_EQ(image.colourTable(), expected.colourTable())
            << c.width << "x" << c.height << " colours " << c.colours << " reserve " << reserve;
        ASSERT_EQ(image.pixels(), expected.pixels());
      }
    }
  }
}

TEST(MergeQuantizeTest, MatchesTheDirectWalkOnTheLargestImageItIsSent) {
  // Width plus height 499 and 1024 colours: beyond either the JPEG route takes over.
  for (int spread : {255, 60}) {
    Bitmap image = RandomImage(249, 250, 32, 1024, spread, 99u + static_cast<unsigned>(spread));
    for (bool reserve : {false, true}) {
      Bitmap expected = image, actual = image;
      testsupport::MergeQuantizeReference(expected, true, reserve);
      MergeQuantize(actual, MergeQuantizeOptions{true, reserve});
      ASSERT_EQ(actual, expected) << "spread " << spread << " reserve " << reserve;
    }
  }
}

// 20 x 20 pixels: 50 near-black (5, 5, 5) pixels, one of them the first pixel of
// the bottom row (the first candidate), the rest white. 400 candidates need 144
// (145 with the reserved black) removals; the first pass does them all.
Bitmap NearBlackOnWhite() {
  Bitmap image(20, 20, 24);
  image.fill(kWhite);
  for (int i = 0; i < 50; ++i)
    image.setPixelColour((i * 7) % 20, 19 - (i * 3) % 20, MakeColour(5, 5, 5));
  return image;
}

TEST(MergeQuantizeTest, ReservedBlackSwallowsNearBlack) {
  Bitmap image = NearBlackOnWhite();
  ASSERT_EQ(image.pixelColour(0, 19), MakeColour(5, 5, 5));
  MergeQuantize(image, MergeQuantizeOptions{true, true});
  const ColourTable& table = image.colourTable();
  ASSERT_EQ(table.size(), 256u);
  // Black removes all 50 near-blacks, the first white removes 95 whites: black and
  // 255 whites remain.
  EXPECT_EQ(table[0].colour(), kBlack);
  for (std::size_t i = 1; i < table.size(); ++i)
    ASSERT_EQ(table[i].colour(), kWhite) << i;
  EXPECT_EQ(image.rawPixel(0, 19), 0u);
  EXPECT_EQ(image.rawPixel(1, 19), 1u);
}

TEST(MergeQuantizeTest, WithoutReservedBlackTheFirstPixelLeads) {
  Bitmap image = NearBlackOnWhite();
  MergeQuantize(image, MergeQuantizeOptions{true, false});
  const ColourTable& table = image.colourTable();
  EXPECT_EQ(table[0].colour(), MakeColour(5, 5, 5));
  for (std::size_t i = 1; i < table.size(); ++i)
    ASSERT_EQ(table[i].colour(), kWhite) << i;
  EXPECT_EQ(image.pixelColour(0, 19), MakeColour(5, 5, 5));
}

TEST(MergeQuantizeTest, APassStopsAtExactly256Survivors) {
  // 400 candidates of two colours: the first white removes whites only until 256
  // candidates remain, so whites survive beside the blue.
  Bitmap image(20, 20, 32);
  image.fill(kWhite);
  image.setPixelColour(3, 3, MakeColour(0, 0, 255));
  MergeQuantize(image, MergeQuantizeOptions{true, false});
  const ColourTable& table = image.colourTable();
  int blues = 0;
  for (const Rgbq& e : table)
    blues += e.colour() == MakeColour(0, 0, 255);
  EXPECT_EQ(blues, 1);
  EXPECT_EQ(image.pixelColour(3, 3), MakeColour(0, 0, 255));
  EXPECT_EQ(image.pixelColour(0, 0), kWhite);
}

TEST(MergeQuantizeTest, FewPixelsKeepDuplicateEntries) {
  // 16 x 16 = 256 candidates: no pass runs, so every pixel gets an entry of its own
  // even where the colours repeat.
  Bitmap image(16, 16, 24);
  image.fill(MakeColour(10, 20, 30));
  MergeQuantize(image, MergeQuantizeOptions{true, false});
  const ColourTable& table = image.colourTable();
  for (const Rgbq& e : table)
    EXPECT_EQ(e.colour(), MakeColour(10, 20, 30));
  // The first minimum wins: every pixel maps to entry 0.
  for (std::uint8_t p : image.pixels())
    EXPECT_EQ(p, 0);
}

TEST(MergeQuantizeTest, UnfilledEntriesAreBlack) {
  Bitmap image(10, 10, 32);
  image.fill(kWhite);
  MergeQuantize(image, MergeQuantizeOptions{true, false});
  const ColourTable& table = image.colourTable();
  ASSERT_EQ(table.size(), 256u);
  for (std::size_t i = 0; i < table.size(); ++i)
    EXPECT_EQ(table[i].colour(), i < 100 ? kWhite : kBlack) << i;
}

TEST(MergeQuantizeTest, WithoutOptimizedPaletteUsesTheCube) {
  Bitmap image(2, 1, 24);
  image.setPixelColour(0, 0, MakeColour(250, 10, 100));  // nearest: 255, 0, 102
  image.setPixelColour(1, 0, MakeColour(25, 26, 25));    // tie 0 / 51: the first wins
  MergeQuantize(image, MergeQuantizeOptions{false, true});
  EXPECT_EQ(image.colourTable(), CubePalette());
  EXPECT_EQ(image.pixelColour(0, 0), MakeColour(255, 0, 102));
  EXPECT_EQ(image.rawPixel(0, 0), 36u * 2 + 0 * 6 + 5);
  EXPECT_EQ(image.rawPixel(1, 0), 36u * 0 + 6 * 1 + 0);
}

TEST(MergeQuantizeTest, IgnoresIndexedAndEmptyImages) {
  Bitmap indexed(4, 4, 8);
  Bitmap before = indexed;
  MergeQuantize(indexed, MergeQuantizeOptions{});
  EXPECT_EQ(indexed, before);
  Bitmap empty;
  MergeQuantize(empty, MergeQuantizeOptions{});
  EXPECT_TRUE(empty.empty());
}

}  // namespace
}  // namespace glyphwell::imaging
