#pragma once
// JSON text for the commands' --json output.

#include <string>

namespace glyphwell::cli {

// `s` as a quoted JSON string: quotes, backslashes and control characters escaped,
// every other byte passed through unchanged.
std::string JsonString(const std::string& s);

}  // namespace glyphwell::cli
