// Shortcut files and launchers given to the program are untrusted bytes.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "shell/desktop_launcher.h"
#include "shell/shell_link_file.h"
#include "shell/wine_app_paths.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  if (auto link = glyphwell::shell::ParseShellLink(bytes)) {
    volatile std::size_t n = link->LocalTarget().size() + link->relativePath.size();
    (void)n;
  }
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  (void)glyphwell::shell::LauncherTarget(text);
  (void)glyphwell::shell::AppPathForFolderName(text, "Tool");
  return 0;
}
