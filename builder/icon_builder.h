#pragma once
// The multi-image icon builder's model (the window TMultibullIconDlg draws it and
// forwards its events here): the ordered entry list, the ways images enter it, the
// selection, groups, placement, refresh, delete, select-by-criteria, the tool-bar
// state and status texts, the save command and the close question.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "builder/grid_layout.h"
#include "builder/icon_entry.h"
#include "builder/icon_save_options.h"
#include "builder/image_sources.h"
#include "builder/progress_bar.h"
#include "builder/selection_list.h"
#include "builder/use_png.h"
#include "imaging/bitmap.h"
#include "platform/messages.h"

namespace glyphwell::builder {

// The window's caption (the long part of the main window's button hint).
inline constexpr const char* kBuilderCaption = "マルチプルアイコンとアイコンライブラリの作成";

// What the save dialog gives back.
struct SaveTarget {
  std::string path;
  int filter = 1;  // 1: icon file (*.ico), 2: icon library (*.icl)
};

class SaveDialog {
 public:
  virtual ~SaveDialog() = default;
  // Filter "アイコン (*.ico)|*.ico|アイコン ライブラリ(*.icl)|*.icl", default extension
  // "ico", asks before overwriting. nullopt on Cancel.
  virtual std::optional<SaveTarget> Ask(const std::string& proposedName) = 0;
};

// Which tool-bar commands are enabled (refreshed every 500 ms by the window).
struct ToolBarState {
  bool remove = false, save = false, copyForPlacement = false, groupSet = false,
       groupDissolve = false, refresh = false;
  bool edit = false;
  bool exchange = false, insert = false;
  bool selectAll = false, invert = false, selectBy = false;
};

// The context menu's group items.
struct GroupMenuState {
  bool groupSet = false;       // "同一グループ"
  bool groupDissolve = false;  // "グループの解散"
};

// The grid's range selection, in cells (inclusive).
struct CellRange {
  int left = 0, top = 0, right = 0, bottom = 0;
};

// What selecting a grid cell shows.
struct CellStatus {
  std::string panel1;  // the entry's source path; empty for a cell without entry
  std::string name;    // Edit2: the entry's name, or the file name part of its path
};

class IconBuilder {
 public:
  struct Services {
    platform::MessageSink* messages = nullptr;  // required
    ModuleImageReader* modules = nullptr;       // modules; none = modules add nothing
    std::function<bool()> ctrlHeld;             // stops additions and refreshes
    // Makes PNG bytes for the writers; default: EncodePngImage with the options.
    PngEncoder pngEncoder;
  };

  explicit IconBuilder(Services services);

  // ---- the list -------------------------------------------------------------
  const std::vector<TIconEntry>& entries() const { return entries_; }
  std::vector<TIconEntry>& mutableEntries() { return entries_; }
  int count() const { return static_cast<int>(entries_.size()); }
  // Appends an entry (HomePos = the list length).
  void Append(TIconEntry entry);

  IconSaveOptions& options() { return options_; }
  const IconSaveOptions& options() const { return options_; }
  // The option dialog changed "pngiclchg" from this window.
  void SetPngiclchgChangedHere(bool changed) { pngiclchgChangedHere_ = changed; }

  GridSettings& gridSettings() { return grid_; }
  GridLayout Layout() const { return ComputeGridLayout(entries_, grid_); }
  bool extractedNames = false;  // "抽出名"

  CountingProgressBar& progress() { return progress_; }

  // ---- adding images ----------------------------------------------------------
  // Every file in order (shortcuts resolved): ".ico" through the icon-file reader,
  // ".png" through the PNG-file reader, anything else through the module reader.
  // Stops when Ctrl is held. Returns the number of entries added.
  int AddFiles(const std::vector<std::string>& files);
  int AddIconFile(const std::string& path);
  int AddModule(const std::string& path);
  int AddPngFile(const std::string& path);
  // The images selected in the main window ("追加").
  int AddMainWindowSelection(MainWindowImages& main);
  // Dropped files: shortcuts resolved, then only module and icon extensions kept.
  static std::vector<std::string> FilterDroppedFiles(const std::vector<std::string>& files);

