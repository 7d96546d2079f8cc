#include "builder/icon_builder.h"

#include <algorithm>
#include <cctype>

#include "builder/group_rules.h"
#include "builder/icl_file_writer.h"
#include "builder/ico_file_writer.h"
#include "builder/icon_block.h"
#include "builder/number_match.h"
#include "builder/png_block.h"
#include "builder/png_image_encoder.h"

namespace glyphwell::builder {

namespace {

std::string FileNameOf(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool Valid(int index, int count) {
  return index >= 0 && index < count;
}

}  // namespace

std::string ReplaceExtension(const std::string& path, const std::string& extension) {
  const auto slash = path.find_last_of("/\\");
  const auto dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
    return path + extension;
  return path.substr(0, dot) + extension;
}

IconBuilder::IconBuilder(Services services) : services_(std::move(services)) {}

void IconBuilder::Append(TIconEntry entry) {
  entry.HomePos = static_cast<std::int32_t>(entries_.size());
  entries_.push_back(std::move(entry));
}

// ---- selection -----------------------------------------------------------------

void IconBuilder::MouseDown(int index, bool ctrl) {
  if (!ctrl) {
    selection_.Clear();
    clickedAgain_ = index >= 0 && index == lastClicked_;
  } else {
    if (Valid(index, count())) selection_.Toggle(index);
    clickedAgain_ = false;
  }
  lastClicked_ = index;
}

void IconBuilder::MouseUp(bool onCell, const std::vector<int>& rangeCells, bool ctrl,
                          int currentCell) {
  if (!onCell) {
    selection_.Clear();
    return;
  }
  if (rangeCells.size() > 1) {
    for (int cell : rangeCells) {
      if (cell >= count()) break;
      if (cell >= 0) selection_.Add(cell);
    }
    return;
  }
  if (!ctrl && Valid(currentCell, count())) selection_.Add(currentCell);
}

void IconBuilder::RightDown(int index) {
  if (Valid(index, count())) selection_.Add(index);
}

void IconBuilder::SelectAll() {
  std::vector<int> all(entries_.size());
  for (int i = 0; i < count(); ++i)
    all[static_cast<std::size_t>(i)] = i;
  selection_.Assign(std::move(all));
}

void IconBuilder::InvertSelection() {
  std::vector<bool> selected(entries_.size(), false);
  for (int i : selection_.items())
    if (Valid(i, count())) selected[static_cast<std::size_t>(i)] = true;
  std::vector<int> inverted;
  for (int i = 0; i < count(); ++i)
    if (!selected[static_cast<std::size_t>(i)]) inverted.push_back(i);
  selection_.Assign(std::move(inverted));
}

void IconBuilder::SelectByCriteria(const std::string& width, const std::string& height,
                                   const std::string& bits) {
  criteria_ = {width, height, bits};
  if (width.empty() && height.empty() && bits.empty()) return;
  std::vector<int> chosen;
  for (int i = 0; i < count(); ++i) {
    auto h = ReadIconBlockHeader(entries_[static_cast<std::size_t>(i)].Image);
    if (!h) continue;
    if (NumberMatchesText(h->width, width) || NumberMatchesText(h->height(), height) ||
        NumberMatchesText(h->bitCount, bits))
      chosen.push_back(i);
  }
  selection_.Assign(std::move(chosen));
}

std::vector<int> IconBuilder::SortedSelection() {
  selection_.SortSelection();
  std::vector<int> sorted;
  for (int i : selection_.items())
    if (Valid(i, count())) sorted.push_back(i);
  return sorted;
}

// ---- groups --------------------------------------------------------------------

void IconBuilder::GroupSelection() {
  const std::vector<int> sorted = SortedSelection();
  if (sorted.empty()) return;
  const std::int32_t id = NewGroupId(entries_);
  const auto selected = static_cast<std::int32_t>(sorted.size());
  for (std::size_t k = 0; k < sorted.size(); ++k) {
    if (k > 0 && sorted[k] != sorted[k - 1] + 1) {
      services_.messages->Show(kGapText, "Glyphwell", platform::MsgButtons::kOk,
                               platform::MsgIcon::kWarning);
      break;
    }
    TIconEntry& e = entries_[static_cast<std::size_t>(sorted[k])];
    e.GroupId = id;
    e.GroupCount = selected;
  }
  NormalizeGroups(entries_);
}

void IconBuilder::DissolveSelection() {
  for (int i : SortedSelection()) {
    entries_[static_cast<std::size_t>(i)].GroupId = kNoGroup;
    entries_[static_cast<std::size_t>(i)].GroupCount = 1;
  }
  NormalizeGroups(entries_);
}

// ---- placement -------------------------------------------------------------------

void IconBuilder::CopyForPlacement() {
  placementCopy_ = SortedSelection();
}

void IconBuilder::UpdateMovedMarker(int p) {
  TIconEntry& e = entries_[static_cast<std::size_t>(p)];
  if (e.HomePos != p) {
    e.State |= kMovedBit;
    e.Shown |= kMovedBit;
  } else {
    e.State &= static_cast<std::uint8_t>(~kMovedBit);
    e.Shown &= static_cast<std::uint8_t>(~kMovedBit);
  }
}

void IconBuilder::FinishPlacement() {
  NormalizeGroups(entries_);
}

void IconBuilder::ExchangeWithCopy() {
  const std::vector<int>& clicked = selection_.items();
  const std::size_t pairs = std::min(placementCopy_.size(), clicked.size());
  for (std::size_t k = 0; k < pairs; ++k) {
    const int a = placementCopy_[k], b = clicked[k];
    if (!Valid(a, count()) || !Valid(b, count())) continue;
    std::swap(entries_[static_cast<std::size_t>(a)], entries_[static_cast<std::size_t>(b)]);
    UpdateMovedMarker(a);
    UpdateMovedMarker(b);
  }
  placementCopy_.clear();
  FinishPlacement();
}

void IconBuilder::InsertCopyAt(int target) {
  // The copied entries move as one block, in their grid order: in front of the
  // target entry when they stood after it, behind it when the first of them stood
  // before it. (Stepping through the copied positions one move at a time would, for
  // copies that are not one block in front of the target, pick up entries that
  // merely shifted into a copied position and leave copied ones behind.)
  std::vector<int> copy = std::move(placementCopy_);
  placementCopy_.clear();
  std::sort(copy.begin(), copy.end());
  copy.erase(std::unique(copy.begin(), copy.end()), copy.end());
  std::erase_if(copy, [&](int i) { return !Valid(i, count()); });
  if (copy.empty() || !Valid(target, count()) ||
      std::binary_search(copy.begin(), copy.end(), target)) {
    FinishPlacement();
    return;
  }
  std::vector<bool> copied(entries_.size(), false);
  for (int i : copy)
    copied[static_cast<std::size_t>(i)] = true;
  std::vector<TIconEntry> moving, rest;
  moving.reserve(copy.size());
  rest.reserve(entries_.size());
  std::size_t targetInRest = 0;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (copied[i]) {
      moving.push_back(std::move(entries_[i]));
    } else {
      if (static_cast<int>(i) == target) targetInRest = rest.size();
      rest.push_back(std::move(entries_[i]));
    }
  }
  const std::size_t at = copy.front() < target ? targetInRest + 1 : targetInRest;
  rest.insert(rest.begin() + static_cast<long>(at), std::make_move_iterator(moving.begin()),
              std::make_move_iterator(moving.end()));
  entries_ = std::move(rest);
  for (int p = std::min(copy.front(), target); p <= std::max(copy.back(), target); ++p)
    UpdateMovedMarker(p);
  FinishPlacement();
}

void IconBuilder::DragExchange(int from, int to) {
  if (!Valid(from, count()) || !Valid(to, count())) return;
  std::swap(entries_[static_cast<std::size_t>(from)], entries_[static_cast<std::size_t>(to)]);
  UpdateMovedMarker(from);
  UpdateMovedMarker(to);
  FinishPlacement();
}

void IconBuilder::DragMove(int from, int to) {
  if (!Valid(from, count()) || !Valid(to, count())) return;
  TIconEntry moving = std::move(entries_[static_cast<std::size_t>(from)]);
  entries_.erase(entries_.begin() + from);
  entries_.insert(entries_.begin() + to, std::move(moving));
  for (int p = std::min(from, to); p <= std::max(from, to); ++p)
    UpdateMovedMarker(p);
  FinishPlacement();
}

// ---- delete --------------------------------------------------------------------

void IconBuilder::DeleteSelection() {
  const std::vector<int> sorted = SortedSelection();
  for (auto it = sorted.rbegin(); it != sorted.rend(); ++it)
    entries_.erase(entries_.begin() + *it);
  selection_.Clear();
}

// ---- drawing and editing ------------------------------------------------------------

bool IconBuilder::RenderEntry(int index, imaging::Bitmap& image) const {
  return Valid(index, count()) &&
         RenderIconBlock(entries_[static_cast<std::size_t>(index)].Image, image);
}

bool IconBuilder::RenderEntryMask(int index, imaging::Bitmap& mask) const {
  return Valid(index, count()) &&
         RenderIconBlockMask(entries_[static_cast<std::size_t>(index)].Image, mask);
}

bool IconBuilder::RenderForCopy(int index, bool withMask, bool withAlpha,
                                imaging::Bitmap& out) const {
  imaging::Bitmap image, mask;
  if (!RenderEntry(index, image) || !RenderEntryMask(index, mask)) return false;
  const bool alphaInUse = [&] {
    if (image.bits() != 32) return false;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (image.pixelAlpha(x, y) != 0) return true;
    return false;
  }();
  imaging::Bitmap result(image.width(), image.height(), 24);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      imaging::ColourValue c = image.pixelColour(x, y);
      if (withAlpha && alphaInUse) {
        const int a = image.pixelAlpha(x, y);
        auto blend = [a](int v) { return (v * a + 255 * (255 - a)) / 255; };
        c = imaging::MakeColour(blend(imaging::RedOf(c)), blend(imaging::GreenOf(c)),
                                blend(imaging::BlueOf(c)));
      }
      if (withMask && imaging::RedOf(mask.pixelColour(x, y)) >= 128) c = imaging::kWhite;
      result.setPixelColour(x, y, c);
    }
  out = std::move(result);
  return true;
}

