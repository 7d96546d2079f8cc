#include "shell/special_folders.h"

#include <fstream>

#include "platform/user_environment.h"

namespace glyphwell::shell {

std::string DesktopFolder() {
  const std::string home = platform::HomeFolder();
  std::ifstream in(platform::ConfigHome() + "/user-dirs.dirs");
  std::string line;
  while (std::getline(in, line)) {
    constexpr std::string_view kKey = "XDG_DESKTOP_DIR=";
    if (line.rfind(kKey, 0) != 0) continue;
    std::string value = line.substr(kKey.size());
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
    if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
    if (value.empty() || value[0] != '/') break;
    while (value.size() > 1 && value.back() == '/')
      value.pop_back();
    return value;
  }
  return home + "/Desktop";
}

std::string ApplicationsFolder() {
  return platform::DataHome() + "/applications";
}

std::string SpecialFolderPath(int code, const std::string& systemFolder) {
  switch (code) {
    case kCsidlDesktop:
      return DesktopFolder();
    case kCsidlSendTo:
      return ApplicationsFolder();
    case kCsidlWindows:
    case kCsidlSystem:
      return systemFolder;
    default:
      return {};
  }
}

}  // namespace glyphwell::shell
