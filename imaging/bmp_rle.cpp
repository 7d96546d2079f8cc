#include "imaging/bmp_rle.h"

#include <algorithm>

namespace glyphwell::imaging {

namespace {

// Writes pixels of the line being decoded, clipping at the image's edges.
class RleTarget {
 public:
  RleTarget(Bitmap& out, bool topDown) : out_(out), topDown_(topDown) {}

  bool done() const { return line_ >= out_.height(); }
  void put(std::uint32_t index) {
    if (x_ < out_.width() && !done()) {
      const int row = topDown_ ? line_ : out_.height() - 1 - line_;
      out_.setRawPixel(x_, row, index);
    }
    ++x_;
  }
  void endOfLine() {
    x_ = 0;
    ++line_;
  }
  void move(int dx, int dy) {
    x_ += dx;
    line_ += dy;
  }

 private:
  Bitmap& out_;
  bool topDown_;
  int x_ = 0;
  int line_ = 0;
};

}  // namespace

void DecodeBmpRle(std::span<const std::uint8_t> data, bool topDown, Bitmap& out) {
  std::fill(out.pixels().begin(), out.pixels().end(), 0);
  const bool four = out.bits() == 4;
  RleTarget target(out, topDown);
  std::size_t at = 0;
  while (at + 2 <= data.size() && !target.done()) {
    const int count = data[at];
    const int value = data[at + 1];
    at += 2;
    if (count > 0) {
      // Encoded run: one index repeated, or two alternating nibbles for RLE4.
      for (int i = 0; i < count; ++i)
        target.put(four ? ((i & 1) ? (value & 0x0F) : (value >> 4)) : value);
      continue;
    }
    if (value == 0) {
      target.endOfLine();
    } else if (value == 1) {
      return;
    } else if (value == 2) {
      if (at + 2 > data.size()) return;
      target.move(data[at], data[at + 1]);
      at += 2;
    } else {
      // Absolute run of `value` pixels, padded to a 16-bit boundary.
      const std::size_t bytes = four ? (static_cast<std::size_t>(value) + 1) / 2 : value;
      if (bytes > data.size() - at) return;
      for (int i = 0; i < value; ++i) {
        const std::uint8_t b = data[at + (four ? i / 2 : i)];
        target.put(four ? ((i & 1) ? (b & 0x0F) : (b >> 4)) : b);
      }
      at += bytes + (bytes & 1);
    }
  }
}

}  // namespace glyphwell::imaging
