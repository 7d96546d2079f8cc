#include "output/temporary_bitmap.h"

#include <cstring>

#include "platform/byte_writer.h"

namespace glyphwell::output {

std::vector<std::uint8_t> EncodeTemporaryBitmap(const imaging::Bitmap& source) {
  if (source.empty()) return {};
  imaging::Bitmap widened;
  const imaging::Bitmap* image = &source;
  if (source.bits() == 15 || source.bits() == 16) {
    widened = source;
    widened.setPixelFormat(24);
    image = &widened;
  }
  const int bits = image->bits();
  const std::size_t tableEntries = bits <= 8 ? std::size_t{1} << bits : 0;
  const std::size_t rowBytes = imaging::RowBytes(image->width(), bits);
  const std::size_t imageBytes = rowBytes * static_cast<std::size_t>(image->height());
  const std::size_t offset = 54 + 4 * tableEntries;

  platform::ByteWriter out;
  out.bytes().reserve(offset + imageBytes);
  out.u8('B');
  out.u8('M');
  out.u32(static_cast<std::uint32_t>(offset + imageBytes));
  out.u32(0);
  out.u32(static_cast<std::uint32_t>(offset));
  out.u32(40);
  out.u32(static_cast<std::uint32_t>(image->width()));
  out.u32(static_cast<std::uint32_t>(image->height()));
  out.u16(1);
  out.u16(static_cast<std::uint16_t>(bits));
  out.u32(0);  // no compression
  out.u32(static_cast<std::uint32_t>(imageBytes));
  out.zeros(16);  // resolutions, colours used, important colours
  const imaging::ColourTable& table = image->colourTable();
  for (std::size_t i = 0; i < tableEntries; ++i) {
    imaging::Rgbq q = i < table.size() ? table[i] : imaging::Rgbq{};
    out.u8(q.blue);
    out.u8(q.green);
    out.u8(q.red);
    out.u8(0);
  }
  for (int y = image->height() - 1; y >= 0; --y)
    out.append(std::span<const std::uint8_t>(image->row(y), rowBytes));
  return std::move(out.bytes());
}

}  // namespace glyphwell::output
