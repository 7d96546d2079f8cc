#include "imaging/output_geometry.h"

#include <gtest/gtest.h>

namespace glyphwell::imaging {
namespace {

TEST(OutputSizeTest, FixedChoicesUserAndOriginal) {
  struct Case {
    SizeChoice choice;
    int width, height;
  } cases[] = {
      {SizeChoice::Size16, 16, 16},      {SizeChoice::Size24, 24, 24},
      {SizeChoice::SystemLarge, 32, 32},  // always 32, whatever the desktop's icon size
      {SizeChoice::Size48, 48, 48},      {SizeChoice::User, 64, 40},
      {SizeChoice::Original, 300, 200},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(OutputSize(c.choice, 64, 40, 300, 200, Axis::Width), c.width);
    EXPECT_EQ(OutputSize(c.choice, 64, 40, 300, 200, Axis::Height), c.height);
  }
  ConversionSettings s;
  s.sizeChoice = SizeChoice::User;
  s.userWidth = 64;
  s.userHeight = 32;
  EXPECT_EQ(OutputDimensions(s, 10, 10), (Size{64, 32}));
}

TEST(FitRectTest, WorkedExamples) {
  struct Case {
    int tw, th, sw, sh;
    Rect expected;
  } cases[] = {
      {48, 48, 64, 32, {0, 12, 48, 24}},  // e = 75, f = 150: landscape uses e
      {48, 48, 32, 64, {12, 0, 24, 48}},  // portrait uses f
      {48, 48, 100, 99, {0, 0, 48, 48}},  // e = f = 48: stretched to the full output
      {32, 32, 16, 16, {0, 0, 32, 32}},   // same aspect
      {32, 32, 20, 30, {5, 0, 21, 31}},   // f = 106: 21.2 x 31.8 truncated
  };
  for (const Case& c : cases) {
    Rect r = FitRect(c.tw, c.th, c.sw, c.sh);
    EXPECT_EQ(r, c.expected) << c.tw << "x" << c.th << " from " << c.sw << "x" << c.sh;
  }
}

TEST(FitRectTest, OverrunIsTakenOffBothSides) {
  // 64 x 32 output of a square source: e = 64, f = 32, s = e gives 64 x 64; the
  // height overruns by 32, and 32 comes off both sides.
  EXPECT_EQ(FitRect(64, 32, 100, 100), (Rect{16, 0, 32, 32}));
  // 100 x 90 at 64 x 32: s = e = 64 gives 64 x 57; 25 comes off both sides, so the
  // aspect changes.
  EXPECT_EQ(FitRect(64, 32, 100, 90), (Rect{12, 0, 39, 32}));
}

TEST(FitRectTest, DegenerateSources) {
  EXPECT_EQ(FitRect(32, 32, 0, 10), Rect{});
  // A 1 x 1000 line would shrink to 0 pixels wide; it keeps one.
  Rect r = FitRect(32, 32, 1, 1000);
  EXPECT_EQ(r.w, 1);
  EXPECT_EQ(r.h, 30);
}

}  // namespace
}  // namespace glyphwell::imaging
