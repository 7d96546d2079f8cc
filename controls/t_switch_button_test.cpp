#include "controls/t_switch_button.h"

#include <gtest/gtest.h>

#include <QWidget>

#include "controls/switch_button_rules.h"
#include "controls/synthetic_mouse.h"

namespace glyphwell::controls {
namespace {

// The main window's save button: 88 x 87, elliptic.
void MakeSaveButton(TSwitchButton& b) {
  b.resize(88, 87);
  b.SetButtonStyle(BTNSTYLE::btEllipse);
  b.SetColorButton(RgbHex(0x400040));
  b.SetColorDown(RgbHex(0xC400C4));
  b.SetColorDownText(RgbHex(0x400040));
  b.SetCaption(QStringLiteral("保存"));
  b.SetRoundSize(10);
  b.SetShadow(1, 1);
  b.Loaded();
}

class SaveSwBtnTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeSaveButton(button);
    QObject::connect(&button, &TSwitchButton::clicked, [this] { ++clicks; });
    QObject::connect(&button, &TSwitchButton::mouseDown, [this] { ++downs; });
    QObject::connect(&button, &TSwitchButton::mouseUp, [this] { ++ups; });
    button.show();
  }
  TSwitchButton button;
  int clicks = 0, downs = 0, ups = 0;
};

TEST_F(SaveSwBtnTest, PressNearACornerOutsideTheEllipseDoesNothing) {
  Press(&button, {3, 3});
  EXPECT_FALSE(button.PressedLook());
  Release(&button, {3, 3});
  Press(&button, {85, 84}, Qt::RightButton);
  Release(&button, {85, 84}, Qt::RightButton);
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(downs, 0);
  EXPECT_EQ(ups, 0);
}

TEST_F(SaveSwBtnTest, PressAndReleaseInsideClicksOnce) {
  Press(&button, {44, 43});
  EXPECT_TRUE(button.PressedLook());
  Move(&button, {46, 45});
  Release(&button, {46, 45});
  EXPECT_FALSE(button.PressedLook());
  EXPECT_FALSE(button.Down());  // an ungrouped button never stays down
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(downs, 1);
  EXPECT_EQ(ups, 1);
}

TEST_F(SaveSwBtnTest, DraggingOutAndReleasingOutsideClicksNothing) {
  Press(&button, {44, 43});
  Move(&button, {120, 43});
  EXPECT_FALSE(button.PressedLook());
  Move(&button, {44, 43});  // back in: pressed again
  EXPECT_TRUE(button.PressedLook());
  Move(&button, {120, 43});
  Release(&button, {120, 43});
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(ups, 0);
  // a release without the move first (the pointer jumped) is cancelled as well
  Press(&button, {44, 43});
  Release(&button, {2, 2});
  EXPECT_FALSE(button.PressedLook());
  EXPECT_EQ(clicks, 0);
}

TEST_F(SaveSwBtnTest, DisabledButtonIgnoresPresses) {
  button.setEnabled(false);
  Press(&button, {44, 43});
  Release(&button, {44, 43});
  EXPECT_EQ(clicks, 0);
}

TEST(TSwitchButton, GroupedButtonsAreNeverDownTogether) {
  QWidget parent;
  TSwitchButton a(&parent), b(&parent), other(&parent);
  for (TSwitchButton* btn : {&a, &b, &other}) {
    btn->resize(40, 40);
    btn->Loaded();
  }
  a.SetGroupIndex(1);
  b.SetGroupIndex(1);
  other.SetGroupIndex(2);
  parent.show();
  const QPoint mid{20, 20};

  Press(&other, mid);
  Release(&other, mid);
  EXPECT_TRUE(other.Down());

  Press(&a, mid);
  Release(&a, mid);
  EXPECT_TRUE(a.Down());
  EXPECT_FALSE(b.Down());

  Press(&b, mid);
  Release(&b, mid);
  EXPECT_TRUE(b.Down());
  EXPECT_FALSE(a.Down());
  EXPECT_TRUE(other.Down());  // another group is left alone

  // pressing a, dragging out and releasing outside leaves b the only one down
  Press(&a, mid);
  Move(&a, {90, 20});
  Release(&a, {90, 20});
  EXPECT_FALSE(a.Down());
  EXPECT_TRUE(b.Down());

  // assigning Down after loading runs the group check too
  a.SetDown(true);
  EXPECT_TRUE(a.Down());
  EXPECT_FALSE(b.Down());
}

