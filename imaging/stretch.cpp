#include "imaging/stretch.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace glyphwell::imaging {

namespace {

bool SameEncoding(const Bitmap& a, const Bitmap& b) {
  return a.bits() == b.bits() && (!a.indexed() || a.colourTable() == b.colourTable());
}

// Colour plus alpha of a source pixel as blue, green, red, alpha bytes.
struct Bgra {
  std::uint8_t b, g, r, a;
};

std::vector<Bgra> ExpandPixels(const Bitmap& source) {
  std::vector<Bgra> out(static_cast<std::size_t>(source.width()) * source.height());
  std::size_t i = 0;
  for (int y = 0; y < source.height(); ++y)
    for (int x = 0; x < source.width(); ++x) {
      ColourValue c = source.pixelColour(x, y);
      out[i++] = Bgra{static_cast<std::uint8_t>(BlueOf(c)), static_cast<std::uint8_t>(GreenOf(c)),
                      static_cast<std::uint8_t>(RedOf(c)),
                      static_cast<std::uint8_t>(source.bits() == 32 ? source.pixelAlpha(x, y) : 0)};
    }
  return out;
}

void PutPixel(Bitmap& dest, int x, int y, const Bgra& p) {
  if (dest.bits() == 32) {
    std::uint8_t* q = dest.row(y) + 4 * x;
    q[0] = p.b;
    q[1] = p.g;
    q[2] = p.r;
    q[3] = p.a;
  } else if (dest.bits() == 24) {
    std::uint8_t* q = dest.row(y) + 3 * x;
    q[0] = p.b;
    q[1] = p.g;
    q[2] = p.r;
  } else {
    dest.setPixelColour(x, y, MakeColour(p.r, p.g, p.b));
  }
}

// The overlap of destination cell i with each source pixel, for one axis. Lengths
// are measured in 1/destLength of a source pixel so that they are whole numbers:
// destination cell i covers [i * srcLength, (i + 1) * srcLength) and source pixel j
// covers [j * destLength, (j + 1) * destLength).
struct Span {
  int first = 0;
  std::vector<std::int64_t> weights;
};

std::vector<Span> AxisSpans(int srcLength, int destLength) {
  std::vector<Span> spans(static_cast<std::size_t>(destLength));
  for (int i = 0; i < destLength; ++i) {
    std::int64_t lo = static_cast<std::int64_t>(i) * srcLength;
    std::int64_t hi = lo + srcLength;
    int j0 = static_cast<int>(lo / destLength);
    int j1 = static_cast<int>(std::min<std::int64_t>((hi - 1) / destLength, srcLength - 1));
    Span& s = spans[static_cast<std::size_t>(i)];
    s.first = j0;
    for (int j = j0; j <= j1; ++j) {
      std::int64_t plo = static_cast<std::int64_t>(j) * destLength;
      std::int64_t phi = plo + destLength;
      s.weights.push_back(std::min(hi, phi) - std::max(lo, plo));
    }
  }
  return spans;
}

// The destination columns/rows [from, to) that the rectangle covers inside a
// destination of the given length.
void Clip(int start, int length, int limit, int& from, int& to) {
  from = std::max(start, 0);
  to = std::min<std::int64_t>(static_cast<std::int64_t>(start) + length, limit);
}

}  // namespace

void StretchNearest(const Bitmap& source, Bitmap& dest, const Rect& rect) {
  if (source.empty() || dest.empty() || rect.w <= 0 || rect.h <= 0) return;
  int x0, x1, y0, y1;
  Clip(rect.x, rect.w, dest.width(), x0, x1);
  Clip(rect.y, rect.h, dest.height(), y0, y1);
  if (x0 >= x1 || y0 >= y1) return;
  int sw = source.width(), sh = source.height();
  bool raw = SameEncoding(source, dest);
  std::vector<int> columns(static_cast<std::size_t>(x1 - x0));
  for (int x = x0; x < x1; ++x)
    columns[static_cast<std::size_t>(x - x0)] =
        static_cast<int>(static_cast<std::int64_t>(x - rect.x) * sw / rect.w);
  bool unscaledWholeBytes = raw && sw == rect.w && dest.bits() >= 8;
  for (int y = y0; y < y1; ++y) {
    int sy = static_cast<int>(static_cast<std::int64_t>(y - rect.y) * sh / rect.h);
    if (unscaledWholeBytes) {
      std::size_t bpp = static_cast<std::size_t>(dest.bits() == 15 ? 16 : dest.bits()) / 8;
      std::memcpy(dest.row(y) + x0 * bpp, source.row(sy) + columns[0] * bpp, (x1 - x0) * bpp);
      continue;
    }
    for (int x = x0; x < x1; ++x) {
      int sx = columns[static_cast<std::size_t>(x - x0)];
      if (raw) {
        dest.setRawPixel(x, y, source.rawPixel(sx, sy));
      } else {
        ColourValue c = source.pixelColour(sx, sy);
        int alpha = source.bits() == 32 ? source.pixelAlpha(sx, sy) : 0;
        PutPixel(dest, x, y,
                 Bgra{static_cast<std::uint8_t>(BlueOf(c)), static_cast<std::uint8_t>(GreenOf(c)),
                      static_cast<std::uint8_t>(RedOf(c)), static_cast<std::uint8_t>(alpha)});
      }
    }
  }
}

void HalftoneStretch(const Bitmap& source, Bitmap& dest, const Rect& rect) {
  if (source.empty() || dest.empty() || rect.w <= 0 || rect.h <= 0) return;
  int x0, x1, y0, y1;
  Clip(rect.x, rect.w, dest.width(), x0, x1);
  Clip(rect.y, rect.h, dest.height(), y0, y1);
  if (x0 >= x1 || y0 >= y1) return;
  int sw = source.width(), sh = source.height();
  std::vector<Bgra> pixels = ExpandPixels(source);
  std::vector<Span> cols = AxisSpans(sw, rect.w);
  std::vector<Span> rows = AxisSpans(sh, rect.h);
  // Each cell's weights add up to sw * sh; rounding to nearest keeps a flat area flat.
  std::int64_t total = static_cast<std::int64_t>(sw) * sh;
  for (int y = y0; y < y1; ++y) {
    const Span& rs = rows[static_cast<std::size_t>(y - rect.y)];
    for (int x = x0; x < x1; ++x) {
      const Span& cs = cols[static_cast<std::size_t>(x - rect.x)];
      std::int64_t sb = 0, sg = 0, sr = 0, sa = 0;
      for (std::size_t j = 0; j < rs.weights.size(); ++j) {
        const Bgra* line = pixels.data() + static_cast<std::size_t>(rs.first + j) * sw;
        for (std::size_t i = 0; i < cs.weights.size(); ++i) {
          std::int64_t wgt = rs.weights[j] * cs.weights[i];
          const Bgra& p = line[cs.first + i];
          sb += p.b * wgt;
          sg += p.g * wgt;
          sr += p.r * wgt;
          sa += p.a * wgt;
        }
      }
      PutPixel(dest, x, y,
               Bgra{static_cast<std::uint8_t>((sb + total / 2) / total),
                    static_cast<std::uint8_t>((sg + total / 2) / total),
                    static_cast<std::uint8_t>((sr + total / 2) / total),
                    static_cast<std::uint8_t>((sa + total / 2) / total)});
    }
  }
}

}  // namespace glyphwell::imaging
