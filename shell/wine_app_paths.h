#pragma once
// The "App Paths" registry key of a Wine prefix, read from its system.reg: the
// fallback that turns an installer-style shortcut (whose target is a cached file
// under a "{...}" folder) into the program it stands for.

#include <string>
#include <string_view>

namespace glyphwell::shell {

// The default value (a Windows program path, as read) of the first App Paths subkey,
// in file order, whose program lies in a folder named exactly `name`; empty when
// none does.
std::string AppPathForFolderName(std::string_view systemReg, const std::string& name);

// The same, read from <prefix>/system.reg.
std::string AppPathForFolderNameInPrefix(const std::string& prefix, const std::string& name);

}  // namespace glyphwell::shell
