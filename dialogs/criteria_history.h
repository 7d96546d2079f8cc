#pragma once
// The remembered entries of the size and depth criteria boxes. A history is kept as
// one text of lines; shown, it is sorted, without duplicates or empty lines, and
// cut to its first eight entries.

#include <string>
#include <vector>

namespace glyphwell::dialogs {

inline constexpr std::size_t kCriteriaHistoryLength = 8;

// Splits at CR LF or LF, sorts (ASCII case ignored), drops empty lines and
// duplicates, keeps the first eight.
std::vector<std::string> LoadCriteriaHistory(const std::string& text);

// The lines joined with CR LF.
std::string CriteriaHistoryText(const std::vector<std::string>& entries);

// Appends `entry` when it is not empty and not yet in the list.
void RememberCriteria(std::vector<std::string>& entries, const std::string& entry);

}  // namespace glyphwell::dialogs
