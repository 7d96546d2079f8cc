#pragma once
// The favourites: "favorite.txt" in the user data folder, one full path per line.
// Read and written around every change; nothing is cached.

#include <string>
#include <vector>

#include "app/file_list_row.h"

namespace glyphwell::app {

class Favourites {
 public:
  explicit Favourites(std::string path) : path_(std::move(path)) {}

  const std::string& path() const { return path_; }
  std::vector<std::string> Read() const;
  bool Write(const std::vector<std::string>& paths) const;
  // False when the file is there but cannot be read (not a file, no permission): then
  // nothing writes it, so favourites that could not be read are never lost.
  bool Readable() const;

  // "お気に入り": a row (count 0) per favourite whose file exists, sorted by name;
  // missing files are dropped from the file.
  std::vector<FileListRow> Show() const;
  // "追加": adds the paths it does not hold yet (letter case ignored). Returns how
  // many were added; the file is written only then.
  int Add(const std::vector<std::string>& paths) const;
  // "削除": the file becomes the remaining rows' paths.
  bool KeepOnly(const std::vector<std::string>& remaining) const {
    return Readable() && Write(remaining);
  }
  bool Contains(const std::string& path) const;

 private:
  std::string path_;
};

}  // namespace glyphwell::app
