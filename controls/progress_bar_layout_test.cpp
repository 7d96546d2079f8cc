#include "controls/progress_bar_layout.h"

#include <gtest/gtest.h>

namespace glyphwell::controls::progress {
namespace {

const TColor kBusyBar = RgbHex(0x0080FF);

TEST(Win7Bar, ElevenPixelBusyBarRows) {
  const auto bar = Win7BarRows(11, DarkenChannels(kBusyBar, 64));
  EXPECT_EQ(bar.top, 4);
  EXPECT_EQ(bar.lightBottom, 4);  // light tint on rows 2 and 3, no press band
  EXPECT_EQ(bar.pressBottom, 4);
  const std::uint32_t want[] = {0x00406B, 0x1B5B86, 0x3676A1, 0x5191BC,
                                0x6DADD8, 0x88C8F3, 0xA3E3F3};
  ASSERT_EQ(bar.rows.size(), 7u);
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(bar.rows[i].y, 4 + i);
    EXPECT_EQ(ToRgbHex(bar.rows[i].color), want[i]) << "row " << 4 + i;
  }
}

TEST(Win7Bar, TwentyPixelBarHasLightAndPressBandsAndFifteenPerRow) {
  const TColor dark = DarkenChannels(RgbHex(0x0080FF), 64);  // 0x0040BF
  const auto bar = Win7BarRows(20, dark);
  EXPECT_EQ(bar.top, 8);
  EXPECT_EQ(bar.lightBottom, 5);  // light tint rows 2..4
  EXPECT_EQ(bar.pressBottom, 8);  // press tint rows 5..7
  ASSERT_EQ(bar.rows.size(), 12u);
  EXPECT_EQ(bar.rows.front().y, 8);
  EXPECT_EQ(bar.rows.back().y, 19);
  for (std::size_t i = 0; i < bar.rows.size(); ++i) {
    const int grown = static_cast<int>(15 * i);
    EXPECT_EQ(RedOf(bar.rows[i].color), grown) << i;
    EXPECT_EQ(GreenOf(bar.rows[i].color), 64 + grown) << i;
    // blue starts at 191 - 84 = 107 and stops once the next step would reach 255
    EXPECT_EQ(BlueOf(bar.rows[i].color), std::min(107 + grown, 107 + 15 * 9)) << i;
  }
}

TEST(GradientBar, RowsRunBottomUpAndTheSecondStyleStopsAtItsBand) {
  const auto rows = GradientBarRows(16, RgbHex(0x202020), false);
  ASSERT_EQ(rows.size(), 12u);
  EXPECT_EQ(rows.front().y, 13);
  EXPECT_EQ(rows.back().y, 2);
  EXPECT_EQ(ToRgbHex(rows.front().color), 0x202020u);
  EXPECT_LT(RedOf(rows.front().color), RedOf(rows.back().color));

  const auto second = GradientBarRows(16, RgbHex(0x202020), true);
  EXPECT_EQ(Gradient2Top(16), 4);
  EXPECT_EQ(second.back().y, 4);
  // 12 rows * 10 / 100 = 1 bottom row keeps the start colour, the next one too
  EXPECT_EQ(second[0].color, second[1].color);
  EXPECT_NE(second[1].color, second[2].color);
}

TEST(ProgressClamps, PropertyRules) {
  EXPECT_EQ(ClampMax(0, 0), 1u);
  EXPECT_EQ(ClampMax(5, 10), 10u);
  EXPECT_EQ(ClampMin(50, 20), 20u);
  EXPECT_EQ(ClampStep(500, 100), 100);
  EXPECT_EQ(ClampStep(-5, 100), -5);
  struct BlockCase {
    int value, length, want;
  };
  for (const auto& c : {BlockCase{0, 150, 1}, BlockCase{-3, 150, 1}, BlockCase{151, 150, 1},
                        BlockCase{150, 150, 150}, BlockCase{23, 335, 23}}) {
    EXPECT_EQ(ClampBlockCount(c.value, c.length), c.want) << c.value;
  }
  EXPECT_EQ(ClampWhiteLevel(5), 10);
  EXPECT_EQ(ClampWhiteLevel(300), 255);
  EXPECT_EQ(ClampWhiteLevel(100), 100);
  EXPECT_EQ(ClampLinePar(150), 100);
  // 150 wide, 10 blocks: (149 / 10) / 2 = 7; half a block or more is refused
  EXPECT_TRUE(BlockSpaceAccepted(6, 150, 10));
  EXPECT_FALSE(BlockSpaceAccepted(7, 150, 10));
}

TEST(ProgressPercent, FloatingPercentAndSixtyFourBitParValue) {
  EXPECT_EQ(PercentDone(0, 1000, 9), 0);
  EXPECT_EQ(PercentDone(0, 1000, 10), 1);
  EXPECT_EQ(PercentDone(100, 200, 150), 50);
  EXPECT_EQ(PercentDone(5, 5, 5), 0);
  EXPECT_EQ(PercentDone(50, 100, 10), 0);  // below a raised min
  const std::uint64_t huge = ~std::uint64_t{0};
  EXPECT_EQ(ParValue(huge / 2, huge), 49);
  EXPECT_EQ(ParValue(huge, huge), 100);
}

TEST(ProgressSpans, SolidBarAndBlocks) {
  BarExtent full{150, 100, 100, false, true, 10, 1};
  EXPECT_EQ(BarSpans(full), (std::vector<BarSpan>{{2, 148}}));  // 2 .. W - 2
  full.flat = false;
  EXPECT_EQ(BarSpans(full), (std::vector<BarSpan>{{2, 147}}));
  BarExtent none{150, 0, 100, false, true, 10, 1};
  EXPECT_TRUE(BarSpans(none).empty());

  // block mode: inner 150 - 4 = 146, block 14.6; 35 % reaches blocks 1..3
  BarExtent blocks{150, 35, 100, true, false, 10, 1};
  EXPECT_EQ(BarSpans(blocks), (std::vector<BarSpan>{{2, 15}, {16, 30}, {31, 44}}));
}

}  // namespace
}  // namespace glyphwell::controls::progress
