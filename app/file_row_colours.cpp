#include "app/file_row_colours.h"

#include <algorithm>
#include <cctype>

#include "app/picture_source.h"

namespace glyphwell::app {

FileRowColours RowColours(const std::string& extension, bool bmpMode, int displayBits,
                          bool fileExists) {
  std::string dotted = extension;
  std::transform(dotted.begin(), dotted.end(), dotted.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (dotted.empty() || dotted.front() != '.') dotted.insert(dotted.begin(), '.');

  FileRowColours colours;
  if (!fileExists) colours.text = kMissingFileTextColour;
  if (displayBits <= 10) return colours;
  if (IsPictureExtension(dotted)) {
    colours.background = dotted == ".bmp" ? kBmpRowColour : kPictureRowColour;
  } else {
    colours.background = bmpMode ? kModuleRowBmpModeColour : kModuleRowColour;
  }
  return colours;
}

}  // namespace glyphwell::app
