#pragma once
// Mouse events delivered straight to a widget, with the held buttons stated, so that
// tests can press, drag and release exactly where they mean to.

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

namespace glyphwell::controls {

inline void SendMouse(QWidget* w, QEvent::Type type, QPoint pos,
                      Qt::MouseButton button = Qt::LeftButton) {
  Qt::MouseButtons held = Qt::NoButton;
  if (type == QEvent::MouseButtonPress || type == QEvent::MouseMove) held = Qt::LeftButton;
  if (type == QEvent::MouseMove) button = Qt::NoButton;
  if (type == QEvent::MouseButtonPress && button != Qt::LeftButton) held = button;
  QMouseEvent event(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, held, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &event);
}

inline void Press(QWidget* w, QPoint pos, Qt::MouseButton b = Qt::LeftButton) {
  SendMouse(w, QEvent::MouseButtonPress, pos, b);
}
inline void Move(QWidget* w, QPoint pos) {
  SendMouse(w, QEvent::MouseMove, pos);
}
inline void Release(QWidget* w, QPoint pos, Qt::MouseButton b = Qt::LeftButton) {
  SendMouse(w, QEvent::MouseButtonRelease, pos, b);
}

}  // namespace glyphwell::controls
