#pragma once
// Reader of Windows shortcut files (the Shell Link binary format): the header, the
// target ID list (skipped), the LinkInfo block with the local base path and common
// path suffix, and the string data (name, relative path, working folder, arguments,
// icon location). The bytes are untrusted: every offset and size is checked.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace glyphwell::shell {

// LinkFlags bits used here.
inline constexpr std::uint32_t kHasLinkTargetIdList = 0x1;
inline constexpr std::uint32_t kHasLinkInfo = 0x2;
inline constexpr std::uint32_t kHasName = 0x4;
inline constexpr std::uint32_t kHasRelativePath = 0x8;
inline constexpr std::uint32_t kHasWorkingDir = 0x10;
inline constexpr std::uint32_t kHasArguments = 0x20;
inline constexpr std::uint32_t kHasIconLocation = 0x40;
inline constexpr std::uint32_t kIsUnicode = 0x80;
inline constexpr std::uint32_t kForceNoLinkInfo = 0x100;

// LinkInfoFlags bits.
inline constexpr std::uint32_t kVolumeIdAndLocalBasePath = 0x1;
inline constexpr std::uint32_t kCommonNetworkRelativeLink = 0x2;

inline constexpr std::uint32_t kShellLinkHeaderSize = 0x4C;
// 00021401-0000-0000-C000-000000000046 as stored.
inline constexpr std::uint8_t kShellLinkClsid[16] = {
    0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

// What a shortcut says, all text as UTF-8 (Windows paths as written).
struct ShellLinkData {
  std::uint32_t linkFlags = 0;
  std::uint32_t fileAttributes = 0;
  std::string localBasePath;     // from LinkInfo, e.g. "C:\Program Files\App\app.exe"
  std::string commonPathSuffix;  // appended to the base path (usually empty)
  std::string name;              // description
  std::string relativePath;      // relative to the shortcut's folder, e.g. ".\app.exe"
  std::string workingDir;
  std::string arguments;
  std::string iconLocation;

  // localBasePath joined with commonPathSuffix; empty without a local path.
  std::string LocalTarget() const;
};

// Longest string a shortcut may carry here; longer counts mark a damaged file.
inline constexpr std::size_t kMaxLinkStringChars = 32767;

// Parses a shortcut image; nothing when the bytes are not a readable shortcut.
// Damaged optional parts (LinkInfo, strings) leave their fields empty rather than
// failing the whole file, as long as the header is sound.
std::optional<ShellLinkData> ParseShellLink(std::span<const std::uint8_t> bytes);

}  // namespace glyphwell::shell
