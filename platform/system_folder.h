#pragma once
// The folder that stands for the Windows system folder (the search's "system
// folder" and the special folders that name it): the setting `sysdir`, whose
// default is found here.

#include <string>

namespace glyphwell::platform {

// The first existing folder of: $WINEPREFIX/drive_c/windows/system32,
// ~/.wine/drive_c/windows/system32, /usr/lib/x86_64-linux-gnu/wine/x86_64-windows;
// else /usr/lib.
std::string DefaultSystemFolder();

}  // namespace glyphwell::platform
