#pragma once
// Small raster helpers: the pixel coverage of rectangles, rounded rectangles,
// ellipses, polygons and lines of any width, and filling that coverage into a Bitmap.
//
// Every shape is produced as horizontal spans: the callback receives (y, x0, x1) for
// the pixels x0 <= x < x1 of row y, already clipped to the clip rectangle, each pixel
// at most once per shape. Callers that need more than a plain colour (patterns, XOR,
// masks, alpha) write their own span callback; the Fill* and Draw* helpers cover the
// common case of one colour written with Bitmap::setPixelColour (nearest table entry
// for indexed images, alpha kept for 32-bit images).
//
// Coordinates are pixels, y down. Rectangles are half-open: [left, right) x [top,
// bottom). A pixel belongs to a filled shape when its centre (x + 0.5, y + 0.5) lies
// inside the shape.

#include <functional>
#include <span>
#include <vector>

#include "imaging/bitmap.h"

namespace glyphwell::imaging {

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Box {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool empty() const { return right <= left || bottom <= top; }
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  // The same rectangle with left <= right and top <= bottom.
  Box normalized() const;
  Box intersected(const Box& other) const;
  // Grown by d on every side (shrunk for negative d).
  Box inflated(int d) const { return Box{left - d, top - d, right + d, bottom + d}; }
  friend bool operator==(const Box&, const Box&) = default;
};

// The whole image as a clip rectangle.
Box BoundsOf(const Bitmap& image);

using SpanSink = std::function<void(int y, int x0, int x1)>;

enum class FillRule { kEvenOdd, kNonZero };

// Coverage producers. `clip` bounds every span.
void RectSpans(const Box& rect, const Box& clip, const SpanSink& sink);
// Ellipse inscribed in `rect`.
void EllipseSpans(const Box& rect, const Box& clip, const SpanSink& sink);
// Rectangle with corners rounded by ellipses of cornerWidth x cornerHeight.
void RoundRectSpans(const Box& rect, int cornerWidth, int cornerHeight, const Box& clip,
                    const SpanSink& sink);
// The band between an outer shape and the same shape shrunk by `width` on every side
// (the outline of a rectangle, rounded rectangle or ellipse drawn with a pen of that
// width inside the shape's bounds). cornerWidth/Height 0 gives a rectangle, and
// `ellipse` an ellipse.
enum class OutlineShape { kRectangle, kRoundRect, kEllipse };
void OutlineSpans(OutlineShape shape, const Box& rect, int width, int cornerWidth, int cornerHeight,
                  const Box& clip, const SpanSink& sink);
// One or more closed rings filled together by the rule.
void PolygonSpans(std::span<const std::vector<Point>> rings, FillRule rule, const Box& clip,
                  const SpanSink& sink);
// A line from a to b. Width 1: the pixels of the Bresenham line (b itself only when
// includeEnd). Wider: a band of that width centred on the line with round ends.
void LineSpans(Point a, Point b, int width, bool includeEnd, const Box& clip, const SpanSink& sink);
// Connected lines through the points (closed: back to the first). Wide lines get
// round joins; no pixel is produced twice. A thin open polyline ends on its last
// point only when includeEnd (the platform's polyline leaves it out, as LineTo does).
void PolylineSpans(std::span<const Point> points, int width, bool closed, const Box& clip,
                   const SpanSink& sink, bool includeEnd = true);

// Plain-colour helpers over the whole image.
void FillSpansWith(Bitmap& image, ColourValue colour, int y, int x0, int x1);
void FillRect(Bitmap& image, const Box& rect, ColourValue colour);
void FillEllipse(Bitmap& image, const Box& rect, ColourValue colour);
void FillPolygon(Bitmap& image, std::span<const std::vector<Point>> rings, FillRule rule,
                 ColourValue colour);
void DrawLine(Bitmap& image, Point a, Point b, int width, ColourValue colour,
              bool includeEnd = true);
void DrawRectangle(Bitmap& image, const Box& rect, int width, ColourValue colour);
void DrawEllipse(Bitmap& image, const Box& rect, int width, ColourValue colour);

}  // namespace glyphwell::imaging
