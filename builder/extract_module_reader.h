#pragma once
// The builder's module reader over the source reader's resource walk: reads NE
// modules in any mode and decodes every PE image with the icon decoder, collects
// the group map for the names, and hands out each image as an icon image block.

#include <string>

#include "builder/image_sources.h"
#include "extract/source_reader.h"

namespace glyphwell::builder {

class ExtractModuleReader final : public ModuleImageReader {
 public:
  ExtractModuleReader() = default;

  bool Load(const std::string& path) override;
  int ImageCount() override { return total_; }
  std::optional<DecodedImage> Decode(int position, bool reducePng) override;
  std::optional<DecodedImage> DecodeSourceIndex(int srcIndex, bool reducePng) override;
  void Release() override;

 private:
  std::optional<DecodedImage> DecodeIndex(int index, bool reducePng);

  extract::SourceReader reader_;
  std::string path_;
  int total_ = 0;
};

}  // namespace glyphwell::builder
