#include "app/preview_painting.h"

#include "imaging/stretch.h"

namespace glyphwell::app {

imaging::Bitmap PaintPreview(const imaging::Bitmap& preview, int boxWidth, int boxHeight) {
  if (boxWidth <= 0 || boxHeight <= 0) return imaging::Bitmap();
  imaging::Bitmap box(boxWidth, boxHeight, 32);
  box.fill(imaging::kWhite);
  if (!preview.empty()) {
    imaging::HalftoneStretch(preview, box, imaging::Rect{0, 0, boxWidth, boxHeight});
  }
  return box;
}

imaging::Bitmap PaintPreviewPanel(const imaging::Bitmap& preview) {
  const int width = kPreviewBoxLeft * 2 + kPreviewBoxWidth;
  const int height = kPreviewBoxTop * 2 + kPreviewBoxHeight;
  imaging::Bitmap panel(width, height, 32);
  panel.fill(kPreviewPanelColour);
  const imaging::Bitmap box = PaintPreview(preview, kPreviewBoxWidth, kPreviewBoxHeight);
  for (int y = 0; y < box.height(); ++y) {
    for (int x = 0; x < box.width(); ++x) {
      panel.setPixelColour(kPreviewBoxLeft + x, kPreviewBoxTop + y, box.pixelColour(x, y));
    }
  }
  return panel;
}

}  // namespace glyphwell::app
