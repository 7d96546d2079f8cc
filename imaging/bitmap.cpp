#include "imaging/bitmap.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace glyphwell::imaging {

namespace {

// Largest side we accept; keeps width * height * 4 far below any overflow.
constexpr int kMaxSide = 1 << 15;

ColourTable MakeFixed16() {
  static const int rgb[16][3] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                 {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {128, 128, 128},
                                 {192, 192, 192}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                 {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
  ColourTable t;
  for (const auto& c : rgb)
    t.push_back(Rgbq::FromColour(MakeColour(c[0], c[1], c[2])));
  return t;
}

ColourTable MakeDefault256() {
  ColourTable t;
  for (int b = 0; b < 6; ++b)
    for (int g = 0; g < 6; ++g)
      for (int r = 0; r < 6; ++r)
        t.push_back(Rgbq::FromColour(MakeColour(r * 51, g * 51, b * 51)));
  // 40 gray levels between the cube's steps fill the table to 256 entries.
  for (int i = 0; i < 40; ++i) {
    int v = (i * 255) / 39;
    t.push_back(Rgbq::FromColour(MakeColour(v, v, v)));
  }
  return t;
}

const ColourTable& DefaultTableFor(int bits) {
  static const ColourTable empty;
  if (bits == 1) return Mono2Palette();
  if (bits == 4) return Fixed16Palette();
  if (bits == 8) return Default256Palette();
  return empty;
}

int StorageBits(int bits) {
  return bits == 15 ? 16 : bits;
}

}  // namespace

const ColourTable& Fixed16Palette() {
  static const ColourTable t = MakeFixed16();
  return t;
}

const ColourTable& Mono2Palette() {
  static const ColourTable t = {Rgbq{0, 0, 0, 0}, Rgbq{255, 255, 255, 0}};
  return t;
}

const ColourTable& Default256Palette() {
  static const ColourTable t = MakeDefault256();
  return t;
}

bool IsValidPixelFormat(int bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 15 || bits == 16 || bits == 24 ||
         bits == 32;
}

std::size_t RowBytes(int width, int bits) {
  if (width <= 0) return 0;
  return ((static_cast<std::size_t>(width) * StorageBits(bits) + 31) / 32) * 4;
}

Bitmap::Bitmap(int width, int height, int bits) {
  if (!IsValidPixelFormat(bits) || width <= 0 || height <= 0 || width > kMaxSide ||
      height > kMaxSide) {
    return;
  }
  width_ = width;
  height_ = height;
  bits_ = bits;
  stride_ = RowBytes(width, bits);
  table_ = DefaultTableFor(bits);
  pixels_.assign(stride_ * static_cast<std::size_t>(height), 0);
  fill(kWhite);
}

void Bitmap::setColourTable(ColourTable table) {
  if (!indexed()) return;
  std::size_t max = std::size_t{1} << bits_;
  if (table.size() > max) table.resize(max);
  for (auto& e : table)
    e.reserved = 0;
  table_ = std::move(table);
}

std::uint32_t Bitmap::rawPixel(int x, int y) const {
  const std::uint8_t* p = row(y);
  switch (bits_) {
    case 1:
      return (p[x >> 3] >> (7 - (x & 7))) & 1;
    case 4:
      return (x & 1) ? (p[x >> 1] & 0x0F) : (p[x >> 1] >> 4);
    case 8:
      return p[x];
    case 15:
    case 16:
      return static_cast<std::uint32_t>(p[2 * x] | (p[2 * x + 1] << 8));
    case 24: {
      const std::uint8_t* q = p + 3 * x;
      return MakeColour(q[2], q[1], q[0]);
    }
    case 32: {
      const std::uint8_t* q = p + 4 * x;
      return MakeColour(q[2], q[1], q[0]) | (static_cast<std::uint32_t>(q[3]) << 24);
    }
  }
  return 0;
}

void Bitmap::setRawPixel(int x, int y, std::uint32_t v) {
  std::uint8_t* p = row(y);
  switch (bits_) {
    case 1: {
      std::uint8_t bit = static_cast<std::uint8_t>(0x80 >> (x & 7));
      if (v & 1)
        p[x >> 3] |= bit;
      else
        p[x >> 3] &= static_cast<std::uint8_t>(~bit);
      break;
    }
    case 4:
      if (x & 1)
        p[x >> 1] = static_cast<std::uint8_t>((p[x >> 1] & 0xF0) | (v & 0x0F));
      else
        p[x >> 1] = static_cast<std::uint8_t>((p[x >> 1] & 0x0F) | ((v & 0x0F) << 4));
      break;
    case 8:
      p[x] = static_cast<std::uint8_t>(v);
      break;
    case 15:
    case 16:
      p[2 * x] = static_cast<std::uint8_t>(v);
      p[2 * x + 1] = static_cast<std::uint8_t>(v >> 8);
      break;
    case 24: {
      std::uint8_t* q = p + 3 * x;
      q[0] = static_cast<std::uint8_t>(BlueOf(v));
      q[1] = static_cast<std::uint8_t>(GreenOf(v));
      q[2] = static_cast<std::uint8_t>(RedOf(v));
      break;
    }
    case 32: {
      std::uint8_t* q = p + 4 * x;
      q[0] = static_cast<std::uint8_t>(BlueOf(v));
      q[1] = static_cast<std::uint8_t>(GreenOf(v));
      q[2] = static_cast<std::uint8_t>(RedOf(v));
      q[3] = static_cast<std::uint8_t>(v >> 24);
      break;
    }
  }
}

ColourValue Bitmap::pixelColour(int x, int y) const {
  std::uint32_t raw = rawPixel(x, y);
  switch (bits_) {
    case 1:
    case 4:
    case 8:
      return raw < table_.size() ? table_[raw].colour() : kBlack;
    case 15: {
      int r = (raw >> 10) & 31, g = (raw >> 5) & 31, b = raw & 31;
      return MakeColour((r << 3) | (r >> 2), (g << 3) | (g >> 2), (b << 3) | (b >> 2));
    }
    case 16: {
      int r = (raw >> 11) & 31, g = (raw >> 5) & 63, b = raw & 31;
      return MakeColour((r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2));
    }
    default:
      return raw & 0xFFFFFF;
  }
}

int Bitmap::pixelAlpha(int x, int y) const {
  if (bits_ != 32) return 255;
  return row(y)[4 * x + 3];
}

int Bitmap::NearestIndex(const ColourTable& table, ColourValue c) {
  int best = 0;
  long bestDist = std::numeric_limits<long>::max();
  for (std::size_t i = 0; i < table.size(); ++i) {
    long dr = table[i].red - RedOf(c), dg = table[i].green - GreenOf(c),
         db = table[i].blue - BlueOf(c);
    long d = dr * dr + dg * dg + db * db;
    if (d < bestDist) {
      bestDist = d;
      best = static_cast<int>(i);
      if (d == 0) break;
    }
  }
  return best;
}

void Bitmap::setPixelColour(int x, int y, ColourValue c) {
  c &= 0xFFFFFF;
  switch (bits_) {
    case 1:
    case 4:
    case 8:
      setRawPixel(x, y, static_cast<std::uint32_t>(NearestIndex(table_, c)));
      break;
    case 15:
      setRawPixel(x, y, ((RedOf(c) >> 3) << 10) | ((GreenOf(c) >> 3) << 5) | (BlueOf(c) >> 3));
      break;
    case 16:
      setRawPixel(x, y, ((RedOf(c) >> 3) << 11) | ((GreenOf(c) >> 2) << 5) | (BlueOf(c) >> 3));
      break;
    case 24:
      setRawPixel(x, y, c);
      break;
    case 32: {
      std::uint8_t* q = row(y) + 4 * x;
      q[0] = static_cast<std::uint8_t>(BlueOf(c));
      q[1] = static_cast<std::uint8_t>(GreenOf(c));
      q[2] = static_cast<std::uint8_t>(RedOf(c));
      break;
    }
  }
}

void Bitmap::fill(ColourValue c) {
  if (empty()) return;
  c &= 0xFFFFFF;
  // Encode the first row, then copy it down the image.
  if (bits_ == 32) {
    const std::uint8_t pixel[4] = {static_cast<std::uint8_t>(BlueOf(c)),
                                   static_cast<std::uint8_t>(GreenOf(c)),
                                   static_cast<std::uint8_t>(RedOf(c)), 0};
    std::uint8_t* first = row(0);
    for (int x = 0; x < width_; ++x)
      std::memcpy(first + 4 * x, pixel, 4);
  } else {
    for (int x = 0; x < width_; ++x)
      setPixelColour(x, 0, c);
  }
  for (int y = 1; y < height_; ++y)
    std::memcpy(row(y), row(0), stride_);
}

void Bitmap::resize(int width, int height, ColourValue fillColour) {
  if (width == width_ && height == height_) return;
  Bitmap next(width, height, bits_);
  if (next.empty()) {
    *this = Bitmap();
    return;
  }
  next.table_ = table_.empty() ? next.table_ : table_;
  next.fill(fillColour);
  int w = std::min(width, width_), h = std::min(height, height_);
  if (w > 0 && h > 0) {
    std::size_t bytes = (static_cast<std::size_t>(w) * StorageBits(bits_)) / 8;
    int leftover = (w * StorageBits(bits_)) % 8;
    for (int y = 0; y < h; ++y) {
      std::copy(row(y), row(y) + bytes, next.row(y));
      for (int x = static_cast<int>(bytes * 8 / StorageBits(bits_)); leftover && x < w; ++x)
        next.setRawPixel(x, y, rawPixel(x, y));
    }
  }
  *this = std::move(next);
}

void Bitmap::setPixelFormat(int bits) {
  if (bits == bits_ || !IsValidPixelFormat(bits)) return;
  if (empty()) {
    bits_ = bits;
    table_ = DefaultTableFor(bits);
    return;
  }
  if (bits <= 8) {
    convertToTable(bits, DefaultTableFor(bits));
    return;
  }
  Bitmap next(width_, height_, bits);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      next.setPixelColour(x, y, pixelColour(x, y));
      if (bits == 32) next.row(y)[4 * x + 3] = bits_ == 32 ? row(y)[4 * x + 3] : 0;
    }
  *this = std::move(next);
}

void Bitmap::convertToTable(int bits, ColourTable table) {
  if (bits != 1 && bits != 4 && bits != 8) return;
  Bitmap next(width_, height_, bits);
  if (next.empty()) {
    bits_ = bits;
    table_ = std::move(table);
    return;
  }
  next.setColourTable(std::move(table));
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x)
      next.setPixelColour(x, y, pixelColour(x, y));
  *this = std::move(next);
}

}  // namespace glyphwell::imaging
