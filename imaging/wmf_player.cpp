#include "imaging/wmf_player.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "imaging/bmp_codec.h"
#include "imaging/raster_ops.h"
#include "imaging/wmf_records.h"

namespace glyphwell::imaging {

namespace {

using wmf::Record;

constexpr int kPixelsPerInch = 96;
constexpr std::size_t kMaxObjects = 65535;
constexpr std::size_t kMaxSavedStates = 1024;

enum MapMode {
  kMmText = 1,
  kMmLoMetric = 2,
  kMmHiMetric = 3,
  kMmLoEnglish = 4,
  kMmHiEnglish = 5,
  kMmTwips = 6,
  kMmIsotropic = 7,
  kMmAnisotropic = 8,
};

enum PenStyle { kPsNull = 5 };
enum BrushStyle { kBsSolid = 0, kBsNull = 1, kBsHatched = 2, kBsPattern = 3, kBsDibPattern = 5 };
enum BkMode { kTransparent = 1, kOpaque = 2 };

// Raster operations of the blit records.
constexpr std::uint32_t kBlackness = 0x00000042;
constexpr std::uint32_t kWhiteness = 0x00FF0062;
constexpr std::uint32_t kDstInvert = 0x00550009;
constexpr std::uint32_t kPatInvert = 0x005A0049;
constexpr std::uint32_t kSrcAnd = 0x008800C6;
constexpr std::uint32_t kSrcPaint = 0x00EE0086;
constexpr std::uint32_t kSrcInvert = 0x00660046;
constexpr std::uint32_t kNotSrcCopy = 0x00330008;

ColourValue ColourRef(std::uint32_t v) {
  return MakeColour(static_cast<int>(v & 255), static_cast<int>((v >> 8) & 255),
                    static_cast<int>((v >> 16) & 255));
}

struct Pen {
  bool visible = true;
  int width = 0;  // logical units; 0 is one pixel
  ColourValue colour = kBlack;
};

struct Brush {
  int style = kBsSolid;
  ColourValue colour = kWhite;
  int hatch = 0;
  std::shared_ptr<const Bitmap> pattern;
};

struct GdiObject {
  enum Kind { kPen, kBrush, kOther } kind = kOther;
  Pen pen;
  Brush brush;
};

struct DcState {
  Pen pen;
  Brush brush;
  ColourValue bkColour = kWhite;
  int bkMode = kOpaque;
  FillRule fillRule = FillRule::kEvenOdd;
  int mapMode = kMmAnisotropic;
  int windowOrgX = 0, windowOrgY = 0, windowExtX = 1, windowExtY = 1;
  int viewportOrgX = 0, viewportOrgY = 0;
  Point position;
  Box clip;
};

// True when the hatch pattern sets pixel (x, y) (8-pixel cells).
bool HatchAt(int hatch, int x, int y) {
  const int h = ((y % 8) + 8) % 8, v = ((x % 8) + 8) % 8;
  const int f = (((x - y) % 8) + 8) % 8, b = (((x + y) % 8) + 8) % 8;
  switch (hatch) {
    case 0:
      return h == 0;
    case 1:
      return v == 0;
    case 2:
      return f == 0;
    case 3:
      return b == 0;
    case 4:
      return h == 0 || v == 0;
    default:
      return f == 0 || b == 0;
  }
}

class Player {
 public:
  Player(const wmf::Layout& layout, WmfSize size)
      : canvas_(size.width, size.height, 32),
        size_(size),
        budget_(std::int64_t{64} * size.width * size.height + (std::int64_t{1} << 24)) {
    objects_.resize(std::max<std::size_t>(layout.objectCount, 1));
    state_.clip = BoundsOf(canvas_);
    state_.windowExtX = size.width;
    state_.windowExtY = size.height;
    if (layout.placeable) {
      state_.windowOrgX = layout.left;
      state_.windowOrgY = layout.top;
      state_.windowExtX = layout.right - layout.left;
      state_.windowExtY = layout.bottom - layout.top;
    }
  }

