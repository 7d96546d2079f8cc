#include "shell/windows_path_map.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace glyphwell::shell {

namespace fs = std::filesystem;

namespace {

bool Exists(const fs::path& p) {
  std::error_code ec;
  return fs::exists(p, ec);
}

bool IsDir(const fs::path& p) {
  std::error_code ec;
  return fs::is_directory(p, ec);
}

bool SameIgnoringAsciiCase(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    return lower(x) == lower(y);
  });
}

std::vector<std::string> SplitComponents(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : path) {
    if (c == '\\' || c == '/') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part.push_back(c);
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

// Walks `parts` down from `base`, each component found exactly or, failing that, as
// the first entry of the folder that differs only in ASCII case.
std::optional<std::string> Walk(fs::path base, const std::vector<std::string>& parts) {
  for (const std::string& part : parts) {
    if (part == ".") continue;
    if (part == "..") {
      base = base.parent_path();
      continue;
    }
    fs::path next = base / part;
    if (!Exists(next)) {
      if (!IsDir(base)) return std::nullopt;
      std::error_code ec;
      bool found = false;
      for (fs::directory_iterator it(base, ec), end; !ec && it != end; it.increment(ec)) {
        if (SameIgnoringAsciiCase(it->path().filename().string(), part)) {
          next = it->path();
          found = true;
          break;
        }
      }
      if (!found) return std::nullopt;
    }
    base = next;
  }
  if (!Exists(base)) return std::nullopt;
  return base.string();
}

}  // namespace

std::string FindWinePrefix(const std::string& path) {
  if (path.empty()) return {};
  std::error_code ec;
  fs::path p = fs::absolute(fs::path(path), ec);
  if (ec) return {};
  if (!IsDir(p)) p = p.parent_path();
  for (;;) {
    if (IsDir(p / "dosdevices")) return p.string();
    if (!p.has_parent_path() || p.parent_path() == p) return {};
    p = p.parent_path();
  }
}

std::optional<std::string> MapDrivePath(const std::string& prefix, const std::string& windowsPath) {
  if (prefix.empty() || windowsPath.size() < 2 || windowsPath[1] != ':') return std::nullopt;
  char drive = windowsPath[0];
  if (drive >= 'A' && drive <= 'Z') drive = static_cast<char>(drive + 32);
  if (drive < 'a' || drive > 'z') return std::nullopt;
  const fs::path device = fs::path(prefix) / "dosdevices" / (std::string(1, drive) + ":");
  if (!IsDir(device)) return std::nullopt;
  return Walk(device, SplitComponents(windowsPath.substr(2)));
}

std::optional<std::string> MapRelativePath(const std::string& folder,
                                           const std::string& relativePath) {
  if (relativePath.empty() || relativePath[0] == '\\' || relativePath[0] == '/') {
    return std::nullopt;
  }
  if (relativePath.size() >= 2 && relativePath[1] == ':') return std::nullopt;
  return Walk(fs::path(folder.empty() ? "." : folder), SplitComponents(relativePath));
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace glyphwell::shell
