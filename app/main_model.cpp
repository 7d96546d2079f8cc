#include "app/main_model.h"

#include <algorithm>
#include <charconv>
#include <filesystem>

#include "app/grid_save_source.h"
#include "extract/shell_icons.h"
#include "extract/source_reader.h"
#include "output/clipboard_image.h"
#include "shell/t_shell_link.h"

namespace glyphwell::app {

namespace {

using extract::ExtractionMode;
using imaging::OutputType;
using imaging::SourceKind;

// True when `extension` (lower case, with its dot) is a whole member of `set`.
bool IsMember(const std::string& extension, const std::string& set) {
  if (extension.size() < 2 || extension[0] != '.') return false;
  std::size_t at = 0;
  while ((at = set.find(extension, at)) != std::string::npos) {
    const std::size_t end = at + extension.size();
    if (end == set.size() || set[end] == '.') return true;
    at = end;
  }
  return false;
}

std::string FollowShortcut(const std::string& path) {
  if (extract::SourceReader::LowerExtension(path) != ".lnk") return path;
  std::string target = path;
  shell::TShellLink().GetLinkToPath(path, target, false);
  return target;
}

std::optional<int> ParseIndex(const std::string& text) {
  int value = 0;
  const char* end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || p != end || text.empty()) return std::nullopt;
  return value;
}

// File names and extensions sort as text, whatever their letters' case.
bool TextBefore(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return static_cast<unsigned char>(lower(x)) < static_cast<unsigned char>(lower(y));
  });
}

bool IsRegularFile(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

}  // namespace

MainModel::MainModel(platform::MessageSink& messages, std::string workFolder, int workingBits,
                     const output::PelmoraLoader& pelmora)
    : messages_(messages),
      workFolder_(std::move(workFolder)),
      pelmora_(pelmora),
      listing_(messages),
      preview_(workFolder_, workingBits) {
  listing_.setMode(ExtractionMode::kIcon);
  listing_.recordOpened = [this](const std::string& path) {
    lastOpened_ = path;
    if (remembered_) remembered_->WriteRemembered("path", "open", path);
  };
  if (!pelmora_.available()) {
    settings_.outputType = OutputType::Bmp;
    lastType_ = OutputType::Bmp;
  }
}

// ---- the source ----

bool MainModel::isPictureSource() const {
  return !hasSource_ || listing_.picture().has_value();
}

std::vector<extract::ImageEntry> MainModel::entries() const {
  std::vector<extract::ImageEntry> out;
  out.reserve(listing_.images().size());
  for (const auto& image : listing_.images())
    out.push_back(image.entry);
  return out;
}

void MainModel::ApplySourceKind() {
  if (listing_.picture()) {
    settings_.sourceKind = SourceKind::Picture;
    settings_.ownParser = false;
  } else if (listing_.ownParserGrid()) {
    settings_.sourceKind =
        mode() == ExtractionMode::kBmp ? SourceKind::BmpMode : SourceKind::IconMode;
    settings_.ownParser = true;
  } else {
    settings_.sourceKind = hasSource_ ? SourceKind::NormalMode : SourceKind::Picture;
    settings_.ownParser = false;
  }
  // What the source no longer offers falls back to the system size.
  if (settings_.sizeChoice == imaging::SizeChoice::Original && !OriginalSizeOffered())
    settings_.sizeChoice = imaging::SizeChoice::SystemLarge;
  settings_.keepSourceDepthEnabled = OriginalColoursEnabled();
}

void MainModel::AfterOpen(SourceListing::Result result, bool fromFileList) {
  using R = SourceListing::Result;
  if (result != R::kListed && result != R::kPicture) return;  // grid unchanged
  hasSource_ = true;
  selected_.assign(listing_.images().size(), false);
  normalBytes_.clear();
  normalBytesPath_.clear();
  cellThumbnailFields_.clear();
  cellThumbnails_.clear();
  // "Original" across shell and own-parser grids.
  const bool shellGrid = result == R::kListed && !listing_.ownParserGrid();
  if (fromFileList && shellGrid && settings_.keepSourceDepth) {
    settings_.keepSourceDepth = false;
    originalNotedTicked_ = true;
  } else if (listing_.ownParserGrid() && !settings_.keepSourceDepth && originalNotedTicked_) {
    settings_.keepSourceDepth = true;
    originalNotedTicked_ = false;
  }
  ApplySourceKind();
}

