#pragma once
// The two owner-drawn panels of the status bar: a flat gray panel with its text
// engraved (a light copy one pixel right and down under the dark text).

#include <array>

#include "imaging/bitmap.h"

namespace glyphwell::app {

inline constexpr imaging::ColourValue kStatusPanelColour = imaging::MakeColour(195, 195, 195);
inline constexpr imaging::ColourValue kStatusShadowColour = imaging::MakeColour(208, 208, 208);
inline constexpr imaging::ColourValue kStatusTextColour = imaging::MakeColour(64, 64, 64);
// Panel 0 shows the folder being searched.
inline constexpr int kStatusFolderPanelWidth = 150;

struct StatusTextPlace {
  int x = 0, y = 0;
  imaging::ColourValue colour = kStatusTextColour;
  friend bool operator==(const StatusTextPlace&, const StatusTextPlace&) = default;
};

// Where the text goes in a panel (left, top, width, height), the light copy first:
// v = height / 2 - textHeight / 2 ("H" of the bar's font); the light copy at
// (left + 4, top + v + 1), the text at (left + 3, top + v). Text has no background.
std::array<StatusTextPlace, 2> StatusPanelText(int left, int top, int height, int textHeight);

// Fills the panel rectangle of `bar` with the panel colour (clipped to the bar).
void PaintStatusPanel(imaging::Bitmap& bar, int left, int top, int width, int height);

}  // namespace glyphwell::app
