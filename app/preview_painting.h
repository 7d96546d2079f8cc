#pragma once
// The preview box of the main window: the preview Bitmap stretched onto the box with
// area-averaging, so a 16 x 16 icon in a 48 x 48 preview reads as a smooth
// enlargement, and white while nothing is selected.

#include "imaging/bitmap.h"

namespace glyphwell::app {

// The box PaintBox1 (113 x 117 design pixels at 3, 3) inside its gray panel.
inline constexpr int kPreviewBoxLeft = 3;
inline constexpr int kPreviewBoxTop = 3;
inline constexpr int kPreviewBoxWidth = 113;
inline constexpr int kPreviewBoxHeight = 117;
inline constexpr imaging::ColourValue kPreviewPanelColour = imaging::MakeColour(144, 144, 144);

// PaintPreview: a 32-bit boxWidth x boxHeight image of the box: white when the
// preview Bitmap is empty, otherwise the whole preview stretched over the whole box
// (halftone). Empty for a box without area.
imaging::Bitmap PaintPreview(const imaging::Bitmap& preview, int boxWidth, int boxHeight);

// The panel with the box in it, at the design size (for screenshots and tests of
// the arrangement).
imaging::Bitmap PaintPreviewPanel(const imaging::Bitmap& preview);

}  // namespace glyphwell::app
