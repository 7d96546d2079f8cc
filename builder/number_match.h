#pragma once
// The builder's "指定選択" criteria: does a number match a criteria text such as
// "16,32"?

#include <string>

namespace glyphwell::builder {

// True when the decimal form of `value` first occurs in `text` at its start or
// right after a character that is not a digit. Only the first occurrence counts, so
// "16,32" matches 16 and 32 while "132" does not match 32.
bool NumberMatchesText(int value, const std::string& text);

}  // namespace glyphwell::builder
