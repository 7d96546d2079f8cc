#pragma once
// The lightening ramp of the drawn gradient faces and bars: a start colour whose
// channels each grow by a fixed step per row until the next step would reach 255.

#include <array>
#include <vector>

#include "controls/control_color.h"

namespace glyphwell::controls {

class GradientRamp {
 public:
  GradientRamp(TColor start, double step);

  // The start colour of a ramp made from `base`: each channel reduced by 84 where it
  // is above 84.
  static TColor StartFrom(TColor base);
  // 150 / (height * 0.5), at least 1.0.
  static double StepFor(int height);

  // trunc(start channel + accumulated amount) per channel.
  TColor Current() const;
  // Grows each channel by the step while start + accumulated + step stays below 255.
  void Advance();

  // Current() of `count` successive rows, advancing after each.
  std::vector<TColor> Take(int count);

 private:
  std::array<int, 3> start_;
  std::array<double, 3> accumulated_{0.0, 0.0, 0.0};
  double step_;
};

}  // namespace glyphwell::controls
