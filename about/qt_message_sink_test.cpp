#include "about/qt_message_sink.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace glyphwell::about {
namespace {

using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

// Presses `button` of the message box as soon as it is open, after noting its texts.
struct Presser {
  QMessageBox::StandardButton button = QMessageBox::NoButton;
  QString text, caption;
  QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
  void Arm() {
    QTimer::singleShot(0, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      text = box->text();
      caption = box->windowTitle();
      if (box->defaultButton()) defaultButton = box->standardButton(box->defaultButton());
      if (button == QMessageBox::NoButton) {
        box->reject();  // the window's close box
      } else {
        box->button(button)->click();
      }
    });
  }
};

TEST(QtMessageSinkTest, ShowsTheTextAndAnswersTheButtonPressed) {
  QtMessageSink sink;
  struct Case {
    MsgButtons buttons;
    QMessageBox::StandardButton press;
    MsgResult expected;
  } cases[] = {
      {MsgButtons::kYesNo, QMessageBox::Yes, MsgResult::kYes},
      {MsgButtons::kYesNo, QMessageBox::No, MsgResult::kNo},
      {MsgButtons::kOkCancel, QMessageBox::Cancel, MsgResult::kCancel},
      {MsgButtons::kOk, QMessageBox::Ok, MsgResult::kOk},
      {MsgButtons::kOk, QMessageBox::NoButton, MsgResult::kOk},  // closed
  };
  for (const Case& c : cases) {
    Presser presser;
    presser.button = c.press;
    presser.Arm();
    MsgResult result = sink.Show("ダウンロードしますか？", "Update", c.buttons, MsgIcon::kQuestion,
                                 MsgResult::kNo);
    EXPECT_EQ(result, c.expected);
    EXPECT_EQ(presser.text, QStringLiteral("ダウンロードしますか？"));
    EXPECT_EQ(presser.caption, QStringLiteral("Update"));
    if (c.buttons == MsgButtons::kYesNo) {
      EXPECT_EQ(presser.defaultButton, QMessageBox::No);
    }
  }
}

}  // namespace
}  // namespace glyphwell::about
