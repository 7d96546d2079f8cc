#pragma once
// Bitmap: the in-memory raster image of the whole system.
//
// Pixel formats are given as bits per pixel: 1, 4, 8, 15, 16, 24 or 32. 15 is
// 5-5-5 and 16 is 5-6-5 (both two bytes a pixel); they occur only in images read
// from files. Rows are addressed top row first (row 0 = top) and each row is padded
// to a multiple of 4 bytes, exactly as a device-independent bitmap row. Pixel bytes
// are blue, green, red (24) and blue, green, red, alpha (32). 1-, 4- and 8-bit
// images carry a colour table of up to 2, 16 or 256 entries; 1 bit: leftmost pixel
// in the most significant bit; 4 bits: leftmost pixel in the high nibble.
//
// A Bitmap of width 0 (or height 0) is empty. A new Bitmap starts white.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace glyphwell::imaging {

// A colour packed as red + 256 * green + 65536 * blue. White is 0xFFFFFF.
using ColourValue = std::uint32_t;
inline constexpr ColourValue kWhite = 0xFFFFFF;
inline constexpr ColourValue kBlack = 0;

constexpr ColourValue MakeColour(int red, int green, int blue) {
  return static_cast<ColourValue>(red & 255) | (static_cast<ColourValue>(green & 255) << 8) |
         (static_cast<ColourValue>(blue & 255) << 16);
}
constexpr int RedOf(ColourValue c) {
  return static_cast<int>(c & 255);
}
constexpr int GreenOf(ColourValue c) {
  return static_cast<int>((c >> 8) & 255);
}
constexpr int BlueOf(ColourValue c) {
  return static_cast<int>((c >> 16) & 255);
}

// One colour table entry as stored in files: blue, green, red, reserved.
struct Rgbq {
  std::uint8_t blue = 0, green = 0, red = 0, reserved = 0;
  ColourValue colour() const { return MakeColour(red, green, blue); }
  static Rgbq FromColour(ColourValue c) {
    return Rgbq{static_cast<std::uint8_t>(BlueOf(c)), static_cast<std::uint8_t>(GreenOf(c)),
                static_cast<std::uint8_t>(RedOf(c)), 0};
  }
  friend bool operator==(const Rgbq&, const Rgbq&) = default;
};

using ColourTable = std::vector<Rgbq>;

// The fixed 16-colour table a new 4-bit Bitmap receives.
const ColourTable& Fixed16Palette();
// The table a new 1-bit Bitmap receives: black, white.
const ColourTable& Mono2Palette();
// The table a new 8-bit Bitmap receives (6x6x6 cube followed by gray ramp, 256 entries).
const ColourTable& Default256Palette();

bool IsValidPixelFormat(int bits);
// Bytes in one padded row: ((width * storage bits + 31) / 32) * 4. 15-bit rows use 16.
std::size_t RowBytes(int width, int bits);

class Bitmap {
 public:
  Bitmap() = default;
  // A new width x height image of the format, filled white, with the default colour
  // table for indexed formats. Throws nothing: an invalid format or size gives an
  // empty Bitmap.
  Bitmap(int width, int height, int bits);

  int width() const { return width_; }
  int height() const { return height_; }
  int bits() const { return bits_; }
  bool empty() const { return width_ <= 0 || height_ <= 0; }
  bool indexed() const { return bits_ <= 8; }
  std::size_t stride() const { return stride_; }

  std::uint8_t* row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * stride_; }
  const std::uint8_t* row(int y) const {
    return pixels_.data() + static_cast<std::size_t>(y) * stride_;
  }
  std::vector<std::uint8_t>& pixels() { return pixels_; }
  const std::vector<std::uint8_t>& pixels() const { return pixels_; }

  const ColourTable& colourTable() const { return table_; }
  // Replaces the colour table (indexed formats only; up to 2^bits entries).
  void setColourTable(ColourTable table);

  // The raw pixel value: table index (1/4/8), packed 16-bit word (15/16),
  // 0xBBGGRR-ordered bytes as ColourValue-compatible RGB (24) or ARGB (32) with
  // alpha in bits 24..31.
  std::uint32_t rawPixel(int x, int y) const;
  void setRawPixel(int x, int y, std::uint32_t value);

  // The colour of a pixel as a colour value (through the table for indexed
  // formats; out-of-table indices give black).
  ColourValue pixelColour(int x, int y) const;
  // Alpha of a 32-bit pixel; 255 for every other format.
  int pixelAlpha(int x, int y) const;
  // Writes a colour (nearest table entry for indexed formats; alpha kept for 32).
  void setPixelColour(int x, int y, ColourValue c);

  // Fills the whole image with a colour (indexed: its nearest table entry; 32 bit:
  // alpha 0, as a fill of the platform canvas leaves it).
  void fill(ColourValue c);
  // Changes the size keeping the pixels at the top-left corner; the new area gets
  // the fill colour.
  void resize(int width, int height, ColourValue fill = kWhite);
  // Changes the pixel format. Raising the depth is exact (through the table or bit
  // fields; 24 -> 32 gives alpha 0); lowering maps every pixel to the nearest colour
  // of the new default table (callers that care set the table first through
  // ConvertToTable).
  void setPixelFormat(int bits);
  // Re-encodes an indexed-or-not image into `bits` (1/4/8) with the given table,
  // every pixel taking the nearest entry (first one at the smallest distance).
  void convertToTable(int bits, ColourTable table);

  // Index of the nearest entry of the table (Euclidean RGB; first at the smallest
  // distance).
  static int NearestIndex(const ColourTable& table, ColourValue c);

  friend bool operator==(const Bitmap&, const Bitmap&) = default;

 private:
  int width_ = 0;
  int height_ = 0;
  int bits_ = 32;
  std::size_t stride_ = 0;
  ColourTable table_;
  std::vector<std::uint8_t> pixels_;
};

}  // namespace glyphwell::imaging
