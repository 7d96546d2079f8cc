#include "dialogs/t_input_dlg.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include "dialogs/dialog_placement.h"

namespace glyphwell::dialogs {
namespace {

TEST(DialogPlacement, BelowThePointAndPulledBackInsideTheScreen) {
  struct Case {
    int x, y, left, top;
  };
  // dialog 300 x 100 on a 1000 x 800 screen
  for (const Case c : {Case{100, 100, 100, 120}, Case{999, 100, 668, 120}, Case{100, 790, 100, 668},
                       Case{999, 799, 668, 668}}) {
    const Placement p = PlaceNearPoint(c.x, c.y, 300, 100, 1000, 800);
    EXPECT_EQ(p.left, c.left) << c.x << "," << c.y;
    EXPECT_EQ(p.top, c.top) << c.x << "," << c.y;
  }
  const Placement tiny = PlaceNearPoint(10, 10, 300, 100, 200, 100);
  EXPECT_EQ(tiny.left, 0);
  EXPECT_EQ(tiny.top, 0);
}

TEST(TInputDlg, OpensInsideTheScreenAtTheBottomRightCorner) {
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  TInputDlg dlg(nullptr, screen.bottomRight());
  dlg.setWindowTitle(QStringLiteral("タイトル"));
  dlg.Label1->setText(QStringLiteral("新しいタイトルを入力"));
  dlg.Edit1->setText(QStringLiteral("abc"));
  dlg.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
  const QRect frame = dlg.frameGeometry();
  EXPECT_EQ(screen.right() + 1 - (frame.right() + 1), 32);
  EXPECT_EQ(screen.bottom() + 1 - (frame.bottom() + 1), 32);
  EXPECT_EQ(dlg.Edit1->width(), 282);
  EXPECT_EQ(dlg.CancelBtn->text(), QStringLiteral("キャンセル"));
  EXPECT_TRUE(dlg.OKBtn->isDefault());
  EXPECT_EQ(dlg.minimumSize(), dlg.maximumSize());  // no resizing
}

}  // namespace
}  // namespace glyphwell::dialogs
