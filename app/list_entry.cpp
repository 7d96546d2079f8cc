#include "app/list_entry.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace glyphwell::app {

namespace {

// Decimal text; anything malformed (or out of range) reads 0.
int ReadNumber(std::string_view text) {
  int value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return 0;
  return value;
}

// `text` cut at each "e" into `count` numbers (missing ones read 0).
std::vector<int> ReadNumbers(std::string_view text, std::size_t count) {
  std::vector<int> numbers(count, 0);
  for (std::size_t i = 0; i < count; ++i) {
    std::size_t cut = text.find('e');
    numbers[i] = ReadNumber(text.substr(0, cut));
    if (cut == std::string_view::npos) break;
    text.remove_prefix(cut + 1);
  }
  return numbers;
}

int Lower(int value, int by) {
  return std::max(0, value - by);
}

}  // namespace

int ListEntry::CountFor(extract::ExtractionMode mode) const {
  switch (mode) {
    case extract::ExtractionMode::kNormal:
      return shell;
    case extract::ExtractionMode::kIcon:
      return icons;
    case extract::ExtractionMode::kBmp:
      return bitmaps;
  }
  return 0;
}

std::string ListEntry::Key() const {
  return name + "<>" + std::to_string(flags) + "e" + std::to_string(shell) + "e" +
         std::to_string(icons) + "e" + std::to_string(bitmaps);
}

std::optional<ListEntry> ListEntry::ParseKey(std::string_view key) {
  std::size_t split = key.find("<>");
  if (split == std::string_view::npos || split == 0) return std::nullopt;
  ListEntry entry;
  entry.name = std::string(key.substr(0, split));
  std::vector<int> n = ReadNumbers(key.substr(split + 2), 4);
  entry.flags = n[0];
  entry.shell = n[1];
  entry.icons = n[2];
  entry.bitmaps = n[3];
  return entry;
}

int ModeBit(extract::ExtractionMode mode) {
  switch (mode) {
    case extract::ExtractionMode::kNormal:
      return 1;
    case extract::ExtractionMode::kIcon:
      return 2;
    case extract::ExtractionMode::kBmp:
      return 4;
  }
  return 0;
}

void ListTotals::Add(const ListEntry& entry) {
  ++files;
  if (entry.isPicture()) {
    ++pictures;
  } else {
    shell += entry.shell;
    icons += entry.icons;
    bitmaps += entry.bitmaps;
  }
}

void ListTotals::Remove(const ListEntry& entry) {
  files = Lower(files, 1);
  if (entry.isPicture()) {
    pictures = Lower(pictures, 1);
  } else {
    shell = Lower(shell, entry.shell);
    icons = Lower(icons, entry.icons);
    bitmaps = Lower(bitmaps, entry.bitmaps);
  }
}

std::string ListTotals::ToValue() const {
  return std::to_string(files) + "<>" + std::to_string(shell) + "e" + std::to_string(icons) + "e" +
         std::to_string(bitmaps) + "e" + std::to_string(pictures);
}

ListTotals ListTotals::Parse(std::string_view value) {
  ListTotals totals;
  std::size_t split = value.find("<>");
  totals.files = ReadNumber(value.substr(0, split));
  if (split == std::string_view::npos) return totals;
  std::vector<int> n = ReadNumbers(value.substr(split + 2), 4);
  totals.shell = n[0];
  totals.icons = n[1];
  totals.bitmaps = n[2];
  totals.pictures = n[3];
  return totals;
}

}  // namespace glyphwell::app
