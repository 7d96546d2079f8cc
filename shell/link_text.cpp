#include "shell/link_text.h"

namespace glyphwell::shell {

namespace {

void AppendCodePoint(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Windows-1252 0x80..0x9F; 0 marks the five unassigned bytes (kept as U+FFFD).
constexpr std::uint16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

std::string Utf16leToUtf8(std::span<const std::uint8_t> bytes) {
  std::string out;
  const std::size_t units = bytes.size() / 2;
  for (std::size_t i = 0; i < units; ++i) {
    std::uint32_t u = bytes[2 * i] | (bytes[2 * i + 1] << 8);
    if (u >= 0xD800 && u < 0xDC00 && i + 1 < units) {
      const std::uint32_t lo = bytes[2 * i + 2] | (bytes[2 * i + 3] << 8);
      if (lo >= 0xDC00 && lo < 0xE000) {
        AppendCodePoint(out, 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00));
        ++i;
        continue;
      }
    }
    if (u >= 0xD800 && u < 0xE000) u = 0xFFFD;
    AppendCodePoint(out, u);
  }
  return out;
}

bool IsValidUtf8(std::span<const std::uint8_t> b) {
  std::size_t i = 0;
  while (i < b.size()) {
    const std::uint8_t c = b[i];
    std::size_t n = 0;
    std::uint32_t cp = 0;
    if (c < 0x80) {
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      n = 1, cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      n = 2, cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      n = 3, cp = c & 0x07;
    } else {
      return false;
    }
    if (n >= b.size() - i) return false;  // truncated sequence
    for (std::size_t k = 1; k <= n; ++k) {
      if ((b[i + k] & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (b[i + k] & 0x3F);
    }
    const std::uint32_t minimum[] = {0, 0x80, 0x800, 0x10000};
    if (cp < minimum[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) return false;
    i += n + 1;
  }
  return true;
}

std::string AnsiToUtf8(std::span<const std::uint8_t> bytes) {
  if (IsValidUtf8(bytes)) return std::string(bytes.begin(), bytes.end());
  std::string out;
  for (std::uint8_t c : bytes) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0xA0) {
      const std::uint16_t cp = kCp1252High[c - 0x80];
      AppendCodePoint(out, cp != 0 ? cp : 0xFFFD);
    } else {
      AppendCodePoint(out, c);
    }
  }
  return out;
}

}  // namespace glyphwell::shell
