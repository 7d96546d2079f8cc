#include "dialogs/criteria_history.h"

#include <algorithm>

namespace glyphwell::dialogs {

namespace {

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return Lower(x) < Lower(y); });
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  return !LessIgnoringCase(a, b) && !LessIgnoringCase(b, a);
}

}  // namespace

std::vector<std::string> LoadCriteriaHistory(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else if (c != '\r') {
      line.push_back(c);
    }
  }
  lines.push_back(line);
  std::erase_if(lines, [](const std::string& s) { return s.empty(); });
  std::stable_sort(lines.begin(), lines.end(), LessIgnoringCase);
  lines.erase(std::unique(lines.begin(), lines.end(), SameIgnoringCase), lines.end());
  if (lines.size() > kCriteriaHistoryLength) lines.resize(kCriteriaHistoryLength);
  return lines;
}

std::string CriteriaHistoryText(const std::vector<std::string>& entries) {
  std::string text;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (i) text += "\r\n";
    text += entries[i];
  }
  return text;
}

void RememberCriteria(std::vector<std::string>& entries, const std::string& entry) {
  if (entry.empty()) return;
  if (std::find(entries.begin(), entries.end(), entry) != entries.end()) return;
  entries.push_back(entry);
}

}  // namespace glyphwell::dialogs