std::string IconBuilder::EditorDepthChoice(int bits) {
  switch (bits) {
    case 1:
      return "2色";
    case 4:
      return "16色";
    case 8:
      return "256色";
    case 24:
      return "24bit";
    case 32:
      return "32bit";
    default:
      return {};
  }
}

bool IconBuilder::ApplyEdit(int index, const imaging::Bitmap& edited,
                            const imaging::Bitmap& maskImage) {
  if (!Valid(index, count())) return false;
  TIconEntry& e = entries_[static_cast<std::size_t>(index)];
  auto h = ReadIconBlockHeader(e.Image);
  if (!h || edited.width() != h->width || edited.height() != h->height() ||
      maskImage.width() != h->width || maskImage.height() != h->height())
    return false;
  imaging::Bitmap image = edited;
  ReduceToBitCount(image, h->bitCount);
  auto block = MakeIconBlock(image, PackMaskImage(maskImage));
  if (block.empty()) return false;
  e.Image = std::move(block);
  e.State |= kEditedBit;
  e.Shown |= kEditedBit;
  return true;
}

// ---- tool bar, status, closing ----------------------------------------------------

ToolBarState IconBuilder::ToolBar() const {
  ToolBarState s;
  const bool selected = !selection_.empty();
  s.remove = s.save = s.copyForPlacement = s.groupSet = s.groupDissolve = s.refresh = selected;
  s.edit = selection_.DistinctCount() == 1;
  s.exchange = s.insert = !placementCopy_.empty();
  s.selectAll = s.invert = s.selectBy = !entries_.empty();
  return s;
}

