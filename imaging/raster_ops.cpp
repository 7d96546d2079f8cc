#include "imaging/raster_ops.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <optional>
#include <utility>

namespace glyphwell::imaging {

namespace {

struct PointF {
  double x = 0;
  double y = 0;
};

// Spans of one shape collected per row and merged, so that overlapping pieces (the
// segments and joints of a wide polyline) produce every pixel once.
class SpanUnion {
 public:
  void add(int y, int x0, int x1) {
    if (x0 < x1) rows_[y].emplace_back(x0, x1);
  }
  SpanSink sink() {
    return [this](int y, int x0, int x1) { add(y, x0, x1); };
  }
  void emit(const SpanSink& sink) {
    for (auto& [y, spans] : rows_) {
      std::sort(spans.begin(), spans.end());
      int start = spans.front().first, end = spans.front().second;
      for (const auto& [x0, x1] : spans) {
        if (x0 > end) {
          sink(y, start, end);
          start = x0;
        }
        end = std::max(end, x1);
      }
      sink(y, start, end);
    }
  }

 private:
  std::map<int, std::vector<std::pair<int, int>>> rows_;
};

// The first pixel whose centre is at or right of a, as an integer column.
int FirstCovered(double a) {
  return static_cast<int>(std::ceil(a - 0.5));
}

void EmitClipped(const Box& clip, const SpanSink& sink, int y, int x0, int x1) {
  if (y < clip.top || y >= clip.bottom) return;
  x0 = std::max(x0, clip.left);
  x1 = std::min(x1, clip.right);
  if (x0 < x1) sink(y, x0, x1);
}

// Continuous x-extent [a, b) of a convex shape at the height of a row's pixel centres.
using RowExtent = std::function<std::optional<std::pair<double, double>>(double py)>;

void ConvexSpans(double top, double bottom, const RowExtent& extent, const Box& clip,
                 const SpanSink& sink) {
  const int y0 = std::max(clip.top, FirstCovered(top));
  const int y1 = std::min(clip.bottom, FirstCovered(bottom));
  for (int y = y0; y < y1; ++y) {
    const auto e = extent(y + 0.5);
    if (e) EmitClipped(clip, sink, y, FirstCovered(e->first), FirstCovered(e->second));
  }
}

RowExtent EllipseExtent(double cx, double cy, double rx, double ry) {
  return [=](double py) -> std::optional<std::pair<double, double>> {
    if (rx <= 0 || ry <= 0) return std::nullopt;
    const double dy = (py - cy) / ry;
    if (dy <= -1 || dy >= 1) return std::nullopt;
    const double half = rx * std::sqrt(1 - dy * dy);
    return std::make_pair(cx - half, cx + half);
  };
}

RowExtent RoundRectExtent(const Box& r, int cornerWidth, int cornerHeight) {
  const double a = std::clamp(cornerWidth / 2.0, 0.0, r.width() / 2.0);
  const double b = std::clamp(cornerHeight / 2.0, 0.0, r.height() / 2.0);
  return [=](double py) -> std::optional<std::pair<double, double>> {
    if (py < r.top || py >= r.bottom) return std::nullopt;
    if (a <= 0 || b <= 0 || (py >= r.top + b && py <= r.bottom - b))
      return std::make_pair(double(r.left), double(r.right));
    const double cy = py < r.top + b ? r.top + b : r.bottom - b;
    const double dy = (py - cy) / b;
    if (dy <= -1 || dy >= 1) return std::nullopt;
    const double half = a * std::sqrt(1 - dy * dy);
    return std::make_pair(r.left + a - half, r.right - a + half);
  };
}

RowExtent ExtentOf(OutlineShape shape, const Box& r, int cornerWidth, int cornerHeight) {
  switch (shape) {
    case OutlineShape::kEllipse:
      return EllipseExtent((r.left + r.right) / 2.0, (r.top + r.bottom) / 2.0, r.width() / 2.0,
                           r.height() / 2.0);
    case OutlineShape::kRoundRect:
      return RoundRectExtent(r, cornerWidth, cornerHeight);
    case OutlineShape::kRectangle:
      break;
  }
  return RoundRectExtent(r, 0, 0);
}

void PolygonSpansF(const std::vector<std::vector<PointF>>& rings, FillRule rule, const Box& clip,
                   const SpanSink& sink) {
  struct Edge {
    PointF a, b;
    double lo, hi;  // the edge's y range
  };
  std::vector<Edge> edges;
  double top = 0, bottom = 0;
  bool first = true;
  for (const auto& ring : rings) {
    for (std::size_t i = 0; i < ring.size(); ++i) {
      const PointF& a = ring[i];
      const PointF& b = ring[(i + 1) % ring.size()];
      if (first) top = bottom = a.y;
      first = false;
      top = std::min(top, a.y);
      bottom = std::max(bottom, a.y);
      if (a.y != b.y) edges.push_back({a, b, std::min(a.y, b.y), std::max(a.y, b.y)});
    }
  }
  if (edges.empty()) return;
  // Edges enter the active list in order of their top and leave it below their bottom,
  // so each row only looks at the edges that can cross it.
  std::sort(edges.begin(), edges.end(), [](const Edge& l, const Edge& r) { return l.lo < r.lo; });
  const int y0 = std::max(clip.top, FirstCovered(top));
  const int y1 = std::min(clip.bottom, FirstCovered(bottom));
  std::vector<const Edge*> active;
  std::size_t next = 0;
  std::vector<std::pair<double, int>> crossings;
  for (int y = y0; y < y1; ++y) {
    const double py = y + 0.5;
    while (next < edges.size() && edges[next].lo <= py)
      active.push_back(&edges[next++]);
    std::erase_if(active, [py](const Edge* e) { return py >= e->hi; });
    crossings.clear();
    for (const Edge* e : active) {
      const double x = e->a.x + (py - e->a.y) * (e->b.x - e->a.x) / (e->b.y - e->a.y);
      crossings.emplace_back(x, e->b.y > e->a.y ? 1 : -1);
    }
    std::sort(crossings.begin(), crossings.end());
    int winding = 0;
    double start = 0;
    for (std::size_t i = 0; i < crossings.size(); ++i) {
      const bool wasInside = rule == FillRule::kEvenOdd ? (i % 2 == 1) : winding != 0;
      winding += crossings[i].second;
      const bool isInside = rule == FillRule::kEvenOdd ? (i % 2 == 0) : winding != 0;
      if (!wasInside && isInside) start = crossings[i].first;
      if (wasInside && !isInside)
        EmitClipped(clip, sink, y, FirstCovered(start), FirstCovered(crossings[i].first));
    }
  }
}

// Cuts the segment a-b to the rectangle (parametric clipping); false when it misses.
bool ClipSegment(PointF& a, PointF& b, const Box& r) {
  double t0 = 0, t1 = 1;
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x - r.left, r.right - a.x, a.y - r.top, r.bottom - a.y};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0)
      t0 = std::max(t0, t);
    else
      t1 = std::min(t1, t);
  }
  if (t0 > t1) return false;
  b = {a.x + t1 * dx, a.y + t1 * dy};
  a = {a.x + t0 * dx, a.y + t0 * dy};
  return true;
}

