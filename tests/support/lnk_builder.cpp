#include "tests/support/lnk_builder.h"

#include "platform/byte_writer.h"

namespace glyphwell::testsupport {

namespace {

constexpr std::uint8_t kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                         0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
// The "computer" root folder item of an ID list.
constexpr std::uint8_t kComputerClsid[16] = {0xE0, 0x4F, 0xD0, 0x20, 0xEA, 0x3A, 0x69, 0x10,
                                             0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};

void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i)
    b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::vector<std::uint8_t> LinkInfo(const LnkSpec& desc) {
  const std::uint32_t headerSize = desc.unicodeLinkInfo ? 0x24 : 0x1C;
  std::vector<std::uint8_t> b(headerSize, 0);
  // VolumeID: size, drive type (fixed), serial, label offset, empty label
  const std::uint32_t volumeOffset = static_cast<std::uint32_t>(b.size());
  const std::uint8_t volume[17] = {0x11, 0,    0,    0,    3, 0, 0, 0, 0x78,
                                   0x56, 0x34, 0x12, 0x10, 0, 0, 0, 0};
  b.insert(b.end(), volume, volume + 17);
  const auto baseOffset = static_cast<std::uint32_t>(b.size());
  b.insert(b.end(), desc.localBasePath.begin(), desc.localBasePath.end());
  b.push_back(0);
  const auto suffixOffset = static_cast<std::uint32_t>(b.size());
  b.insert(b.end(), desc.commonPathSuffix.begin(), desc.commonPathSuffix.end());
  b.push_back(0);
  std::uint32_t baseUnicode = 0, suffixUnicode = 0;
  if (desc.unicodeLinkInfo) {
    if (b.size() % 2) b.push_back(0);
    baseUnicode = static_cast<std::uint32_t>(b.size());
    auto u = Utf16le(desc.localBasePath);
    b.insert(b.end(), u.begin(), u.end());
    b.push_back(0), b.push_back(0);
    suffixUnicode = static_cast<std::uint32_t>(b.size());
    u = Utf16le(desc.commonPathSuffix);
    b.insert(b.end(), u.begin(), u.end());
    b.push_back(0), b.push_back(0);
  }
  Put32(b, 0, static_cast<std::uint32_t>(b.size()));
  Put32(b, 4, headerSize);
  Put32(b, 8, 1);  // VolumeIDAndLocalBasePath
  Put32(b, 12, volumeOffset);
  Put32(b, 16, baseOffset);
  Put32(b, 20, 0);
  Put32(b, 24, suffixOffset);
  if (desc.unicodeLinkInfo) {
    Put32(b, 28, baseUnicode);
    Put32(b, 32, suffixUnicode);
  }
  return b;
}

}  // namespace

std::vector<std::uint8_t> Utf16le(const std::string& s) {
  std::vector<std::uint8_t> out;
  auto unit = [&out](std::uint32_t u) {
    out.push_back(static_cast<std::uint8_t>(u));
    out.push_back(static_cast<std::uint8_t>(u >> 8));
  };
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    std::uint32_t cp = c;
    int extra = 0;
    if (c >= 0xF0)
      cp = c & 0x07, extra = 3;
    else if (c >= 0xE0)
      cp = c & 0x0F, extra = 2;
    else if (c >= 0xC0)
      cp = c & 0x1F, extra = 1;
    ++i;
    for (int k = 0; k < extra && i < s.size(); ++k, ++i) {
      cp = (cp << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      unit(0xD800 + (cp >> 10));
      unit(0xDC00 + (cp & 0x3FF));
    } else {
      unit(cp);
    }
  }
  return out;
}

std::vector<std::uint8_t> BuildLnk(const LnkSpec& desc) {
  std::uint32_t flags = 0;
  if (desc.withIdList) flags |= 0x1;
  if (desc.withLinkInfo) flags |= 0x2;
  if (!desc.name.empty()) flags |= 0x4;
  if (!desc.relativePath.empty()) flags |= 0x8;
  if (!desc.workingDir.empty()) flags |= 0x10;
  if (!desc.arguments.empty()) flags |= 0x20;
  if (!desc.iconLocation.empty()) flags |= 0x40;
  if (desc.unicodeStrings) flags |= 0x80;
  if (desc.forceNoLinkInfo) flags |= 0x100;

  platform::ByteWriter w;
  w.u32(0x4C);
  w.append(kLinkClsid);
  w.u32(flags);
  w.u32(0x20);  // FILE_ATTRIBUTE_ARCHIVE
  for (int i = 0; i < 3; ++i)
    w.u32(0), w.u32(0);          // creation, access, write times
  w.u32(1234);                   // file size
  w.u32(0);                      // icon index
  w.u32(1);                      // SW_SHOWNORMAL
  w.u16(0);                      // hot key
  w.u16(0), w.u32(0), w.u32(0);  // reserved
  if (desc.withIdList) {
    w.u16(0x14 + 2);  // IDListSize: one item and the terminator
    w.u16(0x14);      // item size
    w.u8(0x1F), w.u8(0x50);
    w.append(kComputerClsid);
    w.u16(0);  // TerminalID
  }
  if (desc.withLinkInfo) w.append(LinkInfo(desc));
  for (const std::string* s :
       {&desc.name, &desc.relativePath, &desc.workingDir, &desc.arguments, &desc.iconLocation}) {
    if (s->empty()) continue;
    if (desc.unicodeStrings) {
      const auto u = Utf16le(*s);
      w.u16(static_cast<std::uint16_t>(u.size() / 2));
      w.append(u);
    } else {
      w.u16(static_cast<std::uint16_t>(s->size()));
      w.append(std::span(reinterpret_cast<const std::uint8_t*>(s->data()), s->size()));
    }
  }
  w.u32(0);  // TerminalBlock of the extra data
  return w.bytes();
}

}  // namespace glyphwell::testsupport