  Bitmap take() { return std::move(canvas_); }
  // True once the records have asked for far more drawing than the picture's area
  // could need; playing stops there so that a hostile file cannot keep us busy.
  bool exhausted() const { return budget_ < 0; }

  void play(const Record& r) {
    switch (r.function()) {
      case wmf::kSetWindowOrg:
        if (r.has(2)) state_.windowOrgX = r.s16(1), state_.windowOrgY = r.s16(0);
        break;
      case wmf::kOffsetWindowOrg:
        if (r.has(2)) state_.windowOrgX += r.s16(1), state_.windowOrgY += r.s16(0);
        break;
      case wmf::kSetWindowExt:
        if (r.has(2)) state_.windowExtX = r.s16(1), state_.windowExtY = r.s16(0);
        break;
      case wmf::kSetViewportOrg:
        if (r.has(2)) state_.viewportOrgX = r.s16(1), state_.viewportOrgY = r.s16(0);
        break;
      case wmf::kSetMapMode:
        if (r.has(1)) state_.mapMode = r.u16(0);
        break;
      case wmf::kSetBkColor:
        if (r.has(2)) state_.bkColour = ColourRef(r.u32(0));
        break;
      case wmf::kSetBkMode:
        if (r.has(1)) state_.bkMode = r.u16(0);
        break;
      case wmf::kSetPolyFillMode:
        if (r.has(1)) state_.fillRule = r.u16(0) == 2 ? FillRule::kNonZero : FillRule::kEvenOdd;
        break;
      case wmf::kSaveDc:
        if (saved_.size() < kMaxSavedStates) saved_.push_back(state_);
        break;
      case wmf::kRestoreDc:
        if (r.has(1)) restore(r.s16(0));
        break;
      case wmf::kCreatePenIndirect:
        createPen(r);
        break;
      case wmf::kCreateBrushIndirect:
        createBrush(r);
        break;
      case wmf::kDibCreatePatternBrush:
        createPatternBrush(r);
        break;
      case wmf::kCreateFontIndirect:
      case wmf::kCreatePalette:
      case wmf::kCreatePatternBrush:
      case wmf::kCreateRegion:
        // Not drawn, but they take a slot of the object table like any other object.
        addObject(GdiObject{});
        break;
      case wmf::kSelectObject:
        if (r.has(1)) select(r.u16(0));
        break;
      case wmf::kDeleteObject:
        if (r.has(1) && r.u16(0) < objects_.size()) objects_[r.u16(0)].reset();
        break;
      case wmf::kIntersectClipRect:
        if (r.has(4))
          state_.clip = state_.clip.intersected(mapRect(r.s16(3), r.s16(2), r.s16(1), r.s16(0)));
        break;
      case wmf::kMoveTo:
        if (r.has(2)) state_.position = map(r.s16(1), r.s16(0));
        break;
      case wmf::kLineTo:
        if (r.has(2)) lineTo(map(r.s16(1), r.s16(0)));
        break;
      case wmf::kRectangle:
        if (r.has(4))
          shape(OutlineShape::kRectangle, mapRect(r.s16(3), r.s16(2), r.s16(1), r.s16(0)), 0, 0);
        break;
      case wmf::kRoundRect:
        if (r.has(6))
          shape(OutlineShape::kRoundRect, mapRect(r.s16(5), r.s16(4), r.s16(3), r.s16(2)),
                scaleX(r.s16(1)), scaleY(r.s16(0)));
        break;
      case wmf::kEllipse:
        if (r.has(4))
          shape(OutlineShape::kEllipse, mapRect(r.s16(3), r.s16(2), r.s16(1), r.s16(0)), 0, 0);
        break;
      case wmf::kPolygon:
      case wmf::kPolyline:
        polyline(r);
        break;
      case wmf::kPolyPolygon:
        polyPolygon(r);
        break;
      case wmf::kSetPixel:
        if (r.has(4)) {
          const Point p = map(r.s16(3), r.s16(2));
          RectSpans({p.x, p.y, p.x + 1, p.y + 1}, state_.clip, solid(ColourRef(r.u32(0))));
        }
        break;
      case wmf::kPatBlt:
        if (r.has(6)) patBlt(r.u32(0), r.s16(5), r.s16(4), r.s16(3), r.s16(2));
        break;
      case wmf::kDibBitBlt:
        dibBitBlt(r);
        break;
      case wmf::kDibStretchBlt:
        if (r.has(10))
          blit(r.u32(0), r.tail(10), false, r.s16(5), r.s16(4), r.s16(3), r.s16(2), r.s16(9),
               r.s16(8), r.s16(7), r.s16(6), true);
        break;
      case wmf::kStretchDib:
        if (r.has(11))
          blit(r.u32(0), r.tail(11), true, r.s16(6), r.s16(5), r.s16(4), r.s16(3), r.s16(10),
               r.s16(9), r.s16(8), r.s16(7), true);
        break;
      case wmf::kSetDiBitsToDevice:
        if (r.has(9))
          blit(0x00CC0020, r.tail(9), true, r.s16(4), r.s16(3), r.s16(6), r.s16(5), r.s16(8),
               r.s16(7), r.s16(6), r.s16(5), false);
        break;
      default:
        break;  // text, arcs, regions, palettes and the rest are not drawn
    }
  }

