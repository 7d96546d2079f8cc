#pragma once
// The icon object: one icon image built from a one-image icon stream (an icon file
// in memory holding one directory entry). It gives its colour image and its mask and
// draws itself as the desktop draws icons (AND mask, then XOR image; 32-bit images
// with alpha are alpha-blended).

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "imaging/bitmap.h"

namespace glyphwell::imaging {

class IconImage {
 public:
  // Builds the icon from the first image of an icon stream (DIB or PNG data).
  // std::nullopt when the stream cannot be decoded.
  static std::optional<IconImage> FromStream(std::span<const std::uint8_t> stream);

  int width() const { return colour_.width(); }
  int height() const { return colour_.height(); }
  int bits() const { return bits_; }
  // The colour (XOR) image in its own pixel format and colour table.
  const Bitmap& colour() const { return colour_; }
  // The mask image: 32-bit, white where transparent, black where opaque.
  const Bitmap& mask() const { return mask_; }
  // The one-image icon file bytes the icon was built from ("saved as an icon file").
  const std::vector<std::uint8_t>& stream() const { return stream_; }

  // Draws the icon at (x, y) onto dest (24 or 32 bits), clipped to dest.
  void Draw(Bitmap& dest, int x, int y) const;
  // Draws the icon stretched into the rectangle (nearest sampling).
  void DrawStretched(Bitmap& dest, int x, int y, int w, int h) const;

 private:
  Bitmap colour_;
  Bitmap mask_;
  int bits_ = 0;
  std::vector<std::uint8_t> stream_;
};

}  // namespace glyphwell::imaging
