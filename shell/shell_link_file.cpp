#include "shell/shell_link_file.h"

#include <algorithm>
#include <cstring>

#include "platform/byte_reader.h"
#include "shell/link_text.h"

namespace glyphwell::shell {

using platform::ByteReader;

namespace {

// A NUL-terminated 8-bit string starting at `off`; nothing without a terminator.
std::optional<std::string> AnsiZ(const ByteReader& r, std::size_t off) {
  if (!r.Fits(off, 0)) return std::nullopt;
  for (std::size_t end = off; end < r.size(); ++end) {
    if (*r.u8(end) == 0) return AnsiToUtf8(*r.Slice(off, end - off));
  }
  return std::nullopt;
}

// A NUL-terminated UTF-16LE string starting at `off`.
std::optional<std::string> UnicodeZ(const ByteReader& r, std::size_t off) {
  for (std::size_t end = off; r.Fits(end, 2); end += 2) {
    if (*r.u16le(end) == 0) return Utf16leToUtf8(*r.Slice(off, end - off));
  }
  return std::nullopt;
}

void ReadLinkInfo(const ByteReader& info, ShellLinkData& out) {
  const auto headerSize = info.u32le(4);
  const auto flags = info.u32le(8);
  const auto baseOffset = info.u32le(16);
  const auto suffixOffset = info.u32le(24);
  if (!headerSize || !flags || !baseOffset || !suffixOffset) return;
  std::uint32_t baseUnicode = 0, suffixUnicode = 0;
  if (*headerSize >= 0x24) {
    baseUnicode = info.u32le(28).value_or(0);
    suffixUnicode = info.u32le(32).value_or(0);
  }
  if (*flags & kVolumeIdAndLocalBasePath) {
    auto base = baseUnicode != 0 ? UnicodeZ(info, baseUnicode) : AnsiZ(info, *baseOffset);
    if (base) out.localBasePath = *base;
  }
  auto suffix = suffixUnicode != 0   ? UnicodeZ(info, suffixUnicode)
                : *suffixOffset != 0 ? AnsiZ(info, *suffixOffset)
                                     : std::optional<std::string>();
  if (suffix) out.commonPathSuffix = *suffix;
}

// One counted string of the string data; advances `off`.
std::optional<std::string> CountedString(const ByteReader& r, std::size_t& off, bool unicode) {
  const auto count = r.u16le(off);
  if (!count) return std::nullopt;
  const std::size_t bytes = unicode ? std::size_t{*count} * 2 : *count;
  const auto text = r.Slice(off + 2, bytes);
  if (!text) return std::nullopt;
  off += 2 + bytes;
  return unicode ? Utf16leToUtf8(*text) : AnsiToUtf8(*text);
}

}  // namespace

std::string ShellLinkData::LocalTarget() const {
  if (localBasePath.empty()) return {};
  if (commonPathSuffix.empty()) return localBasePath;
  if (localBasePath.back() == '\\') return localBasePath + commonPathSuffix;
  return localBasePath + "\\" + commonPathSuffix;
}

std::optional<ShellLinkData> ParseShellLink(std::span<const std::uint8_t> bytes) {
  const ByteReader r(bytes);
  const auto headerSize = r.u32le(0);
  const auto clsid = r.Slice(4, 16);
  if (!headerSize || *headerSize != kShellLinkHeaderSize || !clsid ||
      !std::equal(clsid->begin(), clsid->end(), std::begin(kShellLinkClsid)) ||
      !r.Fits(0, kShellLinkHeaderSize)) {
    return std::nullopt;
  }
  ShellLinkData out;
  out.linkFlags = *r.u32le(20);
  out.fileAttributes = *r.u32le(24);
  std::size_t off = kShellLinkHeaderSize;

  if (out.linkFlags & kHasLinkTargetIdList) {
    const auto idListSize = r.u16le(off);
    if (!idListSize || !r.Fits(off + 2, *idListSize)) return out;
    off += 2 + *idListSize;
  }
  if (out.linkFlags & kHasLinkInfo) {
    const auto infoSize = r.u32le(off);
    if (!infoSize || *infoSize < 4) return out;
    const auto info = r.Slice(off, *infoSize);
    if (!info) return out;
    if (!(out.linkFlags & kForceNoLinkInfo)) ReadLinkInfo(ByteReader(*info), out);
    off += *infoSize;
  }
  const bool unicode = (out.linkFlags & kIsUnicode) != 0;
  const std::pair<std::uint32_t, std::string*> strings[] = {
      {kHasName, &out.name},
      {kHasRelativePath, &out.relativePath},
      {kHasWorkingDir, &out.workingDir},
      {kHasArguments, &out.arguments},
      {kHasIconLocation, &out.iconLocation},
  };
  for (const auto& [flag, field] : strings) {
    if (!(out.linkFlags & flag)) continue;
    auto text = CountedString(r, off, unicode);
    if (!text) break;  // the rest of the string data is unreadable
    *field = std::move(*text);
  }
  return out;
}

}  // namespace glyphwell::shell
