#pragma once
// Puts the GUI-free cell drawings of the image grid, the preview box and the status
// bar panels on screen: the pixels come from app/ (grid_drawing, preview_painting,
// status_panel_drawing); only the text is drawn here, with the window's font.

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>

#include "app/grid_drawing.h"
#include "imaging/bitmap.h"

namespace glyphwell::app::ui {

// A Bitmap as a 32-bit QImage (any pixel format; alpha ignored).
QImage BitmapToImage(const imaging::Bitmap& bitmap);

// The grid's line height for a font: the text height of "H" less 2.
int GridLineHeight(const QFont& font);

// The cell with its label lines drawn in the cell's text colour, no background:
// line 1 centred on one line with an ellipsis when too long, the others centred
// from the top of their rectangle.
QImage PaintGridCell(const GridCellDrawing& drawing, const QFont& font);

// A status bar panel: the gray panel and its engraved text.
void PaintStatusPanelText(QPainter& painter, const QRect& panel, const QString& text);

}  // namespace glyphwell::app::ui
