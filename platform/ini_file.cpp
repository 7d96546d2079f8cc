#include "platform/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>

#include "platform/atomic_file.h"

namespace glyphwell::platform {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front()))
    s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back()))
    s.remove_suffix(1);
  return s;
}

bool HasLineBreak(std::string_view s) {
  return s.find('\n') != std::string_view::npos || s.find('\r') != std::string_view::npos;
}

bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Decimal with an optional sign, or 0x-prefixed hexadecimal, within int range.
std::optional<int> ParseInteger(std::string_view text) {
  text = TrimBlanks(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty() || text.front() == '-' || text.front() == '+') return std::nullopt;
  long long magnitude = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  long long value = negative ? -magnitude : magnitude;
  if (value < INT_MIN || value > INT_MAX) return std::nullopt;
  return static_cast<int>(value);
}

// Reads at most `limit` bytes; kUnreadable when the file is larger or unreadable.
IniLoadStatus ReadLimited(const std::string& path, std::size_t limit, std::string& out) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return errno == ENOENT || errno == ENOTDIR ? IniLoadStatus::kMissing
                                               : IniLoadStatus::kUnreadable;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
      static_cast<unsigned long long>(st.st_size) > limit) {
    ::close(fd);
    return IniLoadStatus::kUnreadable;
  }
  std::string data;
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return IniLoadStatus::kUnreadable;
    }
    if (n == 0) break;
    if (data.size() + static_cast<std::size_t>(n) > limit) {  // grew while reading
      ::close(fd);
      return IniLoadStatus::kUnreadable;
    }
    data.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  out = std::move(data);
  return IniLoadStatus::kLoaded;
}

}  // namespace

IniFile::IniFile(IniCase caseRule) : case_(caseRule) {}

