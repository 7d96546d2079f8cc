#include "dialogs/t_ok_bottom_dlg.h"

#include "dialogs/criteria_history.h"

namespace glyphwell::dialogs {

namespace {

QComboBox* CriteriaBox(QWidget* parent, int top) {
  auto* box = new QComboBox(parent);
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  box->setGeometry(70, top, 140, 24);
  return box;
}

QLabel* Text(QWidget* parent, const QString& text, int left, int top, int width) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(left, top, width, 24);
  return label;
}

}  // namespace

TOKBottomDlg::TOKBottomDlg(const QString& word, QWidget* owner, CriteriaHistories& histories)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint),
      histories_(histories) {
  setWindowTitle(word + QStringLiteral("設定"));
  setFixedSize(330, 190);
  Label1 = Text(this, word + QStringLiteral("するアイコンのサイズ、ビット形式を入力"), 12, 8, 306);

  Text(this, QStringLiteral("幅"), 20, 40, 46);
  ComboBox1 = CriteriaBox(this, 40);
  Text(this, QStringLiteral("例 16,32"), 220, 40, 100);
  Text(this, QStringLiteral("高さ"), 20, 72, 46);
  ComboBox2 = CriteriaBox(this, 72);
  Text(this, QStringLiteral("例 16,32"), 220, 72, 100);
  Text(this, QStringLiteral("Bit"), 20, 104, 46);
  ComboBox3 = CriteriaBox(this, 104);
  QLabel* bitsExample = Text(this, QStringLiteral("例 4,8,24"), 220, 104, 100);
  const QString bitsHint = QStringLiteral("4bit,8bit,24bit");
  bitsExample->setToolTip(bitsHint);
  ComboBox3->setToolTip(bitsHint);

  OKBtn = new QPushButton(QStringLiteral("OK"), this);
  OKBtn->setGeometry(140, 150, 84, 26);
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton(QStringLiteral("キャンセル"), this);
  CancelBtn->setGeometry(232, 150, 84, 26);
  connect(OKBtn, &QPushButton::clicked, this, &TOKBottomDlg::OKBtnClick);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

  // Load each list tidied, and write the tidy form back at once.
  std::string* texts[3] = {&histories_.width, &histories_.height, &histories_.bits};
  QComboBox* boxes[3] = {ComboBox1, ComboBox2, ComboBox3};
  for (int i = 0; i < 3; ++i) {
    lists_[i] = LoadCriteriaHistory(*texts[i]);
    *texts[i] = CriteriaHistoryText(lists_[i]);
    for (const std::string& entry : lists_[i])
      boxes[i]->addItem(QString::fromStdString(entry));
    boxes[i]->setCurrentIndex(-1);
  }
}

void TOKBottomDlg::SetTexts(const QString& width, const QString& height, const QString& bits) {
  ComboBox1->setCurrentText(width);
  ComboBox2->setCurrentText(height);
  ComboBox3->setCurrentText(bits);
}

void TOKBottomDlg::OKBtnClick() {
  std::string* texts[3] = {&histories_.width, &histories_.height, &histories_.bits};
  const QComboBox* boxes[3] = {ComboBox1, ComboBox2, ComboBox3};
  for (int i = 0; i < 3; ++i) {
    RememberCriteria(lists_[i], boxes[i]->currentText().toStdString());
    *texts[i] = CriteriaHistoryText(lists_[i]);
  }
  accept();
}

}  // namespace glyphwell::dialogs
