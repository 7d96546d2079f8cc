#pragma once
// TSwitchButton: a drawn push button, elliptic or rounded, with a gradient face. It
// reacts only inside its shape (a quarter-size hit mask), clicks only on a release
// inside the shape, and can be grouped with its siblings so that one stays down.

#include <QImage>
#include <QString>
#include <QWidget>

#include "controls/control_color.h"
#include "controls/shape_geometry.h"

namespace glyphwell::controls {

enum class BTNSTYLE { btEllipse, btRound, btGraphic };
enum class ALIGN { psTop, psCenter, psBottom };

class TSwitchButton : public QWidget {
  Q_OBJECT
 public:
  explicit TSwitchButton(QWidget* parent = nullptr);

  // The owning form calls this once it has set every property up: loading is over,
  // so every later assignment of Down follows the group rules, and the hit mask is
  // rebuilt for the final size and shape.
  void Loaded();

  bool Cancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }
  bool Default() const { return default_; }
  void SetDefault(bool value) { default_ = value; }
  bool Down() const { return down_; }
  void SetDown(bool value);
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool value);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int value);
  BTNSTYLE ButtonStyle() const { return buttonStyle_; }
  void SetButtonStyle(BTNSTYLE value);
  TColor ColorButton() const { return colorButton_; }
  void SetColorButton(TColor value);
  TColor ColorDown() const { return colorDown_; }
  void SetColorDown(TColor value);
  TColor ColorDownText() const { return colorDownText_; }
  void SetColorDownText(TColor value);
  TColor LightColor() const { return lightColor_; }
  void SetLightColor(TColor value);
  ALIGN CaptionAlign() const { return captionAlign_; }
  void SetCaptionAlign(ALIGN value);
  int CaptionLeft() const { return captionLeft_; }
  void SetCaptionLeft(int value);
  int CaptionTop() const { return captionTop_; }
  void SetCaptionTop(int value);
  QString Caption() const { return caption_; }
  void SetCaption(const QString& value);
  bool DownFrg() const { return downFrg_; }
  void SetDownFrg(bool value);
  int RoundSize() const { return roundSize_; }
  void SetRoundSize(int value);
  int ShadowX() const { return shadowX_; }
  int ShadowY() const { return shadowY_; }
  void SetShadow(int x, int y);
  TColor ShadowColor() const { return shadowColor_; }
  void SetShadowColor(TColor value);
  TColor ShadowDownColor() const { return shadowDownColor_; }
  void SetShadowDownColor(TColor value);
  TColor ColorUp() const { return colorUp_; }
  void SetColorUp(TColor value);
  bool HafuDraw() const { return hafuDraw_; }
  void SetHafuDraw(bool value);
  TColor Color() const { return color_; }
  void SetColor(TColor value);
  TColor FontColor() const { return fontColor_; }
  void SetFontColor(TColor value);

  bool PressedLook() const { return pressed_; }
  const HitMask& Mask() const { return mask_; }

  QImage Compose();

 signals:
  void clicked();
  void mouseDown(Qt::MouseButton button, QPoint pos);
  void mouseMove(QPoint pos);
  void mouseUp(Qt::MouseButton button, QPoint pos);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void RebuildMask();
  void CheckControls();
  void ReleaseByGroup();
  void Changed();
  TColor TextColor();

  bool cancel_ = false, default_ = false;
  bool down_ = false;
  bool allowAllUp_ = false;
  int groupIndex_ = 0;
  BTNSTYLE buttonStyle_ = BTNSTYLE::btRound;
  TColor colorButton_ = clBtnFace, colorDown_ = clBtnFace, colorDownText_ = clWindowText;
  TColor lightColor_ = clGray;
  ALIGN captionAlign_ = ALIGN::psCenter;
  int captionLeft_ = 0, captionTop_ = 0;
  QString caption_;
  bool downFrg_ = true;
  int roundSize_ = 0;
  int shadowX_ = 0, shadowY_ = 0;
  TColor shadowColor_ = clBlack, shadowDownColor_ = clBlack;
  TColor colorUp_ = clBtnFace;
  bool hafuDraw_ = false;
  TColor color_ = clBtnFace;
  TColor fontColor_ = clWindowText;

  bool pressed_ = false;
  bool leftHeld_ = false;
  bool downBeforePress_ = false;
  bool lastPaintedDown_ = false;
  bool loading_ = true;
  TColor lastTextColor_ = clWindowText;
  HitMask mask_;
};

}  // namespace glyphwell::controls