 private:
  // Logical to device coordinates under the current mapping mode.
  double scaleXFactor() const {
    if (state_.mapMode == kMmText) return 1;
    if (const double fixed = fixedScale(); fixed > 0) return fixed;
    const double sx = state_.windowExtX ? double(size_.width) / state_.windowExtX : 1;
    if (state_.mapMode == kMmIsotropic) return std::copysign(isotropic(), sx);
    return sx;
  }
  double scaleYFactor() const {
    if (state_.mapMode == kMmText) return 1;
    if (const double fixed = fixedScale(); fixed > 0) return -fixed;  // y grows upwards
    const double sy = state_.windowExtY ? double(size_.height) / state_.windowExtY : 1;
    if (state_.mapMode == kMmIsotropic) return std::copysign(isotropic(), sy);
    return sy;
  }
  double isotropic() const {
    const double sx = state_.windowExtX ? std::abs(double(size_.width) / state_.windowExtX) : 1;
    const double sy = state_.windowExtY ? std::abs(double(size_.height) / state_.windowExtY) : 1;
    return std::min(sx, sy);
  }
  // Pixels per logical unit of the fixed-unit mapping modes (0 for the others).
  double fixedScale() const {
    switch (state_.mapMode) {
      case kMmLoMetric:
        return kPixelsPerInch / 254.0;
      case kMmHiMetric:
        return kPixelsPerInch / 2540.0;
      case kMmLoEnglish:
        return kPixelsPerInch / 100.0;
      case kMmHiEnglish:
        return kPixelsPerInch / 1000.0;
      case kMmTwips:
        return kPixelsPerInch / 1440.0;
      default:
        return 0;
    }
  }
  static int Round(double v) {
    return static_cast<int>(std::clamp(std::floor(v + 0.5), -1e9, 1e9));
  }
  Point map(int x, int y) const {
    return Point{Round(state_.viewportOrgX + (x - state_.windowOrgX) * scaleXFactor()),
                 Round(state_.viewportOrgY + (y - state_.windowOrgY) * scaleYFactor())};
  }
  Box mapRect(int left, int top, int right, int bottom) const {
    const Point a = map(left, top), b = map(right, bottom);
    return Box{a.x, a.y, b.x, b.y}.normalized();
  }
  int scaleX(int v) const { return Round(std::abs(v * scaleXFactor())); }
  int scaleY(int v) const { return Round(std::abs(v * scaleYFactor())); }
  int penWidth() const { return std::max(1, scaleX(state_.pen.width)); }

