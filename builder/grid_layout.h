#pragma once
// The builder grid's cell sizes, computed from the entries and the window settings.

#include <string>
#include <vector>

#include "builder/icon_entry.h"

namespace glyphwell::builder {

struct GridSettings {
  int columns = 3;        // 1-16
  int gridSize = 48;      // 48-128: cell image area in pixels
  int zoomPosition = 10;  // 10-100: zoom = position x 0.1
  bool fixedSize = true;  // "サイズ固定"
};

struct GridLayout {
  int columnWidth = 0;
  int rowHeight = 0;
  int rows = 1;               // count / columns + 1
  bool lastRowEmpty = false;  // count is a multiple of columns: the last row is 4 pixels high
  std::string zoomLabel;      // "拡大 : 1.5"
};

// Clamps the settings into their ranges.
GridSettings ClampGridSettings(GridSettings settings);

// Cell width = trunc(w x zoom), height = trunc(h x zoom) + 30, where w x h is the grid
// size, or, with "サイズ固定" unchecked, the size of the first entry wider or taller
// than what came before it. Entries whose block cannot be read are passed over.
GridLayout ComputeGridLayout(const std::vector<TIconEntry>& entries, const GridSettings& settings);

}  // namespace glyphwell::builder
