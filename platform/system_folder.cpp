#include "platform/system_folder.h"

#include <sys/stat.h>

#include <cstdlib>

#include "platform/user_environment.h"

namespace glyphwell::platform {

namespace {

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::string DefaultSystemFolder() {
  std::string candidates[3];
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix != nullptr && prefix[0] == '/') {
    std::string p = prefix;
    while (p.size() > 1 && p.back() == '/')
      p.pop_back();
    candidates[0] = p + "/drive_c/windows/system32";
  }
  candidates[1] = HomeFolder() + "/.wine/drive_c/windows/system32";
  candidates[2] = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows";
  for (const std::string& candidate : candidates) {
    if (!candidate.empty() && IsFolder(candidate)) return candidate;
  }
  return "/usr/lib";
}

}  // namespace glyphwell::platform
