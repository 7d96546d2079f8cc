#pragma once
// The two text records of the saved file lists.
//
// An entry line of a list file: name + "<>" + flags + "e" + shell count + "e" +
// icons + "e" + bitmaps + "=0". Flags: 8 = picture; otherwise 1 = the shell finds
// icons, 2 = the own reader finds icon images, 4 = it finds bitmaps.
//
// The index value of a list: files + "<>" + shell icons + "e" + icons + "e" +
// bitmaps + "e" + pictures, totals over the list (counts of pictures excluded).

#include <optional>
#include <string>
#include <string_view>

#include "extract/extraction_mode.h"

namespace glyphwell::app {

inline constexpr int kPictureFlags = 8;

struct ListEntry {
  std::string name;
  int flags = 0;
  int shell = 0;
  int icons = 0;
  int bitmaps = 0;

  bool isPicture() const { return flags == kPictureFlags; }
  // The count for a mode: shell count, icon count or bitmap count.
  int CountFor(extract::ExtractionMode mode) const;
  // The key as written (without "=0").
  std::string Key() const;
  // Parses a key (everything before "="): nothing without "<>" or with an empty
  // name; a missing or malformed number reads 0.
  static std::optional<ListEntry> ParseKey(std::string_view key);
};

// The flag bit of a mode: 1 Normal, 2 Icon, 4 Bmp.
int ModeBit(extract::ExtractionMode mode);

struct ListTotals {
  int files = 0;
  int shell = 0;
  int icons = 0;
  int bitmaps = 0;
  int pictures = 0;

  void Add(const ListEntry& entry);
  // Takes one entry away; no total goes below 0.
  void Remove(const ListEntry& entry);
  std::string ToValue() const;
  static ListTotals Parse(std::string_view value);
  friend bool operator==(const ListTotals&, const ListTotals&) = default;
};

}  // namespace glyphwell::app
