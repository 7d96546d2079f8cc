#include "builder/shortcut_target.h"

#include <algorithm>
#include <cctype>

#include "shell/t_shell_link.h"

namespace glyphwell::builder {

namespace {

bool EndsWithNoCase(const std::string& text, const std::string& suffix) {
  if (text.size() < suffix.size()) return false;
  return std::equal(suffix.begin(), suffix.end(), text.end() - static_cast<long>(suffix.size()),
                    [](char a, char b) {
                      return std::tolower(static_cast<unsigned char>(a)) ==
                             std::tolower(static_cast<unsigned char>(b));
                    });
}

}  // namespace

bool IsShortcutPath(const std::string& path) {
  return EndsWithNoCase(path, ".lnk") || EndsWithNoCase(path, shell::TShellLink::kLinkExtension);
}

std::string ResolveShortcutTarget(const std::string& path) {
  if (!IsShortcutPath(path)) return path;
  static const shell::TShellLink link;
  std::string target = path;
  link.GetLinkToPath(path, target, true);
  return target;
}

}  // namespace glyphwell::builder
