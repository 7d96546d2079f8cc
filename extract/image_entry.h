#pragma once
// One entry of the image grid. It holds no pixels: the index takes the image out
// of the source again.

#include <string>

namespace glyphwell::extract {

struct ImageEntry {
  // Position in the RT_ICON/RT_BITMAP directory, entry of an icon file, shell icon
  // index (Normal mode) or "0" for a picture; decimal text.
  std::string index;
  std::string label;      // the text under the image (may hold line breaks)
  std::string thumbnail;  // empty, or the index of a JPEG rendition in the cache
};

}  // namespace glyphwell::extract
