#pragma once
// The state rules of the drawn push button: what a press or an assignment does to
// Down, which face colour and caption offset a state shows, where the face goes.

#include "controls/control_color.h"
#include "controls/shape_geometry.h"

namespace glyphwell::controls::switchbutton {

// Down after a left press on the shape.
bool DownAfterPress(int groupIndex, bool allowAllUp, bool down);
// Down after the program assigns v (outside the loading phase).
bool DownAfterAssign(int groupIndex, bool allowAllUp, bool down, bool v);

TColor FaceColor(bool allowAllUp, bool pressedLook, bool down, TColor colorDown,
                 TColor colorButton);
// 2 while pressed, 1 when down and drawn shifted, else 0.
int CaptionOffset(bool pressedLook, bool downFrg, bool down);

// n when 0 <= n < limit, else 0.
int ClampCaptionPos(int value, int limit);

enum class FaceState { Up, Pressed, Down };
FaceState StateOf(bool pressedLook, bool downFrg, bool down);
PixelRect EllipseFace(int width, int height, FaceState state);
PixelRect RoundFace(int width, int height, FaceState state);

// The square-cornered face: rows from `bottom` upward, `rows` of them, x0 .. x1.
struct RectFace {
  int bottom, rows, x0, x1;
};
RectFace SquareFace(int width, int height, FaceState state);

}  // namespace glyphwell::controls::switchbutton
