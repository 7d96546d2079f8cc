#include "dialogs/t_option_dlg.h"

#include <QStyle>

#include "shell/special_folders.h"

namespace glyphwell::dialogs {
namespace {

const QString kPngTitle = QStringLiteral("PNG形式アイコンの設定");
const QString kOtherTitle = QStringLiteral("他の設定");

}  // namespace

TOptionDlg::TOptionDlg(QWidget* owner, IconOptionValues& values, shell::TShellLink& link,
                       ProgramShortcut shortcut)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint),
      values_(values),
      link_(link),
      shortcut_(std::move(shortcut)) {
  setWindowTitle(QStringLiteral("Option （アイコンの設定）"));

  Label3 = new QLabel(kPngTitle, this);
  Label3->setGeometry(12, 10, 300, 20);
  QFont titleFont = Label3->font();
  titleFont.setBold(true);
  Label3->setFont(titleFont);

  SpeedButton1 = new QToolButton(this);
  SpeedButton1->setGeometry(338, 6, 26, 26);
  SpeedButton1->setCheckable(true);
  SpeedButton1->setAutoRaise(true);
  SpeedButton1->setToolTip(kOtherTitle);
  SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));

  SaveGroupBox = new QGroupBox(QStringLiteral("保存設定"), this);
  SaveGroupBox->setGeometry(12, 36, 352, 100);
  CheckBox1 =
      new QCheckBox(QStringLiteral("256×256のアイコンだけをPNG形式で圧縮する"), SaveGroupBox);
  CheckBox1->setGeometry(12, 22, 330, 22);
  CheckBox2 = new QCheckBox(QStringLiteral("全てのサイズをPNG形式で圧縮する"), SaveGroupBox);
  CheckBox2->setGeometry(12, 46, 330, 22);
  CheckBox3 = new QCheckBox(QStringLiteral("透過マスクを共に保存する"), SaveGroupBox);
  CheckBox3->setGeometry(12, 70, 330, 22);

  LoadGroupBox = new QGroupBox(QStringLiteral("読込設定"), this);
  LoadGroupBox->setGeometry(12, 142, 352, 52);
  CheckBox4 = new QCheckBox(QStringLiteral("変換されたビット形式を元に戻す"), LoadGroupBox);
  CheckBox4->setGeometry(12, 22, 330, 22);

  // The shortcut panel lies over both frames and is shown by the toggle button.
  Panel1 = new QWidget(this);
  Panel1->setGeometry(12, 36, 352, 158);
  Panel1->setAutoFillBackground(true);
  CheckBox5 = new QCheckBox(QStringLiteral("デスクトップにショートカットを作成"), Panel1);
  CheckBox5->setGeometry(12, 22, 330, 22);
  CheckBox6 = new QCheckBox(QStringLiteral("「送る」メニューに追加"), Panel1);
  CheckBox6->setGeometry(12, 50, 330, 22);
  Panel1->hide();

  OKBtn = new QPushButton(QStringLiteral("OK"), this);
  OKBtn->setGeometry(188, 204, 84, 26);
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton(QStringLiteral("キャンセル"), this);
  CancelBtn->setGeometry(280, 204, 84, 26);
  setFixedSize(376, 240);

  CheckBox1->setChecked(values_.png256);
  CheckBox2->setChecked(values_.pngfrg);
  CheckBox3->setChecked(values_.pngsv);
  CheckBox4->setChecked(values_.pngiclchg);
  UpdateMaskBox();

  desktopFound_ = ShortcutPresent(link_, shortcut_, shell::kCsidlDesktop);
  sendToFound_ = ShortcutPresent(link_, shortcut_, shell::kCsidlSendTo);
  CheckBox5->setChecked(desktopFound_);
  CheckBox6->setChecked(sendToFound_);

  connect(CheckBox1, &QCheckBox::clicked, this, &TOptionDlg::CheckBox1Click);
  connect(CheckBox2, &QCheckBox::clicked, this, &TOptionDlg::CheckBox2Click);
  connect(CheckBox3, &QCheckBox::clicked, this, &TOptionDlg::UpdateMaskBox);
  connect(CheckBox4, &QCheckBox::clicked, this, &TOptionDlg::UpdateMaskBox);
  connect(SpeedButton1, &QToolButton::clicked, this, &TOptionDlg::SpeedButton1Click);
  connect(OKBtn, &QPushButton::clicked, this, &TOptionDlg::OKBtnClick);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TOptionDlg::CheckBox1Click() {
  // The two compression choices exclude each other.
  if (CheckBox1->isChecked()) CheckBox2->setChecked(false);
  UpdateMaskBox();
}

void TOptionDlg::CheckBox2Click() {
  if (CheckBox2->isChecked()) CheckBox1->setChecked(false);
  UpdateMaskBox();
}

void TOptionDlg::UpdateMaskBox() {
  CheckBox3->setEnabled(MaskOptionEnabled(CheckBox1->isChecked(), CheckBox2->isChecked()));
}

void TOptionDlg::SpeedButton1Click() {
  const bool other = SpeedButton1->isChecked();
  Panel1->setVisible(other);
  if (other) Panel1->raise();
  Label3->setText(other ? kOtherTitle : kPngTitle);
}

void TOptionDlg::OKBtnClick() {
  values_ = ValuesOnOk(CheckBox1->isChecked(), CheckBox2->isChecked(),
                       CheckBox3->isChecked() && CheckBox3->isEnabled(), CheckBox4->isChecked());
  ApplyShortcut(link_, shortcut_, shell::kCsidlDesktop, CheckBox5->isChecked(), desktopFound_);
  ApplyShortcut(link_, shortcut_, shell::kCsidlSendTo, CheckBox6->isChecked(), sendToFound_);
  accept();
}

}  // namespace glyphwell::dialogs
