#pragma once
// A private work folder for one command-line run (it holds the temporary bitmap
// file), made under the system's temporary folder and removed with everything in
// it when the object goes away, so that several runs can go at once.

#include <filesystem>

namespace glyphwell::cli {

class WorkFolder {
 public:
  WorkFolder();
  ~WorkFolder();
  WorkFolder(const WorkFolder&) = delete;
  WorkFolder& operator=(const WorkFolder&) = delete;

  // Empty when the folder could not be made.
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace glyphwell::cli
