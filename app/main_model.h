#pragma once
// MainModel: everything the main window decides, without the window. It owns the
// source listing (the image grid), the working Bitmaps and preview, the file list
// rows, the conversion settings the save controls stand for, and the save workflow.
// The window reads its widgets into the model, calls one operation and shows what
// the model then says; every enabled/visible rule of the window's controls and
// menu items is a query here.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "imaging/output_geometry.h"  // before the preview model, which uses imaging::Size

#include "app/file_list_row.h"
#include "app/grid_drawing.h"
#include "app/preview_model.h"
#include "app/remembered_paths.h"
#include "app/source_listing.h"
#include "extract/extraction_mode.h"
#include "imaging/bitmap.h"
#include "imaging/conversion_settings.h"
#include "output/icon_file_writer.h"
#include "output/icon_options.h"
#include "output/match_conditions.h"
#include "output/pelmora_loader.h"
#include "output/save_workflow.h"
#include "platform/messages.h"

namespace glyphwell::app {

// One row of the file list, the same row a search gives.
using FileRow = FileListRow;

// What the clipboard holds, as far as the window's decisions go.
struct ClipboardFacts {
  bool hasBitmap = false;
  std::vector<std::string> files;  // local paths of a file list, in order
};

// Where a drop landed.
enum class DropTarget { kGrid, kFileList, kElsewhere };

class MainModel {
 public:
  // Extensions accepted on the command line (whole dot-separated members).
  static constexpr const char* kCommandLineExtensions =
      ".exe.dll.ico.ocx.cur.cpl.drv.icl.bmp.jpg.jpeg.png.wmf";
  // Extensions the file list takes besides pictures.
  static constexpr const char* kRowExtensions = ".dll.exe.ocx.opx.ico.cur.cpl.drv.icl";

  // `workFolder` must exist (it holds the temporary bitmap file). `pelmora` must
  // outlive the model; without the library the "Icon" save type is not offered.
  MainModel(platform::MessageSink& messages, std::string workFolder, int workingBits,
            const output::PelmoraLoader& pelmora);

  // ---- the source and the image grid ----
  SourceListing& listing() { return listing_; }
  const SourceListing& listing() const { return listing_; }
  // OpenSource: refills the grid (selection cleared), remembers the last opened file
  // and applies the save-control and "Original" rules for the new source. A source
  // opened from a file-list row that the shell lists clears a ticked "Original"
  // until the next own-parser grid.
  SourceListing::Result Open(const std::string& path, bool fromFileList = false);
  // A clipboard bitmap becomes the source.
  SourceListing::Result OpenPasted(const imaging::Bitmap& bitmap);
  // Re-opens the current source (mode, base size, zoom, "抽出名" changes) and selects
  // again the entry whose label was selected. Nothing when there is no source.
  void Reopen();
  // Clears the grid and forgets the current source.
  void ClearSource();
  bool hasSource() const { return hasSource_; }
  // A picture file, a pasted picture, or no source at all.
  bool isPictureSource() const;
  const std::string& lastOpened() const { return lastOpened_; }
  // "作業フォルダの変更": the temporary files of the preview and of icon saves go
  // to `folder` from now on.
  void SetWorkFolder(const std::string& folder);
  const std::string& workFolder() const { return workFolder_; }
  // "data.ini" of the user data folder: every opened source is recorded under
  // "path"/"open", the save folder is read from and written to "path"/"save".
  void UseRememberedPaths(const std::string& dataIni);
  // Where the open dialog starts: the file opened last in this run, else the one
  // recorded in data.ini.
  std::string OpenDialogStart() const;
  int gridCount() const { return static_cast<int>(listing_.images().size()); }
  std::vector<extract::ImageEntry> entries() const;
  // The image of grid entry `position` as it is shown in its cell: an icon drawn
  // over white at its own size, a bitmap or picture as decoded. Empty when it
  // cannot be taken out.
  imaging::Bitmap CellBitmap(int position);

