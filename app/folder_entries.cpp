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
  // The entry's type from the directory itself spares a stat call for every plain
  // file and folder; only links and file systems that give no type are asked.
  bool hasHiddenList = false;
  while (dirent* e = readdir(dir)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    if (name == ".hidden") hasHiddenList = true;
    unsigned char type = e->d_type;
    struct stat link;
    if (type == DT_UNKNOWN || type == DT_DIR) {
      if (fstatat(dirfd(dir), e->d_name, &link, AT_SYMLINK_NOFOLLOW) != 0) continue;
      type = S_ISDIR(link.st_mode)   ? DT_DIR
             : S_ISREG(link.st_mode) ? DT_REG
             : S_ISLNK(link.st_mode) ? DT_LNK
                                     : DT_UNKNOWN;
    }
    FolderEntry entry{name, name[0] == '.', false};
    if (type == DT_DIR) {
      // A pseudo file system is mounted on its folder, so only a folder on another
      // device than its parent needs the file system asked.
      struct statfs fs;
      entry.system = name == "lost+found" ||
                     (link.st_dev != self.st_dev && statfs((folder + name).c_str(), &fs) == 0 &&
                      IsPseudoFileSystem(fs.f_type));
      out.folders.push_back(std::move(entry));
    } else if (type == DT_REG) {
      out.files.push_back(std::move(entry));
    } else if (type == DT_LNK) {
      struct stat target;
      if (fstatat(dirfd(dir), e->d_name, &target, 0) == 0 && S_ISREG(target.st_mode))
        out.files.push_back(std::move(entry));
    }
  }
  if (hasHiddenList) {
    const std::set<std::string> hiddenNames = HiddenList(folder);
    for (auto* list : {&out.files, &out.folders})
      for (FolderEntry& entry : *list)
        if (hiddenNames.count(entry.name)) entry.hidden = true;
  }
  closedir(dir);
  return out;
}

}  // namespace glyphwell::app
