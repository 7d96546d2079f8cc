#include "app/icon_search.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>

#include "app/folder_entries.h"
#include "app/short_folder_display.h"
#include "shell/t_shell_link.h"

namespace glyphwell::app {

namespace {

bool IsFile(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsFolder(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string Lower(std::string text) {
  for (char& c : text)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string FileName(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

FileListRow MakeRow(const std::string& path, int count) {
  const std::string file = FileName(path);
  std::size_t dot = file.rfind('.');
  FileListRow row;
  row.name = dot == std::string::npos ? file : file.substr(0, dot);
  row.ext = dot == std::string::npos ? std::string() : file.substr(dot + 1);
  row.count = count;
  row.path = path;
  return row;
}

}  // namespace

bool IsExtensionMember(const std::string& extension, const std::string& set) {
  if (extension.size() < 2 || extension[0] != '.') return false;
  for (std::size_t at = set.find(extension); at != std::string::npos;
       at = set.find(extension, at + 1)) {
    std::size_t end = at + extension.size();
    if (end == set.size() || set[end] == '.') return true;
  }
  return false;
}

IconSearch::IconSearch(SavedLists lists, platform::MessageSink& messages)
    : lists_(std::move(lists)), reader_(&messages), counter_(&messages) {}

void IconSearch::Step(int n) {
  if (stepBar) stepBar(n);
}

void IconSearch::Pump() {
  if (runPendingEvents) runPendingEvents();
}

bool IconSearch::RunBusy(const std::string& message, const std::string& caption, int maximum,
                         const std::function<bool()>& work) {
  if (runBusy) return runBusy(message, caption, maximum, work);
  return work();
}

std::string IconSearch::FollowShortcut(const std::string& path) const {
  if (resolveShortcut) return resolveShortcut(path);
  shell::TShellLink link;
  std::string target = path;
  link.GetLinkToPath(path, target, false);
  return target;
}

int IconSearch::WalkFolder(const std::string& folderPath, bool countOnly) {
  const std::string folder = NormalFolder(folderPath);
  FolderEntries entries = ReadFolderEntries(folder);
  if (!entries.readable) return 0;
  // A folder met again below itself (a bind mount) is not walked twice.
  const std::pair<unsigned long long, unsigned long long> id{entries.device, entries.inode};
  if (std::find(walking_.begin(), walking_.end(), id) != walking_.end()) return 0;
  walking_.push_back(id);
  int count = 0;
  for (const FolderEntry& file : entries.files) {
    if (cancel) break;
    Pump();
    if (file.hidden && !filters.hidden) continue;
    if (file.system && !filters.system) continue;
    const std::string ext = extract::SourceReader::LowerExtension(file.name);
    const bool picture = extract::SourceReader::IsPictureExtension(ext);
    if (IsExtensionMember(ext, kWalkExtensions) || (!filters.leaveOutPictures && picture)) {
      if (!countOnly) AddRow(JoinPath(folder, file.name), false, true, false);
      ++count;
    }
  }
  for (const FolderEntry& sub : entries.folders) {
    if (cancel) break;
    if (sub.name[0] == '.') continue;
    if (sub.hidden && !filters.hidden) continue;
    if (sub.system && !filters.system) continue;
    count += WalkFolder(JoinPath(folder, sub.name), countOnly);
  }
  walking_.pop_back();
  return count;
}

IconSearch::Counted IconSearch::CountForRow(const std::string& path, bool picture) {
  Counted c;
  if (picture) {
    c.count = 1;
    return c;
  }
  if (!listCreation_) {
    c.count = counter_.CountImages(path, filters.mode);
    return c;
  }
  // Writing a list: every mode's count from one opening of the file.
  const extract::HeaderCounter::Counts counts = counter_.CountAll(path);
  c.shell = counts.shell;
  c.icons = counts.icons;
  c.bitmaps = counts.bitmaps;
  c.flags = counts.flags();
  c.count = c.shell;
  return c;
}

bool IconSearch::AddRow(const std::string& givenPath, bool checkDuplicates, bool applyThreshold,
                        bool keepShortcut) {
  std::string path = givenPath;
  std::string ext = extract::SourceReader::LowerExtension(path);
  if (!keepShortcut && ext == ".lnk") {
    path = FollowShortcut(path);
    ext = extract::SourceReader::LowerExtension(path);
  }
  const bool picture = extract::SourceReader::IsPictureExtension(ext);
  bool added = false;
  if (IsExtensionMember(ext, kRowExtensions) || filters.allFiles || picture) {
    Counted c = CountForRow(path, picture);
    if (listCreation_ && picture) c.flags = kPictureFlags;
    const bool take = c.flags != 0 || c.count >= filters.threshold || !applyThreshold || picture;
    if (take) {
      if (listCreation_) {
        if (writer_) {
          int flags = picture ? kPictureFlags : c.flags + (c.shell > 0 ? 1 : 0);
          if (picture) c = Counted{1, flags, 0, 0, 1};
          added = writer_->WriteListLine(FolderOf(path), FileName(path), flags, c.bitmaps, c.icons,
                                         c.shell);
        }
        if (!added && listUpdate_) return false;  // the bar counts listed entries only
      } else {
        const bool duplicate =
            checkDuplicates && std::any_of(rows_.begin(), rows_.end(),
                                           [&](const FileListRow& r) { return r.path == path; });
        if (!duplicate) {
          AddFoundRow(path, c.count);
          added = true;
        }
      }
    } else if (listUpdate_) {
      return false;  // the bar of a rewritten list counts its entries only
    }
  } else if (listUpdate_) {
    return false;  // rewriting a list: a file it does not take leaves the bar alone
  }
  Step(1);
  return added;
}

void IconSearch::AddFoundRow(const std::string& path, int count) {
  rows_.push_back(MakeRow(path, count));
}

int IconSearch::AddFiles(const std::vector<std::string>& lines) {
  if (stopIconUpdate) stopIconUpdate();
  const std::size_t before = rows_.size();
  for (const std::string& line : lines) {
    if (line.empty()) continue;
    std::string path = line;
    if (extract::SourceReader::LowerExtension(path) == ".lnk") path = FollowShortcut(path);
    if (IsFile(path)) {
      AddRow(path, true, false, true);
    } else if (IsFolder(path)) {
      WalkFolder(path, false);
      SortByName();
    }
  }
  if (startIconUpdate) startIconUpdate();
  return static_cast<int>(rows_.size() - before);
}

void IconSearch::SortByName() {
  // Each row's lower-case name is made once, not at every comparison.
  std::vector<std::pair<std::string, std::size_t>> keys;
  keys.reserve(rows_.size());
  for (std::size_t i = 0; i < rows_.size(); ++i)
    keys.emplace_back(Lower(rows_[i].name), i);
  std::stable_sort(keys.begin(), keys.end(), [this](const auto& a, const auto& b) {
    if (a.first != b.first) return a.first < b.first;
    return rows_[a.second].path < rows_[b.second].path;
  });
  std::vector<FileListRow> sorted;
  sorted.reserve(rows_.size());
  for (const auto& key : keys)
    sorted.push_back(std::move(rows_[key.second]));
  rows_ = std::move(sorted);
}

bool IconSearch::ListSearch(bool forced) {
  if (!filters.listSearch && !forced) return false;
  const int listed = lists_.ListedCount(searchFolder_);
  if (listed <= 0) return false;
  cancel = false;  // a cancelled search before this one must not stop it
  statusFolder_ = ShortFolderDisplay(searchFolder_);
  rows_.clear();
  if (clearGrid) clearGrid();
  return RunBusy(kListSearchMessage, ShortFolderDisplay(searchFolder_), listed,
                 [this] { return ListSearchWork(); });
}

bool IconSearch::ListSearchWork() {
  std::optional<SavedLists::Covering> covering = lists_.CoveringList(searchFolder_, false);
  if (!covering) return false;
  const std::string listPath = lists_.ListFilePath(covering->fileName);
  platform::IniFile list;
  if (list.Load(listPath) != platform::IniLoadStatus::kLoaded) return false;
  if (clearGrid) clearGrid();
  if (selectList) selectList(covering->section);
  const int bit = ModeBit(filters.mode);
  listSearchLines_.clear();
  bool removed = false;
  int seen = 0;
  for (const std::string& section : list.SectionNames()) {
    if (cancel) break;
    if (!FolderIsWithin(section, searchFolder_)) continue;
    for (const auto& [key, value] : list.SectionValues(section)) {
      Pump();
      if (cancel) break;
      if (++seen % 10 == 0) Step(10);
      std::optional<ListEntry> entry = ListEntry::ParseKey(key);
      if (!entry) continue;
      int count = entry->CountFor(filters.mode);
      bool take;
      if (!filters.leaveOutPictures && entry->isPicture()) {
        count = 1;
        take = true;
      } else {
        take = count >= filters.threshold && (entry->flags & bit) != 0;
      }
      if (!take) continue;
      const std::string path = JoinPath(section, entry->name);
      if (filters.deleteMissing && !IsFile(path)) {
        lists_.RemoveMissingEntry(list, section, *entry, key, *covering);
        removed = true;
        continue;
      }
      listSearchLines_.push_back(JoinPath(section, key + "=" + value));
      AddFoundRow(path, count);
    }
  }
  if (removed) {
    list.Save(listPath);
    if (listsChanged) listsChanged();
  }
  SortByName();
  return true;
}

int IconSearch::ListCount(const std::string& path) const {
  return FindListCount(path).value_or(0);
}

std::optional<int> IconSearch::FindListCount(const std::string& path) const {
  for (const std::string& line : listSearchLines_) {
    if (line.size() <= path.size() + 2 || line.compare(0, path.size(), path) != 0 ||
        line.compare(path.size(), 2, "<>") != 0)
      continue;
    std::size_t eq = line.find('=', path.size());
    std::optional<ListEntry> entry = ListEntry::ParseKey(line.substr(0, eq));
    if (!entry) return 0;
    if (!filters.leaveOutPictures && entry->isPicture()) return 1;
    return entry->CountFor(filters.mode);
  }
  return std::nullopt;
}

void IconSearch::DiskSearch(const std::string& folder) {
  if (!IsFolder(folder)) return;
  rows_.clear();
  statusFolder_ = ShortFolderDisplay(folder);
  cancel = false;
  // The count-only walk only sets the busy bar's maximum: without a bar it is skipped.
  const int candidates = runBusy ? WalkFolder(folder, true) : 0;
  RunBusy("", ShortFolderDisplay(folder), candidates, [this, folder] {
    cancel = false;
    WalkFolder(folder, false);
    SortByName();
    return true;
  });
  SortByName();  // a cancelled walk keeps its rows, sorted
}

void IconSearch::SearchCurrentFolder() {
  if (stopIconUpdate) stopIconUpdate();
  if (clearGrid) clearGrid();
  if (!ListSearch(false)) {
    listSearchLines_.clear();
    DiskSearch(searchFolder_);
  }
  if (startIconUpdate) startIconUpdate();
}

void IconSearch::SearchFolder(const std::string& folder) {
  searchFolder_ = browseStart_ = NormalFolder(folder);
  SearchCurrentFolder();
  systemButtonDown = false;
  favouritesDown = false;
  refreshEnabled = true;
}

void IconSearch::SearchSystemFolder(const std::string& systemFolder) {
  searchFolder_ = NormalFolder(systemFolder);
  SearchCurrentFolder();
  systemButtonDown = !rows_.empty();
  refreshEnabled = true;
  if (clearGrid) clearGrid();
}

int IconSearch::RefreshSearch(const std::string& selectedName, const std::string& systemFolder) {
  if (favouritesDown) return -1;
  if (stopIconUpdate) stopIconUpdate();
  if (systemButtonDown) {
    SearchSystemFolder(systemFolder);
  } else {
    if (!ListSearch(false)) {
      listSearchLines_.clear();
      DiskSearch(searchFolder_);
    }
    if (startIconUpdate) startIconUpdate();
  }
  for (std::size_t i = 0; i < rows_.size(); ++i)
    if (!selectedName.empty() && rows_[i].name == selectedName) return static_cast<int>(i);
  if (clearGrid) clearGrid();
  return -1;
}

void IconSearch::OpenList(const std::string& folder) {
  searchFolder_ = NormalFolder(folder);
  if (stopIconUpdate) stopIconUpdate();
  if (!ListSearch(true)) {
    listSearchLines_.clear();
    DiskSearch(searchFolder_);
  }
  if (startIconUpdate) startIconUpdate();
}

std::optional<IconSearch::MadeList> IconSearch::MakeList(const std::string& folderPath) {
  const std::string folder = NormalFolder(folderPath);
  searchFolder_ = folder;
  cancel = false;
  int n = lists_.ListedCount(folder);
  if (n < 0) return std::nullopt;
  const SearchFilters saved = filters;
  SearchFilters listing = filters;
  listing.threshold = 1;
  listing.leaveOutPictures = false;
  listing.mode = extract::ExtractionMode::kNormal;
  if (n > 0) {
    listUpdate_ = true;
  } else if (runBusy) {  // the count only sets the busy bar's maximum
    filters = listing;
    n = WalkFolder(folder, true);
    filters = saved;
  }
  MadeList made;
  RunBusy(kMakeListMessage, ShortFolderDisplay(folder), n, [&] {
    listCreation_ = true;
    std::optional<SavedLists::Covering> covering = lists_.CoveringList(folder, true);
    if (!covering || covering->fileName.empty()) {
      listCreation_ = false;
      return false;
    }
    ListWriter writer;
    writer_ = &writer;
    filters = listing;
    WalkFolder(folder, false);
    filters = saved;
    writer_ = nullptr;
    if (!cancel) {
      // The list file first: the index never shows totals of a list that is not on disk.
      made.written = writer.Save(lists_.ListFilePath(covering->fileName)) &&
                     lists_.WriteTotals(folder, covering->fileName, writer.totals());
      made.fileName = covering->fileName;
    }
    listCreation_ = false;
    return true;
  });
  listUpdate_ = false;
  made.cancelled = cancel;
  made.item = folder + "=" + lists_.ReadTotals(folder).ToValue();
  return made;
}

void IconSearch::PutPanelItem(std::vector<std::string>& items, const std::string& item) {
  const std::string folder = SavedLists::ItemFolder(item);
  for (std::string& existing : items) {
    if (SavedLists::ItemFolder(existing) == folder) {
      existing = item;
      return;
    }
  }
  items.push_back(item);
}

}  // namespace glyphwell::app
