#include "about/version_animation.h"

namespace glyphwell::about {

VersionAnimation::VersionAnimation(int jumpXY, int stretchMax)
    : jump_(jumpXY), stretchMax_(stretchMax < 0 ? 0 : stretchMax) {}

int VersionAnimation::Offset(const Random& random) const {
  if (jump_ <= 0) return 0;
  int d = random(jump_);
  if (d > jump_ / 2) d -= jump_;
  return d;
}

VersionAnimation::Step VersionAnimation::Next(const Random& random) {
  Step step;
  step.frame = frame_;
  if (frame_ == 0) {
    step.moved = true;
    step.dx = Offset(random);
    step.dy = Offset(random);
  } else {
    int r = random(10);
    if (r > 5 && sizeChange_ < stretchMax_) ++sizeChange_;
    if (r <= 4 && sizeChange_ > -stretchMax_) --sizeChange_;
  }
  frame_ = 1 - frame_;
  step.size = kFrameSize + sizeChange_;
  return step;
}

void VersionAnimation::PointerEntered() {
  if (!pressed_) sizeChange_ = kPointerSizeChange;
}

void VersionAnimation::Pressed() {
  sizeChange_ = -kPointerSizeChange;
  pressed_ = true;
}

}  // namespace glyphwell::about
