#include "about/animation_frames.h"

#include <QPainter>
#include <QPolygon>

namespace glyphwell::about {

namespace {

constexpr int kSide = 64;

// One frame at x offset `ox`: a page with a 4 x 4 pixel glyph and a four-pointed
// spark whose place and size change from frame to frame. Drawn without
// antialiasing so that no edge pixel turns into a shade of the blue key.
void DrawFrame(QPainter& p, int ox, int frame) {
  p.setPen(QColor(40, 40, 90));
  p.setBrush(QColor(250, 250, 245));
  p.drawRect(ox + 10, 8, 40, 50);
  p.setBrush(QColor(225, 232, 245));
  p.drawRect(ox + 10, 8, 40, 8);

  static const QColor glyph[4][4] = {
      {QColor(220, 60, 60), QColor(240, 160, 40), QColor(240, 220, 60), QColor(90, 190, 80)},
      {QColor(240, 160, 40), QColor(240, 220, 60), QColor(90, 190, 80), QColor(60, 150, 220)},
      {QColor(240, 220, 60), QColor(90, 190, 80), QColor(60, 150, 220), QColor(130, 90, 200)},
      {QColor(90, 190, 80), QColor(60, 150, 220), QColor(130, 90, 200), QColor(220, 60, 60)}};
  p.setPen(Qt::NoPen);
  for (int row = 0; row < 4; ++row) {
    for (int col = 0; col < 4; ++col) {
      p.setBrush(glyph[(row + frame) % 4][col]);
      p.drawRect(ox + 16 + col * 7, 22 + row * 7, 6, 6);
    }
  }

  int cx = ox + (frame == 0 ? 50 : 46), cy = frame == 0 ? 12 : 16;
  int r = frame == 0 ? 9 : 6;
  QPolygon spark;
  spark << QPoint(cx, cy - r) << QPoint(cx + 2, cy - 2) << QPoint(cx + r, cy)
        << QPoint(cx + 2, cy + 2) << QPoint(cx, cy + r) << QPoint(cx - 2, cy + 2)
        << QPoint(cx - r, cy) << QPoint(cx - 2, cy - 2);
  p.setPen(QColor(200, 140, 0));
  p.setBrush(QColor(255, 215, 0));
  p.drawPolygon(spark);
}

}  // namespace

QImage MakeAnimationFrames() {
  QImage frames(2 * kSide, kSide, QImage::Format_RGB32);
  frames.fill(QColor::fromRgb(kFrameTransparent));
  QPainter p(&frames);
  p.setRenderHint(QPainter::Antialiasing, false);
  DrawFrame(p, 0, 0);
  DrawFrame(p, kSide, 1);
  return frames;
}

QImage DrawAnimationFrame(const QImage& frames, int frame, const QColor& background) {
  QImage canvas(kSide, kSide, QImage::Format_RGB32);
  canvas.fill(background);
  QImage source = frames.convertToFormat(QImage::Format_RGB32);
  const int sx = kSide * frame;
  for (int y = 0; y < kSide && y < source.height(); ++y) {
    const QRgb* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
    QRgb* out = reinterpret_cast<QRgb*>(canvas.scanLine(y));
    for (int x = 0; x < kSide && sx + x < source.width(); ++x) {
      QRgb pixel = in[sx + x] | 0xFF000000;
      if (pixel != kFrameTransparent) out[x] = pixel;
    }
  }
  return canvas;
}

}  // namespace glyphwell::about