SourceListing::Result MainModel::Open(const std::string& path, bool fromFileList) {
  listing_.setShowExtractedNames(showExtractedNames_);
  const auto result = listing_.OpenSource(path);
  AfterOpen(result, fromFileList);
  return result;
}

void MainModel::SetWorkFolder(const std::string& folder) {
  workFolder_ = folder;
  preview_.setWorkFolder(folder);
}

void MainModel::UseRememberedPaths(const std::string& dataIni) {
  remembered_.emplace(dataIni);
  rememberedSaveFolder = remembered_->ReadRemembered("path", "save");
}

std::string MainModel::OpenDialogStart() const {
  if (!lastOpened_.empty() || !remembered_) return lastOpened_;
  return remembered_->ReadRemembered("path", "open");
}

SourceListing::Result MainModel::OpenPasted(const imaging::Bitmap& bitmap) {
  const auto result = listing_.OpenPasted(bitmap);
  AfterOpen(result, false);
  return result;
}

void MainModel::Reopen() {
  if (!hasSource_) return;
  std::string selectedLabel;
  if (const int first = firstSelected(); first >= 0)
    selectedLabel = listing_.images()[static_cast<std::size_t>(first)].entry.label;
  const bool pasted = listing_.picture() && listing_.picture()->path.empty();
  if (pasted) return;  // a pasted picture has nothing to read again
  const std::string path = listing_.sourcePath();
  Open(path);
  if (selectedLabel.empty()) return;
  for (std::size_t i = 0; i < listing_.images().size(); ++i) {
    if (listing_.images()[i].entry.label == selectedLabel) {
      SelectOnly(static_cast<int>(i));
      break;
    }
  }
}

void MainModel::ClearSource() {
  listing_.Forget();
  hasSource_ = false;
  selected_.clear();
  normalBytes_.clear();
  normalBytesPath_.clear();
  cellThumbnailFields_.clear();
  cellThumbnails_.clear();
  ApplySourceKind();
}

imaging::Bitmap MainModel::CellBitmap(int position) {
  if (position < 0 || position >= gridCount()) return {};
  imaging::Picture picture;
  if (listing_.picture()) {
    picture = listing_.picture()->picture;
  } else {
    auto index = ParseIndex(listing_.images()[static_cast<std::size_t>(position)].entry.index);
    if (!index || !ExtractForPreview(*index, picture)) return {};
  }
  if (picture.icon) {
    imaging::Bitmap cell(picture.icon->width(), picture.icon->height(), 32);
    cell.fill(imaging::kWhite);
    picture.icon->Draw(cell, 0, 0);
    return cell;
  }
  return picture.bitmap;
}

// ---- drawing the grid ----

std::optional<GridCellLayout> MainModel::GridLayout(int sliderPosition, int gridWidth) const {
  const bool threeLines = listing_.ownParserGrid() || listing_.picture().has_value();
  auto layout = ResetGridCells(sliderPosition, gridWidth, threeLines);
  if (!layout || !listing_.picture()) return layout;
  const imaging::Picture& picture = listing_.picture()->picture;
  layout->cell = PictureGridCell(picture.width(), picture.height(), layout->cell);
  return layout;
}

