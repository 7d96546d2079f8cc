#include "builder/name_limit.h"

namespace glyphwell::builder {

namespace {

// Length of the UTF-8 character starting at s[i], or 1 when it is not a valid one.
std::size_t CharLength(const std::string& s, std::size_t i) {
  const auto lead = static_cast<unsigned char>(s[i]);
  std::size_t len = lead < 0x80           ? 1
                    : (lead >> 5) == 0x6  ? 2
                    : (lead >> 4) == 0xE  ? 3
                    : (lead >> 3) == 0x1E ? 4
                                          : 1;
  if (i + len > s.size()) return 1;
  for (std::size_t k = 1; k < len; ++k)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 1;
  return len;
}

}  // namespace

std::string CutToBytes(const std::string& name, std::size_t maxBytes) {
  if (name.size() <= maxBytes) return name;
  std::size_t end = 0;
  while (end < name.size()) {
    const std::size_t next = end + CharLength(name, end);
    if (next > maxBytes) break;
    end = next;
  }
  return name.substr(0, end);
}

}  // namespace glyphwell::builder
