#include "controls/switch_button_rules.h"

#include <algorithm>

namespace glyphwell::controls::switchbutton {

bool DownAfterPress(int groupIndex, bool allowAllUp, bool down) {
  if (groupIndex == 0) return false;
  return allowAllUp ? !down : true;
}

bool DownAfterAssign(int groupIndex, bool allowAllUp, bool down, bool v) {
  if (groupIndex != 0) return allowAllUp ? v : true;
  if (allowAllUp && down) return false;
  return down;
}

TColor FaceColor(bool allowAllUp, bool pressedLook, bool down, TColor colorDown,
                 TColor colorButton) {
  if (!allowAllUp) return (pressedLook || down) ? colorDown : colorButton;
  if (pressedLook) return clBlack;
  return down ? colorDown : colorButton;
}

int CaptionOffset(bool pressedLook, bool downFrg, bool down) {
  if (pressedLook) return 2;
  return (downFrg && down) ? 1 : 0;
}

int ClampCaptionPos(int value, int limit) {
  return (value >= 0 && value < limit) ? value : 0;
}

FaceState StateOf(bool pressedLook, bool downFrg, bool down) {
  if (pressedLook) return FaceState::Pressed;
  if (down && downFrg) return FaceState::Down;
  return FaceState::Up;
}

PixelRect EllipseFace(int w, int h, FaceState state) {
  switch (state) {
    case FaceState::Pressed:
      return {3, 3, w - 1, h - 1};
    case FaceState::Down:
      return {2, 2, w - 2, h - 2};
    case FaceState::Up:
      break;
  }
  return {1, 1, w - 3, h - 3};
}

PixelRect RoundFace(int w, int h, FaceState state) {
  switch (state) {
    case FaceState::Pressed:
      return {3, 3, w - 1, h - 2};
    case FaceState::Down:
      return {2, 2, w - 2, h - 3};
    case FaceState::Up:
      break;
  }
  return {1, 1, w - 3, h - 4};
}

RectFace SquareFace(int w, int h, FaceState state) {
  int bottom = h - 4, top = 0, x0 = 1, x1 = w - 3;
  if (state == FaceState::Pressed) {
    bottom = h - 2, top = 2, x0 = 3, x1 = w - 1;
  } else if (state == FaceState::Down) {
    bottom = h - 3, top = 1, x0 = 2, x1 = w - 2;
  }
  return {bottom, std::max(1, bottom - top), x0, x1};
}

}  // namespace glyphwell::controls::switchbutton
