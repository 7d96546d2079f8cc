#pragma once
// File names of the shortcuts the program creates: characters a file name cannot
// hold on Windows become their full-width forms, extensions are dropped, and an
// existing file is not overwritten but numbered around.

#include <string>

namespace glyphwell::shell {

// "/" -> "／", '"' -> "”", ":" -> "：", "*" -> "＊", "<" -> "＜", ">" -> "＞",
// "?" -> "？", "\" -> "￥", "|" -> "｜" (UTF-8 text; these bytes never occur
// inside a multi-byte character there).
std::string ReplaceReservedChars(const std::string& name);

// The name without its last ".ext" (a name that would become empty is kept).
std::string WithoutExtension(const std::string& name);

// The last component of a path, either separator.
std::string FileNameOf(const std::string& path);

// folder + "/" (unless the folder ends in one) + name + extension; unless
// `overwrite`, while that file exists, folder/name(1)extension, name(2), ...
std::string FreeLinkPath(const std::string& folder, const std::string& name,
                         const std::string& extension, bool overwrite);

}  // namespace glyphwell::shell
