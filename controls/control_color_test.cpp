#include "controls/control_color.h"

#include <gtest/gtest.h>

#include "controls/gradient_ramp.h"

namespace glyphwell::controls {
namespace {

TEST(ControlColor, AlphaMixFloorsNegativeDifferencesAndMovesTowardTheFirstColour) {
  struct Case {
    TColor c1, c2;
    int level;
    std::uint32_t rgb;
  };
  const Case cases[] = {
      {RgbHex(0x0080FF), clWhite, 0, 0xFFFFFF},
      {RgbHex(0x0080FF), clWhite, 100, 0x9BCDFF},  // light tint of the busy bar
      {RgbHex(0x0080FF), clWhite, 120, 0x87C3FF},  // its press tint
      {RgbHex(0x0080FF), clWhite, 256, 0x0080FF},
      {RgbHex(0xC0C0C0), clBlack, 150, 0x707070},         // box shade of a silver box
      {RgbHex(0x000001), RgbHex(0x000003), 1, 0x000002},  // (1-3)*1 >> 8 = -1
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ToRgbHex(GetAlphaColor(c.c1, c.c2, c.level)), c.rgb)
        << "level " << c.level << " c1 " << std::hex << ToRgbHex(c.c1);
  }
}

TEST(ControlColor, SystemReferencesResolveAndExplicitColoursPassThrough) {
  EXPECT_LT(clBtnFace, 0);
  EXPECT_EQ(ChkSysColorToColor(clBtnFace), SystemColor(kSysBtnFace));
  EXPECT_EQ(ChkSysColorToColor(clWindow), clWhite);
  EXPECT_EQ(ChkSysColorToColor(clWindowText), clBlack);
  EXPECT_EQ(ChkSysColorToColor(RgbHex(0x123456)), RgbHex(0x123456));
  EXPECT_EQ(ToRgbHex(RgbHex(0x123456)), 0x123456u);
  EXPECT_EQ(RedOf(RgbHex(0x123456)), 0x12);
}

TEST(GradientRamp, ChannelsStopGrowingBeforeTheyReach255) {
  GradientRamp ramp(RgbHex(0x00406B), 150 / 5.5);
  const auto rows = ramp.Take(7);
  const std::uint32_t want[] = {0x00406B, 0x1B5B86, 0x3676A1, 0x5191BC,
                                0x6DADD8, 0x88C8F3, 0xA3E3F3};
  for (int i = 0; i < 7; ++i)
    EXPECT_EQ(ToRgbHex(rows[i]), want[i]) << "row " << i;
  EXPECT_EQ(ToRgbHex(GradientRamp::StartFrom(RgbHex(0xFF5020))), 0xAB5020u);
  EXPECT_DOUBLE_EQ(GradientRamp::StepFor(20), 15.0);
  EXPECT_DOUBLE_EQ(GradientRamp::StepFor(400), 1.0);
}

}  // namespace
}  // namespace glyphwell::controls
