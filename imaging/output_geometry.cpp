#include "imaging/output_geometry.h"

#include <cstdint>

namespace glyphwell::imaging {

namespace {

constexpr int kFixedSizes[] = {16, 24, 32, 48, 64};

}  // namespace

int OutputSize(SizeChoice choice, int userWidth, int userHeight, int sourceWidth, int sourceHeight,
               Axis axis) {
  bool width = axis == Axis::Width;
  switch (choice) {
    case SizeChoice::Size16:
    case SizeChoice::Size24:
    case SizeChoice::SystemLarge:
    case SizeChoice::Size48:
      // The system-size item is captioned with the desktop's large icon size, but
      // the icons written are always 32 pixels.
      return kFixedSizes[static_cast<int>(choice)];
    case SizeChoice::User:
      return width ? userWidth : userHeight;
    case SizeChoice::Original:
      return width ? sourceWidth : sourceHeight;
  }
  return 32;
}

Size OutputDimensions(const ConversionSettings& s, int sourceWidth, int sourceHeight) {
  return {
      OutputSize(s.sizeChoice, s.userWidth, s.userHeight, sourceWidth, sourceHeight, Axis::Width),
      OutputSize(s.sizeChoice, s.userWidth, s.userHeight, sourceWidth, sourceHeight, Axis::Height)};
}

Rect FitRect(int tw, int th, int sw, int sh) {
  if (sw <= 0 || sh <= 0 || tw <= 0 || th <= 0) return {};
  std::int64_t e = static_cast<std::int64_t>(tw) * 100 / sw;
  std::int64_t f = static_cast<std::int64_t>(th) * 100 / sh;
  if (e == f) return {0, 0, tw, th};
  std::int64_t s = sw < sh ? f : e;
  // trunc(sw * s * 0.01) computed exactly: the product is a whole number of
  // hundredths, which floating point could land a hair below.
  std::int64_t w = sw * s / 100;
  std::int64_t h = s * sh / 100;
  std::int64_t overrun = 0;
  if (tw < w)
    overrun = w - tw;
  else if (th < h)
    overrun = h - th;
  w -= overrun;
  h -= overrun;
  // A very thin source must not vanish from the output.
  if (w < 1) w = 1;
  if (h < 1) h = 1;
  Rect r;
  r.w = static_cast<int>(w);
  r.h = static_cast<int>(h);
  r.x = (tw - r.w) >> 1;
  r.y = (th - r.h) >> 1;
  return r;
}

}  // namespace glyphwell::imaging