// Pixels of a Bresenham line, b included or not.
void ThinLine(Point a, Point b, bool includeEnd, const Box& clip, const SpanSink& sink) {
  if (clip.empty()) return;
  // A line reaching far outside the clip is cut to a margin around it first, so that
  // the walk below never takes more steps than the clip is wide and high.
  const long reach = 2L * (static_cast<long>(clip.width()) + clip.height()) + 8;
  if (std::labs(static_cast<long>(b.x) - a.x) > reach ||
      std::labs(static_cast<long>(b.y) - a.y) > reach) {
    PointF fa{double(a.x), double(a.y)}, fb{double(b.x), double(b.y)};
    if (!ClipSegment(fa, fb, clip.inflated(2))) return;
    const Point na{static_cast<int>(std::lround(fa.x)), static_cast<int>(std::lround(fa.y))};
    const Point nb{static_cast<int>(std::lround(fb.x)), static_cast<int>(std::lround(fb.y))};
    if (!(nb == b)) includeEnd = true;  // the cut end lies outside the clip anyway
    a = na;
    b = nb;
  }
  const long dx = std::labs(static_cast<long>(b.x) - a.x);
  const long dy = -std::labs(static_cast<long>(b.y) - a.y);
  const int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
  long err = dx + dy;
  long x = a.x, y = a.y;
  for (long steps = std::max(dx, -dy); steps >= 0; --steps) {
    const bool last = x == b.x && y == b.y;
    if (last && !includeEnd) break;
    if (y >= clip.top && y < clip.bottom && x >= clip.left && x < clip.right)
      sink(static_cast<int>(y), static_cast<int>(x), static_cast<int>(x) + 1);
    if (last) break;
    const long e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
}

// A wide segment between pixel centres: a band of the width plus round ends.
void WideSegment(Point a, Point b, int width, const Box& clip, const SpanSink& sink) {
  const double r = width / 2.0;
  const PointF pa{a.x + 0.5, a.y + 0.5}, pb{b.x + 0.5, b.y + 0.5};
  const double dx = pb.x - pa.x, dy = pb.y - pa.y;
  const double length = std::hypot(dx, dy);
  if (length > 0) {
    const double nx = -dy / length * r, ny = dx / length * r;
    PolygonSpansF({{{pa.x + nx, pa.y + ny},
                    {pb.x + nx, pb.y + ny},
                    {pb.x - nx, pb.y - ny},
                    {pa.x - nx, pa.y - ny}}},
                  FillRule::kNonZero, clip, sink);
  }
  for (const PointF& p : {pa, pb})
    ConvexSpans(p.y - r, p.y + r, EllipseExtent(p.x, p.y, r, r), clip, sink);
}

}  // namespace

