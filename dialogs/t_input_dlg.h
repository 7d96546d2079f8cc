#pragma once
// TInputDlg: a one-line text prompt opened next to a screen point. The caller sets
// the caption, the label and the initial text, shows it modally and, on OK, takes
// Edit1's text.

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPoint>
#include <QPushButton>

namespace glyphwell::dialogs {

class TInputDlg : public QDialog {
  Q_OBJECT
 public:
  TInputDlg(QWidget* owner, QPoint screenPoint);

  QLabel* Label1;
  QLineEdit* Edit1;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QPoint point_;
};

}  // namespace glyphwell::dialogs
