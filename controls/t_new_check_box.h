#pragma once
// TNewCheckBox: a drawn check box or on/off box with a coloured fill and a shadowed
// caption. It toggles on the left press (not the release), reports OnClick at the
// release wherever the pointer is, and ignores the keyboard.

#include <QImage>
#include <QString>
#include <QWidget>

#include "controls/control_color.h"
#include "controls/paint_type.h"

namespace glyphwell::controls {

enum class TCheckBoxStyle { stCheckBox, stOnOffBox };
enum class TLEFTRIGHT { taLeftJustify, taRightJustify };

class TNewCheckBox : public QWidget {
  Q_OBJECT
 public:
  explicit TNewCheckBox(QWidget* parent = nullptr);

  int BoxWidth() const { return boxWidth_; }
  void SetBoxWidth(int value);  // below 14 becomes 14
  int RoundSize() const { return roundSize_; }
  void SetRoundSize(int value);  // above 16 becomes 16
  TColor ColorCheck() const { return colorCheck_; }
  void SetColorCheck(TColor value);
  TColor ColorBox() const { return colorBox_; }
  void SetColorBox(TColor value);
  TCheckBoxStyle BoxStyle() const { return boxStyle_; }
  void SetBoxStyle(TCheckBoxStyle value);
  QString Caption() const { return caption_; }
  void SetCaption(const QString& value);
  bool Checked() const { return checked_; }
  void SetChecked(bool value);
  TLEFTRIGHT Alignment() const { return alignment_; }
  void SetAlignment(TLEFTRIGHT value);
  TColor ColorGradetion() const { return colorGradetion_; }
  void SetColorGradetion(TColor value);
  TColor ChkFontColor() const { return chkFontColor_; }
  void SetChkFontColor(TColor value);
  PAINTTYPE PaintType() const { return paintType_; }
  void SetPaintType(PAINTTYPE value);
  int ShadowX() const { return shadowX_; }
  int ShadowY() const { return shadowY_; }
  void SetShadow(int x, int y);
  TColor ShadowColor() const { return shadowColor_; }
  void SetShadowColor(TColor value);
  TColor ShadowCheckColor() const { return shadowCheckColor_; }
  void SetShadowCheckColor(TColor value);
  TColor EnabledLightColor() const { return enabledLight_; }
  void SetEnabledLightColor(TColor value);
  TColor EnabledDarkColor() const { return enabledDark_; }
  void SetEnabledDarkColor(TColor value);
  bool ChkLine() const { return chkLine_; }
  void SetChkLine(bool value);
  // Background of the control.
  TColor Color() const { return color_; }
  void SetColor(TColor value);
  // Caption colour when not checked.
  TColor FontColor() const { return fontColor_; }
  void SetFontColor(TColor value);

  bool PressedLook() const { return pressed_; }

  // The whole control as it is painted now.
  QImage Compose() const;

 signals:
  void clicked();
  void mouseDown(Qt::MouseButton button, QPoint pos);
  void mouseMove(QPoint pos);
  void mouseUp(Qt::MouseButton button, QPoint pos);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void Changed();

  int boxWidth_ = 14;
  int roundSize_ = 10;
  TColor colorCheck_ = clBlack;
  TColor colorBox_ = clWindow;
  TCheckBoxStyle boxStyle_ = TCheckBoxStyle::stCheckBox;
  QString caption_;
  bool checked_ = false;
  TLEFTRIGHT alignment_ = TLEFTRIGHT::taRightJustify;
  TColor colorGradetion_ = clBtnFace;
  TColor chkFontColor_ = clWindowText;
  PAINTTYPE paintType_ = PAINTTYPE::btSolid;
  int shadowX_ = 0, shadowY_ = 0;
  TColor shadowColor_ = clBlack, shadowCheckColor_ = clBlack;
  TColor enabledLight_ = clWhite, enabledDark_ = clGray;
  bool chkLine_ = false;
  TColor color_ = clBtnFace;
  TColor fontColor_ = clWindowText;
  bool pressed_ = false;
  bool leftHeld_ = false;
  bool captionSettled_ = false;
};

}  // namespace glyphwell::controls
