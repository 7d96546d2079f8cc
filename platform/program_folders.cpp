#include "platform/program_folders.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/user_environment.h"

namespace glyphwell::platform {

namespace {

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/')
    path.pop_back();
  return path;
}

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace

std::string ExecutableFolder() {
  std::vector<char> buffer(4096);
  for (;;) {
    ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < buffer.size()) {
      std::string path(buffer.data(), static_cast<std::size_t>(n));
      std::size_t slash = path.find_last_of('/');
      if (slash == std::string::npos) return {};
      return slash == 0 ? "/" : path.substr(0, slash);
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::string ResolveProgramFolder(const std::string& executableFolder) {
  const char* home = std::getenv("GLYPHWELL_HOME");
  if (home != nullptr && home[0] != '\0') {
    std::string folder = home;
    if (folder[0] != '/') {  // relative to where the program was started
      std::vector<char> cwd(4096);
      if (::getcwd(cwd.data(), cwd.size()) != nullptr)
        folder = std::string(cwd.data()) + "/" + folder;
    }
    return WithoutTrailingSlashes(folder);
  }
  if (!executableFolder.empty() && executableFolder[0] == '/' && IsFolder(executableFolder) &&
      ::access(executableFolder.c_str(), W_OK | X_OK) == 0) {
    return WithoutTrailingSlashes(executableFolder);
  }
  return DataHome() + "/Glyphwell";
}

bool MakeFolderTree(const std::string& folder) {
  if (folder.empty()) return false;
  for (std::size_t pos = 1; pos <= folder.size(); ++pos) {
    if (pos != folder.size() && folder[pos] != '/') continue;
    std::string part = folder.substr(0, pos);
    if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
  }
  return IsFolder(folder);
}

bool MoveFileNoReplace(const std::string& from, const std::string& to) {
  if (!Exists(from)) return false;
  // renameat2(RENAME_NOREPLACE) is atomic; file systems without it get a checked
  // rename (nothing else writes these files while the program starts).
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
    return true;
  }
  if (errno != EINVAL && errno != ENOSYS) return false;
  if (Exists(to)) return false;
  return ::rename(from.c_str(), to.c_str()) == 0;
}

ProgramFolders::ProgramFolders(std::string programFolder, std::string logOnName)
    : program_(WithoutTrailingSlashes(std::move(programFolder))), user_(std::move(logOnName)) {}

void ProgramFolders::Prepare() const {
  MakeFolderTree(program_);
  MakeFolderTree(defaultWorkFolder());
  MakeFolderTree(userDataFolder());
  if (!IsFolder(partsFolder())) {
    MakeFolderTree(partsFolder());
    MoveFileNoReplace(userDataFolder() + "/partlist.dat", partsList());
  }
  MoveFileNoReplace(sharedDataFolder() + "/filelist.ini", fileListIndex());
  MakeFolderTree(helpFolder());
}

}  // namespace glyphwell::platform
