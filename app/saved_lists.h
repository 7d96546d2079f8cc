#pragma once
// The saved file lists: the per-user index "filelist.ini" (one section per listed
// root folder, its one key the list file's name, the value the list's totals) and
// the list files 0.ini .. 999.ini of the shared data folder (a "[folder]" header
// per folder and an entry line per file, see list_entry.h).
//
// Folders are absolute paths with "/" separators and no trailing "/" (but "/"
// itself). A list covers its root folder and every folder below it; "below" goes
// by whole path components, so the list of /a/b does not cover /a/bc.

#include <optional>
#include <string>
#include <vector>

#include "app/list_entry.h"
#include "platform/ini_file.h"

namespace glyphwell::app {

// `folder` without trailing slashes ("/" stays "/").
std::string NormalFolder(const std::string& folder);
// True when `folder` is `root` or lies below it.
bool FolderIsWithin(const std::string& folder, const std::string& root);

class SavedLists {
 public:
  static constexpr int kMaxListFiles = 1000;  // 0.ini .. 999.ini

  SavedLists(std::string sharedDataFolder, std::string indexPath)
      : shared_(std::move(sharedDataFolder)), index_(std::move(indexPath)) {}

  const std::string& sharedDataFolder() const { return shared_; }
  const std::string& indexPath() const { return index_; }
  std::string ListFilePath(const std::string& fileName) const { return shared_ + "/" + fileName; }

  struct Covering {
    std::string section;   // the index section (the list's root folder)
    std::string fileName;  // "2.ini"
  };
  // The list of `folder`: its own section; else (not for writing) the list of the
  // nearest folder above it, the later of equal ones in the index; else (for
  // writing) the first list file name not taken in the shared data folder.
  std::optional<Covering> CoveringList(const std::string& folder, bool forWriting) const;
  // How many entries the lists hold for `folder` and below; -1 when the folder does
  // not exist.
  int ListedCount(const std::string& folder) const;

  // The totals written for a section (all 0 when there are none).
  ListTotals ReadTotals(const std::string& section) const;
  // Writes section = folder, key = fileName, value = totals into the index.
  bool WriteTotals(const std::string& section, const std::string& fileName,
                   const ListTotals& totals, std::string* error = nullptr) const;

  // The saved-list panel's items: section + "=" + the value of its key ("0" when
  // it has none), in index order.
  std::vector<std::string> PanelItems() const;
  // The folder of a panel item and its second drawn line ("files 120   normal ...").
  static std::string ItemFolder(const std::string& item);
  static std::string ItemDetails(const std::string& item);
  // Deletes the list file of `section` and then its index section. False (with the
  // system's text for the error) when the file cannot be deleted: the list stays.
  bool DeleteList(const std::string& section, std::string* error = nullptr) const;

  // Removes an entry whose file is gone: its key leaves `listFile` (written later
  // by the caller) and its counts leave the covering list's totals (written now).
  void RemoveMissingEntry(platform::IniFile& listFile, const std::string& folderSection,
                          const ListEntry& entry, const std::string& key,
                          const Covering& covering) const;

 private:
  std::string shared_;
  std::string index_;
};

// Collects a list file while a folder is walked: a "[folder]" header before the
// first entry of each folder, then the entry lines; keeps the totals.
class ListWriter {
 public:
  // False (nothing written) when the name or folder cannot be stored in the file.
  bool WriteListLine(const std::string& folder, const std::string& name, int flags, int bitmaps,
                     int icons, int shell);
  const ListTotals& totals() const { return totals_; }
  const std::string& text() const { return text_; }
  bool Save(const std::string& path, std::string* error = nullptr) const;

 private:
  ListTotals totals_;
  std::string lastFolder_;
  bool anyHeader_ = false;
  std::string text_;
};

}  // namespace glyphwell::app
