#pragma once
// Builds Windows shortcut files (.lnk) byte by byte from the published layout of the
// Shell Link binary format, for tests and fuzz seeds: header, a small target ID
// list, a LinkInfo block with a volume and the local base path, and string data.

#include <cstdint>
#include <string>
#include <vector>

namespace glyphwell::testsupport {

struct LnkSpec {
  bool withIdList = true;
  bool withLinkInfo = true;
  bool forceNoLinkInfo = false;
  std::string localBasePath;  // 8-bit text (UTF-8 bytes are written as they are)
  std::string commonPathSuffix;
  bool unicodeLinkInfo = false;  // the 0x24-byte LinkInfo header with UTF-16 paths too
  bool unicodeStrings = true;    // IsUnicode: string data in UTF-16LE
  std::string name;              // string data; empty = absent
  std::string relativePath;
  std::string workingDir;
  std::string arguments;
  std::string iconLocation;
};

std::vector<std::uint8_t> BuildLnk(const LnkSpec& desc);

// UTF-8 to UTF-16LE bytes (no terminator).
std::vector<std::uint8_t> Utf16le(const std::string& utf8);

}  // namespace glyphwell::testsupport
