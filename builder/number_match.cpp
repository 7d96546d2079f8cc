#include "builder/number_match.h"

namespace glyphwell::builder {

bool NumberMatchesText(int value, const std::string& text) {
  const std::string digits = std::to_string(value);
  const auto pos = text.find(digits);
  if (pos == std::string::npos) return false;
  if (pos == 0) return true;
  const char before = text[pos - 1];
  return before < '0' || before > '9';
}

}  // namespace glyphwell::builder