  // ---- drawing the grid ----
  // What the window knows of one cell: its rectangle, the list's cell width, the
  // selection, the font's line height and the display.
  struct CellLook {
    int width = 36;  // the entry's image rectangle
    int height = 72;
    int cellWidth = 36;
    bool selected = false;
    int lineHeight = 12;
    int baseSize = 32;  // the display base size (ComboBox2)
    int displayBits = 32;
  };
  // ResetGridCells for the current source: three label lines for the own parser and
  // pictures, one in Normal mode; a picture's cell is then fitted to the picture.
  std::optional<GridCellLayout> GridLayout(int sliderPosition, int gridWidth) const;
  // DrawGridCell for entry `position`: the picture, the cached thumbnail, or the
  // image taken out of the source again. The first drawing of an own-parser image
  // keeps its thumbnail, so later drawings decode only that JPEG. An empty drawing
  // for a position outside the grid.
  GridCellDrawing DrawCell(int position, const CellLook& look);

  // ---- the grid's selection ----
  const std::vector<bool>& selection() const { return selected_; }
  void SetSelection(std::vector<bool> selected);
  void SelectOnly(int position);
  void SelectAll();
  // Drag selection: every entry between anchor and k selected, every other entry of
  // [windowFirst, windowLast] deselected.
  void DragSelect(int anchor, int k, int windowFirst, int windowLast);
  int selectedCount() const;
  int firstSelected() const;  // -1 when none

  // ---- conversion settings (the lower panel) ----
  imaging::ConversionSettings& settings() { return settings_; }
  const imaging::ConversionSettings& settings() const { return settings_; }
  extract::ExtractionMode mode() const { return listing_.mode(); }
  // "Icon"/"Bmp" boxes: the new mode; the "Original" switch follows its mode rule.
  void SetMode(extract::ExtractionMode mode);
  void SetShowExtractedNames(bool on);
  bool showExtractedNames() const { return showExtractedNames_; }
  // The save type list; "Jepg" forces 24 bit and clears "Original", another type
  // restores what was there before.
  void SetOutputType(imaging::OutputType type);
  void SetDepth(imaging::Depth depth) { settings_.depth = depth; }
  // A click on "Original": the choice is remembered.
  void OriginalClicked(bool ticked);
  output::IconOptions iconOptions;
  bool iconFormatAvailable() const { return pelmora_.available(); }

  // ---- enabling and visibility rules ----
  bool EditEnabled() const { return selectedCount() <= 1; }       // Timer1
  bool SaveEnabled() const { return selectedCount() >= 1; }       // Timer1, row click
  bool CopyEnabled() const { return selectedCount() == 1; }       // Copy2, Copy3
  bool CopyRealSizeVisible() const { return isPictureSource(); }  // Copy3
  bool SelectAllEnabled() const { return gridCount() > 0; }       // AllSelectMenu
  bool MatchingSaveVisible() const;                               // N13
  static bool PackSpacingEnabled(int sliderPosition) { return sliderPosition == 10; }  // N4
  bool PasteEnabled(const ClipboardFacts& clipboard) const;                            // Paste1
  bool FileListCopyEnabled() const { return !rows_.empty(); }          // Copy1, Delete1
  static bool FileListPasteEnabled(const ClipboardFacts& clipboard) {  // Paste2
    return !clipboard.files.empty();
  }
  bool OriginalSizeOffered() const;     // the "Original" size item
  bool OriginalColoursEnabled() const;  // the "Original" colours switch
  bool DepthListEnabled() const;        // BitTypeComBox
  std::string DepthHint() const;        // BitTypeComBox's hint
  std::string GridHint() const { return listing_.GridHint(); }

  // ---- the preview ----
  PreviewModel& preview() { return preview_; }
  bool editorOpen = false;
  bool enlarge = false;  // "拡大"
  // Rebuilds the working Bitmaps for the first selected entry (none: white).
  bool RebuildPreview();

