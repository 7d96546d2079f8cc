#pragma once
// The PNG encoding of a builder entry, as stored in icon files and icon libraries.

#include <cstdint>
#include <vector>

#include "builder/icon_entry.h"
#include "builder/icon_save_options.h"

namespace glyphwell::builder {

// Renders the entry and encodes it as a non-interlaced PNG. With "pngsv" an image
// that is not 32 bits a pixel first becomes 32 bits with its mask as alpha (masked
// pixels fully transparent, all others opaque). Empty when the entry cannot be
// rendered or encoded.
std::vector<std::uint8_t> EncodePngImage(const TIconEntry& entry, const IconSaveOptions& options,
                                         int paletteColours = 256);

}  // namespace glyphwell::builder
