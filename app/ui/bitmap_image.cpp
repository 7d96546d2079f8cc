#include "app/ui/bitmap_image.h"

namespace glyphwell::app::ui {

QImage ToQImage(const imaging::Bitmap& bitmap) {
  if (bitmap.width() <= 0 || bitmap.height() <= 0) return {};
  QImage image(bitmap.width(), bitmap.height(), QImage::Format_RGB32);
  for (int y = 0; y < bitmap.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < bitmap.width(); ++x) {
      const imaging::ColourValue c = bitmap.pixelColour(x, y);
      line[x] = qRgb(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                     static_cast<int>((c >> 16) & 0xFF));
    }
  }
  return image;
}

imaging::Bitmap FromQImage(const QImage& source) {
  if (source.isNull()) return {};
  const QImage image = source.convertToFormat(QImage::Format_RGB32);
  imaging::Bitmap bitmap(image.width(), image.height(), 24);
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x)
      bitmap.setPixelColour(x, y,
                            imaging::MakeColour(qRed(line[x]), qGreen(line[x]), qBlue(line[x])));
  }
  return bitmap;
}

}  // namespace glyphwell::app::ui
