#pragma once
// TMsgCanselDlg: the modal busy window of long operations on the window thread. It
// shows a blinking message, a progress bar and a cancel button, and runs the
// operation itself (the work routine) from inside its own modal loop, 10 ms after it
// is shown, closing itself when the routine returns. The routine steps ProgressBar1,
// keeps the message loop running between items (ProcessMessages) and stops at the
// next item once the cancel flag is set, by the cancel button or Escape.

#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "controls/t_color_progress_bar.h"

namespace glyphwell::dialogs {

class TMsgCanselDlg : public QDialog {
  Q_OBJECT
 public:
  // `cancelFlag` is the owner's cancel flag (false = go on); it is cleared here and
  // set by the cancel button. `bitmapNoun`: the owner's "Icon" and "Bmp" filters are
  // both on, so an empty message speaks of bitmaps.
  TMsgCanselDlg(bool showCancel, QWidget* owner, const QString& message, bool& cancelFlag,
                bool bitmapNoun = false);

  void SetWorkRoutine(std::function<bool()> work) { work_ = std::move(work); }
  bool WorkResult() const { return result_; }
  // The progress range; 0 hides the bar for operations that cannot count.
  void SetProgressMax(std::uint64_t max);
  void SetImageVisible(bool visible);
  // The 64 x 64 32-bit picture the routine may fill; ShowImage puts it on screen.
  QImage& ImageBitmap() { return image_; }
  void ShowImage();

  QString Message() const { return message_; }
  QString PanelText() const { return Panel1->text(); }
  bool CancelRequested() const { return cancelFlag_; }

  // Lets pending window events run (the blink, the cancel button, repaints).
  static void ProcessMessages();
  // The blink phase shared by every busy window: 5 or 4.
  static int BlinkPhase();

  QLabel* Panel1;
  QLabel* Image1;
  controls::TColorProgressBar* ProgressBar1;
  QPushButton* CancelBtn;

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void StartTimerTimer();
  void BlinkTimerTimer();
  void CancelBtnClick();

  QString message_;
  bool& cancelFlag_;
  std::function<bool()> work_;
  bool result_ = false;
  bool running_ = false;
  bool finished_ = false;
  bool progressHidden_ = false;
  QImage image_;
  QTimer* startTimer_;
  QTimer* blinkTimer_;
};

}  // namespace glyphwell::dialogs