GridCellDrawing MainModel::DrawCell(int position, const CellLook& look) {
  if (position < 0 || position >= gridCount()) return {};
  const auto at = static_cast<std::size_t>(position);
  const ListedImage& listed = listing_.images()[at];
  GridCellRequest request;
  request.width = look.width;
  request.height = look.height;
  request.cellWidth = look.cellWidth;
  request.selected = look.selected;
  request.lineHeight = look.lineHeight;
  request.baseSize = look.baseSize;
  request.displayBits = look.displayBits;
  request.smallShellIcon = settings_.sizeChoice == imaging::SizeChoice::Size16;
  request.label = listed.entry.label;
  if (listing_.picture()) {
    request.source = GridSource::kPicture;
  } else if (!listing_.ownParserGrid()) {
    request.source = GridSource::kShellIcon;
  } else {
    request.source = mode() == ExtractionMode::kBmp ? GridSource::kBmpBitmap : GridSource::kOwnIcon;
  }

  imaging::Picture picture;
  if (listing_.picture()) {
    request.image = &listing_.picture()->picture;
  } else if (!listed.entry.thumbnail.empty()) {
    request.thumbnail = listed.entry.thumbnail;
    request.thumbnails = &listing_.thumbnails();
  } else if (at < cellThumbnailFields_.size() && !cellThumbnailFields_[at].empty()) {
    request.thumbnail = cellThumbnailFields_[at];
    request.thumbnails = &cellThumbnails_;
  } else if (const auto index = ParseIndex(listed.entry.index);
             index && ExtractForPreview(*index, picture)) {
    request.image = &picture;
  }

  GridCellDrawing drawing = DrawGridCell(request);
  if (drawing.newThumbnail) {
    cellThumbnailFields_.resize(listing_.images().size());
    cellThumbnailFields_[at] = StoreThumbnail(std::move(*drawing.newThumbnail), cellThumbnails_);
    drawing.newThumbnail.reset();
  }
  return drawing;
}

// ---- selection ----

void MainModel::SetSelection(std::vector<bool> selected) {
  selected.resize(listing_.images().size(), false);
  selected_ = std::move(selected);
}

void MainModel::SelectOnly(int position) {
  selected_.assign(listing_.images().size(), false);
  if (position >= 0 && position < gridCount()) selected_[static_cast<std::size_t>(position)] = true;
}

void MainModel::SelectAll() {
  selected_.assign(listing_.images().size(), true);
}

void MainModel::DragSelect(int anchor, int k, int windowFirst, int windowLast) {
  const int n = gridCount();
  if (anchor < 0 || anchor >= n || k < 0 || k >= n) return;
  const int lo = std::min(anchor, k), hi = std::max(anchor, k);
  windowFirst = std::max(0, windowFirst);
  windowLast = std::min(n - 1, windowLast);
  for (int i = windowFirst; i <= windowLast; ++i)
    selected_[static_cast<std::size_t>(i)] = i >= lo && i <= hi;
  for (int i = lo; i <= hi; ++i)
    selected_[static_cast<std::size_t>(i)] = true;
}

int MainModel::selectedCount() const {
  return static_cast<int>(std::count(selected_.begin(), selected_.end(), true));
}

int MainModel::firstSelected() const {
  for (std::size_t i = 0; i < selected_.size(); ++i)
    if (selected_[i]) return static_cast<int>(i);
  return -1;
}

// ---- settings and rules ----

void MainModel::SetMode(ExtractionMode mode) {
  listing_.setMode(mode);
  if (settings_.outputType == OutputType::Jepg || mode == ExtractionMode::kNormal)
    settings_.keepSourceDepth = false;
  else
    settings_.keepSourceDepth = originalChoice_;
}

void MainModel::SetShowExtractedNames(bool on) {
  showExtractedNames_ = on;
  listing_.setShowExtractedNames(on);
}

void MainModel::SetOutputType(OutputType type) {
  if (type == OutputType::Icon && !pelmora_.available()) return;
  const OutputType before = settings_.outputType;
  if (type == before) return;
  if (type == OutputType::Jepg) {
    depthBeforeJpeg_ = settings_.depth;
    settings_.depth = imaging::Depth::Bits24;
    settings_.keepSourceDepth = false;
  } else if (before == OutputType::Jepg) {
    settings_.depth = depthBeforeJpeg_;
    if (settings_.ownParser && !isPictureSource()) settings_.keepSourceDepth = originalChoice_;
  }
  settings_.outputType = type;
  lastType_ = type;
  ApplySourceKind();
}

void MainModel::OriginalClicked(bool ticked) {
  originalChoice_ = ticked;
  settings_.keepSourceDepth = ticked;
  originalNotedTicked_ = false;
}

bool MainModel::MatchingSaveVisible() const {
  return selectedCount() > 0 && mode() != ExtractionMode::kNormal;
}

