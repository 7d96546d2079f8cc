#include "controls/gradient_ramp.h"

#include <algorithm>

namespace glyphwell::controls {

GradientRamp::GradientRamp(TColor start, double step)
    : start_{RedOf(start), GreenOf(start), BlueOf(start)}, step_(step) {}

TColor GradientRamp::StartFrom(TColor base) {
  return DarkenChannels(base, 84);
}

double GradientRamp::StepFor(int height) {
  if (height <= 0) return 1.0;
  return std::max(1.0, 150.0 / (height * 0.5));
}

TColor GradientRamp::Current() const {
  return MakeColor(static_cast<int>(start_[0] + accumulated_[0]),
                   static_cast<int>(start_[1] + accumulated_[1]),
                   static_cast<int>(start_[2] + accumulated_[2]));
}

void GradientRamp::Advance() {
  for (int i = 0; i < 3; ++i) {
    if (start_[i] + accumulated_[i] + step_ < 255.0) accumulated_[i] += step_;
  }
}

std::vector<TColor> GradientRamp::Take(int count) {
  std::vector<TColor> rows;
  rows.reserve(static_cast<std::size_t>(std::max(0, count)));
  for (int i = 0; i < count; ++i) {
    rows.push_back(Current());
    Advance();
  }
  return rows;
}

}  // namespace glyphwell::controls