  SpanSink solid(ColourValue colour) {
    return [this, colour](int y, int x0, int x1) {
      budget_ -= x1 - x0;
      FillSpansWith(canvas_, colour, y, x0, x1);
    };
  }
  SpanSink brushSink() {
    const Brush brush = state_.brush;
    const ColourValue bk = state_.bkColour;
    const bool opaque = state_.bkMode == kOpaque;
    return [this, brush, bk, opaque](int y, int x0, int x1) {
      budget_ -= x1 - x0;
      for (int x = x0; x < x1; ++x) {
        if (brush.style == kBsHatched) {
          if (HatchAt(brush.hatch, x, y))
            canvas_.setPixelColour(x, y, brush.colour);
          else if (opaque)
            canvas_.setPixelColour(x, y, bk);
        } else if (brush.pattern && !brush.pattern->empty()) {
          const Bitmap& p = *brush.pattern;
          canvas_.setPixelColour(x, y, p.pixelColour(x % p.width(), y % p.height()));
        } else {
          canvas_.setPixelColour(x, y, brush.colour);
        }
      }
    };
  }
  bool filling() const { return state_.brush.style != kBsNull; }

  void addObject(GdiObject object) {
    for (auto& slot : objects_)
      if (!slot) {
        slot = std::move(object);
        return;
      }
    // Tables too small for the objects created are tolerated.
    if (objects_.size() < kMaxObjects) objects_.push_back(std::move(object));
  }
  void createPen(const Record& r) {
    if (!r.has(5)) return;
    GdiObject o;
    o.kind = GdiObject::kPen;
    o.pen.visible = (r.u16(0) & 0x0F) != kPsNull;
    o.pen.width = std::abs(r.s16(1));
    o.pen.colour = ColourRef(r.u32(3));
    addObject(std::move(o));
  }
  void createBrush(const Record& r) {
    if (!r.has(4)) return;
    GdiObject o;
    o.kind = GdiObject::kBrush;
    o.brush.style = r.u16(0);
    o.brush.colour = ColourRef(r.u32(1));
    o.brush.hatch = r.u16(3);
    // A pattern brush made without its bitmap paints as a solid brush.
    if (o.brush.style != kBsNull && o.brush.style != kBsHatched) o.brush.style = kBsSolid;
    addObject(std::move(o));
  }
  void createPatternBrush(const Record& r) {
    GdiObject o;
    o.kind = GdiObject::kBrush;
    o.brush.style = kBsDibPattern;
    Bitmap pattern;
    if (r.has(2) && ReadDib(r.tail(2), pattern))
      o.brush.pattern = std::make_shared<const Bitmap>(std::move(pattern));
    else
      o.brush.style = kBsSolid;
    addObject(std::move(o));
  }
  void select(std::size_t index) {
    if (index >= objects_.size() || !objects_[index]) return;
    const GdiObject& o = *objects_[index];
    if (o.kind == GdiObject::kPen) state_.pen = o.pen;
    if (o.kind == GdiObject::kBrush) state_.brush = o.brush;
  }
  void restore(int which) {
    // Negative: that many states back; positive: the state saved as number `which`.
    std::size_t keep = 0;
    if (which < 0) {
      if (static_cast<std::size_t>(-which) > saved_.size()) return;
      keep = saved_.size() + which;
    } else {
      if (which == 0 || static_cast<std::size_t>(which) > saved_.size()) return;
      keep = static_cast<std::size_t>(which) - 1;
    }
    state_ = saved_[keep];
    saved_.resize(keep);
  }

