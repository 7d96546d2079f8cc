#pragma once
// The output size chosen in the main window and the aspect-preserving fit of a
// source inside it.

#include "imaging/conversion_settings.h"

namespace glyphwell::imaging {

struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

struct Size {
  int width = 0, height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

enum class Axis { Width, Height };

// The output width or height for a size choice: 16, 24, 32, 48 for the fixed
// choices (the system-size item always gives 32), the user size for "User", the
// source's own size for "Original".
int OutputSize(SizeChoice choice, int userWidth, int userHeight, int sourceWidth, int sourceHeight,
               Axis axis);
Size OutputDimensions(const ConversionSettings& settings, int sourceWidth, int sourceHeight);

// Where a sw x sh source goes inside a tw x th output, in integer percentages:
// e = tw * 100 / sw, f = th * 100 / sh; equal percentages fill the output; otherwise
// the scale is f for a portrait source and e for the rest, an overrun on one side is
// taken off both sides, and the result is centred. A source that would shrink to
// nothing keeps at least one pixel a side. An empty source gives an empty rectangle.
Rect FitRect(int tw, int th, int sw, int sh);

}  // namespace glyphwell::imaging
