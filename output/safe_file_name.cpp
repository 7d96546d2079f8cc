#include "output/safe_file_name.h"

namespace glyphwell::output {

namespace {

const char* FullWidthFor(char c) {
  switch (c) {
    case '/':
      return "／";
    case '"':
      return "”";
    case ':':
      return "：";
    case ';':
      return "；";
    case '*':
      return "＊";
    case '<':
      return "＜";
    case '>':
      return "＞";
    case '?':
      return "？";
    case '\\':
      return "￥";
    case '|':
      return "｜";
    default:
      return nullptr;
  }
}

}  // namespace

std::string SafeFileName(const std::string& name) {
  // The last extension is the part from the last "." on, as long as no path
  // separator follows it (a "/" there is replaced like any other character).
  std::size_t lastDot = name.find_last_of('.');
  std::size_t lastSlash = name.find_last_of("/\\");
  if (lastDot != std::string::npos && lastSlash != std::string::npos && lastSlash > lastDot)
    lastDot = std::string::npos;
  std::string out;
  out.reserve(name.size() + 8);
  for (std::size_t i = 0; i < name.size(); ++i) {
    char c = name[i];
    if (c == '.' && i != lastDot)
      out += "．";
    else if (const char* wide = FullWidthFor(c))
      out += wide;
    else
      out += c;
  }
  return out;
}

}  // namespace glyphwell::output
