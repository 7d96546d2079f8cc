#include "app/ui/window_switch.h"

#include <QString>
#include <algorithm>

#include "controls/control_color.h"

namespace glyphwell::app::ui {

namespace {
constexpr int kSwitchHeight = 17;  // the check box's own height
}  // namespace

controls::TNewCheckBox* Switch(QWidget* parent, const char* caption, const char* hint,
                               bool checked) {
  auto* c = new controls::TNewCheckBox(parent);
  c->SetCaption(QString::fromUtf8(caption));
  if (hint) c->setToolTip(QString::fromUtf8(hint));
  c->SetChecked(checked);
  // The window's switches: button-face boxes, black captions with a button-face shadow.
  c->SetColorBox(controls::clBtnFace);
  c->SetChkFontColor(controls::clBlack);
  c->SetShadow(1, 1);
  c->SetShadowColor(controls::clBtnFace);
  c->SetShadowCheckColor(controls::clBtnFace);
  // The box is as tall as the control less 3 pixels, so the control keeps the height it
  // is made with; the width leaves room for the indicator and the whole caption.
  const int captionWidth = c->fontMetrics().horizontalAdvance(c->Caption()) + 28;
  c->setMinimumWidth(std::max(64, captionWidth));
  c->setFixedHeight(kSwitchHeight);
  return c;
}

void OnOffSwitch(controls::TNewCheckBox* c, std::uint32_t checkRgb, int boxWidth) {
  c->SetBoxStyle(controls::TCheckBoxStyle::stOnOffBox);
  c->SetColorCheck(controls::RgbHex(checkRgb));
  c->SetBoxWidth(boxWidth);
  c->setMinimumWidth(c->minimumWidth() + boxWidth - 14);
}

}  // namespace glyphwell::app::ui
