#pragma once
// "data.ini" in the user data folder: section "path", key "open" (the source opened
// last) and key "save" (the save workflow's folder). A missing file or key reads
// as empty. Also the work folder change of the grid's menu.

#include <string>

namespace glyphwell::app {

class RememberedPaths {
 public:
  explicit RememberedPaths(std::string path) : path_(std::move(path)) {}
  std::string ReadRemembered(const std::string& section, const std::string& key) const;
  bool WriteRemembered(const std::string& section, const std::string& key,
                       const std::string& text) const;

 private:
  std::string path_;
};

// "作業フォルダの変更": the work file in the chosen folder (the work folder is its
// folder; the setting `tmppath` stores it at close).
std::string ChangeWorkFolder(const std::string& chosenFolder);
// The folder a work file lies in (the item's hint).
std::string WorkFolderOf(const std::string& workFile);

}  // namespace glyphwell::app
