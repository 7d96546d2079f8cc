#pragma once
// Which images the builder's writers store PNG-coded, and how the PNG bytes are made.

#include <cstdint>
#include <functional>
#include <vector>

#include "builder/icon_entry.h"
#include "builder/icon_save_options.h"

namespace glyphwell::builder {

// True when the entry is to be stored PNG-coded: always with "pngfrg"; with "png256"
// when its block is wider or taller than 255 pixels.
bool UsePng(const TIconEntry& entry, const IconSaveOptions& options);

// Makes the PNG bytes of an entry; empty when the encoding failed.
using PngEncoder = std::function<std::vector<std::uint8_t>(const TIconEntry&)>;

}  // namespace glyphwell::builder
