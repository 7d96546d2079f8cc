#include "dialogs/t_input_dlg.h"

#include <QGuiApplication>
#include <QScreen>

#include "dialogs/dialog_placement.h"

namespace glyphwell::dialogs {

TInputDlg::TInputDlg(QWidget* owner, QPoint screenPoint)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint),
      point_(screenPoint) {
  Label1 = new QLabel(this);
  Label1->setGeometry(12, 10, 282, 18);
  Edit1 = new QLineEdit(this);
  Edit1->setGeometry(12, 32, 282, 24);
  OKBtn = new QPushButton(QStringLiteral("OK"), this);
  OKBtn->setGeometry(118, 66, 84, 26);
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton(QStringLiteral("キャンセル"), this);
  CancelBtn->setGeometry(210, 66, 84, 26);
  setFixedSize(306, 102);
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TInputDlg::showEvent(QShowEvent* event) {
  QScreen* screen = QGuiApplication::screenAt(point_);
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  const QRect area = screen != nullptr ? screen->geometry() : QRect(0, 0, 1024, 768);
  const QSize frame = frameGeometry().size().expandedTo(size());
  const Placement p = PlaceNearPoint(point_.x() - area.left(), point_.y() - area.top(),
                                     frame.width(), frame.height(), area.width(), area.height());
  move(area.left() + p.left, area.top() + p.top);
  QDialog::showEvent(event);
}

}  // namespace glyphwell::dialogs
