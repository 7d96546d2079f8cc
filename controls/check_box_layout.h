#pragma once
// Where the drawn check box puts its box and caption, and its property clamps.

#include <algorithm>

namespace glyphwell::controls::checkbox {

constexpr int ClampBoxWidth(int value) {
  return std::max(value, 14);
}
constexpr int ClampRoundSize(int value) {
  return std::min(value, 16);
}
// The box bitmap is H - 3 high, centred, one lower when H is odd.
constexpr int BoxTop(int height) {
  return height / 2 - (height - 3) / 2 + (height % 2 != 0 ? 1 : 0);
}
constexpr int BoxLeft(int width, int boxWidth, bool boxAtLeft) {
  return boxAtLeft ? 0 : width - boxWidth;
}
constexpr int CaptionLeft(int boxWidth, bool boxAtLeft) {
  return boxAtLeft ? boxWidth + 4 : 2;
}
// The caption's top: half a character above the middle (characterHeight > 0).
constexpr int CaptionTop(int height, int characterHeight) {
  return height / 2 - characterHeight / 2;
}
// The on/off box looks sunken while pressed or checked, raised otherwise: true when
// the outer line takes the dark colour.
constexpr bool OnOffSunken(bool pressedLook, bool checked) {
  return pressedLook || checked;
}

}  // namespace glyphwell::controls::checkbox
