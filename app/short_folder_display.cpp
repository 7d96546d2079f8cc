#include "app/short_folder_display.h"

#include <sys/stat.h>

#include <vector>

namespace glyphwell::app {

namespace {

constexpr int kMaxLevels = 30;

bool IsFolder(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::vector<std::string> Components(const std::string& path) {
  std::vector<std::string> parts;
  std::string current;
  for (char c : path) {
    if (c == '/') {
      if (!current.empty()) parts.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) parts.push_back(current);
  return parts;
}

}  // namespace

std::string ShortFolderDisplay(const std::string& path) {
  std::vector<std::string> parts = Components(path);
  // A file path (a name with a dot that is no folder) shows its folder.
  const std::string last = parts.empty() ? std::string() : parts.back();
  if (last.find('.') != std::string::npos && !IsFolder(path)) parts.pop_back();
  const bool absolute = !path.empty() && path[0] == '/';
  if (parts.empty()) return absolute ? "/" : "";
  std::string head = (absolute ? "/" : "") + parts.front();
  if (parts.size() == 1) return head;
  // One dot for every folder below the first component, the last one included.
  int levels = static_cast<int>(parts.size()) - 1;
  if (levels > kMaxLevels) levels = kMaxLevels;
  return head + std::string(static_cast<std::size_t>(levels), '.') + "[" + parts.back() + "]";
}

}  // namespace glyphwell::app
