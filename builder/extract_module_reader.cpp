#include "builder/extract_module_reader.h"

#include "builder/icon_block.h"
#include "builder/png_block.h"
#include "extract/icon_stream.h"

namespace glyphwell::builder {

bool ExtractModuleReader::Load(const std::string& path) {
  extract::LoadedFile& file = reader_.file();
  reader_.setMode(extract::ExtractionMode::kIcon);
  file.forceIcons = true;
  file.enumerateGroups = true;
  file.groupMap.clear();
  file.idList.clear();
  file.idCeiling = 0;
  file.typeDirectory = 0;
  total_ = 0;
  path_ = path;
  if (!reader_.LoadWholeFile(path, false)) return false;
  total_ = reader_.ReadImage(path, false, 0, nullptr);
  return true;
}

std::optional<DecodedImage> ExtractModuleReader::Decode(int position, bool reducePng) {
  if (position < 0 || position >= total_) return std::nullopt;
  const auto index = static_cast<int>(reader_.MapDisplayPosition(position, total_));
  auto decoded = DecodeIndex(index, reducePng);
  if (!decoded) return std::nullopt;
  if (static_cast<std::size_t>(position) < reader_.file().groupMap.size())
    decoded->groupText = reader_.file().groupMap[static_cast<std::size_t>(position)].ToText();
  return decoded;
}

std::optional<DecodedImage> ExtractModuleReader::DecodeSourceIndex(int srcIndex, bool reducePng) {
  return DecodeIndex(srcIndex, reducePng);
}

std::optional<DecodedImage> ExtractModuleReader::DecodeIndex(int index, bool reducePng) {
  if (!reader_.file().loaded() || index < 0) return std::nullopt;
  if (reducePng)
    reader_.setPngDepthReducer(
        [](imaging::Bitmap& image, int bitCount) { ReduceToBitCount(image, bitCount); });
  else
    reader_.setPngDepthReducer({});
  imaging::Picture picture;
  if (!reader_.ExtractToPicture(path_, index, picture) || !picture.icon) return std::nullopt;
  // The decoded icon as a one-image icon file, without its header and entry.
  const std::vector<std::uint8_t>& stream = picture.icon->stream();
  if (stream.size() <= extract::kOneImageDataOffset) return std::nullopt;
  const auto data = std::span(stream).subspan(extract::kOneImageDataOffset);
  DecodedImage image;
  image.srcIndex = index;
  image.isPng = reader_.file().facts.png;
  if (extract::StartsWithPng(data)) {
    auto block = BlockFromPng(data, 0);
    if (!block) return std::nullopt;
    image.block = std::move(*block);
  } else {
    if (!IsCompleteIconBlock(data)) return std::nullopt;
    image.block.assign(data.begin(), data.end());
  }
  return image;
}

void ExtractModuleReader::Release() {
  reader_.file().Release();
  total_ = 0;
}

}  // namespace glyphwell::builder
