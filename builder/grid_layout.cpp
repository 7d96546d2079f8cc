#include "builder/grid_layout.h"

#include <algorithm>
#include <cstdio>

#include "builder/icon_block.h"

namespace glyphwell::builder {

GridSettings ClampGridSettings(GridSettings s) {
  s.columns = std::clamp(s.columns, 1, 16);
  s.gridSize = std::clamp(s.gridSize, 48, 128);
  s.zoomPosition = std::clamp(s.zoomPosition, 10, 100);
  return s;
}

GridLayout ComputeGridLayout(const std::vector<TIconEntry>& entries, const GridSettings& given) {
  const GridSettings settings = ClampGridSettings(given);
  int width = settings.gridSize, height = settings.gridSize;
  if (!settings.fixedSize) {
    for (const auto& e : entries) {
      auto h = ReadIconBlockHeader(e.Image);
      if (!h || !IsCompleteIconBlock(e.Image)) continue;
      // Width and height are taken together from the same entry.
      if (h->width > width || h->height() > height) {
        width = h->width;
        height = h->height();
      }
    }
  }
  const float zoom = static_cast<float>(settings.zoomPosition) * 0.1f;
  GridLayout layout;
  layout.columnWidth = static_cast<int>(static_cast<float>(width) * zoom);
  layout.rowHeight = static_cast<int>(static_cast<float>(height) * zoom) + 30;
  const int count = static_cast<int>(entries.size());
  layout.rows = count / settings.columns + 1;
  layout.lastRowEmpty = count % settings.columns == 0;
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", static_cast<double>(zoom));
  layout.zoomLabel = std::string("拡大 : ") + text;
  return layout;
}

}  // namespace glyphwell::builder
