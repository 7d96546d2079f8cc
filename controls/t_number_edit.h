#pragma once
// TNumberEdit: a one-line edit with a choice of text alignment and a digits-only
// switch.

#include <QLineEdit>

namespace glyphwell::controls {

enum class ALIGNMENT { etLeftJustify = 0, etCenter = 1, etRightJustify = 2 };

class TNumberEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit TNumberEdit(QWidget* parent = nullptr);

  ALIGNMENT Alignment() const { return alignment_; }
  void SetAlignment(ALIGNMENT value);
  // Only digits can be typed or pasted while set.
  bool NumberOnly() const { return numberOnly_; }
  void SetNumberOnly(bool value);

 private:
  void ApplyStyle();

  ALIGNMENT alignment_ = ALIGNMENT::etRightJustify;
  bool numberOnly_ = false;
};

}  // namespace glyphwell::controls
