#pragma once
// The file list's row colours: pictures stand out from modules, Bmp mode tints the
// module rows green instead of blue, and a row whose file is gone is written in red.

#include <optional>
#include <string>

#include "imaging/bitmap.h"

namespace glyphwell::app {

inline constexpr imaging::ColourValue kBmpRowColour = imaging::MakeColour(255, 223, 255);
inline constexpr imaging::ColourValue kPictureRowColour = imaging::MakeColour(223, 255, 217);
inline constexpr imaging::ColourValue kModuleRowColour = imaging::MakeColour(230, 242, 255);
inline constexpr imaging::ColourValue kModuleRowBmpModeColour = imaging::MakeColour(244, 255, 230);
inline constexpr imaging::ColourValue kMissingFileTextColour = imaging::MakeColour(255, 0, 0);

struct FileRowColours {
  // Nothing: the platform's window colour (displays of 10 bits per pixel or fewer).
  std::optional<imaging::ColourValue> background;
  // Nothing: the list's own text colour.
  std::optional<imaging::ColourValue> text;
  friend bool operator==(const FileRowColours&, const FileRowColours&) = default;
};

// `extension` is the row's extension column (with or without the dot, any case).
FileRowColours RowColours(const std::string& extension, bool bmpMode, int displayBits,
                          bool fileExists);

}  // namespace glyphwell::app
