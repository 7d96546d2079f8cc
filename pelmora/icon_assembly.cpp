#include "pelmora/icon_assembly.h"

#include <cstring>
#include <limits>

namespace pelmora {

namespace {

constexpr std::uint32_t kImageOffset = 22;

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  PutU16(out, static_cast<std::uint16_t>(v));
  PutU16(out, static_cast<std::uint16_t>(v >> 16));
}

void PatchU32(std::vector<std::uint8_t>& out, std::size_t off, std::uint32_t v) {
  for (int i = 0; i < 4; ++i)
    out[off + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace

std::optional<std::vector<std::uint8_t>> BuildIconFile(const BitmapFile& bmp,
                                                       const std::uint8_t* mask) {
  const auto width = static_cast<std::uint32_t>(bmp.width);
  const auto height = static_cast<std::uint32_t>(bmp.height);
  const std::size_t maskBytes = MaskRowBytes(width) * height;
  const std::size_t resourceBytes =
      std::size_t{40} + bmp.colourTable.size() + bmp.imageSize + maskBytes;
  if (resourceBytes > std::numeric_limits<std::uint32_t>::max() - kImageOffset) return std::nullopt;

  const unsigned depth = static_cast<unsigned>(bmp.planes) * bmp.bitCount;
  const std::uint8_t colourCount = depth < 8 ? static_cast<std::uint8_t>(1u << depth) : 0;

  std::vector<std::uint8_t> out;
  out.reserve(kImageOffset + resourceBytes);
  PutU16(out, 0);                                          // reserved
  PutU16(out, 1);                                          // type: icon
  PutU16(out, 1);                                          // one image
  out.push_back(static_cast<std::uint8_t>(width & 0xFF));  // 256 is written as 0
  out.push_back(static_cast<std::uint8_t>(height & 0xFF));
  out.push_back(colourCount);
  out.push_back(0);
  PutU16(out, bmp.planes);
  PutU16(out, bmp.bitCount);
  PutU32(out, static_cast<std::uint32_t>(resourceBytes));
  PutU32(out, kImageOffset);

  const std::size_t header = out.size();
  out.insert(out.end(), bmp.infoHeader.begin(), bmp.infoHeader.end());
  PatchU32(out, header + 0, 40);  // a larger source header is cut to its first 40 bytes
  PatchU32(out, header + 8, height * 2);
  PatchU32(out, header + 20, static_cast<std::uint32_t>(bmp.imageSize + maskBytes));
  for (std::size_t field = 24; field < 40; field += 4)  // resolutions, used, important
    PatchU32(out, header + field, 0);

  out.insert(out.end(), bmp.colourTable.begin(), bmp.colourTable.end());
  out.insert(out.end(), bmp.rows.begin(), bmp.rows.end());
  if (mask)
    out.insert(out.end(), mask, mask + maskBytes);
  else
    out.insert(out.end(), maskBytes, 0);
  return out;
}

}  // namespace pelmora
