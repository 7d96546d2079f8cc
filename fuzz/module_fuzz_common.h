#pragma once
// Shared body of the PE and NE fuzz targets: lists a module the way the grid does
// (counting read with the group map, facts of each position, a few pictures) in
// the Icon and Bmp modes, and through the Normal mode's shell emulation.

#include <cstdint>
#include <vector>

#include "extract/shell_icons.h"
#include "extract/source_reader.h"

namespace glyphwell::fuzz {

inline void ListModule(const std::uint8_t* data, std::size_t size) {
  using namespace glyphwell::extract;
  std::vector<std::uint8_t> bytes(data, data + size);
  for (ExtractionMode mode : {ExtractionMode::kIcon, ExtractionMode::kBmp}) {
    SourceReader reader;
    reader.setMode(mode);
    reader.file().image = bytes;
    reader.file().enumerateGroups = true;
    int total = reader.ReadImage("fuzz.dll", false, 0, nullptr);
    reader.file().enumerateGroups = false;
    for (int p = 0; p < total && p < 64; ++p) {
      auto index = reader.MapDisplayPosition(p, total);
      reader.ReadImage("fuzz.dll", true, static_cast<int>(index), nullptr);
      reader.ExtractedName(static_cast<std::size_t>(p));
      if (p < 4) {
        imaging::Picture picture;
        reader.ExtractToPicture("fuzz.dll", p, picture);
      }
    }
  }
  int groups = ShellIconCount(bytes, ".dll");
  for (int i = 0; i < groups && i < 4; ++i) {
    ShellExtractIcon(bytes, ".dll", i, kLargeIconSize);
    ShellExtractIcon(bytes, ".dll", i, kSmallIconSize);
  }
}

}  // namespace glyphwell::fuzz
