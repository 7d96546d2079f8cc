#include "tests/support/merge_quantize_reference.h"

#include <cstdlib>
#include <vector>

namespace glyphwell::testsupport {

using imaging::Bitmap;
using imaging::ColourTable;
using imaging::Rgbq;

namespace {

ColourTable Cube() {
  ColourTable t(256);
  for (int i = 0; i < 6; ++i)
    for (int j = 0; j < 6; ++j)
      for (int k = 0; k < 6; ++k)
        t[36 * i + 6 * j + k] =
            Rgbq{static_cast<std::uint8_t>(51 * i), static_cast<std::uint8_t>(51 * j),
                 static_cast<std::uint8_t>(51 * k), 0};
  return t;
}

}  // namespace

void MergeQuantizeReference(Bitmap& image, bool optimizedPalette, bool reserveBlack) {
  if (image.empty() || image.indexed()) return;
  int w = image.width(), h = image.height();

  // 1. The image as 24-bit blue, green, red triples, rows from the bottom up.
  std::vector<int> pb, pg, pr;
  for (int y = h - 1; y >= 0; --y)
    for (int x = 0; x < w; ++x) {
      imaging::ColourValue c = image.pixelColour(x, y);
      pb.push_back(imaging::BlueOf(c));
      pg.push_back(imaging::GreenOf(c));
      pr.push_back(imaging::RedOf(c));
    }

  ColourTable table(256);
  if (!optimizedPalette) {
    table = Cube();
  } else {
    // 3. Candidates: the reserved black, then every pixel.
    std::vector<int> cb, cg, cr;
    std::vector<bool> alive;
    if (reserveBlack) {
      cb.push_back(0);
      cg.push_back(0);
      cr.push_back(0);
    }
    for (std::size_t i = 0; i < pb.size(); ++i) {
      cb.push_back(pb[i]);
      cg.push_back(pg[i]);
      cr.push_back(pr[i]);
    }
    int n = static_cast<int>(cb.size());
    alive.assign(n, true);
    int aliveCount = n;

    // 4, 5. Passes with a growing threshold.
    int a = 0;
    while (aliveCount > 256 && a < 255) {
      a += 12;
      bool stop = false;
      for (int t = 0; t < n && !stop; ++t) {
        if (!alive[t]) continue;
        for (int r = t + 1; r < n; ++r) {
          if (!alive[r]) continue;
          if (std::abs(cr[t] - cr[r]) < a && std::abs(cg[t] - cg[r]) < a &&
              std::abs(cb[t] - cb[r]) < a) {
            alive[r] = false;
            --aliveCount;
            if (aliveCount <= 256) {
              stop = true;
              break;
            }
          }
        }
      }
    }

    // 6. The first survivors form the table.
    int k = 0;
    for (int i = 0; i < n && k < 256; ++i)
      if (alive[i]) {
        table[k++] = Rgbq{static_cast<std::uint8_t>(cb[i]), static_cast<std::uint8_t>(cg[i]),
                          static_cast<std::uint8_t>(cr[i]), 0};
      }
  }

  // 7. Every pixel takes the nearest entry.
  Bitmap out(w, h, 8);
  out.setColourTable(table);
  std::size_t i = 0;
  for (int y = h - 1; y >= 0; --y)
    for (int x = 0; x < w; ++x, ++i) {
      int best = 0, bestD = 100000;
      for (int e = 0; e < 256; ++e) {
        int d = std::abs(table[e].red - pr[i]) + std::abs(table[e].green - pg[i]) +
                std::abs(table[e].blue - pb[i]);
        if (d < bestD) {
          bestD = d;
          best = e;
        }
      }
      out.row(y)[x] = static_cast<std::uint8_t>(best);
    }
  image = std::move(out);
}

}  // namespace glyphwell::testsupport
