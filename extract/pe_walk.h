#pragma once
// The PE half of the resource walk (see module_walker.h).

#include <cstdint>
#include <span>

#include "extract/module_walker.h"

namespace glyphwell::extract {

// Walks a PE module whose "PE" signature is at peOffset.
int WalkPe(WalkContext& ctx, std::span<const std::uint8_t> image, std::uint32_t peOffset,
           bool infoOnly, int index, imaging::Picture* picture);

// Counts the entries of the type directory at `directory` into file.imageCount and,
// unless only the count is wanted, decodes the image at `index`.
bool ReadTypeDirectory(WalkContext& ctx, std::span<const std::uint8_t> image, bool infoOnly,
                       int index, imaging::Picture* picture, std::uint64_t directory);

// Builds the group map and ID list from the RT_GROUP_ICON directory.
void EnumeratePeGroups(WalkContext& ctx, std::span<const std::uint8_t> image,
                       const ResourceSection& section);

}  // namespace glyphwell::extract
