#pragma once
// The --mode option of the listing commands: icon, bmp or normal.

#include <string>

#include "extract/extraction_mode.h"

namespace glyphwell::cli {

// False (mode unchanged) for any other text.
inline bool ParseModeOption(const std::string& text, extract::ExtractionMode& mode) {
  if (text == "icon") {
    mode = extract::ExtractionMode::kIcon;
  } else if (text == "bmp") {
    mode = extract::ExtractionMode::kBmp;
  } else if (text == "normal") {
    mode = extract::ExtractionMode::kNormal;
  } else {
    return false;
  }
  return true;
}

}  // namespace glyphwell::cli
