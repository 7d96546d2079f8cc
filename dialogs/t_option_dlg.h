#pragma once
// TOptionDlg: the icon options. Edits the PNG settings of written icons and of read
// PNG-coded images, and puts the program's launcher on the desktop and into the
// "Send To" folder (the applications folder) or takes it away. The caller fills the
// values before showing it and reads them back after OK; Cancel changes nothing.

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include "dialogs/icon_option_values.h"

namespace glyphwell::dialogs {

class TOptionDlg : public QDialog {
  Q_OBJECT
 public:
  // `values` and `link` must outlive the dialog. The shortcut boxes start from what
  // the desktop and applications folders hold when the dialog is built.
  TOptionDlg(QWidget* owner, IconOptionValues& values, shell::TShellLink& link,
             ProgramShortcut shortcut);

  QLabel* Label3;
  QGroupBox* SaveGroupBox;  // "保存設定"
  QGroupBox* LoadGroupBox;  // "読込設定"
  QCheckBox* CheckBox1;
  QCheckBox* CheckBox2;
  QCheckBox* CheckBox3;
  QCheckBox* CheckBox4;
  QWidget* Panel1;  // the shortcut boxes, over both frames
  QCheckBox* CheckBox5;
  QCheckBox* CheckBox6;
  QToolButton* SpeedButton1;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;

  bool DesktopFound() const { return desktopFound_; }
  bool SendToFound() const { return sendToFound_; }

 private:
  void CheckBox1Click();
  void CheckBox2Click();
  void SpeedButton1Click();
  void OKBtnClick();
  void UpdateMaskBox();

  IconOptionValues& values_;
  shell::TShellLink& link_;
  ProgramShortcut shortcut_;
  bool desktopFound_ = false;
  bool sendToFound_ = false;
};

}  // namespace glyphwell::dialogs
