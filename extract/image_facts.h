#pragma once
// What the last image read reported: its size and depth as stored, the label the
// grid shows under it, whether it passed the decoder's checks and whether it was
// stored PNG-compressed.

#include <string>

namespace glyphwell::extract {

struct ImageFacts {
  int width = 0;
  int height = 0;  // icon images: half the DIB height
  int bitCount = 0;
  std::string label;  // "\n" + width + "×" + height + "\n" + bit count + "bit"
  bool valid = false;
  bool png = false;

  // Records the size and depth and rebuilds the label from them.
  void Set(int w, int h, int bits) {
    width = w;
    height = h;
    bitCount = bits;
    label = MakeLabel(w, h, bits);
  }
  static std::string MakeLabel(int w, int h, int bits) {
    return "\n" + std::to_string(w) + "\xC3\x97" + std::to_string(h) + "\n" + std::to_string(bits) +
           "bit";
  }
};

}  // namespace glyphwell::extract
