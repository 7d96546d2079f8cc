#include "app/favourites.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fstream>
#include <span>

#include "platform/atomic_file.h"

namespace glyphwell::app {

namespace {

std::string Fold(std::string text) {
  for (char& c : text)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool IsFile(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

std::vector<std::string> Favourites::Read() const {
  std::vector<std::string> paths;
  std::ifstream in(path_, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) paths.push_back(line);
  }
  return paths;
}

bool Favourites::Write(const std::vector<std::string>& paths) const {
  std::string text;
  for (const std::string& p : paths)
    text += p + "\r\n";
  auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  return platform::WriteFileAtomically(path_, bytes);
}

bool Favourites::Readable() const {
  struct stat info;
  if (stat(path_.c_str(), &info) != 0) return errno == ENOENT;  // no file: no favourites
  return S_ISREG(info.st_mode) && std::ifstream(path_, std::ios::binary).is_open();
}

std::vector<FileListRow> Favourites::Show() const {
  if (!Readable()) return {};
  std::vector<std::string> paths = Read();
  std::vector<std::string> kept;
  std::vector<FileListRow> rows;
  for (auto it = paths.rbegin(); it != paths.rend(); ++it) {
    if (!IsFile(*it)) continue;
    kept.insert(kept.begin(), *it);
    std::size_t slash = it->rfind('/');
    std::string file = slash == std::string::npos ? *it : it->substr(slash + 1);
    std::size_t dot = file.rfind('.');
    rows.push_back({dot == std::string::npos ? file : file.substr(0, dot),
                    dot == std::string::npos ? "" : file.substr(dot + 1), 0, *it});
  }
  if (kept.size() != paths.size()) Write(kept);
  std::stable_sort(rows.begin(), rows.end(), [](const FileListRow& a, const FileListRow& b) {
    return Fold(a.name) < Fold(b.name);
  });
  return rows;
}

int Favourites::Add(const std::vector<std::string>& add) const {
  if (!Readable()) return 0;
  std::vector<std::string> paths = Read();
  int added = 0;
  for (const std::string& p : add) {
    bool held = std::any_of(paths.begin(), paths.end(),
                            [&](const std::string& q) { return Fold(q) == Fold(p); });
    if (held) continue;
    paths.push_back(p);
    ++added;
  }
  if (added) Write(paths);
  return added;
}

bool Favourites::Contains(const std::string& path) const {
  for (const std::string& p : Read())
    if (Fold(p) == Fold(path)) return true;
  return false;
}

}  // namespace glyphwell::app
