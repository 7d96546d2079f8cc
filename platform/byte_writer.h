#pragma once
// Appends little-endian fields to a growing byte image (file writers, fixtures).

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "platform/byte_reader.h"

namespace glyphwell::platform {

class ByteWriter {
 public:
  std::vector<std::uint8_t>& bytes() { return bytes_; }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }
  std::size_t size() const { return bytes_.size(); }

  void u8(std::uint8_t v) { bytes_.push_back(v); }
  void u16(std::uint16_t v) {
    bytes_.push_back(static_cast<std::uint8_t>(v));
    bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
  }
  void u32(std::uint32_t v) {
    u16(static_cast<std::uint16_t>(v));
    u16(static_cast<std::uint16_t>(v >> 16));
  }
  void append(std::span<const std::uint8_t> data) {
    bytes_.insert(bytes_.end(), data.begin(), data.end());
  }
  void text(std::string_view s) { bytes_.insert(bytes_.end(), s.begin(), s.end()); }
  void zeros(std::size_t n) { bytes_.insert(bytes_.end(), n, 0); }
  // Pads with zeros until the size is a multiple of `alignment`.
  void align(std::size_t alignment) {
    while (bytes_.size() % alignment)
      bytes_.push_back(0);
  }
  // Overwrites an already written field (offsets known only later).
  void patchU16(std::size_t off, std::uint16_t v) { PutU16le(bytes_.data() + off, v); }
  void patchU32(std::size_t off, std::uint32_t v) { PutU32le(bytes_.data() + off, v); }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace glyphwell::platform