  // ---- the file list ----
  const std::vector<FileRow>& rows() const { return rows_; }
  // The row step: counts the file's images (a picture counts 1) and adds it unless
  // its extension is neither a listed module type nor a picture, or (with
  // `checkDuplicates`) a row with that path exists. True when a row was added.
  bool AddRow(const std::string& path, bool checkDuplicates = true);
  // Shortcuts followed; files through AddRow, folders walked (sorted by name).
  // Returns the number of rows added.
  int AddFiles(const std::vector<std::string>& paths);
  void ClearRows() { rows_.clear(); }
  // A search's rows replace the list (the window copies them in after a search).
  void SetRows(std::vector<FileRow> rows) { rows_ = std::move(rows); }
  // The count of a row from the lines of the last list search; nullopt when no list
  // search is in force (RefreshCounts then reads the file). Set by the window.
  std::function<std::optional<int>(const std::string& path)> listCount;
  // The rows a folder among added files gives: the window searches it as "参照" does,
  // with the search's filters. Empty = every file of the folder the row step takes.
  std::function<std::vector<FileRow>(const std::string& folder)> searchFolder;
  // Column click: 0 name, 1 ext (text), 2 count (number); ascending first, then
  // alternating per column.
  void SortRows(int column);
  // The order a folder search leaves: by name regardless of case, then by path.
  void SortRowsByName();
  void DeleteRows(std::vector<int> indices);
  // The count column after a mode change.
  void RefreshCounts();
  int CountImages(const std::string& path);

  // ---- the command line, drops and pastes ----
  // Kept arguments: shortcuts replaced by their targets, others only with a listed
  // extension.
  static std::vector<std::string> KeptArguments(const std::vector<std::string>& args);
  // One kept path is opened, several go into the file list.
  void HandleCommandLine(const std::vector<std::string>& args);
  enum class DropResult { kIgnored, kOpened, kAdded };
  DropResult Drop(DropTarget target, const std::vector<std::string>& files);
  // Paste1: the clipboard's first file (a shortcut followed) is opened, else its
  // bitmap. `bitmap` is asked only when needed.
  SourceListing::Result PasteIntoGrid(const ClipboardFacts& clipboard,
                                      const std::function<imaging::Bitmap()>& bitmap);

  // ---- saving and copying ----
  output::SaveContext saveContext() const;
  bool SaveSelected(const output::ChooseSaveFile& choose, output::SaveProgress& progress);
  bool SaveMatching(const std::optional<output::MatchConditions>& conditions,
                    const output::ChooseSaveFile& choose, output::SaveProgress& progress);
  const output::SaveReport& lastSaveReport() const { return lastReport_; }
  std::string rememberedSaveFolder;
  output::MatchConditions lastConditions;
  // The bitmap "コピー" / "コピー（実サイズ）" put on the clipboard; empty when nothing
  // is selected or it cannot be drawn.
  imaging::Bitmap ClipboardBitmap(bool realSize);

 private:
  // Runs one save through a workflow set up for the current grid, selection and
  // settings, and keeps what the save remembers (folder, conditions, report).
  using SaveRun = std::function<bool(output::SaveWorkflow&, output::SaveContext&)>;
  bool RunSave(const SaveRun& run);
  PreviewSource MakePreviewSource();
  void AfterOpen(SourceListing::Result result, bool fromFileList);
  void ApplySourceKind();
  void RememberSaveFolder(const std::string& folder);
  bool ExtractForPreview(int index, imaging::Picture& out);

  platform::MessageSink& messages_;
  std::string workFolder_;
  const output::PelmoraLoader& pelmora_;
  SourceListing listing_;
  PreviewModel preview_;
  imaging::ConversionSettings settings_;
  std::vector<bool> selected_;
  std::vector<FileRow> rows_;
  std::vector<std::uint8_t> normalBytes_;  // Normal mode: the file the shell reads
  std::string normalBytesPath_;
  bool hasSource_ = false;
  bool showExtractedNames_ = false;
  std::string lastOpened_;
  std::optional<RememberedPaths> remembered_;
  // "Original" memory.
  bool originalChoice_ = false;       // the user's last click
  bool originalNotedTicked_ = false;  // cleared because the shell filled the grid
  imaging::Depth depthBeforeJpeg_ = imaging::Depth::Colours16;
  imaging::OutputType lastType_ = imaging::OutputType::Icon;
  int sortColumn_ = -1;
  bool sortAscending_ = true;
  output::SaveReport lastReport_;
  // Thumbnails made while drawing cells, by grid position; emptied with the grid.
  std::vector<std::string> cellThumbnailFields_;
  ThumbnailCache cellThumbnails_;
};

}  // namespace glyphwell::app
