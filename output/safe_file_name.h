#pragma once
// File names made from resource names: characters a file name cannot hold on the
// desktop system become their full-width forms.

#include <string>

namespace glyphwell::output {

// Every "." before the last extension becomes "．"; "/", the double quote, ":", ";",
// "*", "<", ">", "?", the backslash and "|" become "／", "”", "：", "；", "＊", "＜",
// "＞", "？", "￥" and "｜". Text is UTF-8.
std::string SafeFileName(const std::string& name);

}  // namespace glyphwell::output
