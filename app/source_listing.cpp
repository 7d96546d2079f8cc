#include "app/source_listing.h"

#include <filesystem>

#include "extract/shell_icons.h"
#include "shell/t_shell_link.h"

namespace glyphwell::app {

using extract::ExtractionMode;

std::string SourceListing::GridHint() const {
  switch (reader_.mode()) {
    case ExtractionMode::kIcon:
      return "抽出モード(アイコン)";
    case ExtractionMode::kBmp:
      return "抽出モード(ビットマップ)";
    case ExtractionMode::kNormal:
      break;
  }
  return "";
}

std::string SourceListing::TooManyText(int total) {
  return "総数：" + std::to_string(total) +
         "\nアイテム数が5000を超えましたので読み込みを中断します。";
}

void SourceListing::Clear() {
  images_.clear();
  thumbnails_.clear();
}

void SourceListing::Forget() {
  Clear();
  picture_.reset();
  ownParserGrid_ = false;
  reader_.file().Release();
  reader_.file().path.clear();
  reader_.file().extension.clear();
}

void SourceListing::ShowPicture(PictureSource picture) {
  Clear();
  reader_.file().Release();
  ownParserGrid_ = true;
  ListedImage listed;
  listed.entry = picture.entry;
  const imaging::Picture& p = picture.picture;
  listed.facts.width = p.width();
  listed.facts.height = p.height();
  listed.facts.bitCount = p.kind == imaging::PictureKind::kMetafile ? 0 : p.bitmap.bits();
  listed.facts.valid = true;
  images_.push_back(std::move(listed));
  picture_ = std::move(picture);
}

SourceListing::Result SourceListing::OpenPasted(const imaging::Bitmap& bitmap) {
  reader_.file().path.clear();
  reader_.file().extension = ".bmp";
  auto picture = OpenPastedPicture(bitmap, GridCell{});
  if (!picture) return Result::kPictureUnreadable;
  ShowPicture(std::move(*picture));
  return Result::kPicture;
}

SourceListing::Result SourceListing::OpenSource(const std::string& path) {
  extract::LoadedFile& file = reader_.file();
  file.path = path;
  file.extension = extract::SourceReader::LowerExtension(path);
  std::error_code ec;
  if (path.empty() || !std::filesystem::exists(path, ec)) return Result::kNoFile;
  if (recordOpened) recordOpened(path);
  if (file.extension == ".lnk") {
    std::string target = path;
    shell::TShellLink().GetLinkToPath(path, target, false);
    file.path = target;
    file.extension = extract::SourceReader::LowerExtension(target);
  }
  if (extract::SourceReader::IsPictureExtension(file.extension)) {
    auto picture = OpenPictureFile(file.path, GridCell{}, messages_);
    if (!picture) return Result::kPictureUnreadable;
    ShowPicture(std::move(*picture));
    return Result::kPicture;
  }
  return ListModule();
}

SourceListing::Result SourceListing::ListModule() {
  extract::LoadedFile& file = reader_.file();
  const std::string path = file.path;
  ownParserGrid_ = false;
  reader_.ClearIdList();
  int total = 0;
  if (reader_.mode() != ExtractionMode::kNormal) {
    file.Release();
    if (runPendingEvents) runPendingEvents();
    if (!reader_.LoadWholeFile(path, true)) {
      messages_.Show("pBufAdr error");
      return Result::kUnreadable;
    }
    file.enumerateGroups = true;
    file.groupMap.clear();
    file.idCeiling = 0;
    file.typeDirectory = 0;
    total = reader_.ReadImage(path, false, 0, nullptr);
    file.enumerateGroups = false;
    if (total == 0) {
      file.Release();
      if (reader_.mode() == ExtractionMode::kBmp) return Result::kNothingInBmpMode;
      total = reader_.ShellIconCount(path);
    } else {
      ownParserGrid_ = true;
    }
  } else {
    total = reader_.ShellIconCount(path);
  }

  if (total > kMaxPositions) messages_.Show(TooManyText(total));
  Clear();
  picture_.reset();
  if (progress) progress(0, total);

  int listed = 0;
  for (int position = 0; position < total && position <= kMaxPositions; ++position) {
    if (stopRequested && stopRequested()) break;
    ListedImage item;
    item.position = position;
    const std::int64_t index = reader_.MapDisplayPosition(position, total);
    std::string number = std::to_string(listed + 1);
    std::string factsLabel;
    if (ownParserGrid_) {
      reader_.ReadImage(path, true, static_cast<int>(index), nullptr);
      if (!file.facts.valid) {
        if (progress) progress(position + 1, total);
        continue;
      }
      item.facts = file.facts;
      factsLabel = file.facts.label;
      if (showExtractedNames_ && static_cast<std::size_t>(position) < file.groupMap.size())
        number = file.groupMap[static_cast<std::size_t>(position)].name;
    }
    item.entry.index = std::to_string(index);
    item.entry.label = number + factsLabel;
    if (ownParserGrid_ && item.facts.png && item.facts.width > 255) {
      imaging::Picture picture;
      reader_.ReadImage(path, false, static_cast<int>(index), &picture);
      if (picture.icon) MakeThumbnail(*picture.icon, item.entry, thumbnails_);
      // The decode for the thumbnail leaves the same facts; keep the listed ones.
      file.facts = item.facts;
    }
    images_.push_back(std::move(item));
    ++listed;
    if (progress) progress(position + 1, total);
    if (listed % 2 == 0 && runPendingEvents) runPendingEvents();
  }
  return Result::kListed;
}

}  // namespace glyphwell::app
