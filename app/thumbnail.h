#pragma once
// Thumbnails of large icon images for the image grid: the image with its transparent
// pixels white, kept as a JPEG stream so the grid does not decode the icon again.

#include <cstdint>
#include <vector>

#include "extract/image_entry.h"
#include "imaging/icon_image.h"

namespace glyphwell::app {

using ThumbnailCache = std::vector<std::vector<std::uint8_t>>;

// Renders the icon's image and mask, paints every transparent pixel white, encodes
// the 24-bit result as JPEG at the default quality, appends the stream to the cache
// and stores its index in the entry's thumbnail field. False (cache and entry
// unchanged) when the icon cannot be rendered or encoded.
bool MakeThumbnail(const imaging::IconImage& icon, extract::ImageEntry& entry,
                   ThumbnailCache& cache);

}  // namespace glyphwell::app
