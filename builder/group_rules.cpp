#include "builder/group_rules.h"

namespace glyphwell::builder {

void NormalizeGroups(std::vector<TIconEntry>& entries) {
  std::size_t i = 0;
  while (i < entries.size()) {
    const std::int32_t id = entries[i].GroupId;
    if (id < 0) {
      ++i;
      continue;
    }
    std::size_t end = i + 1;
    while (end < entries.size() && entries[end].GroupId == id)
      ++end;
    const std::size_t run = end - i;
    for (std::size_t k = i; k < end; ++k) {
      if (run == 1) {
        entries[k].GroupId = kNoGroup;
        entries[k].GroupCount = 1;
      } else {
        entries[k].GroupCount = static_cast<std::int32_t>(run);
      }
    }
    i = end;
  }
}

std::int32_t NewGroupId(const std::vector<TIconEntry>& entries) {
  constexpr std::int32_t kLimit = 100000;
  if (entries.empty()) return -1;
  std::vector<bool> used(kLimit, false);
  for (const auto& e : entries)
    if (e.GroupId >= 0 && e.GroupId < kLimit) used[static_cast<std::size_t>(e.GroupId)] = true;
  for (std::int32_t id = 0; id < kLimit; ++id)
    if (!used[static_cast<std::size_t>(id)]) return id;
  return -1;
}

}  // namespace glyphwell::builder
