#include "dialogs/t_msg_cansel_dlg.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPixmap>

#include "controls/control_color.h"

namespace glyphwell::dialogs {

using controls::RgbHex;

namespace {
// Shared by all busy windows, so that one following another blinks on in step.
int g_blinkPhase = 5;
}  // namespace

int TMsgCanselDlg::BlinkPhase() {
  return g_blinkPhase;
}

TMsgCanselDlg::TMsgCanselDlg(bool showCancel, QWidget* owner, const QString& message,
                             bool& cancelFlag, bool bitmapNoun)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint),
      cancelFlag_(cancelFlag),
      image_(64, 64, QImage::Format_ARGB32) {
  setWindowTitle(QStringLiteral("Glyphwell"));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(0xCE, 0xCE, 0xCE));
  setPalette(pal);
  setFixedSize(367, 140);

  Panel1 = new QLabel(this);
  Panel1->setGeometry(0, 0, 367, 75);
  Panel1->setAlignment(Qt::AlignCenter);
  Image1 = new QLabel(Panel1);
  Image1->setGeometry(7, 5, 64, 64);
  Image1->hide();
  image_.fill(Qt::transparent);

  ProgressBar1 = new controls::TColorProgressBar(this);
  ProgressBar1->setGeometry(16, 82, 335, 11);
  ProgressBar1->SetMax(100);
  ProgressBar1->SetBlockCount(23);
  ProgressBar1->SetBoxColor(controls::clSilver);
  ProgressBar1->SetBarColor(RgbHex(0x0080FF));
  ProgressBar1->SetLineColor(controls::clGray);
  ProgressBar1->SetBarStyle(controls::PAINTTYPE::btWin7);
  ProgressBar1->SetWhiteLevel(100);
  ProgressBar1->SetFlat(true);

  CancelBtn = new QPushButton(QStringLiteral("キャンセル"), this);
  CancelBtn->setGeometry(141, 104, 85, 26);
  CancelBtn->setAutoDefault(false);
  CancelBtn->setVisible(showCancel);
  Panel1->setVisible(showCancel);

  const QString noun = bitmapNoun ? QStringLiteral("ビットマップ") : QStringLiteral("アイコン");
  message_ = message.isEmpty() ? noun + QStringLiteral("の検索中・・・") : message;
  Panel1->setText(QStringLiteral("∵ ") + message_);
  ProgressBar1->SetPosition(0);
  cancelFlag_ = false;

  startTimer_ = new QTimer(this);
  startTimer_->setSingleShot(true);
  startTimer_->setInterval(10);
  blinkTimer_ = new QTimer(this);
  blinkTimer_->setInterval(1000);
  connect(startTimer_, &QTimer::timeout, this, &TMsgCanselDlg::StartTimerTimer);
  connect(blinkTimer_, &QTimer::timeout, this, &TMsgCanselDlg::BlinkTimerTimer);
  connect(CancelBtn, &QPushButton::clicked, this, &TMsgCanselDlg::CancelBtnClick);
}

void TMsgCanselDlg::SetProgressMax(std::uint64_t max) {
  // The bar's own Max never stays 0, so "no count" is remembered here.
  progressHidden_ = max == 0;
  ProgressBar1->SetMax(max);
}

void TMsgCanselDlg::SetImageVisible(bool visible) {
  Image1->setVisible(visible);
}

void TMsgCanselDlg::ShowImage() {
  Image1->setPixmap(QPixmap::fromImage(image_));
  Image1->repaint();
}

void TMsgCanselDlg::ProcessMessages() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TMsgCanselDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  ProgressBar1->setVisible(!progressHidden_);
  if (!finished_ && !running_) {
    startTimer_->start();
    blinkTimer_->start();
  }
}

void TMsgCanselDlg::StartTimerTimer() {
  startTimer_->stop();
  if (!CancelBtn->isVisibleTo(this) || running_) return;
  running_ = true;
  result_ = work_ ? work_() : false;
  running_ = false;
  finished_ = true;
  blinkTimer_->stop();
  done(QDialog::Accepted);
}

void TMsgCanselDlg::BlinkTimerTimer() {
  const QString prefix = g_blinkPhase == 5 ? QStringLiteral("∴ ") : QStringLiteral("∵ ");
  Panel1->setText(prefix + message_);
  g_blinkPhase = g_blinkPhase == 5 ? 4 : 5;
}

void TMsgCanselDlg::CancelBtnClick() {
  cancelFlag_ = true;
}

void TMsgCanselDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    if (CancelBtn->isVisibleTo(this)) CancelBtn->click();
    return;
  }
  QDialog::keyPressEvent(event);
}

// Escape and the window's close box ask the routine to stop; the dialog closes when
// it has returned, never under its feet.
void TMsgCanselDlg::reject() {
  if (running_) {
    cancelFlag_ = true;
    return;
  }
  QDialog::reject();
}

void TMsgCanselDlg::closeEvent(QCloseEvent* event) {
  if (running_) {
    cancelFlag_ = true;
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

}  // namespace glyphwell::dialogs
