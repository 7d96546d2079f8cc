#include "app/remembered_paths.h"

#include "app/saved_lists.h"
#include "platform/ini_file.h"

namespace glyphwell::app {

std::string RememberedPaths::ReadRemembered(const std::string& section,
                                            const std::string& key) const {
  platform::IniFile ini;
  ini.Load(path_);
  return ini.ReadString(section, key);
}

bool RememberedPaths::WriteRemembered(const std::string& section, const std::string& key,
                                      const std::string& text) const {
  platform::IniFile ini;
  // An unreadable file is not overwritten with only this one key.
  if (ini.Load(path_) == platform::IniLoadStatus::kUnreadable) return false;
  if (!ini.WriteString(section, key, text)) return false;
  return ini.Save(path_);
}

std::string ChangeWorkFolder(const std::string& chosenFolder) {
  std::string folder = NormalFolder(chosenFolder);
  return (folder == "/" ? folder : folder + "/") + "vs.bmp";
}

std::string WorkFolderOf(const std::string& workFile) {
  std::size_t slash = workFile.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : workFile.substr(0, slash);
}

}  // namespace glyphwell::app
