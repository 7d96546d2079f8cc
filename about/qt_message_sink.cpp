#include "about/qt_message_sink.h"

#include <QMessageBox>

namespace glyphwell::about {

using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

namespace {

QMessageBox::StandardButton ToQt(MsgResult result) {
  switch (result) {
    case MsgResult::kOk:
      return QMessageBox::Ok;
    case MsgResult::kCancel:
      return QMessageBox::Cancel;
    case MsgResult::kYes:
      return QMessageBox::Yes;
    case MsgResult::kNo:
      return QMessageBox::No;
  }
  return QMessageBox::Ok;
}

}  // namespace

MsgResult QtMessageSink::Show(const std::string& text, const std::string& caption,
                              MsgButtons buttons, MsgIcon icon, MsgResult defaultAnswer) {
  QMessageBox box(parent_.data());
  box.setWindowTitle(QString::fromStdString(caption));
  box.setText(QString::fromStdString(text));
  switch (icon) {
    case MsgIcon::kNone:
      box.setIcon(QMessageBox::NoIcon);
      break;
    case MsgIcon::kInformation:
      box.setIcon(QMessageBox::Information);
      break;
    case MsgIcon::kWarning:
      box.setIcon(QMessageBox::Warning);
      break;
    case MsgIcon::kError:
      box.setIcon(QMessageBox::Critical);
      break;
    case MsgIcon::kQuestion:
      box.setIcon(QMessageBox::Question);
      break;
  }
  switch (buttons) {
    case MsgButtons::kOk:
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case MsgButtons::kOkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      break;
    case MsgButtons::kYesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    case MsgButtons::kYesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
  }
  if (box.standardButtons() & ToQt(defaultAnswer)) box.setDefaultButton(ToQt(defaultAnswer));
  switch (box.exec()) {
    case QMessageBox::Ok:
      return MsgResult::kOk;
    case QMessageBox::Yes:
      return MsgResult::kYes;
    case QMessageBox::No:
      return MsgResult::kNo;
    case QMessageBox::Cancel:
      return MsgResult::kCancel;
    default:  // closed by the window's close box
      if (buttons == MsgButtons::kOk) return MsgResult::kOk;
      return buttons == MsgButtons::kYesNo ? MsgResult::kNo : MsgResult::kCancel;
  }
}

}  // namespace glyphwell::about