TEST(TSwitchButton, AllowAllUpReleasesByClickingAgainAndLoadingStoresPlainly) {
  QWidget parent;
  TSwitchButton a(&parent);
  a.resize(40, 40);
  a.SetGroupIndex(3);
  a.SetAllowAllUp(true);
  a.SetDown(true);  // first assignment after creation: a plain store
  EXPECT_TRUE(a.Down());
  a.SetDown(false);  // now the rules: grouped with AllowAllUp takes the value
  EXPECT_FALSE(a.Down());
  parent.show();
  Press(&a, {20, 20});
  Release(&a, {20, 20});
  EXPECT_TRUE(a.Down());
  Press(&a, {20, 20});
  Release(&a, {20, 20});
  EXPECT_FALSE(a.Down());
}

TEST(TSwitchButton, CaptionPositionClampAndHitMask) {
  TSwitchButton b;
  b.resize(75, 25);
  b.SetCaptionLeft(75);
  EXPECT_EQ(b.CaptionLeft(), 0);
  b.SetCaptionLeft(-1);
  EXPECT_EQ(b.CaptionLeft(), 0);
  b.SetCaptionLeft(74);
  EXPECT_EQ(b.CaptionLeft(), 74);
  b.SetCaptionTop(25);
  EXPECT_EQ(b.CaptionTop(), 0);
  b.SetCaptionTop(10);
  b.SetCaptionAlign(ALIGN::psTop);
  EXPECT_EQ(b.CaptionTop(), 0);

  EXPECT_EQ(b.Mask().Width(), 18);
  EXPECT_EQ(b.Mask().Height(), 6);
  b.SetButtonStyle(BTNSTYLE::btGraphic);
  EXPECT_FALSE(b.Mask().Hit(37, 12));  // a graphic button cannot be pressed
  b.SetButtonStyle(BTNSTYLE::btEllipse);
  EXPECT_TRUE(b.Mask().Hit(37, 12));
  EXPECT_FALSE(b.Mask().Hit(1, 1));
}

TEST(SwitchButtonRules, FaceColourAndDownRules) {
  const TColor up = RgbHex(0x400040), dn = RgbHex(0xC400C4);
  using switchbutton::FaceColor;
  EXPECT_EQ(FaceColor(false, false, false, dn, up), up);
  EXPECT_EQ(FaceColor(false, true, false, dn, up), dn);
  EXPECT_EQ(FaceColor(false, false, true, dn, up), dn);
  EXPECT_EQ(FaceColor(true, true, true, dn, up), clBlack);
  EXPECT_EQ(FaceColor(true, false, true, dn, up), dn);

  using switchbutton::DownAfterAssign;
  using switchbutton::DownAfterPress;
  EXPECT_FALSE(DownAfterPress(0, true, true));
  EXPECT_TRUE(DownAfterPress(1, false, true));
  EXPECT_FALSE(DownAfterPress(1, true, true));
  EXPECT_TRUE(DownAfterAssign(1, false, false, false));  // a group keeps one down
  EXPECT_FALSE(DownAfterAssign(0, true, true, true));
  EXPECT_FALSE(DownAfterAssign(0, false, false, true));

  EXPECT_EQ(switchbutton::CaptionOffset(true, false, false), 2);
  EXPECT_EQ(switchbutton::CaptionOffset(false, true, true), 1);
  EXPECT_EQ(switchbutton::CaptionOffset(false, false, true), 0);
}

TEST(TSwitchButton, EllipseFaceLightensUpwardInsideItsRim) {
  TSwitchButton b;
  MakeSaveButton(b);
  const QImage img = b.Compose();
  // the face's lowest row (y = 83) is the start colour (0x400040 darkened by 84
  // where above 84) advanced one step; rows above are lighter
  const QRgb low = img.pixel(44, 83), high = img.pixel(44, 10);
  EXPECT_LT(qRed(low), qRed(high));
  EXPECT_EQ(img.pixel(0, 0) & 0xFFFFFF, ToRgbHex(ChkSysColorToColor(clBtnFace)));
  EXPECT_EQ(img.pixel(44, 85) & 0xFFFFFF, 0u);  // black ring below the face
}

TEST(TSwitchButton, TinySizesComposeInEveryShape) {
  for (const BTNSTYLE style : {BTNSTYLE::btEllipse, BTNSTYLE::btRound, BTNSTYLE::btGraphic}) {
    for (int size = 0; size <= 6; ++size) {
      TSwitchButton b;
      b.resize(size, size + 1);
      b.SetButtonStyle(style);
      b.SetRoundSize(size % 2 ? 10 : 0);
      b.SetCaption(QStringLiteral("x"));
      EXPECT_EQ(b.Compose().size(), size > 0 ? QSize(size, size + 1) : QSize(0, 0));
      EXPECT_FALSE(b.Mask().Hit(-1, 0));
    }
  }
}

}  // namespace
}  // namespace glyphwell::controls
