#include "controls/progress_bar_layout.h"

#include <algorithm>
#include <climits>

#include "controls/gradient_ramp.h"

namespace glyphwell::controls::progress {

int PercentDone(std::uint64_t min, std::uint64_t max, std::uint64_t position) {
  if (max <= min || position <= min) return 0;
  const double done = static_cast<double>(position - min) * 100.0 / static_cast<double>(max - min);
  return static_cast<int>(done);
}

int ParValue(std::uint64_t position, std::uint64_t max) {
  if (max == 0) return 0;
  const unsigned __int128 scaled = static_cast<unsigned __int128>(position) * 100u;
  return static_cast<int>(scaled / max);
}

std::uint64_t ClampMin(std::uint64_t value, std::uint64_t max) {
  return value > max ? max : value;
}

std::uint64_t ClampMax(std::uint64_t value, std::uint64_t min) {
  if (value < min) value = min;
  if (value == 0) value = 1;
  return value;
}

int ClampStep(int value, std::uint64_t max) {
  if (value >= 0 && static_cast<std::uint64_t>(value) > max) return static_cast<int>(max);
  return value;
}

int ClampBlockCount(int value, int length) {
  if (value <= 0 || length / value < 1) return 1;
  return value;
}

bool BlockSpaceAccepted(int value, int length, int blockCount) {
  if (blockCount <= 0) return false;
  return value < ((length - 1) / blockCount) / 2;
}

int ClampWhiteLevel(int value) {
  return std::clamp(value, 10, 255);
}

int ClampLinePar(int value) {
  return std::min(value, 100);
}

std::vector<BarSpan> BarSpans(const BarExtent& e) {
  std::vector<BarSpan> spans;
  if (e.max == 0 || e.position == 0) return spans;
  const int inner = e.width - 3 - (e.smooth ? 1 : 0);
  if (!e.smooth) {
    double end =
        static_cast<double>(inner) * static_cast<double>(e.position) / static_cast<double>(e.max);
    if (e.flat) end += 1.0;
    spans.push_back({2, static_cast<int>(end)});
    return spans;
  }
  const int count = std::max(1, e.blockCount);
  const double block = static_cast<double>(inner) / count;
  const int percent = ParValue(e.position, e.max);
  double x = 2.0;
  for (int i = 1; i <= count; ++i) {
    if (i * 100 / count <= percent) {
      spans.push_back({static_cast<int>(x), static_cast<int>(x + block - e.blockSpace)});
    }
    x += block;
  }
  return spans;
}

int Gradient2Top(int height) {
  return (40 * height - 160) / 100;
}

std::vector<ColoredRow> GradientBarRows(int height, TColor darkBar, bool secondStyle) {
  const int count = std::max(1, height - 4);
  const int keepStart = secondStyle ? count * 10 / 100 : 0;
  const int top = secondStyle ? Gradient2Top(height) : INT32_MIN;
  GradientRamp ramp(GradientRamp::StartFrom(darkBar), GradientRamp::StepFor(height));
  std::vector<ColoredRow> rows;
  for (int i = 0; i < count; ++i) {
    const int y = height - 3 - i;
    if (y >= top) rows.push_back({y, ramp.Current()});
    if (i >= keepStart) ramp.Advance();
  }
  return rows;
}

Win7Rows Win7BarRows(int height, TColor darkBar) {
  Win7Rows out;
  out.top = (40 * height - 160) / 100 + 2;
  const int count = std::max(1, height - out.top);
  GradientRamp ramp(GradientRamp::StartFrom(darkBar), GradientRamp::StepFor(height));
  for (int i = 0; i < count; ++i) {
    out.rows.push_back({out.top + i, ramp.Current()});
    ramp.Advance();
  }
  // floor, also for the negative values of very small bars
  const int diff = out.top - 2;
  const int k = diff >= 0 ? diff / 2 : -((-diff + 1) / 2);
  if (k > 1) {
    out.lightBottom = k + 2;
    out.pressBottom = out.top;
  } else {
    out.lightBottom = out.top;
    out.pressBottom = out.top;
  }
  return out;
}

}  // namespace glyphwell::controls::progress
