#include "app/status_panel_drawing.h"

#include <algorithm>

namespace glyphwell::app {

std::array<StatusTextPlace, 2> StatusPanelText(int left, int top, int height, int textHeight) {
  const int v = height / 2 - textHeight / 2;
  return {StatusTextPlace{left + 4, top + v + 1, kStatusShadowColour},
          StatusTextPlace{left + 3, top + v, kStatusTextColour}};
}

void PaintStatusPanel(imaging::Bitmap& bar, int left, int top, int width, int height) {
  const int x0 = std::max(left, 0);
  const int y0 = std::max(top, 0);
  const int x1 = std::min(left + std::max(width, 0), bar.width());
  const int y1 = std::min(top + std::max(height, 0), bar.height());
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x)
      bar.setPixelColour(x, y, kStatusPanelColour);
  }
}

}  // namespace glyphwell::app