  void lineTo(Point to) {
    if (state_.pen.visible)
      LineSpans(state_.position, to, penWidth(), false, state_.clip, solid(state_.pen.colour));
    state_.position = to;
  }
  void shape(OutlineShape kind, const Box& rect, int cornerWidth, int cornerHeight) {
    if (filling()) {
      if (kind == OutlineShape::kEllipse)
        EllipseSpans(rect, state_.clip, brushSink());
      else
        RoundRectSpans(rect, kind == OutlineShape::kRoundRect ? cornerWidth : 0,
                       kind == OutlineShape::kRoundRect ? cornerHeight : 0, state_.clip,
                       brushSink());
    }
    if (state_.pen.visible)
      OutlineSpans(kind, rect, penWidth(), cornerWidth, cornerHeight, state_.clip,
                   solid(state_.pen.colour));
  }
  std::vector<Point> points(const Record& r, std::size_t firstWord, std::size_t count) const {
    std::vector<Point> out;
    out.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
      out.push_back(map(r.s16(firstWord + 2 * i), r.s16(firstWord + 2 * i + 1)));
    return out;
  }
  void polyline(const Record& r) {
    if (!r.has(1)) return;
    const std::size_t count = r.u16(0);
    if (count == 0 || !r.has(1 + 2 * count)) return;
    const std::vector<Point> pts = points(r, 1, count);
    budget_ -= static_cast<std::int64_t>(count) * std::max(0, state_.clip.height());
    if (exhausted()) return;
    const bool closed = r.function() == wmf::kPolygon;
    if (closed && filling()) {
      const std::vector<std::vector<Point>> rings = {pts};
      PolygonSpans(rings, state_.fillRule, state_.clip, brushSink());
    }
    if (state_.pen.visible)
      PolylineSpans(pts, penWidth(), closed, state_.clip, solid(state_.pen.colour), false);
  }
  void polyPolygon(const Record& r) {
    if (!r.has(1)) return;
    const std::size_t polygons = r.u16(0);
    if (!r.has(1 + polygons)) return;
    std::size_t total = 0;
    for (std::size_t i = 0; i < polygons; ++i)
      total += r.u16(1 + i);
    if (!r.has(1 + polygons + 2 * total)) return;
    budget_ -= static_cast<std::int64_t>(total) * std::max(0, state_.clip.height());
    if (exhausted()) return;
    std::vector<std::vector<Point>> rings;
    std::size_t word = 1 + polygons;
    for (std::size_t i = 0; i < polygons; ++i) {
      const std::size_t count = r.u16(1 + i);
      rings.push_back(points(r, word, count));
      word += 2 * count;
    }
    if (filling()) PolygonSpans(rings, state_.fillRule, state_.clip, brushSink());
    if (state_.pen.visible)
      for (const auto& ring : rings)
        PolylineSpans(ring, penWidth(), true, state_.clip, solid(state_.pen.colour));
  }

  // Applies a raster operation without a source bitmap to the logical rectangle.
  void patBlt(std::uint32_t rop, int x, int y, int width, int height) {
    const Box rect = mapRect(x, y, x + width, y + height);
    switch (rop) {
      case kBlackness:
        RectSpans(rect, state_.clip, solid(kBlack));
        break;
      case kWhiteness:
        RectSpans(rect, state_.clip, solid(kWhite));
        break;
      case kDstInvert:
      case kPatInvert: {
        const ColourValue with = rop == kDstInvert ? kWhite : state_.brush.colour;
        RectSpans(rect, state_.clip, [this, with](int yy, int x0, int x1) {
          budget_ -= x1 - x0;
          for (int xx = x0; xx < x1; ++xx)
            canvas_.setPixelColour(xx, yy, (canvas_.pixelColour(xx, yy) ^ with) & kWhite);
        });
        break;
      }
      default:
        if (filling()) RectSpans(rect, state_.clip, brushSink());
        break;
    }
  }
  void dibBitBlt(const Record& r) {
    // Without a bitmap the record is 9 words long and acts as a pattern blit.
    if (r.words() == 9) {
      patBlt(r.u32(0), r.s16(8), r.s16(7), r.s16(6), r.s16(5));
      return;
    }
    if (!r.has(8)) return;
    const int height = r.s16(4), width = r.s16(5);
    blit(r.u32(0), r.tail(8), false, r.s16(3), r.s16(2), width, height, r.s16(7), r.s16(6), width,
         height, true);
  }

