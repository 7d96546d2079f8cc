#include "controls/t_new_check_box.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QTest>

#include "controls/check_box_layout.h"
#include "controls/synthetic_mouse.h"

namespace glyphwell::controls {
namespace {

class CheckBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    box.SetBoxStyle(TCheckBoxStyle::stOnOffBox);
    box.SetCaption(QStringLiteral("最適化"));
    QObject::connect(&box, &TNewCheckBox::clicked, [this] { ++clicks; });
    box.show();
    box.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
  }
  TNewCheckBox box;
  int clicks = 0;
};

TEST_F(CheckBoxTest, TogglesOnThePressAndClicksOnTheReleaseAnywhere) {
  Press(&box, {5, 8});
  EXPECT_TRUE(box.Checked());
  EXPECT_TRUE(box.PressedLook());
  EXPECT_EQ(clicks, 0);
  Move(&box, {300, 8});
  EXPECT_FALSE(box.PressedLook());
  Move(&box, {5, 8});
  EXPECT_TRUE(box.PressedLook());
  Move(&box, {0, 8});  // the edge counts as outside
  EXPECT_FALSE(box.PressedLook());
  Release(&box, {300, 40});
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(box.Checked());  // stays toggled
  EXPECT_FALSE(box.PressedLook());
  EXPECT_TRUE(box.hasFocus());
}

TEST_F(CheckBoxTest, KeyboardDoesNotToggle) {
  box.setFocus();
  QTest::keyClick(&box, Qt::Key_Space);
  QTest::keyClick(&box, Qt::Key_Return);
  EXPECT_FALSE(box.Checked());
  EXPECT_EQ(clicks, 0);
}

TEST_F(CheckBoxTest, OnOffBoxFillFollowsStateAndPressedLook) {
  box.SetColorBox(RgbHex(0x101010));
  box.SetColorCheck(RgbHex(0x81CFFE));
  // box bitmap at y = 17/2 - 14/2 + 1 = 2; its fill (2, 2, 12, 11) in the control
  const QPoint fill{6, 2 + 6};
  EXPECT_EQ(box.Compose().pixel(fill) & 0xFFFFFF, 0x101010u);
  Press(&box, {5, 8});
  EXPECT_EQ(box.Compose().pixel(fill) & 0xFFFFFF, 0x101010u);  // pressed: ColorBox
  Release(&box, {5, 8});
  EXPECT_EQ(box.Compose().pixel(fill) & 0xFFFFFF, 0x81CFFEu);
  // checked: sunken, the outer line dark
  EXPECT_EQ(box.Compose().pixel(1, 2 + 5) & 0xFFFFFF, 0x808080u);
  box.SetChecked(false);
  EXPECT_EQ(box.Compose().pixel(1, 2 + 5) & 0xFFFFFF, 0xFFFFFFu);
}

TEST(TNewCheckBox, EmptyCaptionTakesTheNameAndClamps) {
  TNewCheckBox box;
  box.setObjectName(QStringLiteral("HoseiChkBox"));
  box.show();
  EXPECT_EQ(box.Caption(), QStringLiteral("HoseiChkBox"));
  box.SetBoxWidth(10);
  EXPECT_EQ(box.BoxWidth(), 14);
  box.SetBoxWidth(20);
  EXPECT_EQ(box.BoxWidth(), 20);
  box.SetRoundSize(20);
  EXPECT_EQ(box.RoundSize(), 16);
  EXPECT_EQ(box.size(), QSize(117, 17));

  EXPECT_EQ(checkbox::BoxTop(17), 2);
  EXPECT_EQ(checkbox::BoxTop(16), 2);
  EXPECT_EQ(checkbox::BoxLeft(117, 14, false), 103);
  EXPECT_EQ(checkbox::CaptionLeft(20, true), 24);
}

}  // namespace
}  // namespace glyphwell::controls
