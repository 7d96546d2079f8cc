#include "builder/icon_file_images.h"

#include "builder/icon_block.h"
#include "builder/png_block.h"
#include "platform/byte_reader.h"

namespace glyphwell::builder {

namespace {

bool StartsWithPngSignature(std::span<const std::uint8_t> data) {
  return data.size() >= 4 && data[0] == 0x89 && data[1] == 'P' && data[2] == 'N' && data[3] == 'G';
}

}  // namespace

std::optional<IconFileImage> ReadIconFileImage(std::span<const std::uint8_t> file, int n,
                                               bool pngiclchg) {
  platform::ByteReader r(file);
  const auto count = r.u16le(4);
  if (!count || n < 0 || n >= *count) return std::nullopt;
  const std::size_t entry = 6 + 16 * static_cast<std::size_t>(n);
  const auto bitCount = r.u16le(entry + 6);
  const auto bytesInRes = r.u32le(entry + 8);
  const auto offset = r.u32le(entry + 12);
  if (!bitCount || !bytesInRes || !offset) return std::nullopt;
  const std::size_t length = file.size();
  if (*bytesInRes > length || *offset > length) return std::nullopt;

  IconFileImage image;
  image.index = n;
  // Data that run past the end of the file cannot be read: the image fails.
  auto data = r.Slice(*offset, *bytesInRes);
  if (!data) return image;
  if (StartsWithPngSignature(*data)) {
    image.isPng = true;
    if (auto block = BlockFromPng(*data, pngiclchg ? *bitCount : 0)) image.block = *block;
    return image;
  }
  // Taken unchanged, but only when it is a whole icon image: a block that cannot be
  // drawn or written back counts as failed.
  if (IsCompleteIconBlock(*data)) image.block.assign(data->begin(), data->end());
  return image;
}

IconFileImages ReadIconFileImages(std::span<const std::uint8_t> file, bool pngiclchg,
                                  const std::function<bool()>& cancelled,
                                  const std::function<void()>& step) {
  IconFileImages result;
  platform::ByteReader r(file);
  const auto reserved = r.u16le(0), type = r.u16le(2), count = r.u16le(4);
  if (!reserved || !type || !count || *reserved != 0 || *type != 1) return result;
  result.isIconFile = true;
  result.count = *count;
  for (int n = 0; n < result.count; ++n) {
    if (cancelled && cancelled()) {
      result.cancelled = true;
      break;
    }
    auto image = ReadIconFileImage(file, n, pngiclchg);
    if (step) step();
    if (!image) continue;
    if (image->block.empty())
      ++result.failed;
    else
      result.images.push_back(std::move(*image));
  }
  return result;
}

}  // namespace glyphwell::builder
