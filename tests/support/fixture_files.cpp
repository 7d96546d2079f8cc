#include "tests/support/fixture_files.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace glyphwell::testsupport {

namespace {

struct Dir {
  std::string path;
  Dir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "glyphwell-fixtures-XXXXXX").string();
    if (char* made = mkdtemp(pattern.data())) path = made;
  }
  ~Dir() {
    std::error_code ec;
    if (!path.empty()) std::filesystem::remove_all(path, ec);
  }
};

}  // namespace

const std::string& FixtureDir() {
  static Dir dir;
  return dir.path;
}

std::string WriteFixtureFile(const std::string& name, const Bytes& bytes) {
  std::string path = FixtureDir() + "/" + name;
  WriteBytesFile(path, bytes);
  return path;
}

bool WriteBytesFile(const std::filesystem::path& path, const Bytes& bytes) {
  std::error_code error;
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), error);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace glyphwell::testsupport
