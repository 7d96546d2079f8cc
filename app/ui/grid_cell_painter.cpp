#include "app/ui/grid_cell_painter.h"

#include <QFontMetrics>

#include "app/status_panel_drawing.h"

namespace glyphwell::app::ui {
namespace {

QColor ToColor(imaging::ColourValue c) {
  return QColor(imaging::RedOf(c), imaging::GreenOf(c), imaging::BlueOf(c));
}

}  // namespace

QImage BitmapToImage(const imaging::Bitmap& bitmap) {
  if (bitmap.empty()) return QImage();
  QImage image(bitmap.width(), bitmap.height(), QImage::Format_RGB32);
  for (int y = 0; y < bitmap.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    if (bitmap.bits() == 32) {
      const std::uint8_t* row = bitmap.row(y);
      for (int x = 0; x < bitmap.width(); ++x, row += 4)
        line[x] = qRgb(row[2], row[1], row[0]);
      continue;
    }
    for (int x = 0; x < bitmap.width(); ++x) {
      const imaging::ColourValue c = bitmap.pixelColour(x, y);
      line[x] = qRgb(imaging::RedOf(c), imaging::GreenOf(c), imaging::BlueOf(c));
    }
  }
  return image;
}

int GridLineHeight(const QFont& font) {
  return QFontMetrics(font).height() - 2;
}

QImage PaintGridCell(const GridCellDrawing& drawing, const QFont& font) {
  QImage image = BitmapToImage(drawing.pixels);
  if (image.isNull()) return image;
  QPainter painter(&image);
  painter.setFont(font);
  painter.setPen(ToColor(drawing.textColour));
  const QFontMetrics metrics(font);
  for (const GridLabelLine& line : drawing.lines) {
    const QRect rect(QPoint(line.rect[0], line.rect[1]),
                     QPoint(line.rect[2] - 1, line.rect[3] - 1));
    QString text = QString::fromStdString(line.text);
    if (line.elide) text = metrics.elidedText(text, Qt::ElideRight, rect.width());
    painter.drawText(rect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, text);
  }
  return image;
}

void PaintStatusPanelText(QPainter& painter, const QRect& panel, const QString& text) {
  painter.fillRect(panel, ToColor(kStatusPanelColour));
  const int textHeight = painter.fontMetrics().height();
  const int ascent = painter.fontMetrics().ascent();
  for (const StatusTextPlace& place :
       StatusPanelText(panel.left(), panel.top(), panel.height(), textHeight)) {
    painter.setPen(ToColor(place.colour));
    painter.drawText(place.x, place.y + ascent, text);
  }
}

}  // namespace glyphwell::app::ui