bool MainModel::PasteEnabled(const ClipboardFacts& clipboard) const {
  if (clipboard.hasBitmap) return true;
  if (clipboard.files.empty()) return false;
  const std::string first = FollowShortcut(clipboard.files.front());
  const std::string extension = extract::SourceReader::LowerExtension(first);
  if (IsPictureExtension(extension)) return true;
  extract::SourceReader reader;
  return IsRegularFile(first) && reader.ShellIconCount(first) > 0;
}

bool MainModel::OriginalSizeOffered() const {
  if (listing_.picture() || !hasSource_) return settings_.outputType != OutputType::Icon;
  return settings_.ownParser;
}

bool MainModel::OriginalColoursEnabled() const {
  if (settings_.outputType == OutputType::Jepg) return false;
  if (listing_.picture() || !hasSource_) return true;
  return settings_.ownParser && mode() != ExtractionMode::kNormal;
}

bool MainModel::DepthListEnabled() const {
  if (settings_.outputType == OutputType::Jepg) return false;
  return !(settings_.keepSourceDepth && OriginalColoursEnabled());
}

std::string MainModel::DepthHint() const {
  const char* bits = "";
  switch (settings_.depth) {
    case imaging::Depth::Colours256:
      bits = "8bit";
      break;
    case imaging::Depth::Colours16:
      bits = "4bit";
      break;
    case imaging::Depth::Colours2:
      bits = "1bit";
      break;
    default:
      break;
  }
  return std::string(bits) + "|作成又は保存する色数";
}

// ---- preview ----

bool MainModel::ExtractForPreview(int index, imaging::Picture& out) {
  if (listing_.ownParserGrid())
    return listing_.reader().ExtractToPicture(listing_.sourcePath(), index, out);
  // The shell's icons: the large one, or the small one for 16 x 16.
  if (normalBytesPath_ != listing_.sourcePath()) {
    auto bytes = listing_.reader().ReadWholeFile(listing_.sourcePath(), false);
    if (!bytes) return false;
    normalBytes_ = std::move(*bytes);
    normalBytesPath_ = listing_.sourcePath();
  }
  const int size = settings_.sizeChoice == imaging::SizeChoice::Size16 ? extract::kSmallIconSize
                                                                       : extract::kLargeIconSize;
  auto icon = extract::ShellExtractIcon(
      normalBytes_, extract::SourceReader::LowerExtension(normalBytesPath_), index, size);
  if (!icon) return false;
  out = imaging::Picture{};
  out.kind = imaging::PictureKind::kIcon;
  out.icon = std::move(icon);
  return true;
}

PreviewSource MainModel::MakePreviewSource() {
  PreviewSource source;
  source.kind = settings_.sourceKind;
  source.ownParser = settings_.ownParser;
  if (listing_.picture()) {
    source.extension = listing_.picture()->extension;
    source.picturePath = listing_.picture()->path;
    source.picture = &listing_.picture()->picture;
  } else {
    source.extension = extract::SourceReader::LowerExtension(listing_.sourcePath());
    source.extract = [this](int index, imaging::Picture& out) {
      return ExtractForPreview(index, out);
    };
  }
  return source;
}

bool MainModel::RebuildPreview() {
  const PreviewSource source = MakePreviewSource();
  PreviewOptions options{settings_, enlarge, editorOpen, false};
  const int first = firstSelected();
  int index = -1;
  if (first >= 0 && hasSource_) {
    auto parsed = ParseIndex(listing_.images()[static_cast<std::size_t>(first)].entry.index);
    if (!parsed) return false;
    index = *parsed;
  }
  return preview_.RebuildPreview(index, source, options, messages_);
}

// ---- file list ----

int MainModel::CountImages(const std::string& path) {
  const std::string extension = extract::SourceReader::LowerExtension(path);
  if (IsPictureExtension(extension)) return 1;
  extract::SourceReader reader;
  reader.setMode(mode());
  return reader.CountImages(path);
}

