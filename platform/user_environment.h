#pragma once
// Facts about the user running the program, and the per-user base folders of the
// desktop (XDG base directories). Paths come without a trailing slash.

#include <string>

namespace glyphwell::platform {

// The user name of the effective user id. When the user database has no entry (or
// the name could not serve as a folder name) "uid" followed by the number.
std::string LogOnName();

// $HOME when absolute, else the user database's home folder, else "/tmp".
std::string HomeFolder();

// An XDG base folder: the variable's value when it is an absolute path, else
// HomeFolder() + "/" + fallbackBelowHome.
std::string XdgFolder(const char* variable, const char* fallbackBelowHome);

inline std::string ConfigHome() {
  return XdgFolder("XDG_CONFIG_HOME", ".config");
}
inline std::string DataHome() {
  return XdgFolder("XDG_DATA_HOME", ".local/share");
}

// The folder for files that live only as long as the login: $XDG_RUNTIME_DIR when
// absolute, else the temporary folder ($TMPDIR when absolute, else "/tmp").
// `perUser` is set when the folder belongs to the user alone.
std::string RuntimeFolder(bool* perUser = nullptr);

}  // namespace glyphwell::platform
