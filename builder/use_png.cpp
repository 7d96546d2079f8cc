#include "builder/use_png.h"

#include "builder/icon_block.h"

namespace glyphwell::builder {

bool UsePng(const TIconEntry& entry, const IconSaveOptions& options) {
  if (options.pngfrg) return true;
  if (!options.png256) return false;
  auto header = ReadIconBlockHeader(entry.Image);
  if (!header) return false;
  return header->width > 255 || header->height() > 255;
}

}  // namespace glyphwell::builder
