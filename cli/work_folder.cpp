#include "cli/work_folder.h"

#include <stdlib.h>

#include <string>
#include <system_error>
#include <vector>

namespace glyphwell::cli {

WorkFolder::WorkFolder() {
  std::error_code ec;
  std::filesystem::path base = std::filesystem::temp_directory_path(ec);
  if (ec) base = "/tmp";
  std::string pattern = (base / "glyphwell-XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data())) path_ = buffer.data();
}

WorkFolder::~WorkFolder() {
  if (path_.empty()) return;
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

}  // namespace glyphwell::cli
