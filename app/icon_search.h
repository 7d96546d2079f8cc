#pragma once
// IconSearch: the search for icon sources and the saved-list operations that go
// with it, without the window. It owns the file-list rows, the search state (search
// folder, browse start, cancel flag, list-search lines, list-creation and
// list-update flags) and the filters; the window supplies the busy dialog, the
// message pump and the icon-refresh worker through the hooks below and mirrors
// rows() into ListView1.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/file_list_row.h"
#include "app/saved_lists.h"
#include "app/search_filters.h"
#include "extract/header_counter.h"
#include "extract/source_reader.h"
#include "platform/messages.h"

namespace glyphwell::app {

class IconSearch {
 public:
  // Extensions the folder walk considers (besides pictures) and the row step takes.
  static constexpr const char* kWalkExtensions = ".dll.exe.cpl.ocx.ico.icl.cur.drv";
  static constexpr const char* kRowExtensions = ".dll.exe.ocx.opx.ico.cur.cpl.drv.icl";
  static constexpr const char* kListSearchMessage = "ファイルリストから検索中・・・";
  static constexpr const char* kMakeListMessage = "ファイルリストを作成中・・・";

  IconSearch(SavedLists lists, platform::MessageSink& messages);

  SearchFilters filters;
  // Set by the busy dialog's cancel button (or Ctrl); the walk ends at the next item.
  bool cancel = false;

  // ---- window hooks (any may be empty) ----
  // Runs `work` inside the busy dialog with that message, caption and bar maximum
  // and returns its result; empty = run it directly.
  std::function<bool(const std::string& message, const std::string& caption, int maximum,
                     const std::function<bool()>& work)>
      runBusy;
  std::function<void(int)> stepBar;        // advance the busy bar
  std::function<void()> runPendingEvents;  // let window messages run
  std::function<void()> stopIconUpdate;    // stop and wait for TIconUpThread
  std::function<void()> startIconUpdate;   // start a new TIconUpThread
  std::function<void()> clearGrid;         // clear the image grid, release the loaded file
  std::function<void(const std::string&)> selectList;  // select a list in ListBox1
  std::function<void()> listsChanged;  // saved-list totals changed (ListBox1 refresh)
  // Follows a shortcut; empty = our own link reader.
  std::function<std::string(const std::string&)> resolveShortcut;

  // ---- state ----
  const std::vector<FileListRow>& rows() const { return rows_; }
  std::vector<FileListRow>& mutableRows() { return rows_; }
  const std::string& searchFolder() const { return searchFolder_; }
  void setSearchFolder(const std::string& folder) { searchFolder_ = folder; }
  const std::string& browseStart() const { return browseStart_; }
  const std::string& statusFolder() const { return statusFolder_; }  // status panel 0
  const std::vector<std::string>& listSearchLines() const { return listSearchLines_; }
  void clearListSearchLines() { listSearchLines_.clear(); }
  bool listCreation() const { return listCreation_; }
  bool systemButtonDown = false;  // SpeedButton1 "System"
  bool favouritesDown = false;    // SpeedButton12 "お気に入り"
  bool refreshEnabled = false;    // SpeedButton7 "更新"
  SavedLists& lists() { return lists_; }
  extract::SourceReader& reader() { return reader_; }

  // ---- the search ----
  int WalkFolder(const std::string& folder, bool countOnly);
  bool AddRow(const std::string& path, bool checkDuplicates, bool applyThreshold,
              bool keepShortcut);
  int AddFiles(const std::vector<std::string>& lines);
  bool ListSearch(bool forced);
  int ListCount(const std::string& path) const;
  // The same, but nullopt when no list-search line holds `path` (a file added after
  // the list search), so that the caller can count it from the file instead.
  std::optional<int> FindListCount(const std::string& path) const;
  // The disk search of `folder` (nothing when it is no folder).
  void DiskSearch(const std::string& folder);
  // "参照" after the folder dialog gave `folder`.
  void SearchFolder(const std::string& folder);
  // "System": the `sysdir` folder.
  void SearchSystemFolder(const std::string& systemFolder);
  // "更新": returns the row index of `selectedName` afterwards, or -1.
  int RefreshSearch(const std::string& selectedName, const std::string& systemFolder);
  void SortByName();
  // Opening a saved list (double-click or "リストを開く").
  void OpenList(const std::string& folder);

  // ---- saved lists ----
  struct MadeList {
    bool cancelled = false;
    bool written = false;  // the index and the list file were both written
    std::string fileName;  // the list file written ("2.ini")
    std::string item;      // the panel item: folder + "=" + index value
  };
  // Writes or rewrites the saved list of `folder`; nothing when it is no folder.
  std::optional<MadeList> MakeList(const std::string& folder);
  // Puts `item` into the panel items, replacing the item of the same folder.
  static void PutPanelItem(std::vector<std::string>& items, const std::string& item);

 private:
  // The search of searchFolder_: through its saved list when "リストサーチ" finds one,
  // else on disk, with the icon worker stopped around it.
  void SearchCurrentFolder();
  struct Counted {
    int count = 0;
    int flags = 0;
    int icons = 0;
    int bitmaps = 0;
    int shell = 0;
  };
  Counted CountForRow(const std::string& path, bool picture);
  void AddFoundRow(const std::string& path, int count);
  bool ListSearchWork();
  void Step(int n);
  void Pump();
  bool RunBusy(const std::string& message, const std::string& caption, int maximum,
               const std::function<bool()>& work);
  std::string FollowShortcut(const std::string& path) const;

  SavedLists lists_;
  extract::SourceReader reader_;
  // Counts files for rows and list lines from their headers, not their whole bytes.
  extract::HeaderCounter counter_;
  std::vector<FileListRow> rows_;
  std::string searchFolder_, browseStart_, statusFolder_;
  std::vector<std::string> listSearchLines_;
  bool listCreation_ = false;
  bool listUpdate_ = false;
  ListWriter* writer_ = nullptr;  // while a list is written
  std::vector<std::pair<unsigned long long, unsigned long long>> walking_;  // folders on the walk
};

// A whole dot-separated member of `set` (".dll" in ".dll.exe"; "" never).
bool IsExtensionMember(const std::string& extension, const std::string& set);

}  // namespace glyphwell::app
