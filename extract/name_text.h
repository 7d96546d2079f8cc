#pragma once
// Resource names as UTF-8 text: UTF-16 names of PE modules, and 8-bit names of NE
// tables (UTF-8 when they are valid UTF-8, else Windows-1252).

#include <cstdint>
#include <span>
#include <string>

namespace glyphwell::extract {

// UTF-16LE code units (two bytes each) to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16LeToUtf8(std::span<const std::uint8_t> bytes);
// 8-bit text: kept when it is valid UTF-8, else read as Windows-1252.
std::string EightBitToUtf8(std::span<const std::uint8_t> bytes);

}  // namespace glyphwell::extract
