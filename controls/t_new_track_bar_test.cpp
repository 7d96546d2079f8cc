#include "controls/t_new_track_bar.h"

#include <gtest/gtest.h>

#include <QTest>

#include "controls/t_number_edit.h"

namespace glyphwell::controls {
namespace {

TEST(TNewTrackBar, BarStyleSwitchesTheChannelBetweenBoxAndLine) {
  TNewTrackBar bar;
  bar.resize(150, 28);
  EXPECT_EQ(bar.BarStyle(), TBarStyle::styBox);
  EXPECT_TRUE(bar.SelectionRangeStyle());
  const QRect box = bar.ChannelRect();
  bar.SetBarStyle(TBarStyle::styLine);
  EXPECT_FALSE(bar.SelectionRangeStyle());
  const QRect line = bar.ChannelRect();
  EXPECT_GT(box.height(), line.height());
  bar.SetColor(RgbHex(0x102030));
  bar.show();
  const QImage img = bar.grab().toImage();
  EXPECT_EQ(img.pixel(1, 1) & 0xFFFFFF, 0x102030u);                          // background in Color
  EXPECT_EQ(img.pixel(line.right() - 4, line.top()) & 0xFFFFFF, 0x808080u);  // the groove
  EXPECT_EQ(img.pixel(line.right() - 4, line.top() + 1) & 0xFFFFFF, 0xFFFFFFu);

  int downs = 0;
  QObject::connect(&bar, &TNewTrackBar::mouseDown, [&downs] { ++downs; });
  QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(140, 14));
  QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(140, 14));
  EXPECT_EQ(downs, 1);
}

TEST(TNumberEdit, NumberOnlyRefusesNonDigitsAndAlignmentFollows) {
  TNumberEdit edit;
  EXPECT_EQ(edit.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
  edit.SetAlignment(ALIGNMENT::etCenter);
  EXPECT_EQ(edit.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
  edit.show();
  QTest::keyClicks(&edit, QStringLiteral("1a2-3"));
  EXPECT_EQ(edit.text(), QStringLiteral("1a2-3"));
  edit.clear();
  edit.SetNumberOnly(true);
  QTest::keyClicks(&edit, QStringLiteral("1a2-3"));
  EXPECT_EQ(edit.text(), QStringLiteral("123"));
  edit.SetNumberOnly(false);
  QTest::keyClicks(&edit, QStringLiteral("x"));
  EXPECT_EQ(edit.text(), QStringLiteral("123x"));
}

}  // namespace
}  // namespace glyphwell::controls
