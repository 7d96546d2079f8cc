#pragma once
// The NE half of the resource walk (see module_walker.h). Icon libraries (.icl) are
// NE modules that hold only icon resources.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "extract/module_walker.h"

namespace glyphwell::extract {

inline constexpr std::uint16_t kNeRtIcon = 0x8003;
inline constexpr std::uint16_t kNeRtGroupIcon = 0x800E;

// Walks an NE module whose "NE" header is at neOffset.
int WalkNe(WalkContext& ctx, std::span<const std::uint8_t> image, std::uint32_t neOffset,
           bool infoOnly, int index, imaging::Picture* picture);

// The layout of an NE resource table as read.
struct NeTypeRecord {
  std::uint16_t type = 0;
  std::uint16_t count = 0;
  std::uint64_t records = 0;  // file offset of its first 12-byte name record
};
struct NeResources {
  bool hasTable = false;
  std::uint64_t table = 0;  // file offset of the resource table
  std::uint64_t residentNames = 0;
  std::uint32_t shift = 0;          // alignment shift
  bool shiftUsable = false;         // false when the shift is too large to address a file
  std::vector<NeTypeRecord> types;  // in stored order, up to the end or an unreadable record
};
NeResources ReadNeResources(std::span<const std::uint8_t> image, std::uint32_t neOffset);

// File offset and length (in bytes) of name record `index` of a type record.
struct NeResource {
  std::uint64_t offset = 0;
  std::uint64_t length = 0;
  std::uint16_t id = 0;
};
std::optional<NeResource> ReadNeResource(std::span<const std::uint8_t> image,
                                         const NeResources& res, const NeTypeRecord& type,
                                         std::uint32_t index);

// Icon group names from the resident-name table (0x03 'I' 'C' 'L', then length-
// prefixed names); empty when the table does not start that way.
std::vector<std::string> ReadIconLibraryNames(std::span<const std::uint8_t> image,
                                              std::uint64_t residentNames);

}  // namespace glyphwell::extract
