#include "controls/t_number_edit.h"

#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace glyphwell::controls {

TNumberEdit::TNumberEdit(QWidget* parent) : QLineEdit(parent) {
  ApplyStyle();
}

void TNumberEdit::SetAlignment(ALIGNMENT value) {
  alignment_ = value;
  ApplyStyle();
}

void TNumberEdit::SetNumberOnly(bool value) {
  numberOnly_ = value;
  ApplyStyle();
}

void TNumberEdit::ApplyStyle() {
  switch (alignment_) {
    case ALIGNMENT::etLeftJustify:
      setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      break;
    case ALIGNMENT::etCenter:
      setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
      break;
    case ALIGNMENT::etRightJustify:
      setAlignment(Qt::AlignRight | Qt::AlignVCenter);
      break;
  }
  if (numberOnly_) {
    setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
  } else {
    setValidator(nullptr);
  }
}

}  // namespace glyphwell::controls
