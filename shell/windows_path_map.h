#pragma once
// Turning the Windows paths a shortcut holds into paths of this file system: a drive
// path through the `dosdevices` folder of the Wine prefix that holds the shortcut,
// a relative path against the shortcut's own folder. Each component is matched
// without regard to ASCII letter case, as Windows names are.

#include <optional>
#include <string>

namespace glyphwell::shell {

// The nearest folder above `path` (or `path` itself when it is a folder) that has a
// `dosdevices` subfolder; empty when there is none.
std::string FindWinePrefix(const std::string& path);

// "C:\Dir\File.exe" -> "<prefix>/dosdevices/c:/Dir/File.exe" with each component
// matched case-insensitively; nothing when the path is not a drive path or does not
// name an existing file or folder.
std::optional<std::string> MapDrivePath(const std::string& prefix, const std::string& windowsPath);

// ".\sub\File.exe" (either separator) against `folder`; nothing when it does not
// name an existing file or folder. An absolute path is not relative: nothing.
std::optional<std::string> MapRelativePath(const std::string& folder,
                                           const std::string& relativePath);

// The folder part of a path ("/a/b/c.lnk" -> "/a/b"; "c.lnk" -> ".").
std::string FolderOf(const std::string& path);

}  // namespace glyphwell::shell
