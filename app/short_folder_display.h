#pragma once
// The short form of a folder shown in status panel 0 and in busy dialog captions:
// the first component, one "." per folder level below it, and the last folder name
// in square brackets. "/usr/share/icons/hicolor" reads "/usr...[hicolor]".

#include <string>

namespace glyphwell::app {

std::string ShortFolderDisplay(const std::string& path);

}  // namespace glyphwell::app