GroupMenuState IconBuilder::GroupMenu(bool pointerOnEntry, const CellRange& range) const {
  GroupMenuState s;
  if (!pointerOnEntry) return s;
  s.groupDissolve = true;
  const int columns = ClampGridSettings(grid_).columns;
  const bool oneRow = range.top == range.bottom;
  const bool rangeCounts =
      oneRow ? range.right > range.left
             : range.bottom > range.top && range.right - range.left + 1 == columns;
  s.groupSet = rangeCounts || selection_.DistinctCount() > 1;
  return s;
}

std::string IconBuilder::StatusPanel0() const {
  return std::to_string(count()) + "-" + std::to_string(selection_.DistinctCount());
}

CellStatus IconBuilder::SelectCell(int index) const {
  if (!Valid(index, count())) return {};
  const TIconEntry& e = entries_[static_cast<std::size_t>(index)];
  return {e.SourcePath, e.Name.empty() ? FileNameOf(e.SourcePath) : e.Name};
}

bool IconBuilder::CanClose() {
  const bool changed = std::any_of(entries_.begin(), entries_.end(),
                                   [](const TIconEntry& e) { return e.State != 0; });
  if (!changed) return true;
  const auto answer = services_.messages->Show(
      "内容が変更されています。\n\n保存しますか？", kBuilderCaption, platform::MsgButtons::kYesNo,
      platform::MsgIcon::kWarning, platform::MsgResult::kNo);
  return answer != platform::MsgResult::kYes;
}

// ---- saving ------------------------------------------------------------------------

PngEncoder IconBuilder::Encoder() const {
  if (services_.pngEncoder) return services_.pngEncoder;
  return [this](const TIconEntry& e) { return EncodePngImage(e, options_); };
}

bool IconBuilder::SaveCommand(SaveDialog& dialog) {
  const std::vector<int> sorted = SortedSelection();
  const int n = std::min(count(), static_cast<int>(sorted.size()));
  if (n == 0) return false;
  const auto answer = services_.messages->Show(
      std::to_string(n) + "個のアイコンを保存します。よろしいですか？", kCountCaption,
      platform::MsgButtons::kYesNo, platform::MsgIcon::kQuestion, platform::MsgResult::kYes);
  if (answer == platform::MsgResult::kNo) return false;
  std::string proposed;
  if (extractedNames) {
    const int first = sorted.front() < count() ? sorted.front() : 0;
    proposed = entries_[static_cast<std::size_t>(first)].Name;
  }
  auto target = dialog.Ask(proposed);
  if (!target) return false;
  if (target->filter == 2) return WriteIclFile(ReplaceExtension(target->path, ".icl"));
  return WriteIcoFile(ReplaceExtension(target->path, ".ico"));
}

bool IconBuilder::WriteIcoFile(const std::string& path) {
  IcoWriteJob job{options_, Encoder(), &progress_};
  return builder::WriteIcoFile(path, entries_, SortedSelection(), job, *services_.messages);
}

bool IconBuilder::WriteIclFile(const std::string& path) {
  IclWriteJob job{options_, Encoder(), &progress_};
  return builder::WriteIclFile(path, entries_, SortedSelection(), job, *services_.messages);
}

}  // namespace glyphwell::builder