Box Box::normalized() const {
  return Box{std::min(left, right), std::min(top, bottom), std::max(left, right),
             std::max(top, bottom)};
}

Box Box::intersected(const Box& o) const {
  return Box{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
             std::min(bottom, o.bottom)};
}

Box BoundsOf(const Bitmap& image) {
  return Box{0, 0, image.width(), image.height()};
}

void RectSpans(const Box& rect, const Box& clip, const SpanSink& sink) {
  const Box r = rect.intersected(clip);
  if (r.empty()) return;
  for (int y = r.top; y < r.bottom; ++y)
    sink(y, r.left, r.right);
}

void EllipseSpans(const Box& rect, const Box& clip, const SpanSink& sink) {
  const Box r = rect.normalized();
  ConvexSpans(r.top, r.bottom, ExtentOf(OutlineShape::kEllipse, r, 0, 0), clip, sink);
}

void RoundRectSpans(const Box& rect, int cornerWidth, int cornerHeight, const Box& clip,
                    const SpanSink& sink) {
  const Box r = rect.normalized();
  ConvexSpans(r.top, r.bottom, RoundRectExtent(r, std::abs(cornerWidth), std::abs(cornerHeight)),
              clip, sink);
}

void OutlineSpans(OutlineShape shape, const Box& rect, int width, int cornerWidth, int cornerHeight,
                  const Box& clip, const SpanSink& sink) {
  const Box outer = rect.normalized();
  if (width < 1) width = 1;
  const Box innerRect = outer.inflated(-width);
  const RowExtent outerExtent =
      ExtentOf(shape, outer, std::abs(cornerWidth), std::abs(cornerHeight));
  const RowExtent innerExtent =
      innerRect.empty()
          ? RowExtent([](double) { return std::optional<std::pair<double, double>>(); })
          : ExtentOf(shape, innerRect, std::max(0, std::abs(cornerWidth) - 2 * width),
                     std::max(0, std::abs(cornerHeight) - 2 * width));
  const int y0 = std::max(clip.top, outer.top), y1 = std::min(clip.bottom, outer.bottom);
  for (int y = y0; y < y1; ++y) {
    const auto o = outerExtent(y + 0.5);
    if (!o) continue;
    const int o0 = FirstCovered(o->first), o1 = FirstCovered(o->second);
    const auto i = innerExtent(y + 0.5);
    int i0 = o1, i1 = o1;
    if (i) {
      i0 = std::clamp(FirstCovered(i->first), o0, o1);
      i1 = std::clamp(FirstCovered(i->second), i0, o1);
    }
    if (i0 >= i1) {
      EmitClipped(clip, sink, y, o0, o1);
    } else {
      EmitClipped(clip, sink, y, o0, i0);
      EmitClipped(clip, sink, y, i1, o1);
    }
  }
}

