#include "dialogs/t_msg_cansel_dlg.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include "controls/progress_bar_layout.h"

namespace glyphwell::dialogs {
namespace {

using controls::ToRgbHex;

TEST(TMsgCanselDlg, MessageNounAndPanelPrefix) {
  bool cancel = true;
  TMsgCanselDlg bitmaps(true, nullptr, QString(), cancel, true);
  EXPECT_EQ(bitmaps.PanelText(), QStringLiteral("∵ ビットマップの検索中・・・"));
  EXPECT_FALSE(cancel);  // cleared for the new operation
  TMsgCanselDlg icons(true, nullptr, QString(), cancel, false);
  EXPECT_EQ(icons.PanelText(), QStringLiteral("∵ アイコンの検索中・・・"));
  TMsgCanselDlg given(true, nullptr, QStringLiteral("保存中"), cancel);
  EXPECT_EQ(given.PanelText(), QStringLiteral("∵ 保存中"));
  EXPECT_EQ(given.windowTitle(), QStringLiteral("Glyphwell"));
  EXPECT_EQ(given.CancelBtn->text(), QStringLiteral("キャンセル"));
}

TEST(TMsgCanselDlg, RunsTheWorkInsideItsModalLoopAndClosesWhenItReturns) {
  bool cancel = false;
  TMsgCanselDlg dlg(true, nullptr, QString(), cancel);
  bool ranWhileShown = false;
  int steps = 0;
  dlg.SetWorkRoutine([&] {
    ranWhileShown = dlg.isVisible();
    for (int i = 0; i < 50; ++i) {
      dlg.ProgressBar1->StepBy(2);
      TMsgCanselDlg::ProcessMessages();
      ++steps;
    }
    return true;
  });
  EXPECT_EQ(dlg.exec(), QDialog::Accepted);
  EXPECT_TRUE(ranWhileShown);
  EXPECT_EQ(steps, 50);
  EXPECT_TRUE(dlg.WorkResult());
  EXPECT_EQ(dlg.ProgressBar1->Position(), 100u);
  EXPECT_FALSE(dlg.isVisible());
}

// The work polls the flag between items; Cancel and Escape both set it, and the
// dialog closes only once the routine has returned.
TEST(TMsgCanselDlg, CancelButtonAndEscapeStopTheWorkAfterTheCurrentItem) {
  for (const bool viaEscape : {false, true}) {
    bool cancel = false;
    TMsgCanselDlg dlg(true, nullptr, QString(), cancel);
    int done = 0;
    bool sawCancelMidItem = false;
    dlg.SetWorkRoutine([&] {
      for (int i = 0; i < 1000; ++i) {
        if (i == 5) {
          if (viaEscape) {
            QTest::keyClick(&dlg, Qt::Key_Escape);
          } else {
            dlg.CancelBtn->click();
          }
          sawCancelMidItem = cancel;
          EXPECT_TRUE(dlg.isVisible());  // still open while the item finishes
        }
        ++done;  // the current item completes
        TMsgCanselDlg::ProcessMessages();
        if (cancel) return false;
      }
      return true;
    });
    dlg.exec();
    EXPECT_TRUE(sawCancelMidItem) << viaEscape;
    EXPECT_EQ(done, 6) << viaEscape;
    EXPECT_FALSE(dlg.WorkResult());
    EXPECT_TRUE(cancel);  // stays set until the next busy dialog
    EXPECT_FALSE(dlg.isVisible());
  }
}

TEST(TMsgCanselDlg, MessageBlinksOncePerSecondWhileTheWorkRuns) {
  bool cancel = false;
  TMsgCanselDlg dlg(true, nullptr, QStringLiteral("作業中"), cancel);
  QStringList seen;
  dlg.SetWorkRoutine([&] {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 3500 && seen.size() < 3) {
      TMsgCanselDlg::ProcessMessages();
      if (seen.isEmpty() || seen.back() != dlg.PanelText()) seen << dlg.PanelText();
      QTest::qSleep(5);
    }
    return true;
  });
  dlg.exec();
  const QString dots = QStringLiteral("∴ 作業中"), other = QStringLiteral("∵ 作業中");
  ASSERT_GE(seen.size(), 3);
  EXPECT_EQ(seen[0], other);
  EXPECT_EQ(seen[1], dots);
  EXPECT_EQ(seen[2], other);
  const int phase = TMsgCanselDlg::BlinkPhase();
  EXPECT_TRUE(phase == 4 || phase == 5);
}

TEST(TMsgCanselDlg, BusyBarIsTheElevenPixelWin7Bar) {
  bool cancel = false;
  TMsgCanselDlg dlg(true, nullptr, QString(), cancel);
  ASSERT_EQ(dlg.ProgressBar1->size(), QSize(335, 11));
  EXPECT_EQ(dlg.ProgressBar1->pos(), QPoint(16, 82));
  dlg.ProgressBar1->SetPosition(60);
  const QImage img = dlg.ProgressBar1->Compose();
  EXPECT_EQ(img.pixel(30, 2) & 0xFFFFFF, 0x9BCDFFu);
  EXPECT_EQ(img.pixel(30, 3) & 0xFFFFFF, 0x9BCDFFu);
  const std::uint32_t rows[] = {0x00406B, 0x1B5B86, 0x3676A1, 0x5191BC,
                                0x6DADD8, 0x88C8F3, 0xA3E3F3};
  for (int y = 4; y <= 9; ++y)
    EXPECT_EQ(img.pixel(30, y) & 0xFFFFFF, rows[y - 4]) << y;
  EXPECT_EQ(img.pixel(30, 10) & 0xFFFFFF, 0x808080u);  // row 10 lies under the frame
  const auto win7 =
      controls::progress::Win7BarRows(11, controls::DarkenChannels(controls::RgbHex(0x0080FF), 64));
  ASSERT_EQ(win7.rows.size(), 7u);
  EXPECT_EQ(win7.rows[6].y, 10);
  EXPECT_EQ(ToRgbHex(win7.rows[6].color), 0xA3E3F3u);
}

TEST(TMsgCanselDlg, ProgressMaxZeroHidesTheBar) {
  bool cancel = false;
  TMsgCanselDlg dlg(true, nullptr, QString(), cancel);
  dlg.SetProgressMax(0);
  bool barVisible = true;
  dlg.SetWorkRoutine([&] {
    barVisible = dlg.ProgressBar1->isVisible();
    return true;
  });
  dlg.exec();
  EXPECT_FALSE(barVisible);
}

}  // namespace
}  // namespace glyphwell::dialogs
