#pragma once
// Text fields of shortcut files as UTF-8: UTF-16LE strings, and 8-bit strings in the
// writer's code page (taken as UTF-8 when valid, else as Windows-1252).

#include <cstdint>
#include <span>
#include <string>

namespace glyphwell::shell {

// Unpaired surrogates become U+FFFD.
std::string Utf16leToUtf8(std::span<const std::uint8_t> bytes);
std::string AnsiToUtf8(std::span<const std::uint8_t> bytes);
bool IsValidUtf8(std::span<const std::uint8_t> bytes);

}  // namespace glyphwell::shell
