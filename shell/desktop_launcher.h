#pragma once
// Freedesktop launchers (.desktop files) standing in for the program's shortcuts:
// writing one that starts a program or opens a folder, and reading back what one
// starts (its Exec program, or the folder of a Link launcher).

#include <optional>
#include <string>
#include <string_view>

namespace glyphwell::shell {

// MIME types offered to "open with" for a launcher in the applications folder: the
// files the program takes as icon sources.
inline constexpr const char* kIconSourceMimeTypes =
    "image/x-icon;image/vnd.microsoft.icon;image/x-win-bitmap;image/bmp;image/png;image/"
    "jpeg;image/x-wmf;application/x-ms-dos-executable;application/x-msdownload;application/"
    "x-ms-ne-executable;";

struct LauncherSpec {
  std::string name;    // shown name
  std::string target;  // absolute path of the program or folder
  bool targetIsFolder = false;
  bool offerMimeTypes = false;  // add kIconSourceMimeTypes and a %F argument
};

std::string LauncherText(const LauncherSpec& desc);

// The program (first Exec word, unquoted and unescaped) of an Application launcher,
// or the local folder of a Link launcher. Nothing when the text is not a launcher.
std::optional<std::string> LauncherTarget(std::string_view text);

// Quoting of one Exec argument, and the string escapes of a launcher value.
std::string QuoteExecArgument(const std::string& argument);

}  // namespace glyphwell::shell
