#include "output/save_naming.h"

#include <cstdio>

#include "output/safe_file_name.h"

namespace glyphwell::output {

std::string FolderOf(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string FileNameOf(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string StripExtension(const std::string& name) {
  std::size_t dot = name.find_last_of('.');
  std::size_t slash = name.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return name;
  return name.substr(0, dot);
}

std::string BaseNameOf(const std::string& path) {
  return StripExtension(FileNameOf(path));
}

std::string NumberedName(const std::string& baseName, int position, int selectedCount) {
  if (selectedCount <= 1) return baseName;
  char number[16];
  std::snprintf(number, sizeof number, "%03d", position + 1);
  return baseName + "-" + number;
}

std::string JoinPath(const std::string& folder, const std::string& name,
                     const std::string& extension) {
  std::string path = folder;
  if (!path.empty() && path.back() != '/') path += '/';
  return path + name + "." + extension;
}

std::string ExtractedFileName(const std::string& folder, const std::string& extractedName,
                              const std::string& extension,
                              const std::function<bool(const std::string&)>& exists) {
  const std::string name = SafeFileName(StripExtension(extractedName));
  std::string candidate = name;
  for (int n = 1; exists(JoinPath(folder, candidate, extension)); ++n)
    candidate = name + std::to_string(n);
  return candidate;
}

}  // namespace glyphwell::output