std::string IniFile::Fold(std::string_view name) const {
  std::string folded(name);
  if (case_ == IniCase::kIgnoreAsciiCase) {
    for (char& c : folded)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

void IniFile::Clear() {
  preamble_.clear();
  hadBom_ = false;
  sections_.clear();
  sectionIndex_.clear();
}

IniFile::Section& IniFile::AppendSection(std::string name) {
  sectionIndex_[Fold(name)].push_back(sections_.size());
  Section& s = sections_.emplace_back();
  s.name = std::move(name);
  return s;
}

void IniFile::AppendEntry(Section& section, std::string key, std::string value) {
  section.index[Fold(key)].push_back(section.lines.size());
  Line& line = section.lines.emplace_back();
  line.isEntry = true;
  line.key = std::move(key);
  line.value = std::move(value);
}

void IniFile::Parse(std::string_view text) {
  Clear();
  if (text.starts_with(kBom)) {
    hadBom_ = true;
    text.remove_prefix(kBom.size());
  }
  Section* current = nullptr;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    std::string_view lead = line;
    while (!lead.empty() && IsBlank(lead.front()))
      lead.remove_prefix(1);
    if (!lead.empty() && lead.front() == '[') {
      std::size_t close = lead.rfind(']');
      if (close != std::string_view::npos && close > 0) {
        current = &AppendSection(std::string(lead.substr(1, close - 1)));
        continue;
      }
    }
    if (current == nullptr) {
      preamble_.emplace_back(line);
      continue;
    }
    std::size_t eq = line.find('=');
    std::string_view key = eq == std::string_view::npos ? std::string_view{} : line.substr(0, eq);
    key = TrimBlanks(key);
    if (eq != std::string_view::npos && !key.empty() && key.front() != ';' && key.front() != '[') {
      AppendEntry(*current, std::string(key), std::string(line.substr(eq + 1)));
    } else {
      Line& raw = current->lines.emplace_back();
      raw.raw = std::string(line);
    }
  }
}

std::string IniFile::ToText() const {
  std::string out;
  if (hadBom_) out += kBom;
  for (const std::string& line : preamble_) {
    out += line;
    out += "\r\n";
  }
  for (const Section& s : sections_) {
    if (s.deleted) continue;
    out += '[';
    out += s.name;
    out += "]\r\n";
    for (const Line& line : s.lines) {
      if (line.deleted) continue;
      if (line.isEntry) {
        out += line.key;
        out += '=';
        out += line.value;
      } else {
        out += line.raw;
      }
      out += "\r\n";
    }
  }
  return out;
}

IniLoadStatus IniFile::Load(const std::string& path) {
  Clear();
  std::string text;
  IniLoadStatus status = ReadLimited(path, kMaxFileBytes, text);
  if (status == IniLoadStatus::kLoaded) Parse(text);
  return status;
}

bool IniFile::Save(const std::string& path, std::string* error) const {
  std::string text = ToText();
  return WriteFileAtomically(path,
                             std::span<const std::uint8_t>(
                                 reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                             error);
}

const IniFile::Line* IniFile::FindLine(std::string_view section, std::string_view key) const {
  auto sit = sectionIndex_.find(Fold(section));
  if (sit == sectionIndex_.end()) return nullptr;
  std::string foldedKey = Fold(TrimBlanks(key));
  for (std::size_t si : sit->second) {
    const Section& s = sections_[si];
    auto kit = s.index.find(foldedKey);
    if (kit != s.index.end() && !kit->second.empty()) return &s.lines[kit->second.front()];
  }
  return nullptr;
}

bool IniFile::SectionExists(std::string_view section) const {
  auto it = sectionIndex_.find(Fold(section));
  return it != sectionIndex_.end() && !it->second.empty();
}

bool IniFile::ValueExists(std::string_view section, std::string_view key) const {
  return FindLine(section, key) != nullptr;
}

std::optional<std::string> IniFile::Find(std::string_view section, std::string_view key) const {
  const Line* line = FindLine(section, key);
  if (line == nullptr) return std::nullopt;
  return line->value;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view fallback) const {
  const Line* line = FindLine(section, key);
  return line ? line->value : std::string(fallback);
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int fallback) const {
  const Line* line = FindLine(section, key);
  if (line == nullptr) return fallback;
  return ParseInteger(line->value).value_or(fallback);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
  const Line* line = FindLine(section, key);
  if (line == nullptr) return fallback;
  std::string_view text = TrimBlanks(line->value);
  if (EqualsIgnoreAsciiCase(text, "true")) return true;
  if (EqualsIgnoreAsciiCase(text, "false")) return false;
  std::optional<int> number = ParseInteger(text);
  return number ? *number != 0 : fallback;
}

std::optional<std::vector<std::uint8_t>> IniFile::ReadBinary(std::string_view section,
                                                             std::string_view key) const {
  const Line* line = FindLine(section, key);
  if (line == nullptr) return std::nullopt;
  std::string_view text = TrimBlanks(line->value);
  if (text.size() % 2 != 0) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  bytes.reserve(text.size() / 2);
  for (std::size_t i = 0; i < text.size(); i += 2) {
    int hi = HexDigit(text[i]), lo = HexDigit(text[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    bytes.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
  }
  return bytes;
}

std::vector<std::string> IniFile::SectionNames() const {
  std::vector<std::string> names;
  std::unordered_map<std::string, bool> seen;
  for (const Section& s : sections_) {
    if (s.deleted) continue;
    if (seen.emplace(Fold(s.name), true).second) names.push_back(s.name);
  }
  return names;
}

std::vector<std::pair<std::string, std::string>> IniFile::SectionValues(
    std::string_view section) const {
  std::vector<std::pair<std::string, std::string>> pairs;
  auto it = sectionIndex_.find(Fold(section));
  if (it == sectionIndex_.end()) return pairs;
  for (std::size_t si : it->second) {
    for (const Line& line : sections_[si].lines) {
      if (line.isEntry && !line.deleted) pairs.emplace_back(line.key, line.value);
    }
  }
  return pairs;
}

std::vector<std::string> IniFile::SectionKeys(std::string_view section) const {
  std::vector<std::string> keys;
  for (auto& [key, value] : SectionValues(section))
    keys.push_back(key);
  return keys;
}

bool IniFile::IsStorableSection(std::string_view section) {
  return !HasLineBreak(section);
}

bool IniFile::IsStorableKey(std::string_view key) {
  return !key.empty() && key == TrimBlanks(key) && !HasLineBreak(key) &&
         key.find('=') == std::string_view::npos && key.front() != '[' && key.front() != ';';
}

bool IniFile::IsStorableValue(std::string_view value) {
  return !HasLineBreak(value);
}

bool IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  if (!IsStorableSection(section) || !IsStorableKey(key) || !IsStorableValue(value)) return false;
  auto sit = sectionIndex_.find(Fold(section));
  if (sit != sectionIndex_.end() && !sit->second.empty()) {
    std::string foldedKey = Fold(key);
    for (std::size_t si : sit->second) {
      Section& s = sections_[si];
      auto kit = s.index.find(foldedKey);
      if (kit != s.index.end() && !kit->second.empty()) {
        s.lines[kit->second.front()].value = std::string(value);
        return true;
      }
    }
    AppendEntry(sections_[sit->second.front()], std::string(key), std::string(value));
    return true;
  }
  AppendEntry(AppendSection(std::string(section)), std::string(key), std::string(value));
  return true;
}

bool IniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  return WriteString(section, key, std::to_string(value));
}

bool IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  return WriteString(section, key, value ? "1" : "0");
}

bool IniFile::WriteBinary(std::string_view section, std::string_view key,
                          std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (std::uint8_t b : bytes) {
    hex += kDigits[b >> 4];
    hex += kDigits[b & 15];
  }
  return WriteString(section, key, hex);
}

void IniFile::DeleteKey(std::string_view section, std::string_view key) {
  auto sit = sectionIndex_.find(Fold(section));
  if (sit == sectionIndex_.end()) return;
  std::string foldedKey = Fold(TrimBlanks(key));
  for (std::size_t si : sit->second) {
    Section& s = sections_[si];
    auto kit = s.index.find(foldedKey);
    if (kit == s.index.end()) continue;
    for (std::size_t li : kit->second)
      s.lines[li].deleted = true;
    s.index.erase(kit);
  }
}

void IniFile::EraseSection(std::string_view section) {
  auto sit = sectionIndex_.find(Fold(section));
  if (sit == sectionIndex_.end()) return;
  for (std::size_t si : sit->second)
    sections_[si].deleted = true;
  sectionIndex_.erase(sit);
}

}  // namespace glyphwell::platform
