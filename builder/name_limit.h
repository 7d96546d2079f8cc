#pragma once
// Byte-string names written with a one-byte length (icon names of an icon library).

#include <cstddef>
#include <string>

namespace glyphwell::builder {

// The longest prefix of `name` of at most `maxBytes` bytes that does not cut a UTF-8
// character in two. Bytes that are not valid UTF-8 count as characters of one byte.
std::string CutToBytes(const std::string& name, std::size_t maxBytes = 255);

}  // namespace glyphwell::builder