  // ---- selection -----------------------------------------------------------
  SelectionList& selection() { return selection_; }
  const SelectionList& selection() const { return selection_; }
  // Mouse down on a cell (-1 = no entry): without Ctrl clears the selection, with
  // Ctrl toggles the cell. A plain click on the previous cell sets clickedAgain().
  void MouseDown(int index, bool ctrl);
  // Mouse up: `onCell` false clears the selection; a range of several cells adds
  // each (stopping at the list end); otherwise without Ctrl the current cell is added.
  void MouseUp(bool onCell, const std::vector<int>& rangeCells, bool ctrl, int currentCell);
  // Right button on a cell outside the grid's range selection.
  void RightDown(int index);
  bool clickedAgain() const { return clickedAgain_; }
  void SelectAll();
  void InvertSelection();
  // "指定選択": stores the three texts; when one is not empty rebuilds the selection
  // from entries whose width, height or bit count matches its text.
  void SelectByCriteria(const std::string& width, const std::string& height,
                        const std::string& bits);
  const std::array<std::string, 3>& criteria() const { return criteria_; }
  // Sorted, duplicate-free, limited to existing entries.
  std::vector<int> SortedSelection();

  // ---- groups ----------------------------------------------------------------
  // "同一グループ": the consecutive selected entries form one new group; a gap
  // stops it with the message and leaves the part before the gap grouped.
  void GroupSelection();
  // "グループの解散".
  void DissolveSelection();
  static constexpr const char* kGapText = "連続していないのでグループ化を中止します。";

  // ---- placement ------------------------------------------------------------
  void CopyForPlacement();  // "コピー"
  const std::vector<int>& placementCopy() const { return placementCopy_; }
  void ExchangeWithCopy();  // "入換え": pairs in click order
  // "挿入": the copied entries, in grid order, go in front of the entry at `target`
  // (behind it when the first copied entry stood before it).
  void InsertCopyAt(int target);
  void DragExchange(int from, int to);
  void DragMove(int from, int to);

  // ---- refresh and delete --------------------------------------------------------
  // Reads every selected entry again from its source; entries that cannot be read
  // are removed. Returns the number removed.
  int RefreshSelection();
  void DeleteSelection();

  // ---- drawing and editing -------------------------------------------------------
  // The entry's image in its own size and depth, and its mask image.
  bool RenderEntry(int index, imaging::Bitmap& image) const;
  bool RenderEntryMask(int index, imaging::Bitmap& mask) const;
  // The clipboard form: with `withMask` masked pixels white, with `withAlpha` a 32-bit
  // image with alpha in use blended onto white.
  bool RenderForCopy(int index, bool withMask, bool withAlpha, imaging::Bitmap& out) const;
  // The main window's depth choice the editor opens with for an entry of `bits`:
  // "16色", "256色", "24bit" or "32bit" ("2色" for 1 bit); empty for other depths
  // (the choice is then left as it is).
  static std::string EditorDepthChoice(int bits);
  // Stores an edited image and mask in the entry, keeping its size and depth.
  bool ApplyEdit(int index, const imaging::Bitmap& edited, const imaging::Bitmap& maskImage);

  // ---- tool bar, status, closing ---------------------------------------------------
  ToolBarState ToolBar() const;
  // "同一グループ" needs the pointer on an entry and either a range of several cells
  // (several rows only when the range spans every column) or several selected
  // entries; "グループの解散" needs the pointer on an entry.
  GroupMenuState GroupMenu(bool pointerOnEntry, const CellRange& range) const;
  std::string StatusPanel0() const;  // "12-3"
  CellStatus SelectCell(int index) const;
  // True when the window may close: nothing unsaved, or the user answered No to the
  // save question.
  bool CanClose();

  // ---- saving -------------------------------------------------------------
  // The save command: count question, save dialog, then the chosen writer. True when
  // a file was written.
  bool SaveCommand(SaveDialog& dialog);
  bool WriteIcoFile(const std::string& path);
  bool WriteIclFile(const std::string& path);
  static constexpr const char* kCountCaption = "保存数の確認";

 private:
  bool Cancelled() const { return services_.ctrlHeld && services_.ctrlHeld(); }
  void ShowFailureCount(int count, int failed);
  void UpdateMovedMarker(int position);
  void FinishPlacement();
  std::optional<DecodedImage> ReloadEntry(const TIconEntry& entry);
  PngEncoder Encoder() const;

  Services services_;
  std::vector<TIconEntry> entries_;
  SelectionList selection_;
  std::vector<int> placementCopy_;
  IconSaveOptions options_;
  bool pngiclchgChangedHere_ = false;
  GridSettings grid_;
  CountingProgressBar progress_;
  std::array<std::string, 3> criteria_;
  int lastClicked_ = -1;
  bool clickedAgain_ = false;
};

// "名前.ext" with its extension replaced ("a.icl" -> "a.ico"); a name without one
// gets it appended.
std::string ReplaceExtension(const std::string& path, const std::string& extension);

}  // namespace glyphwell::builder