bool MainModel::AddRow(const std::string& given, bool checkDuplicates) {
  const std::string path = FollowShortcut(given);
  const std::string extension = extract::SourceReader::LowerExtension(path);
  if (!IsMember(extension, kRowExtensions) && !IsPictureExtension(extension)) return false;
  if (checkDuplicates &&
      std::any_of(rows_.begin(), rows_.end(), [&](const FileRow& r) { return r.path == path; }))
    return false;
  const std::filesystem::path p(path);
  FileRow row;
  row.name = p.stem().string();
  row.ext = extension.empty() ? std::string() : extension.substr(1);
  // The extension column keeps the file's own spelling.
  if (p.has_extension()) row.ext = p.extension().string().substr(1);
  row.count = CountImages(path);
  row.path = path;
  rows_.push_back(std::move(row));
  return true;
}

int MainModel::AddFiles(const std::vector<std::string>& paths) {
  int added = 0;
  for (const std::string& given : paths) {
    const std::string path = FollowShortcut(given);
    if (IsRegularFile(path)) {
      added += AddRow(path, true) ? 1 : 0;
      continue;
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(path, ec)) continue;
    if (searchFolder) {
      for (FileRow& row : searchFolder(path)) {
        if (std::any_of(rows_.begin(), rows_.end(),
                        [&](const FileRow& r) { return r.path == row.path; }))
          continue;
        rows_.push_back(std::move(row));
        ++added;
      }
      SortRowsByName();
      continue;
    }
    std::vector<std::string> found;
    const auto options = std::filesystem::directory_options::skip_permission_denied;
    for (auto it = std::filesystem::recursive_directory_iterator(path, options, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
      if (it->is_regular_file(ec)) found.push_back(it->path().string());
    }
    std::sort(found.begin(), found.end());
    for (const std::string& file : found)
      added += AddRow(file, true) ? 1 : 0;
  }
  return added;
}

void MainModel::SortRowsByName() {
  std::stable_sort(rows_.begin(), rows_.end(), [](const FileRow& a, const FileRow& b) {
    if (TextBefore(a.name, b.name)) return true;
    if (TextBefore(b.name, a.name)) return false;
    return a.path < b.path;
  });
}

void MainModel::SortRows(int column) {
  if (column < 0 || column > 2) return;
  sortAscending_ = column == sortColumn_ ? !sortAscending_ : true;
  sortColumn_ = column;
  const bool ascending = sortAscending_;
  std::stable_sort(rows_.begin(), rows_.end(),
                   [column, ascending](const FileRow& a, const FileRow& b) {
                     if (column == 2) return ascending ? a.count < b.count : a.count > b.count;
                     const std::string& x = column == 0 ? a.name : a.ext;
                     const std::string& y = column == 0 ? b.name : b.ext;
                     return ascending ? TextBefore(x, y) : TextBefore(y, x);
                   });
}

void MainModel::DeleteRows(std::vector<int> indices) {
  std::sort(indices.rbegin(), indices.rend());
  indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
  for (int i : indices)
    if (i >= 0 && i < static_cast<int>(rows_.size())) rows_.erase(rows_.begin() + i);
}

void MainModel::RefreshCounts() {
  for (FileRow& row : rows_) {
    const std::string extension = extract::SourceReader::LowerExtension(row.path);
    if (IsPictureExtension(extension)) {
      row.count = 1;
      continue;
    }
    extract::SourceReader reader;
    reader.setMode(mode());
    if (mode() == ExtractionMode::kNormal) {
      row.count = reader.ShellIconCount(row.path);
      continue;
    }
    if (listCount) {
      if (std::optional<int> listed = listCount(row.path)) {
        row.count = *listed;
        continue;
      }
    }
    if (!reader.LoadWholeFile(row.path, false)) continue;
    const int total = reader.ReadImage(row.path, false, 0, nullptr);
    if (total >= 5) {
      row.count = total;
      continue;
    }
    int valid = 0;
    for (int i = 0; i < total; ++i) {
      reader.ReadImage(row.path, true, i, nullptr);
      valid += reader.file().facts.valid ? 1 : 0;
    }
    row.count = valid;
  }
}

// ---- command line, drops, pastes ----

std::vector<std::string> MainModel::KeptArguments(const std::vector<std::string>& args) {
  std::vector<std::string> kept;
  for (const std::string& arg : args) {
    const std::string extension = extract::SourceReader::LowerExtension(arg);
    if (extension == ".lnk") {
      kept.push_back(FollowShortcut(arg));
    } else if (IsMember(extension, kCommandLineExtensions)) {
      kept.push_back(arg);
    }
  }
  return kept;
}

void MainModel::HandleCommandLine(const std::vector<std::string>& args) {
  const auto kept = KeptArguments(args);
  if (kept.size() == 1) {
    Open(kept.front());
  } else if (kept.size() > 1) {
    AddFiles(kept);
  }
}

MainModel::DropResult MainModel::Drop(DropTarget target, const std::vector<std::string>& files) {
  if (files.empty()) return DropResult::kIgnored;
  switch (target) {
    case DropTarget::kGrid:
      Open(files.front());
      return DropResult::kOpened;
    case DropTarget::kFileList:
      AddFiles(files);
      return DropResult::kAdded;
    case DropTarget::kElsewhere:
      break;
  }
  return DropResult::kIgnored;
}

SourceListing::Result MainModel::PasteIntoGrid(const ClipboardFacts& clipboard,
                                               const std::function<imaging::Bitmap()>& bitmap) {
  if (!clipboard.files.empty()) return Open(FollowShortcut(clipboard.files.front()));
  if (!clipboard.hasBitmap || !bitmap) return SourceListing::Result::kNoFile;
  return OpenPasted(bitmap());
}

// ---- saving ----

output::SaveContext MainModel::saveContext() const {
  output::SaveContext context;
  context.settings = settings_;
  context.editorOpen = editorOpen;
  context.showExtractedNames = showExtractedNames_;
  return context;
}

bool MainModel::RunSave(const SaveRun& run) {
  // The single-image save writes the preview's output image: make sure it is the
  // selected image's, converted with the current settings.
  RebuildPreview();
  const PreviewSource source = MakePreviewSource();
  const PreviewOptions options{settings_, enlarge, editorOpen, false};
  const auto entryList = entries();
  GridSaveSource saveSource(entryList, selected_, preview_, source, options, messages_);
  output::IconFileWriter icons(pelmora_, workFolder_, iconOptions);
  output::SaveWorkflow workflow(saveSource, icons, messages_);
  workflow.rememberedSaveFolder = rememberedSaveFolder;
  workflow.lastConditions = lastConditions;
  output::SaveContext context = saveContext();
  const bool ran = run(workflow, context);
  lastConditions = workflow.lastConditions;
  RememberSaveFolder(workflow.rememberedSaveFolder);
  lastReport_ = workflow.report();
  return ran;
}

bool MainModel::SaveSelected(const output::ChooseSaveFile& choose, output::SaveProgress& progress) {
  return RunSave([&](output::SaveWorkflow& workflow, output::SaveContext& context) {
    return workflow.SaveSelected(context, choose, progress);
  });
}

bool MainModel::SaveMatching(const std::optional<output::MatchConditions>& conditions,
                             const output::ChooseSaveFile& choose, output::SaveProgress& progress) {
  return RunSave([&](output::SaveWorkflow& workflow, output::SaveContext& context) {
    return workflow.SaveMatching(context, conditions, choose, progress);
  });
}

void MainModel::RememberSaveFolder(const std::string& folder) {
  if (folder == rememberedSaveFolder) return;
  rememberedSaveFolder = folder;
  if (remembered_) remembered_->WriteRemembered("path", "save", folder);
}

imaging::Bitmap MainModel::ClipboardBitmap(bool realSize) {
  const int first = firstSelected();
  if (first < 0 || selectedCount() != 1) return {};
  imaging::Picture picture;
  if (listing_.picture()) {
    picture = listing_.picture()->picture;
  } else {
    auto index = ParseIndex(listing_.images()[static_cast<std::size_t>(first)].entry.index);
    if (!index || !ExtractForPreview(*index, picture)) return {};
  }
  const imaging::Size size =
      imaging::OutputDimensions(settings_, picture.width(), picture.height());
  return output::ClipboardBitmap(picture, settings_.sourceKind, realSize && isPictureSource(),
                                 size);
}

}  // namespace glyphwell::app
