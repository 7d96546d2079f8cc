#pragma once
// The display probe for the windows: the primary screen's depth.

#include "platform/display_probe.h"

namespace glyphwell::about {

class QtDisplayProbe final : public platform::DisplayProbe {
 public:
  // The primary screen's bits per pixel; 32 when there is no screen.
  int BitsPerPixel() const override;
};

}  // namespace glyphwell::about
