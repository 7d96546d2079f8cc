#pragma once
// The arithmetic of the colour progress bar: property clamps, the percentage rules,
// where the bar or its blocks go, and the colours of the gradient rows.

#include <cstdint>
#include <vector>

#include "controls/control_color.h"

namespace glyphwell::controls::progress {

// trunc((position - min) * 100 / (max - min)) in floating point; 0 when max = min
// or when the position lies below min (possible after min was raised).
int PercentDone(std::uint64_t min, std::uint64_t max, std::uint64_t position);
// trunc(100 * position / max) without overflow; 0 when max is 0.
int ParValue(std::uint64_t position, std::uint64_t max);

// A min above max becomes max.
std::uint64_t ClampMin(std::uint64_t value, std::uint64_t max);
// A max below min becomes min; a max of 0 becomes 1.
std::uint64_t ClampMax(std::uint64_t value, std::uint64_t min);
// A non-negative step above max becomes max.
int ClampStep(int value, std::uint64_t max);
// n when length / n >= 1, else 1.
int ClampBlockCount(int value, int length);
// Accepted only when n < ((length - 1) / blockCount) / 2.
bool BlockSpaceAccepted(int value, int length, int blockCount);
int ClampWhiteLevel(int value);  // 10 .. 255
int ClampLinePar(int value);     // at most 100

struct BarSpan {
  int x0 = 0, x1 = 0;  // x1 excluded
  bool operator==(const BarSpan&) const = default;
};

struct BarExtent {
  int width = 0;  // the bar's length in pixels along its direction (W, or H when vertical)
  std::uint64_t position = 0, max = 100;
  bool smooth = false;  // block mode
  bool flat = false;
  int blockCount = 10;
  int blockSpace = 1;
};
// The spans to draw: one span from 2 to the bar end, or the blocks reached by the
// percentage. Empty when max or position is 0.
std::vector<BarSpan> BarSpans(const BarExtent& e);

struct ColoredRow {
  int y = 0;
  TColor color = 0;
  bool operator==(const ColoredRow&) const = default;
};

// Rows of the btGradetion / btGradetion2 bars of a bar `height` pixels high, from
// the bottom up; `darkBar` is the bar colour darkened by 64.
std::vector<ColoredRow> GradientBarRows(int height, TColor darkBar, bool secondStyle);
// The top row T of the tinted band of btGradetion2.
int Gradient2Top(int height);

struct Win7Rows {
  int top = 0;          // first gradient row T
  int lightBottom = 0;  // light tint covers rows 2 .. lightBottom - 1
  int pressBottom = 0;  // press tint covers rows lightBottom .. pressBottom - 1 (may be empty)
  std::vector<ColoredRow> rows;  // gradient rows, top down
};
Win7Rows Win7BarRows(int height, TColor darkBar);

}  // namespace glyphwell::controls::progress
