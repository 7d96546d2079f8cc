#pragma once
// One row of the search's file list: the file name without its extension, the
// extension without its dot, the image count and the full path.

#include <string>

namespace glyphwell::app {

struct FileListRow {
  std::string name;
  std::string ext;
  int count = 0;
  std::string path;
  friend bool operator==(const FileListRow&, const FileListRow&) = default;
};

}  // namespace glyphwell::app
