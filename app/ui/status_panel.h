#pragma once
// StatusPanel: one owner-drawn panel of the main window's status bar, a flat gray
// panel with its text engraved (app/status_panel_drawing.h gives the places).

#include <QString>
#include <QWidget>

namespace glyphwell::app::ui {

class StatusPanel : public QWidget {
  Q_OBJECT
 public:
  // `fixedWidth` 0 lets the panel take the rest of the bar.
  explicit StatusPanel(int fixedWidth, QWidget* parent = nullptr);

  void SetText(const QString& text);
  const QString& Text() const { return text_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString text_;
};

}  // namespace glyphwell::app::ui
