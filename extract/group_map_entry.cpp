#include "extract/group_map_entry.h"

#include <charconv>

namespace glyphwell::extract {

namespace {

bool ParseInt(const std::string& s, int& out) {
  if (s.empty()) return false;
  const char* first = s.data();
  if (*first == '+') ++first;
  auto [ptr, ec] = std::from_chars(first, s.data() + s.size(), out);
  return ec == std::errc() && ptr == s.data() + s.size();
}

}  // namespace

std::string GroupMapEntry::ToText() const {
  return std::to_string(group) + "@" + std::to_string(imageCount) + "#" + name;
}

GroupMapEntry GroupMapEntry::Parse(const std::string& text) {
  GroupMapEntry e;
  std::size_t at = text.find('@');
  std::size_t hash = text.find('#', at == std::string::npos ? 0 : at + 1);
  std::string groupText = text.substr(0, std::min(at, hash));
  std::string countText;
  if (at != std::string::npos)
    countText = text.substr(at + 1, hash == std::string::npos ? std::string::npos : hash - at - 1);
  if (!ParseInt(groupText, e.group)) e.group = -1;
  if (!ParseInt(countText, e.imageCount)) e.imageCount = 1;
  if (hash != std::string::npos) e.name = text.substr(hash + 1);
  return e;
}

}  // namespace glyphwell::extract