void PolygonSpans(std::span<const std::vector<Point>> rings, FillRule rule, const Box& clip,
                  const SpanSink& sink) {
  std::vector<std::vector<PointF>> converted;
  for (const auto& ring : rings) {
    std::vector<PointF> points;
    for (const Point& p : ring)
      points.push_back({double(p.x), double(p.y)});
    converted.push_back(std::move(points));
  }
  PolygonSpansF(converted, rule, clip, sink);
}

void LineSpans(Point a, Point b, int width, bool includeEnd, const Box& clip,
               const SpanSink& sink) {
  if (width <= 1) {
    ThinLine(a, b, includeEnd, clip, sink);
    return;
  }
  SpanUnion pieces;
  WideSegment(a, b, width, clip, pieces.sink());
  pieces.emit(sink);
}

void PolylineSpans(std::span<const Point> points, int width, bool closed, const Box& clip,
                   const SpanSink& sink, bool includeEnd) {
  if (points.empty()) return;
  const std::size_t segments = closed ? points.size() : points.size() - 1;
  if (width <= 1) {
    if (points.size() == 1) ThinLine(points[0], points[0], true, clip, sink);
    for (std::size_t i = 0; i < segments; ++i) {
      const bool lastOpen = !closed && i + 1 == segments;
      ThinLine(points[i], points[(i + 1) % points.size()], lastOpen && includeEnd, clip, sink);
    }
    return;
  }
  SpanUnion pieces;
  if (points.size() == 1) WideSegment(points[0], points[0], width, clip, pieces.sink());
  for (std::size_t i = 0; i < segments; ++i)
    WideSegment(points[i], points[(i + 1) % points.size()], width, clip, pieces.sink());
  pieces.emit(sink);
}

void FillSpansWith(Bitmap& image, ColourValue colour, int y, int x0, int x1) {
  for (int x = x0; x < x1; ++x)
    image.setPixelColour(x, y, colour);
}

namespace {
SpanSink ColourSink(Bitmap& image, ColourValue colour) {
  return [&image, colour](int y, int x0, int x1) { FillSpansWith(image, colour, y, x0, x1); };
}
}  // namespace

void FillRect(Bitmap& image, const Box& rect, ColourValue colour) {
  RectSpans(rect.normalized(), BoundsOf(image), ColourSink(image, colour));
}

void FillEllipse(Bitmap& image, const Box& rect, ColourValue colour) {
  EllipseSpans(rect, BoundsOf(image), ColourSink(image, colour));
}

void FillPolygon(Bitmap& image, std::span<const std::vector<Point>> rings, FillRule rule,
                 ColourValue colour) {
  PolygonSpans(rings, rule, BoundsOf(image), ColourSink(image, colour));
}

void DrawLine(Bitmap& image, Point a, Point b, int width, ColourValue colour, bool includeEnd) {
  LineSpans(a, b, width, includeEnd, BoundsOf(image), ColourSink(image, colour));
}

void DrawRectangle(Bitmap& image, const Box& rect, int width, ColourValue colour) {
  OutlineSpans(OutlineShape::kRectangle, rect, width, 0, 0, BoundsOf(image),
               ColourSink(image, colour));
}

void DrawEllipse(Bitmap& image, const Box& rect, int width, ColourValue colour) {
  OutlineSpans(OutlineShape::kEllipse, rect, width, 0, 0, BoundsOf(image),
               ColourSink(image, colour));
}

}  // namespace glyphwell::imaging
