#pragma once
// Plays Windows metafiles (WMF, with or without the 22-byte placeable header) into a
// 32-bit Bitmap, drawing the common GDI records with the raster helpers: window and
// viewport origin and extent, mapping modes, pens, solid, hatched and DIB pattern
// brushes, lines, rectangles, rounded rectangles, ellipses, polygons, polylines,
// poly-polygons, pixels, pattern blits, DIB blits, clip rectangles and saved states.
// Text, arcs, regions and palettes are not drawn; records the player does not know
// are skipped.
//
// The picture's size: from the placeable header's bounding box and units per inch,
// at 96 pixels per inch; otherwise from the first SetWindowExt record, one logical
// unit per pixel. Lines and fills write colours only: the Bitmap starts white with
// alpha 0, and drawn pixels keep alpha 0.

#include <cstdint>
#include <optional>
#include <span>

#include "imaging/bitmap.h"

namespace glyphwell::imaging {

struct WmfSize {
  int width = 0;
  int height = 0;
};

class WmfPlayer {
 public:
  // Largest picture played (either side), and largest pixel count.
  static constexpr int kMaxSide = 8192;
  static constexpr std::int64_t kMaxPixels = std::int64_t{1} << 25;

  // The picture's size in pixels; std::nullopt when the file is not a metafile the
  // player can read (bad header, no size, or larger than the limits above).
  static std::optional<WmfSize> PictureSize(std::span<const std::uint8_t> file);
  // The played picture at its own size; std::nullopt as for PictureSize. A record
  // list that ends early (no end record, a record running past the data) keeps what
  // was drawn up to there.
  static std::optional<Bitmap> Play(std::span<const std::uint8_t> file);
};

}  // namespace glyphwell::imaging
