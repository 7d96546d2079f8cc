#pragma once
// Checked little-endian reads over an untrusted byte image. Every reader of file
// bytes goes through this: a read that does not fit inside the span fails (returns
// std::nullopt / false) instead of touching memory outside it.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>

namespace glyphwell::platform {

// True when [offset, offset + length) lies inside a buffer of `size` bytes.
// Written so that no addition can overflow.
constexpr bool RangeFits(std::size_t size, std::size_t offset, std::size_t length) {
  return offset <= size && length <= size - offset;
}

// Overflow-checked size arithmetic for width * bpp, rows * stride and the like.
inline std::optional<std::size_t> CheckedMul(std::size_t a, std::size_t b) {
  std::size_t r;
  if (__builtin_mul_overflow(a, b, &r)) return std::nullopt;
  return r;
}
inline std::optional<std::size_t> CheckedAdd(std::size_t a, std::size_t b) {
  std::size_t r;
  if (__builtin_add_overflow(a, b, &r)) return std::nullopt;
  return r;
}

class ByteReader {
 public:
  ByteReader() = default;
  explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t size() const { return bytes_.size(); }
  std::span<const std::uint8_t> bytes() const { return bytes_; }
  bool Fits(std::size_t offset, std::size_t length) const {
    return RangeFits(bytes_.size(), offset, length);
  }

  std::optional<std::uint8_t> u8(std::size_t off) const {
    if (!Fits(off, 1)) return std::nullopt;
    return bytes_[off];
  }
  std::optional<std::uint16_t> u16le(std::size_t off) const {
    if (!Fits(off, 2)) return std::nullopt;
    return static_cast<std::uint16_t>(bytes_[off] | (bytes_[off + 1] << 8));
  }
  std::optional<std::uint32_t> u32le(std::size_t off) const {
    if (!Fits(off, 4)) return std::nullopt;
    return static_cast<std::uint32_t>(bytes_[off]) |
           (static_cast<std::uint32_t>(bytes_[off + 1]) << 8) |
           (static_cast<std::uint32_t>(bytes_[off + 2]) << 16) |
           (static_cast<std::uint32_t>(bytes_[off + 3]) << 24);
  }
  std::optional<std::int32_t> i32le(std::size_t off) const {
    auto v = u32le(off);
    if (!v) return std::nullopt;
    return static_cast<std::int32_t>(*v);
  }
  std::optional<std::int16_t> i16le(std::size_t off) const {
    auto v = u16le(off);
    if (!v) return std::nullopt;
    return static_cast<std::int16_t>(*v);
  }
  // The sub-span [off, off + len), or std::nullopt when it does not fit.
  std::optional<std::span<const std::uint8_t>> Slice(std::size_t off, std::size_t len) const {
    if (!Fits(off, len)) return std::nullopt;
    return bytes_.subspan(off, len);
  }
  // Copies len bytes into dst; false (and dst untouched) when they do not fit.
  bool Copy(std::size_t off, std::size_t len, std::uint8_t* dst) const {
    if (!Fits(off, len)) return false;
    if (len) std::memcpy(dst, bytes_.data() + off, len);
    return true;
  }

 private:
  std::span<const std::uint8_t> bytes_;
};

// Little-endian writers for building byte images (file writers, fixtures).
inline void PutU16le(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void PutU32le(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
  p[2] = static_cast<std::uint8_t>(v >> 16);
  p[3] = static_cast<std::uint8_t>(v >> 24);
}

}  // namespace glyphwell::platform
