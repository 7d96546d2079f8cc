#include "about/qt_display_probe.h"

#include <QGuiApplication>
#include <QScreen>

namespace glyphwell::about {

int QtDisplayProbe::BitsPerPixel() const {
  QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->depth() : 32;
}

}  // namespace glyphwell::about
