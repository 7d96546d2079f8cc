#pragma once
// Shortcut files given to the builder are replaced by what they point at.

#include <string>

namespace glyphwell::builder {

// True for a name ending in ".lnk" (a shortcut) or ".desktop" (a launcher), in any
// case.
bool IsShortcutPath(const std::string& path);

// The target of a shortcut file (through the shell link reader, with the App Paths
// fallback as the builder asks for it); any other path, and a shortcut that does
// not resolve to an existing file, is returned unchanged.
std::string ResolveShortcutTarget(const std::string& path);

}  // namespace glyphwell::builder
