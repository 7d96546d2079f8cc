#include "shell/t_shell_link.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/system_folder.h"
#include "shell/desktop_launcher.h"
#include "shell/link_name.h"
#include "shell/shell_link_file.h"
#include "shell/special_folders.h"
#include "shell/windows_path_map.h"
#include "shell/wine_app_paths.h"

namespace glyphwell::shell {

namespace fs = std::filesystem;

namespace {

// Shortcuts are small; anything larger is not one and is not read whole.
constexpr std::size_t kMaxShortcutBytes = 1 << 20;

bool ReadSmallFile(const std::string& path, std::vector<std::uint8_t>& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out.clear();
  char buf[8192];
  while (in) {
    in.read(buf, sizeof buf);
    out.insert(out.end(), buf, buf + in.gcount());
    if (out.size() > kMaxShortcutBytes) return false;
  }
  return !in.bad();
}

bool Exists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A bare program name of a launcher, found along $PATH.
std::optional<std::string> SearchPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return std::nullopt;
  std::string_view rest = path;
  while (!rest.empty()) {
    const auto colon = rest.find(':');
    const std::string dir(rest.substr(0, colon));
    rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    if (dir.empty() || dir[0] != '/') continue;
    const std::string candidate = dir + "/" + program;
    if (::access(candidate.c_str(), X_OK) == 0 && !IsFolder(candidate)) return candidate;
  }
  return std::nullopt;
}

std::optional<std::string> ResolveLauncher(std::string_view text) {
  auto target = LauncherTarget(text);
  if (!target) return std::nullopt;
  if (target->find('/') == std::string::npos) return SearchPath(*target);
  return target;
}

// What a Windows shortcut points at, here: its drive path mapped through the Wine
// prefix that holds the shortcut; else its relative path against its folder.
std::optional<std::string> ResolveShellLink(const ShellLinkData& link, const std::string& linkPath,
                                            std::string* prefixOut) {
  const std::string folder = FolderOf(linkPath);
  const std::string prefix = FindWinePrefix(folder);
  if (prefixOut) *prefixOut = prefix;
  if (!prefix.empty()) {
    if (auto mapped = MapDrivePath(prefix, link.LocalTarget())) return mapped;
  }
  if (auto relative = MapRelativePath(folder, link.relativePath)) return relative;
  return std::nullopt;
}

}  // namespace

TShellLink::TShellLink(std::string systemFolder) : systemFolder_(std::move(systemFolder)) {}

TShellLink::TShellLink() : TShellLink(platform::DefaultSystemFolder()) {}

int TShellLink::GetLinkToPath(const std::string& linkPath, std::string& target,
                              bool useAppPaths) const {
  target = linkPath;
  std::vector<std::uint8_t> bytes;
  if (!ReadSmallFile(linkPath, bytes)) return kLinkUnreadable;

  std::optional<std::string> resolved;
  std::string prefix;
  if (auto link = ParseShellLink(bytes)) {
    resolved = ResolveShellLink(*link, linkPath, &prefix);
  } else {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!LauncherTarget(text)) return kLinkNotAShortcut;
    resolved = ResolveLauncher(text);
  }
  if (!resolved || !Exists(*resolved)) return kLinkTargetMissing;

  target = *resolved;
  if (useAppPaths && !prefix.empty() && resolved->find('{') != std::string::npos) {
    // An installer's cached stand-in: the program registered under a folder of the
    // shortcut's name replaces it, when it exists here.
    const std::string program =
        AppPathForFolderNameInPrefix(prefix, WithoutExtension(FileNameOf(linkPath)));
    if (!program.empty()) {
      if (auto mapped = MapDrivePath(prefix, program)) target = *mapped;
    }
  }
  return kLinkResolved;
}

std::string TShellLink::GetPath(int folderCode) const {
  return SpecialFolderPath(folderCode, systemFolder_);
}

std::string TShellLink::CreateLink(const std::string& targetPath, std::string* linkPath,
                                   bool overwrite, const std::string& linkName, int folderCode) {
  linkName_ = linkName;
  overwrite_ = overwrite;
  const std::string folder = GetPath(folderCode);
  std::string created = folder.empty() ? std::string() : CreateStep(folder, targetPath, folderCode);
  if (linkPath) *linkPath = created;
  return created;
}

std::string TShellLink::CreateStep(const std::string& folder, const std::string& targetPath,
                                   int folderCode) {
  if (targetPath.empty() || !Exists(targetPath)) return {};
  const bool targetIsFolder = IsFolder(targetPath);
  std::string name = ReplaceReservedChars(linkName_);
  if (name.empty()) name = WithoutExtension(FileNameOf(targetPath));
  if (!targetIsFolder) name = WithoutExtension(name);
  if (name.empty()) return {};

  std::error_code ec;
  fs::create_directories(folder, ec);
  const std::string path = FreeLinkPath(folder, name, kLinkExtension, overwrite_);

  LauncherSpec desc;
  desc.name = linkName_.empty() ? name : linkName_;
  std::error_code absError;
  const fs::path absolute = fs::absolute(targetPath, absError);
  desc.target = absError ? targetPath : absolute.lexically_normal().string();
  if (desc.target.size() > 1 && desc.target.back() == '/') desc.target.pop_back();
  desc.targetIsFolder = targetIsFolder;
  desc.offerMimeTypes = folderCode == kCsidlSendTo && !targetIsFolder;
  const std::string text = LauncherText(desc);
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(text.data()),
                                            text.size());
  if (!platform::WriteFileAtomically(path, bytes)) return {};
  // Desktops start only launchers marked executable.
  ::chmod(path.c_str(), 0755);
  return path;
}

void TShellLink::DeleteLink(int folderCode, const std::string& name1, const std::string& name2) {
  const std::string folder = GetPath(folderCode);
  if (folder.empty()) return;
  std::vector<std::string> candidates;
  candidates.push_back(folder + "/" + WithoutExtension(FileNameOf(name1)) + kLinkExtension);
  candidates.push_back(folder + "/" + name1 + kLinkExtension);
  if (!name2.empty()) candidates.push_back(folder + "/" + name2 + kLinkExtension);
  const fs::path base = fs::path(folder).lexically_normal();
  for (const std::string& candidate : candidates) {
    // Names come from callers; a "../" in one must not reach outside the folder.
    const fs::path p = fs::path(candidate).lexically_normal();
    if (p.parent_path() != base) continue;
    if (::unlink(p.c_str()) == 0) return;
  }
}

bool TShellLink::ChkLinkPath(const std::string& targetPath, const std::string& linkName,
                             int folderCode) const {
  const std::string folder = GetPath(folderCode);
  if (folder.empty()) return false;
  std::string result;
  GetLinkToPath(folder + "/" + linkName + kLinkExtension, result, false);
  return result == targetPath;
}

}  // namespace glyphwell::shell
