#pragma once
// An INI file held in memory: read whole, changed in place, written whole.
//
// Sections, keys, values, comments and blank lines are kept as they were read, in
// their order, so a file that is loaded and saved again comes back byte for byte
// (apart from line ends, which are written as CR LF). Text is UTF-8; bytes are kept
// as they are, whether or not they are valid UTF-8.
//
// Reading rules:
//   * lines end at LF; one CR before the LF is dropped (so LF and CR LF files read
//     the same);
//   * "[name]" (leading blanks allowed) starts a section; the name is everything
//     between the "[" and the last "]" of the line;
//   * inside a section, "key=value" is split at the first "=": the key loses its
//     surrounding blanks, the value is kept exactly;
//   * every other line (blank, ";" comment, no "=", empty key, anything before the
//     first section) is kept as written and never seen as a key.
// A name may occur more than once (as section or as key). Reads take the first
// occurrence over all sections of that name; writes change the first occurrence;
// deletes remove every occurrence.
//
// Lookups of section names and keys are exact by default (section names are often
// folder paths, and Linux paths differ by letter case); kIgnoreAsciiCase folds
// A-Z to a-z for files whose names are fixed identifiers.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace glyphwell::platform {

enum class IniCase { kExact, kIgnoreAsciiCase };

enum class IniLoadStatus {
  kLoaded,      // the file was read (whatever its content)
  kMissing,     // there is no such file: the INI starts empty
  kUnreadable,  // the file exists but could not be read (or is too large): empty
};

class IniFile {
 public:
  // Files larger than this are not read (treated as unreadable).
  static constexpr std::size_t kMaxFileBytes = 256u * 1024u * 1024u;

  explicit IniFile(IniCase caseRule = IniCase::kExact);

  // Replaces the content with the parsed text. Never fails.
  void Parse(std::string_view text);
  // The content as file text, CR LF line ends.
  std::string ToText() const;

  // Replaces the content with the file at `path`; on any failure the INI is empty.
  IniLoadStatus Load(const std::string& path);
  // Writes ToText() to `path` atomically; false (and `error`) when it cannot.
  bool Save(const std::string& path, std::string* error = nullptr) const;

  // --- Reading ---
  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view fallback = {}) const;
  // Decimal (optionally signed) or 0x-prefixed hexadecimal within int range;
  // anything else gives `fallback`.
  int ReadInteger(std::string_view section, std::string_view key, int fallback) const;
  // An integer (non-zero = true) or "true"/"false" in any letter case.
  bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;
  // Hexadecimal digits, two per byte; nullopt when missing or malformed.
  std::optional<std::vector<std::uint8_t>> ReadBinary(std::string_view section,
                                                      std::string_view key) const;

  // Distinct section names in the order of their first appearance.
  std::vector<std::string> SectionNames() const;
  // The keys of every section of that name, in file order (duplicates kept).
  std::vector<std::string> SectionKeys(std::string_view section) const;
  // Key and value pairs of every section of that name, in file order.
  std::vector<std::pair<std::string, std::string>> SectionValues(std::string_view section) const;

  // --- Writing --- (false when the name cannot be stored in an INI line: see
  // IsStorableSection / IsStorableKey / IsStorableValue)
  bool WriteString(std::string_view section, std::string_view key, std::string_view value);
  bool WriteInteger(std::string_view section, std::string_view key, int value);
  bool WriteBool(std::string_view section, std::string_view key, bool value);  // "1"/"0"
  bool WriteBinary(std::string_view section, std::string_view key,
                   std::span<const std::uint8_t> bytes);  // upper-case hex
  void DeleteKey(std::string_view section, std::string_view key);
  void EraseSection(std::string_view section);
  void Clear();

  // A section name may hold anything but line breaks.
  static bool IsStorableSection(std::string_view section);
  // A key must be non-empty, without "=", line breaks or surrounding blanks, and
  // must not begin with "[" or ";" (it would read back as a section or comment).
  static bool IsStorableKey(std::string_view key);
  // A value may hold anything but line breaks.
  static bool IsStorableValue(std::string_view value);

 private:
  struct Line {
    bool isEntry = false;  // key=value; otherwise `raw` is kept as written
    bool deleted = false;
    std::string key, value, raw;
  };
  struct Section {
    std::string name;
    bool deleted = false;
    std::vector<Line> lines;
    // folded key -> indices of the live lines with that key, in file order
    std::unordered_map<std::string, std::vector<std::size_t>> index;
  };

  std::string Fold(std::string_view name) const;
  const Line* FindLine(std::string_view section, std::string_view key) const;
  Section& AppendSection(std::string name);
  void AppendEntry(Section& section, std::string key, std::string value);

  IniCase case_;
  std::vector<std::string> preamble_;  // lines before the first section
  bool hadBom_ = false;
  std::vector<Section> sections_;
  // folded section name -> indices of the live sections with that name
  std::unordered_map<std::string, std::vector<std::size_t>> sectionIndex_;
};

}  // namespace glyphwell::platform
