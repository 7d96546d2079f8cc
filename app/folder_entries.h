#pragma once
// One folder's entries as the search sees them on Linux.
//
// Hidden: a name beginning with "." or listed in the folder's ".hidden" file (the
// desktop's convention for hiding names). System: a "lost+found" folder or a
// folder on a kernel pseudo file system (proc, sysfs, devpts, ...). Only regular
// files (a symbolic link counts when it leads to one) are reported as files, so a
// search never opens a pipe or a device; folders reached through a symbolic link
// are not reported, so a search cannot loop.

#include <string>
#include <vector>

namespace glyphwell::app {

struct FolderEntry {
  std::string name;
  bool hidden = false;
  bool system = false;
};

struct FolderEntries {
  std::vector<FolderEntry> files;
  std::vector<FolderEntry> folders;
  // The folder's identity (device, inode), to refuse a folder already being walked.
  unsigned long long device = 0, inode = 0;
  bool readable = false;
};

// The entries of `folder` (with or without a trailing "/"); unreadable = empty.
FolderEntries ReadFolderEntries(const std::string& folder);

}  // namespace glyphwell::app
