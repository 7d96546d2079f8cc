#pragma once
// TColorProgressBar: the drawn progress bar with a 64-bit range, five looks, block
// mode, a marker and a percentage text. It repaints on a position change only when
// the whole-number percentage changes, and then at once, so that a long loop on the
// window thread still shows a current bar.

#include <QFont>
#include <QImage>
#include <QWidget>
#include <cstdint>

#include "controls/control_color.h"
#include "controls/paint_type.h"

namespace glyphwell::controls {

enum class TProgressBarOrientation { pbHorizontal, pbVertical };

class TColorProgressBar : public QWidget {
  Q_OBJECT
 public:
  explicit TColorProgressBar(QWidget* parent = nullptr);

  std::uint64_t Min() const { return min_; }
  void SetMin(std::uint64_t value);
  std::uint64_t Max() const { return max_; }
  void SetMax(std::uint64_t value);
  std::uint64_t Position() const { return position_; }
  void SetPosition(std::uint64_t value);
  std::uint64_t PreviousPosition() const { return previous_; }
  int Step() const { return step_; }
  void SetStep(int value);
  bool Smooth() const { return smooth_; }
  void SetSmooth(bool value);
  int BlockCount() const { return blockCount_; }
  void SetBlockCount(int value);
  int BlockSpace() const { return blockSpace_; }
  void SetBlockSpace(int value);
  TColor BoxColor() const { return boxColor_; }
  void SetBoxColor(TColor value);
  TColor BarColor() const { return barColor_; }
  void SetBarColor(TColor value);
  TColor LineColor() const { return lineColor_; }
  void SetLineColor(TColor value);
  PAINTTYPE BarStyle() const { return barStyle_; }
  void SetBarStyle(PAINTTYPE value);
  int WhiteLevel() const { return whiteLevel_; }
  void SetWhiteLevel(int value);
  int PrsLevel() const { return prsLevel_; }
  void SetPrsLevel(int value);
  TProgressBarOrientation Orientation() const { return orientation_; }
  void SetOrientation(TProgressBarOrientation value);
  bool TextSwitch() const { return textSwitch_; }
  void SetTextSwitch(bool value);
  bool Flat() const { return flat_; }
  void SetFlat(bool value);
  bool Shadow() const { return shadow_; }
  void SetShadow(bool value);
  bool LineParVisible() const { return lineParVisible_; }
  void SetLineParVisible(bool value);
  int LinePar() const { return linePar_; }
  void SetLinePar(int value);
  TColor LineParColor() const { return lineParColor_; }
  void SetLineParColor(TColor value);
  // The control's own colour (the inner line of the sunken frame).
  TColor Color() const { return color_; }
  void SetColor(TColor value);
  // Colour of the percentage text without a shadow.
  TColor FontColor() const { return fontColor_; }
  void SetFontColor(TColor value);
  int ParValue() const { return parValue_; }

  void StepIt();
  void StepBy(std::uint64_t amount);
  int GetPercentDone() const;

  // The whole control as it is painted now.
  QImage Compose();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void ResolveColors();
  void ComposeBar(QImage& image, int length, int thickness);
  int BarLength() const;
  void Changed();

  std::uint64_t min_ = 0, max_ = 100, position_ = 0, previous_ = 0;
  int step_ = 10;
  bool smooth_ = false;
  int blockCount_ = 10;
  TColor boxColor_, barColor_, lineColor_;
  PAINTTYPE barStyle_ = PAINTTYPE::btSolid;
  int blockSpace_ = 1;
  int whiteLevel_ = 60;
  int prsLevel_ = 20;
  TProgressBarOrientation orientation_ = TProgressBarOrientation::pbHorizontal;
  bool textSwitch_ = false, flat_ = false, shadow_ = false, lineParVisible_ = false;
  int linePar_ = 50;
  TColor lineParColor_ = RgbHex(0xFF0000);
  TColor color_ = clBtnFace;
  TColor fontColor_ = clWindowText;
  int parValue_ = 0;

  // Derived colours, recomputed at the next paint after a colour or level change.
  bool colorsDirty_ = true;
  TColor box_ = 0, bar_ = 0, line_ = 0, marker_ = 0;
  TColor lightTint_ = 0, pressTint_ = 0, boxShade_ = 0, topLine_ = 0;
  QImage offscreen_;
};

}  // namespace glyphwell::controls
