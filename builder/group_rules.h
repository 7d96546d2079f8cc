#pragma once
// Icon groups: runs of adjacent entries with the same GroupId >= 0. A group becomes
// one icon with several images in an icon library.

#include <cstdint>
#include <vector>

#include "builder/icon_entry.h"

namespace glyphwell::builder {

// Walks the list from the start: a run of one entry becomes ungrouped (GroupId -1,
// GroupCount 1); every member of a longer run gets GroupCount = the run length.
// Two separate runs may carry the same number.
void NormalizeGroups(std::vector<TIconEntry>& entries);

// The smallest number from 0 to 99999 that no entry uses; -1 when the list is empty
// or every number is taken.
std::int32_t NewGroupId(const std::vector<TIconEntry>& entries);

}  // namespace glyphwell::builder
