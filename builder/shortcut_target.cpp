#include "builder/shortcut_target.h"

#include <algorithm>
#include <cctype>

namespace glyphwell::builder {

bool IsShortcutPath(const std::string& path) {
  if (path.size() < 4) return false;
  std::string ext = path.substr(path.size() - 4);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext == ".lnk";
}

std::string ResolveShortcutTarget(const std::string& path) {
  if (!IsShortcutPath(path)) return path;
  // Resolved by the shell link reader once it is part of the build.
  return path;
}

}  // namespace glyphwell::builder
