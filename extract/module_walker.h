#pragma once
// The resource walk over a PE or NE module held whole in memory: finds the module
// kind, the resource data and the directory of the wanted type (RT_ICON, or
// RT_BITMAP in the Bmp mode), counts its images, and hands the bytes of one image
// to the decoders. The first counting read of a file also builds the group map and
// the ID list. Every read stays inside the file image whatever its counts and
// offsets say; a position that points outside is invalid and the others still work.

#include <cstdint>
#include <optional>
#include <span>

#include "extract/extraction_mode.h"
#include "extract/icon_decoder.h"
#include "extract/loaded_file.h"
#include "imaging/picture.h"

namespace glyphwell::extract {

// Upper bounds that keep a hostile file from growing memory or loops without end.
inline constexpr std::size_t kMaxGroupMapEntries = 1u << 20;
inline constexpr int kMaxChainedTables = 1u << 16;

struct WalkContext {
  LoadedFile& file;
  ExtractionMode mode;
  GroupCounters& counters;
  const PngDepthReducer& reduce;
};

// The module branch of ReadImage. Returns the number of images of the wanted type
// (0 when none can be read) and sets `file.facts.valid`.
int WalkModule(WalkContext& ctx, std::span<const std::uint8_t> image, bool infoOnly, int index,
               imaging::Picture* picture);

enum class ModuleKind { kNone, kPe, kNe };
// The module kind and the offset of its PE or NE header.
struct ModuleHeader {
  ModuleKind kind = ModuleKind::kNone;
  std::uint32_t offset = 0;
};
ModuleHeader FindModuleHeader(std::span<const std::uint8_t> image);

// The resource section of a PE module: file offset and relative virtual address.
struct ResourceSection {
  std::uint32_t rawOffset = 0;
  std::uint32_t address = 0;
};
std::optional<ResourceSection> FindResourceSection(std::span<const std::uint8_t> image,
                                                   std::uint32_t peOffset);

// Bisection search for `id` among the ID entries of the directory table at `table`
// (a file offset). Returns the file offset the entry's offset-to-data points at
// (bit 31 cleared, from the start of the resource section) and whether that is a
// subdirectory.
struct DirectoryTarget {
  std::uint64_t offset = 0;
  bool subdirectory = false;
};
std::optional<DirectoryTarget> FindTypeEntry(std::span<const std::uint8_t> image,
                                             std::uint32_t rawOffset, std::uint64_t table,
                                             std::uint16_t id);

// Follows a resource entry's target down to its data: through the first entry of a
// language table when it is one. Returns the data entry's file offset of the data
// (address - resource address + raw offset) and its size.
struct ResourceData {
  std::int64_t offset = 0;
  std::int64_t size = 0;
};
std::optional<ResourceData> ResolveResourceData(std::span<const std::uint8_t> image,
                                                const ResourceSection& section,
                                                DirectoryTarget target);

}  // namespace glyphwell::extract
