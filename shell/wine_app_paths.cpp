#include "shell/wine_app_paths.h"

#include <fstream>
#include <sstream>

namespace glyphwell::shell {

namespace {

// A registry string as Wine writes it ("..." with \\ and \" escapes).
std::string RegString(std::string_view v) {
  if (v.rfind("str(2):", 0) == 0) v.remove_prefix(7);
  if (v.size() < 2 || v.front() != '"') return {};
  std::string out;
  for (std::size_t i = 1; i < v.size() && v[i] != '"'; ++i) {
    if (v[i] == '\\' && i + 1 < v.size()) ++i;
    out.push_back(v[i]);
  }
  return out;
}

// The name of the folder that holds the program: the last component of the path's
// folder part.
std::string HoldingFolderName(const std::string& program) {
  const auto sep = program.find_last_of('\\');
  if (sep == std::string::npos) return {};
  const std::string folder = program.substr(0, sep);
  const auto sep2 = folder.find_last_of("\\:");
  return sep2 == std::string::npos ? folder : folder.substr(sep2 + 1);
}

bool IsAppPathsSubkey(std::string_view header) {
  constexpr std::string_view kKey =
      "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\App Paths\\\\";
  if (header.size() < kKey.size()) return false;
  for (std::size_t i = 0; i < kKey.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    if (lower(header[i]) != lower(kKey[i])) return false;
  }
  // a direct subkey: no further separator before the closing bracket
  const auto close = header.find(']');
  return close != std::string_view::npos &&
         header.substr(kKey.size(), close - kKey.size()).find("\\\\") == std::string_view::npos;
}

}  // namespace

std::string AppPathForFolderName(std::string_view reg, const std::string& name) {
  bool inKey = false;
  std::size_t pos = 0;
  while (pos < reg.size()) {
    std::size_t end = reg.find('\n', pos);
    if (end == std::string_view::npos) end = reg.size();
    std::string_view line = reg.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty() && line[0] == '[') {
      inKey = IsAppPathsSubkey(line);
      continue;
    }
    if (!inKey || line.rfind("@=", 0) != 0) continue;
    const std::string program = RegString(line.substr(2));
    if (!program.empty() && HoldingFolderName(program) == name) return program;
  }
  return {};
}

std::string AppPathForFolderNameInPrefix(const std::string& prefix, const std::string& name) {
  std::ifstream in(prefix + "/system.reg", std::ios::binary);
  if (!in) return {};
  std::ostringstream text;
  text << in.rdbuf();
  return AppPathForFolderName(text.str(), name);
}

}  // namespace glyphwell::shell
