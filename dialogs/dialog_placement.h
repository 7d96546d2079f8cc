#pragma once
// Where a prompt opened at a screen point goes: just below the point, pulled back
// inside the screen when it would pass the right or bottom edge.

namespace glyphwell::dialogs {

struct Placement {
  int left, top;
};

// left = x, top = y + 20; past the right edge: screenWidth - width - 32; past the
// bottom: screenHeight - height - 32; never above or left of the screen's origin.
Placement PlaceNearPoint(int x, int y, int width, int height, int screenWidth, int screenHeight);

}  // namespace glyphwell::dialogs
