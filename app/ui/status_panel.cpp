#include "app/ui/status_panel.h"

#include <QPainter>

#include "app/ui/grid_cell_painter.h"

namespace glyphwell::app::ui {

StatusPanel::StatusPanel(int fixedWidth, QWidget* parent) : QWidget(parent) {
  if (fixedWidth > 0) {
    setFixedWidth(fixedWidth);
  } else {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  }
  setMinimumHeight(fontMetrics().height() + 4);
}

void StatusPanel::SetText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  update();
}

void StatusPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setClipRect(rect());
  // Long paths are cut at the panel's right edge, as the bar always did.
  PaintStatusPanelText(painter, rect(), text_);
}

}  // namespace glyphwell::app::ui
