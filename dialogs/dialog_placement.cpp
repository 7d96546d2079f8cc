#include "dialogs/dialog_placement.h"

#include <algorithm>

namespace glyphwell::dialogs {

Placement PlaceNearPoint(int x, int y, int width, int height, int screenWidth, int screenHeight) {
  Placement p{x, y + 20};
  if (p.left + width > screenWidth) p.left = screenWidth - width - 32;
  if (p.top + height > screenHeight) p.top = screenHeight - height - 32;
  // A dialog larger than the screen keeps its title bar reachable.
  p.left = std::max(p.left, 0);
  p.top = std::max(p.top, 0);
  return p;
}

}  // namespace glyphwell::dialogs
