#include "extract/icon_stream.h"

#include "platform/byte_writer.h"

namespace glyphwell::extract {

std::optional<IconDirEntry> IconDirEntry::Read(const platform::ByteReader& r, std::size_t offset) {
  if (!r.Fits(offset, kIconEntryBytes)) return std::nullopt;
  IconDirEntry e;
  e.width = *r.u8(offset);
  e.height = *r.u8(offset + 1);
  e.colourCount = *r.u8(offset + 2);
  e.reserved = *r.u8(offset + 3);
  e.planes = *r.u16le(offset + 4);
  e.bitCount = *r.u16le(offset + 6);
  e.bytesInResource = *r.u32le(offset + 8);
  e.imageOffset = *r.u32le(offset + 12);
  return e;
}

void IconDirEntry::Write(std::vector<std::uint8_t>& out) const {
  std::uint8_t b[kIconEntryBytes] = {width, height, colourCount, reserved};
  platform::PutU16le(b + 4, planes);
  platform::PutU16le(b + 6, bitCount);
  platform::PutU32le(b + 8, bytesInResource);
  platform::PutU32le(b + 12, imageOffset);
  out.insert(out.end(), b, b + kIconEntryBytes);
}

bool StartsWithPng(std::span<const std::uint8_t> data) {
  return data.size() >= 4 && data[0] == 0x89 && data[1] == 'P' && data[2] == 'N' && data[3] == 'G';
}

std::uint8_t ColourCountFor(std::uint32_t planes, std::uint32_t bitCount) {
  std::uint64_t product = static_cast<std::uint64_t>(planes) * bitCount;
  return product < 8 ? static_cast<std::uint8_t>(1u << product) : 0;
}

std::vector<std::uint8_t> BuildOneImageStream(std::uint16_t reserved, IconDirEntry entry,
                                              std::span<const std::uint8_t> data) {
  std::vector<std::uint8_t> out;
  out.reserve(kOneImageDataOffset + data.size());
  std::uint8_t header[kIconHeaderBytes];
  platform::PutU16le(header, reserved);
  platform::PutU16le(header + 2, 1);
  platform::PutU16le(header + 4, 1);
  out.insert(out.end(), header, header + kIconHeaderBytes);
  entry.imageOffset = kOneImageDataOffset;
  entry.Write(out);
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

std::vector<std::uint8_t> EncodeIconDib(const imaging::Bitmap& image) {
  platform::ByteWriter w;
  if (image.empty()) return {};
  int bits = image.bits() == 15 ? 16 : image.bits();
  std::size_t tableEntries = bits == 8 ? 256 : (bits < 8 ? (std::size_t{1} << bits) : 0);
  std::size_t imageSize = image.stride() * static_cast<std::size_t>(image.height());
  w.u32(40);
  w.u32(static_cast<std::uint32_t>(image.width()));
  w.u32(static_cast<std::uint32_t>(image.height()));
  w.u16(1);
  w.u16(static_cast<std::uint16_t>(bits));
  w.u32(0);
  w.u32(static_cast<std::uint32_t>(imageSize));
  w.u32(0);
  w.u32(0);
  w.u32(0);
  w.u32(0);
  const auto& table = image.colourTable();
  for (std::size_t i = 0; i < tableEntries; ++i) {
    imaging::Rgbq q = i < table.size() ? table[i] : imaging::Rgbq{};
    w.u8(q.blue);
    w.u8(q.green);
    w.u8(q.red);
    w.u8(0);
  }
  for (int y = image.height() - 1; y >= 0; --y)
    w.append(std::span<const std::uint8_t>(image.row(y), image.stride()));
  return std::move(w.bytes());
}

}  // namespace glyphwell::extract
