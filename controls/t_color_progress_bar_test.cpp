#include "controls/t_color_progress_bar.h"

#include <gtest/gtest.h>

#include <QEvent>
#include <QObject>
#include <QTest>

namespace glyphwell::controls {
namespace {

std::uint32_t At(const QImage& img, int x, int y) {
  return img.pixel(x, y) & 0xFFFFFF;
}

// Counts paint events reaching a widget.
class PaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

// The busy dialog's bar: 335 x 11, btWin7, flat, light level 100.
void MakeBusyBar(TColorProgressBar& bar) {
  bar.resize(335, 11);
  bar.SetMax(100);
  bar.SetBlockCount(23);
  bar.SetBoxColor(clSilver);
  bar.SetBarColor(RgbHex(0x0080FF));
  bar.SetLineColor(clGray);
  bar.SetBarStyle(PAINTTYPE::btWin7);
  bar.SetWhiteLevel(100);
  bar.SetFlat(true);
}

TEST(TColorProgressBar, BusyBarPaintsTheWin7RowsUnderItsFrame) {
  TColorProgressBar bar;
  MakeBusyBar(bar);
  bar.SetPosition(50);
  const QImage img = bar.Compose();
  const std::uint32_t rows[] = {0x9BCDFF, 0x9BCDFF, 0x00406B, 0x1B5B86,
                                0x3676A1, 0x5191BC, 0x6DADD8, 0x88C8F3};
  for (int y = 2; y <= 9; ++y)
    EXPECT_EQ(At(img, 20, y), rows[y - 2]) << "row " << y;
  EXPECT_EQ(At(img, 20, 10), 0x808080u);  // the flat frame covers the last row
  EXPECT_EQ(At(img, 20, 0), 0x808080u);
  EXPECT_EQ(At(img, 20, 1), 0xC0C0C0u);  // box colour above the bar
  // bar end: x from 2 to trunc(332 * 50 / 100 + 1) = 167, then the box shade line
  EXPECT_EQ(At(img, 166, 5), 0x1B5B86u);
  EXPECT_EQ(At(img, 167, 5), 0x707070u);
  EXPECT_EQ(At(img, 168, 5), 0xC0C0C0u);
  EXPECT_EQ(At(img, 1, 5), 0xC0C0C0u);
}

TEST(TColorProgressBar, EmptyBarShowsOnlyBackgroundAndSunkenFrame) {
  TColorProgressBar bar;
  bar.SetBoxColor(RgbHex(0x112233));
  bar.SetColor(RgbHex(0x445566));
  const QImage img = bar.Compose();
  ASSERT_EQ(img.size(), QSize(150, 16));
  EXPECT_EQ(At(img, 0, 5), 0x505050u);
  EXPECT_EQ(At(img, 5, 0), 0x505050u);
  EXPECT_EQ(At(img, 149, 5), 0xFFFFFFu);
  EXPECT_EQ(At(img, 5, 15), 0xFFFFFFu);
  EXPECT_EQ(At(img, 148, 5), 0x445566u);
  for (int x = 1; x < 148; ++x)
    EXPECT_EQ(At(img, x, 8), 0x112233u) << x;
}

TEST(TColorProgressBar, FullFlatSolidBarFillsToTwoPixelsFromTheRightEdge) {
  TColorProgressBar bar;
  bar.SetBarColor(RgbHex(0xFF0000));
  bar.SetFlat(true);
  bar.SetPosition(100);
  const QImage img = bar.Compose();
  EXPECT_EQ(At(img, 1, 8), ToRgbHex(ChkSysColorToColor(clBtnFace)));
  EXPECT_EQ(At(img, 2, 8), 0xFF0000u);
  EXPECT_EQ(At(img, 147, 8), 0xFF0000u);
  EXPECT_EQ(At(img, 148, 8), ToRgbHex(ChkSysColorToColor(clBtnFace)));
  EXPECT_EQ(At(img, 147, 13), 0xFF0000u);  // rows 2 .. H - 3
  EXPECT_NE(At(img, 147, 14), 0xFF0000u);
}

TEST(TColorProgressBar, PropertyClamps) {
  TColorProgressBar bar;
  bar.SetMax(0);
  EXPECT_EQ(bar.Max(), 1u);
  bar.SetMax(100);
  bar.SetPosition(500);
  EXPECT_EQ(bar.Position(), 100u);
  bar.SetMin(20);
  bar.SetPosition(3);
  EXPECT_EQ(bar.Position(), 20u);
  EXPECT_EQ(bar.PreviousPosition(), 100u);
  bar.SetBlockCount(0);
  EXPECT_EQ(bar.BlockCount(), 1);
  bar.SetBlockCount(-4);
  EXPECT_EQ(bar.BlockCount(), 1);
  bar.SetBlockCount(151);
  EXPECT_EQ(bar.BlockCount(), 1);
  bar.SetBlockCount(10);
  bar.SetBlockSpace(7);  // (149 / 10) / 2 = 7: half a block, refused
  EXPECT_EQ(bar.BlockSpace(), 1);
  bar.SetBlockSpace(3);
  EXPECT_EQ(bar.BlockSpace(), 3);
  bar.SetWhiteLevel(5);
  EXPECT_EQ(bar.WhiteLevel(), 10);
  bar.SetWhiteLevel(300);
  EXPECT_EQ(bar.WhiteLevel(), 255);
  bar.SetLinePar(150);
  EXPECT_EQ(bar.LinePar(), 100);
  bar.SetStep(1000);
  EXPECT_EQ(bar.Step(), 100);
}

TEST(TColorProgressBar, SteppingAThousandByOneRepaintsOnlyAtEachWholePercent) {
  TColorProgressBar bar;
  bar.SetMax(1000);
  bar.SetStep(1);
  bar.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
  PaintCounter counter;
  bar.installEventFilter(&counter);
  for (int i = 0; i < 1000; ++i) {
    const int before = counter.paints;
    bar.StepIt();
    const bool wholePercent = (i + 1) % 10 == 0;
    EXPECT_EQ(counter.paints - before, wholePercent ? 1 : 0) << "step " << i + 1;
  }
  EXPECT_EQ(counter.paints, 100);
  EXPECT_EQ(bar.ParValue(), 100);
  // setting the same value again does nothing
  bar.SetPosition(1000);
  EXPECT_EQ(counter.paints, 100);
  bar.removeEventFilter(&counter);
}

TEST(TColorProgressBar, MarkerTicksAndBlocks) {
  TColorProgressBar bar;
  bar.SetLineParVisible(true);
  bar.SetLinePar(50);
  bar.SetSmooth(true);
  bar.SetPosition(35);
  const QImage img = bar.Compose();
  const int x = 149 * 50 / 100;
  EXPECT_EQ(At(img, x, 1), 0xFF0000u);
  EXPECT_EQ(At(img, x, 4), 0xFF0000u);
  EXPECT_NE(At(img, x, 5), 0xFF0000u);
  EXPECT_EQ(At(img, x, 10), 0xFF0000u);
  EXPECT_EQ(At(img, x, 13), 0xFF0000u);
  const auto bar_rgb = ToRgbHex(ChkSysColorToColor(clHighlight));
  EXPECT_EQ(At(img, 14, 8), bar_rgb);  // block 1 is 2 .. 15
  EXPECT_NE(At(img, 15, 8), bar_rgb);  // the gap
  EXPECT_EQ(At(img, 43, 8), bar_rgb);  // block 3 ends at 44
  EXPECT_NE(At(img, 50, 8), bar_rgb);  // block 4 not reached at 35 %
}

TEST(TColorProgressBar, Solid2BandsAndTheVerticalBarGrowsUpward) {
  TColorProgressBar bar;
  bar.resize(150, 20);
  bar.SetBarColor(RgbHex(0x0080FF));
  bar.SetBarStyle(PAINTTYPE::btSolid2);
  bar.SetFlat(true);
  bar.SetPosition(50);
  QImage img = bar.Compose();
  // t = 2, b = 18: h = 8, f = 3; light to row 7, bar to row 14, dark from row 15
  EXPECT_EQ(At(img, 10, 2), ToRgbHex(GetAlphaColor(RgbHex(0x0080FF), clWhite, 100)));
  EXPECT_EQ(At(img, 10, 7), ToRgbHex(GetAlphaColor(RgbHex(0x0080FF), clWhite, 100)));
  EXPECT_EQ(At(img, 10, 8), 0x0080FFu);
  EXPECT_EQ(At(img, 10, 14), 0x0080FFu);
  EXPECT_EQ(At(img, 10, 15), ToRgbHex(GetAlphaColor(RgbHex(0x0080FF), clBlack, 240)));

  bar.resize(16, 80);
  bar.SetOrientation(TProgressBarOrientation::pbVertical);
  bar.SetBarStyle(PAINTTYPE::btSolid);
  img = bar.Compose();
  EXPECT_EQ(At(img, 8, 76), 0x0080FFu);  // bottom half filled
  EXPECT_EQ(At(img, 8, 42), 0x0080FFu);
  EXPECT_NE(At(img, 8, 30), 0x0080FFu);  // top half empty
}

TEST(TColorProgressBar, PercentageTextIsCentred) {
  TColorProgressBar bar;
  bar.resize(150, 18);
  bar.SetTextSwitch(true);
  bar.SetFontColor(RgbHex(0xFF0000));
  bar.SetPosition(40);
  const QImage img = bar.Compose();
  int minX = 150, maxX = -1;
  for (int y = 0; y < 18; ++y) {
    for (int x = 0; x < 150; ++x) {
      const QRgb p = img.pixel(x, y);
      if (qRed(p) > 200 && qGreen(p) < 120 && qBlue(p) < 120) {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
      }
    }
  }
  ASSERT_GE(maxX, 0) << "no text drawn";
  EXPECT_NEAR((minX + maxX) / 2.0, 75.0, 3.0);
}

// Degenerate sizes must compose without touching pixels outside the image.
TEST(TColorProgressBar, TinySizesComposeInEveryLook) {
  for (const PAINTTYPE style : {PAINTTYPE::btSolid, PAINTTYPE::btSolid2, PAINTTYPE::btGradetion,
                                PAINTTYPE::btGradetion2, PAINTTYPE::btWin7}) {
    for (const bool vertical : {false, true}) {
      for (int w = 0; w <= 6; ++w) {
        for (int h = 0; h <= 6; ++h) {
          TColorProgressBar bar;
          bar.resize(w, h);
          bar.SetBarStyle(style);
          bar.SetSmooth((w + h) % 2 == 0);
          bar.SetTextSwitch(true);
          bar.SetLineParVisible(true);
          if (vertical) bar.SetOrientation(TProgressBarOrientation::pbVertical);
          bar.SetPosition(100);
          const QImage img = bar.Compose();
          // an empty control has an empty (null) image
          EXPECT_EQ(img.size(), (w > 0 && h > 0) ? QSize(w, h) : QSize(0, 0)) << w << "x" << h;
        }
      }
    }
  }
}

}  // namespace
}  // namespace glyphwell::controls
