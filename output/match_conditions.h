#pragma once
// The width, height and bit conditions of "save matching icons": texts such as
// "16,32" that an image's values are looked up in as substrings.

#include <string>

namespace glyphwell::output {

struct MatchConditions {
  std::string width;   // "幅"
  std::string height;  // "高さ"
  std::string bits;    // "Bit"

  bool any() const { return !width.empty() || !height.empty() || !bits.empty(); }

  // True when every non-empty condition contains the decimal text of the value.
  // A substring test, as the main window always did: "16,32" also matches 1, 2,
  // 3 and 6.
  bool Matches(int imageWidth, int imageHeight, int bitCount) const {
    return Holds(width, imageWidth) && Holds(height, imageHeight) && Holds(bits, bitCount);
  }

 private:
  static bool Holds(const std::string& condition, int value) {
    return condition.empty() || condition.find(std::to_string(value)) != std::string::npos;
  }
};

}  // namespace glyphwell::output
