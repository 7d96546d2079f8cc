#include "shell/link_name.h"

#include <sys/stat.h>

#include <utility>

namespace glyphwell::shell {

std::string ReplaceReservedChars(const std::string& name) {
  static const std::pair<char, const char*> kTable[] = {
      {'/', "／"}, {'"', "”"},  {':', "："},  {'*', "＊"}, {'<', "＜"},
      {'>', "＞"}, {'?', "？"}, {'\\', "￥"}, {'|', "｜"},
  };
  std::string out = name;
  for (const auto& [ascii, wide] : kTable) {
    std::string next;
    next.reserve(out.size());
    for (char c : out) {
      if (c == ascii) {
        next += wide;
      } else {
        next.push_back(c);
      }
    }
    out = std::move(next);
  }
  return out;
}

std::string WithoutExtension(const std::string& name) {
  const auto dot = name.find_last_of('.');
  if (dot == std::string::npos || dot == 0) return name;
  return name.substr(0, dot);
}

std::string FileNameOf(const std::string& path) {
  const auto sep = path.find_last_of("/\\");
  return sep == std::string::npos ? path : path.substr(sep + 1);
}

std::string FreeLinkPath(const std::string& folder, const std::string& name,
                         const std::string& extension, bool overwrite) {
  std::string base = folder;
  if (base.empty() || base.back() != '/') base.push_back('/');
  std::string path = base + name + extension;
  if (overwrite) return path;
  struct stat st {};
  for (int n = 1; ::lstat(path.c_str(), &st) == 0; ++n) {
    path = base + name + "(" + std::to_string(n) + ")" + extension;
  }
  return path;
}

}  // namespace glyphwell::shell