  // Draws the source rectangle of a DIB into the destination rectangle (logical
  // coordinates; device pixels when not `stretch`), nearest sampling, mirrored for
  // negative sizes. `fromBottom`: the source y counts from the DIB's bottom row.
  void blit(std::uint32_t rop, std::span<const std::uint8_t> dib, bool fromBottom, int srcX,
            int srcY, int srcWidth, int srcHeight, int destX, int destY, int destWidth,
            int destHeight, bool stretch) {
    Bitmap source;
    if (!ReadDib(dib, source) || srcWidth == 0 || srcHeight == 0) return;
    const Point origin = map(destX, destY);
    const Point corner = stretch ? map(destX + destWidth, destY + destHeight)
                                 : Point{origin.x + destWidth, origin.y + destHeight};
    const Box rect = Box{origin.x, origin.y, corner.x, corner.y}.normalized();
    const int top = fromBottom ? source.height() - srcY - srcHeight : srcY;
    const double spanX = corner.x - origin.x, spanY = corner.y - origin.y;
    if (spanX == 0 || spanY == 0) return;
    RectSpans(rect, state_.clip, [&](int y, int x0, int x1) {
      budget_ -= x1 - x0;
      const double ty = (y + 0.5 - origin.y) / spanY;
      const int sy = top + static_cast<int>(std::floor(ty * srcHeight));
      if (sy < 0 || sy >= source.height()) return;
      for (int x = x0; x < x1; ++x) {
        const double tx = (x + 0.5 - origin.x) / spanX;
        const int sx = srcX + static_cast<int>(std::floor(tx * srcWidth));
        if (sx < 0 || sx >= source.width()) continue;
        const ColourValue s = source.pixelColour(sx, sy);
        const ColourValue d = canvas_.pixelColour(x, y);
        ColourValue c = s;
        switch (rop) {
          case kSrcAnd:
            c = s & d;
            break;
          case kSrcPaint:
            c = s | d;
            break;
          case kSrcInvert:
            c = s ^ d;
            break;
          case kNotSrcCopy:
            c = ~s & kWhite;
            break;
          default:
            break;
        }
        canvas_.setPixelColour(x, y, c);
      }
    });
  }

  Bitmap canvas_;
  WmfSize size_;
  std::int64_t budget_ = 0;
  DcState state_;
  std::vector<DcState> saved_;
  std::vector<std::optional<GdiObject>> objects_;
};

}  // namespace

std::optional<WmfSize> WmfPlayer::PictureSize(std::span<const std::uint8_t> file) {
  const auto layout = wmf::ReadLayout(file);
  if (!layout) return std::nullopt;
  WmfSize size;
  if (layout->placeable) {
    if (layout->unitsPerInch == 0) return std::nullopt;
    const auto pixels = [&](int a, int b) {
      const std::int64_t units = std::abs(static_cast<std::int64_t>(b) - a);
      return static_cast<int>((units * kPixelsPerInch + layout->unitsPerInch / 2) /
                              layout->unitsPerInch);
    };
    size = {pixels(layout->left, layout->right), pixels(layout->top, layout->bottom)};
  } else {
    wmf::ForEachRecord(file, layout->recordsAt, [&](const Record& r) {
      if (r.function() != wmf::kSetWindowExt || !r.has(2)) return true;
      size = {std::abs(r.s16(1)), std::abs(r.s16(0))};
      return false;
    });
  }
  if (size.width <= 0 || size.height <= 0 || size.width > kMaxSide || size.height > kMaxSide ||
      std::int64_t{size.width} * size.height > kMaxPixels)
    return std::nullopt;
  return size;
}

std::optional<Bitmap> WmfPlayer::Play(std::span<const std::uint8_t> file) {
  const auto size = PictureSize(file);
  if (!size) return std::nullopt;
  const auto layout = wmf::ReadLayout(file);
  Player player(*layout, *size);
  wmf::ForEachRecord(file, layout->recordsAt, [&](const Record& r) {
    player.play(r);
    return !player.exhausted();
  });
  return player.take();
}

}  // namespace glyphwell::imaging
