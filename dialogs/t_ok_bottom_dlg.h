#pragma once
// TOKBottomDlg: asks for the width, height and bit depth criteria, each a free text
// with a remembered history. The caller sets the three current texts before showing
// it and reads them back after OK; the histories (the settings' seldt1..seldt3) are
// tidied when the dialog opens and extended when OK is pressed.

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <string>
#include <vector>

namespace glyphwell::dialogs {

// The three histories, one text of lines each.
struct CriteriaHistories {
  std::string width, height, bits;
};

class TOKBottomDlg : public QDialog {
  Q_OBJECT
 public:
  // `word` is what the icons are chosen for: "選択" (the builder) or "抽出" (the
  // main window). `histories` must outlive the dialog.
  TOKBottomDlg(const QString& word, QWidget* owner, CriteriaHistories& histories);

  void SetTexts(const QString& width, const QString& height, const QString& bits);
  QString WidthText() const { return ComboBox1->currentText(); }
  QString HeightText() const { return ComboBox2->currentText(); }
  QString BitsText() const { return ComboBox3->currentText(); }

  QLabel* Label1;
  QComboBox* ComboBox1;
  QComboBox* ComboBox2;
  QComboBox* ComboBox3;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;

 private:
  void OKBtnClick();

  CriteriaHistories& histories_;
  std::vector<std::string> lists_[3];
};

}  // namespace glyphwell::dialogs
