#include "app/saved_lists.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <span>

#include "platform/atomic_file.h"

namespace glyphwell::app {

namespace {

bool Exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

bool IsFolder(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

platform::IniFile LoadIni(const std::string& path) {
  platform::IniFile ini;
  ini.Load(path);
  return ini;
}

// A list file lies in the shared data folder itself: an index key that names a
// path (a "/", "." or "..") is no list file, so nothing outside that folder is
// ever written or deleted through a damaged or edited index.
bool IsListFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string("/\0", 2)) == std::string::npos;
}

}  // namespace

std::string NormalFolder(const std::string& folder) {
  std::string out = folder;
  while (out.size() > 1 && out.back() == '/')
    out.pop_back();
  return out;
}

bool FolderIsWithin(const std::string& folder, const std::string& root) {
  const std::string f = NormalFolder(folder);
  const std::string r = NormalFolder(root);
  if (r.empty()) return false;
  if (f == r) return true;
  if (r == "/") return !f.empty() && f[0] == '/';
  return f.size() > r.size() && f.compare(0, r.size(), r) == 0 && f[r.size()] == '/';
}

std::optional<SavedLists::Covering> SavedLists::CoveringList(const std::string& folder,
                                                             bool forWriting) const {
  const platform::IniFile index = LoadIni(index_);
  const std::string wanted = NormalFolder(folder);
  std::string section;
  if (index.SectionExists(wanted)) {
    section = wanted;
  } else if (!forWriting) {
    for (const std::string& name : index.SectionNames()) {
      // ">=": of equally long names the later one wins.
      if (FolderIsWithin(wanted, name) && NormalFolder(name).size() >= section.size())
        section = name;
    }
  }
  if (!section.empty()) {
    std::vector<std::string> keys = index.SectionKeys(section);
    if (keys.empty()) return std::nullopt;
    if (!IsListFileName(keys.front())) {
      if (!forWriting) return std::nullopt;
      return Covering{section, std::string()};  // no name: nothing is written
    }
    return Covering{section, keys.front()};
  }
  if (!forWriting) return std::nullopt;
  std::string name;
  for (int i = 0; i < kMaxListFiles; ++i) {
    name = std::to_string(i) + ".ini";
    if (!Exists(ListFilePath(name))) break;
  }
  return Covering{wanted, name};
}

int SavedLists::ListedCount(const std::string& folder) const {
  if (!IsFolder(folder)) return -1;
  const std::string wanted = NormalFolder(folder);
  const platform::IniFile index = LoadIni(index_);
  if (index.SectionExists(wanted)) {
    std::vector<std::pair<std::string, std::string>> values = index.SectionValues(wanted);
    if (!values.empty()) {
      int files = ListTotals::Parse(values.front().second).files;
      if (files > 0) return files;
    }
  }
  std::optional<Covering> covering = CoveringList(wanted, false);
  if (!covering) return 0;
  platform::IniFile list;
  if (list.Load(ListFilePath(covering->fileName)) != platform::IniLoadStatus::kLoaded) return 0;
  int count = 0;
  for (const std::string& section : list.SectionNames()) {
    if (FolderIsWithin(section, wanted))
      count += static_cast<int>(list.SectionKeys(section).size());
  }
  return count;
}

ListTotals SavedLists::ReadTotals(const std::string& section) const {
  const platform::IniFile index = LoadIni(index_);
  std::vector<std::pair<std::string, std::string>> values = index.SectionValues(section);
  if (values.empty()) return {};
  return ListTotals::Parse(values.front().second);
}

bool SavedLists::WriteTotals(const std::string& section, const std::string& fileName,
                             const ListTotals& totals, std::string* error) const {
  platform::IniFile index = LoadIni(index_);
  if (!index.WriteString(section, fileName, totals.ToValue())) {
    if (error) *error = "the folder name cannot be stored in the list index";
    return false;
  }
  return index.Save(index_, error);
}

std::vector<std::string> SavedLists::PanelItems() const {
  const platform::IniFile index = LoadIni(index_);
  std::vector<std::string> items;
  for (const std::string& section : index.SectionNames()) {
    std::vector<std::pair<std::string, std::string>> values = index.SectionValues(section);
    items.push_back(section + "=" + (values.empty() ? std::string("0") : values.front().second));
  }
  return items;
}

std::string SavedLists::ItemFolder(const std::string& item) {
  // The value holds no "=", the folder may.
  std::size_t cut = item.rfind('=');
  return cut == std::string::npos ? item : item.substr(0, cut);
}

std::string SavedLists::ItemDetails(const std::string& item) {
  std::size_t cut = item.rfind('=');
  ListTotals t = ListTotals::Parse(cut == std::string::npos ? "" : item.substr(cut + 1));
  return "files " + std::to_string(t.files) + "   normal " + std::to_string(t.shell) + "  icon " +
         std::to_string(t.icons) + "  bmp " + std::to_string(t.bitmaps) + "  graphic " +
         std::to_string(t.pictures);
}

bool SavedLists::DeleteList(const std::string& section, std::string* error) const {
  platform::IniFile index = LoadIni(index_);
  std::vector<std::string> keys = index.SectionKeys(section);
  if (!keys.empty() && IsListFileName(keys.front())) {
    const std::string path = ListFilePath(keys.front());
    // A list file that is already gone must not keep its index section forever.
    if (std::remove(path.c_str()) != 0 && errno != ENOENT) {
      if (error) *error = std::strerror(errno);
      return false;
    }
  }
  index.EraseSection(section);
  return index.Save(index_, error);
}

void SavedLists::RemoveMissingEntry(platform::IniFile& listFile, const std::string& folderSection,
                                    const ListEntry& entry, const std::string& key,
                                    const Covering& covering) const {
  listFile.DeleteKey(folderSection, key);
  ListTotals totals = ReadTotals(covering.section);
  totals.Remove(entry);
  WriteTotals(covering.section, covering.fileName, totals);
}

bool ListWriter::WriteListLine(const std::string& folder, const std::string& name, int flags,
                               int bitmaps, int icons, int shell) {
  ListEntry entry{name, flags, shell, icons, bitmaps};
  // A name the list file cannot hold as a key (a "=", a "<>", a leading "[" or ";",
  // blanks around it, a line break) would read back as another name, a section
  // header or nothing, and move the entries after it into a wrong folder.
  if (name.find("<>") != std::string::npos || !platform::IniFile::IsStorableKey(entry.Key()) ||
      !platform::IniFile::IsStorableSection(folder))
    return false;
  if (!anyHeader_ || folder != lastFolder_) {
    text_ += "[" + folder + "]\r\n";
    lastFolder_ = folder;
    anyHeader_ = true;
  }
  text_ += entry.Key() + "=0\r\n";
  totals_.Add(entry);
  return true;
}

bool ListWriter::Save(const std::string& path, std::string* error) const {
  auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(text_.data()), text_.size());
  return platform::WriteFileAtomically(path, bytes, error);
}

}  // namespace glyphwell::app
