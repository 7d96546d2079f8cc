#include "app/folder_entries.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <set>

namespace glyphwell::app {

namespace {

// Magic numbers of the kernel's pseudo file systems (linux/magic.h).
bool IsPseudoFileSystem(long type) {
  static constexpr long kTypes[] = {
      0x9fa0,      // proc
      0x62656572,  // sysfs
      0x1cd1,      // devpts
      0x64626720,  // debugfs
      0x74726163,  // tracefs
      0x73636673,  // securityfs
      0x27e0eb,    // cgroup
      0x63677270,  // cgroup2
      0x62656570,  // configfs
      0xcafe4a11,  // bpf
      0x6165676c,  // pstore
  };
  return std::find(std::begin(kTypes), std::end(kTypes), type) != std::end(kTypes);
}

std::set<std::string> HiddenList(const std::string& folder) {
  std::set<std::string> names;
  std::ifstream in(folder + ".hidden");
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) names.insert(line);
  }
  return names;
}

}  // namespace

FolderEntries ReadFolderEntries(const std::string& folderPath) {
  FolderEntries out;
  std::string folder = folderPath;
  if (folder.empty() || folder.back() != '/') folder += '/';
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return out;
  struct stat self;
  if (fstat(fd, &self) != 0) {
    close(fd);
    return out;
  }
  out.device = self.st_dev;
  out.inode = self.st_ino;
  DIR* dir = fdopendir(fd);
  if (!dir) {
    close(fd);
    return out;
  }
  out.readable = true;
  const std::set<std::string> hiddenNames = HiddenList(folder);
  while (dirent* e = readdir(dir)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    struct stat link;
    if (fstatat(dirfd(dir), e->d_name, &link, AT_SYMLINK_NOFOLLOW) != 0) continue;
    FolderEntry entry{name, name[0] == '.' || hiddenNames.count(name) > 0, false};
    if (S_ISDIR(link.st_mode)) {
      struct statfs fs;
      entry.system = name == "lost+found" ||
                     (statfs((folder + name).c_str(), &fs) == 0 && IsPseudoFileSystem(fs.f_type));
      out.folders.push_back(std::move(entry));
    } else if (S_ISREG(link.st_mode)) {
      out.files.push_back(std::move(entry));
    } else if (S_ISLNK(link.st_mode)) {
      struct stat target;
      if (fstatat(dirfd(dir), e->d_name, &target, 0) == 0 && S_ISREG(target.st_mode))
        out.files.push_back(std::move(entry));
    }
  }
  closedir(dir);
  return out;
}

}  // namespace glyphwell::app
