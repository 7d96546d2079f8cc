#pragma once
// How modules and icon files are read: through the shell emulation (Normal), or by
// the own parser listing every icon image (Icon) or every bitmap resource (Bmp).

namespace glyphwell::extract {

enum class ExtractionMode { kNormal, kIcon, kBmp };

}  // namespace glyphwell::extract
