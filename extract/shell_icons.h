#pragma once
// The Normal mode: icons as the desktop shell gives them, emulated from our own
// parser. The count is the number of icon groups of a module (1 for an icon or
// cursor file, 0 for a file without icons); icon i is group i; its large icon is
// the group's image closest to 32x32 and its small icon the one closest to 16x16,
// the deepest colour winning at equal size.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "imaging/icon_image.h"

namespace glyphwell::extract {

inline constexpr int kLargeIconSize = 32;
inline constexpr int kSmallIconSize = 16;

// `extension` is the lower-case extension with its dot (".ico", ".dll", ...).
int ShellIconCount(std::span<const std::uint8_t> file, const std::string& extension);

// Icon `index` at the size wanted (kLargeIconSize or kSmallIconSize); nullopt when
// there is no such icon or none of its images can be decoded.
std::optional<imaging::IconImage> ShellExtractIcon(std::span<const std::uint8_t> file,
                                                   const std::string& extension, int index,
                                                   int size);

}  // namespace glyphwell::extract
