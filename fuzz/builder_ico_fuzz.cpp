// The builder's icon-file reader: every entry taken in as a block, drawn, and
// written back out as an icon file and as an icon library; the bytes are also
// taken as a block on their own.
#include <cstdint>
#include <span>
#include <string>

#include "builder/icl_file_writer.h"
#include "builder/ico_file_writer.h"
#include "builder/icon_block.h"
#include "builder/icon_file_images.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace glyphwell;
  std::span<const std::uint8_t> bytes(data, size);
  const bool pngiclchg = size > 0 && (data[size - 1] & 1);
  builder::IconFileImages read = builder::ReadIconFileImages(bytes, pngiclchg);
  std::vector<builder::TIconEntry> entries;
  std::vector<int> selection;
  for (auto& image : read.images) {
    imaging::Bitmap colour, mask;
    builder::RenderIconBlock(image.block, colour);
    builder::RenderIconBlockMask(image.block, mask);
    builder::TIconEntry e;
    e.Image = std::move(image.block);
    e.GroupId = static_cast<std::int32_t>(entries.size() / 2);
    selection.push_back(static_cast<int>(entries.size()));
    entries.push_back(std::move(e));
    if (entries.size() >= 16) break;
  }
  std::string error;
  builder::EncodeIconFile(entries, selection, {}, error);
  builder::EncodeIconLibrary(entries, selection, {}, error);

  imaging::Bitmap colour, mask;
  builder::RenderIconBlock(bytes, colour);
  builder::RenderIconBlockMask(bytes, mask);
  builder::IsCompleteIconBlock(bytes);
  return 0;
}
