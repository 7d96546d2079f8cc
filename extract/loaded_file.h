#pragma once
// The state of the current source: the whole file image, where its resources are,
// the cached type directory, and the group map and ID list built by the first
// counting read of a module.

#include <cstdint>
#include <string>
#include <vector>

#include "extract/group_map_entry.h"
#include "extract/image_facts.h"

namespace glyphwell::extract {

struct LoadedFile {
  std::string path;       // as opened (a shortcut replaced by its target)
  std::string extension;  // lower case, with the dot (".dll"); empty when none
  // The whole file; empty = no image loaded (an empty file is never loaded).
  std::vector<std::uint8_t> image;
  std::uint32_t resourceRawOffset = 0;  // file offset of the resource section (PE)
  std::uint32_t resourceAddress = 0;    // its relative virtual address (PE)
  // Offset in `image` of the type directory found for the mode; 0 = walk again.
  std::uint32_t typeDirectory = 0;
  std::uint32_t imageCount = 0;
  bool enumerateGroups = false;  // build the group map on this read when it is empty
  bool forceIcons = false;       // builder reads: NE in any mode, PE with the icon decoder
  std::vector<GroupMapEntry> groupMap;
  std::vector<std::int64_t> idList;  // per position, the icon ID that belongs there (PE)
  std::int64_t idCeiling = 0;        // largest first ID + image count seen while building idList
  ImageFacts facts;                  // of the last image read

  bool loaded() const { return !image.empty(); }
  void Release() {
    image.clear();
    image.shrink_to_fit();
  }
};

// The two running group numbers of the group map, one for PE and one for NE
// modules. They start at 10000 and keep counting across files for the whole run.
struct GroupCounters {
  int pe = 10000;
  int ne = 10000;
};

}  // namespace glyphwell::extract
