// libPelmora's bitmap reading and icon assembly over arbitrary bytes. The library is
// its own deliverable with no static library of its own, so its two sources are
// compiled into this target directly.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "pelmora/bitmap_file.cpp"
#include "pelmora/icon_assembly.cpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::span<const std::uint8_t> file(data, size);
  auto bmp = pelmora::ParseBitmapFile(file);
  if (!bmp) return 0;
  // The host packs the mask for exactly the bitmap's size.
  std::vector<std::uint8_t> mask(pelmora::MaskRowBytes(static_cast<std::uint32_t>(bmp->width)) *
                                     static_cast<std::size_t>(bmp->height),
                                 0xA5);
  auto icon = pelmora::BuildIconFile(*bmp, mask.data());
  auto opaque = pelmora::BuildIconFile(*bmp, nullptr);
  if (icon && opaque && icon->size() != opaque->size()) __builtin_trap();
  return 0;
}
