#pragma once
// The main window's switches: drawn check boxes with the window's colours.

#include <cstdint>

#include "controls/t_new_check_box.h"

namespace glyphwell::app::ui {

// A switch with `caption` and the "short|long" `hint` (none when null), made at the check
// box's own height and wide enough for its caption.
controls::TNewCheckBox* Switch(QWidget* parent, const char* caption, const char* hint,
                               bool checked = false);

// The on/off look of the switches that stand for a setting ("最適化", "補正", "更新"),
// filled with `checkRgb` (0xRRGGBB) when on.
void OnOffSwitch(controls::TNewCheckBox* c, std::uint32_t checkRgb, int boxWidth = 14);

}  // namespace glyphwell::app::ui
