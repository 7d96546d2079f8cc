// Bitmap resources: header checks, colour tables, RLE8/RLE4 expansion and bit
// fields. The first byte picks the RLE expansion run on the rest directly.
#include <cstdint>
#include <span>
#include <vector>

#include "extract/bitmap_decoder.h"
#include "platform/byte_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace glyphwell;
  std::span<const std::uint8_t> bytes(data, size);
  platform::ByteReader r(bytes);
  // Keep sizes small enough that the fuzzer spends its time on the parsing.
  auto w = r.i32le(4), h = r.i32le(8);
  if (w && h && static_cast<long long>(*w) * *h > (1 << 22)) return 0;
  extract::ImageFacts facts;
  extract::DecodeBitmapResource(bytes, true, nullptr, static_cast<std::int64_t>(size), 0, facts);
  imaging::Picture picture;
  extract::DecodeBitmapResource(bytes, false, &picture, static_cast<std::int64_t>(size), 0, facts);
  if (size > 3) {
    std::vector<std::uint8_t> out;
    extract::ExpandRle(1 + (data[0] & 1), bytes.subspan(3), out, 1 + data[1] % 64,
                       1 + data[2] % 64);
  }
  return 0;
}
