#pragma once
// The special folders by their shell codes: 0 = desktop (the XDG desktop folder),
// 9 = Send To (the user's applications folder, where a launcher with MIME types
// shows under "open with"), 0x24 / 0x25 = Windows and system folder (the `sysdir`
// setting). Other codes have no folder.

#include <string>

namespace glyphwell::shell {

inline constexpr int kCsidlDesktop = 0x00;
inline constexpr int kCsidlSendTo = 0x09;
inline constexpr int kCsidlWindows = 0x24;
inline constexpr int kCsidlSystem = 0x25;

// XDG_DESKTOP_DIR of $XDG_CONFIG_HOME/user-dirs.dirs, else $HOME/Desktop.
std::string DesktopFolder();
// $XDG_DATA_HOME/applications.
std::string ApplicationsFolder();
// The folder of a code; empty when there is none.
std::string SpecialFolderPath(int code, const std::string& systemFolder);

}  // namespace glyphwell::shell
