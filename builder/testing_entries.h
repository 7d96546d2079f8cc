#pragma once
// Entry fixtures for the builder's tests: icon image blocks of a given size and depth
// with recognisable pixels.

#include <string>

#include "builder/icon_block.h"
#include "builder/icon_entry.h"
#include "imaging/bitmap.h"

namespace glyphwell::builder::testing {

// A block of w x h at `bits` with a diagonal pattern and the left column masked out.
inline std::vector<std::uint8_t> PatternBlock(int w, int h, int bits, int seed = 0) {
  imaging::Bitmap image(w, h, bits);
  imaging::Bitmap mask(w, h, 32);
  mask.fill(imaging::kBlack);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      image.setPixelColour(
          x, y,
          imaging::MakeColour((x * 7 + seed) & 255, (y * 5) & 255, ((x + y + seed) * 3) & 255));
      if (bits == 32) image.setRawPixel(x, y, image.rawPixel(x, y) | 0xFF000000u);
      if (x == 0) mask.setRawPixel(x, y, imaging::kWhite);
    }
  return MakeIconBlock(image, PackMaskImage(mask));
}

inline TIconEntry MakeEntry(int w, int h, int bits, std::string name = {}, int seed = 0) {
  TIconEntry e;
  e.Image = PatternBlock(w, h, bits, seed);
  e.Name = std::move(name);
  e.SourcePath = "/icons/source.ico";
  return e;
}

}  // namespace glyphwell::builder::testing
