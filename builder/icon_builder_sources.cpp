// The ways images enter the builder, and reading entries again from their sources.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "builder/icon_builder.h"
#include "builder/icon_file_images.h"
#include "builder/png_block.h"
#include "builder/shortcut_target.h"
#include "extract/group_map_entry.h"
#include "platform/byte_reader.h"

namespace glyphwell::builder {

namespace {

std::string FileNameOf(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Lower-case extension with its dot; empty when the name has none.
std::string LowerExtension(const std::string& path) {
  const std::string name = FileNameOf(path);
  const auto dot = name.find_last_of('.');
  if (dot == std::string::npos) return {};
  std::string ext = name.substr(dot);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

// The whole file; false with the system's error text when it cannot be read.
bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& out, std::string& error) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    error = std::strerror(errno);
    return false;
  }
  std::vector<std::uint8_t> bytes;
  std::uint8_t buffer[65536];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0)
    bytes.insert(bytes.end(), buffer, buffer + got);
  const bool failed = std::ferror(f);
  const int code = errno;
  std::fclose(f);
  if (failed) {
    error = std::strerror(code);
    return false;
  }
  out = std::move(bytes);
  return true;
}

void ApplyGroupText(TIconEntry& e, const std::string& groupText) {
  if (groupText.empty()) return;
  const extract::GroupMapEntry g = extract::GroupMapEntry::Parse(groupText);
  e.GroupId = g.group;
  e.GroupCount = static_cast<std::int32_t>(g.imageCount);
  e.Name = g.name;
}

}  // namespace

void IconBuilder::ShowFailureCount(int total, int failed) {
  services_.messages->Show(
      std::to_string(total) + "個の中で、" + std::to_string(failed) + "個の抽出に失敗しました。",
      "Glyphwell", platform::MsgButtons::kOk, platform::MsgIcon::kWarning);
}

std::vector<std::string> IconBuilder::FilterDroppedFiles(const std::vector<std::string>& files) {
  static const char* const kAccepted[] = {".dll", ".exe", ".ocx", ".opx", ".ico",
                                          ".cur", ".cpl", ".drv", ".icl"};
  std::vector<std::string> kept;
  for (const auto& file : files) {
    const std::string target = ResolveShortcutTarget(file);
    const std::string ext = LowerExtension(target);
    if (std::find(std::begin(kAccepted), std::end(kAccepted), ext) != std::end(kAccepted))
      kept.push_back(target);
  }
  return kept;
}

int IconBuilder::AddFiles(const std::vector<std::string>& files) {
  const int before = count();
  progress_.SetMax(static_cast<long long>(files.size()));
  progress_.SetPosition(0);
  for (const auto& file : files) {
    if (Cancelled()) break;
    const std::string path = ResolveShortcutTarget(file);
    if (LowerExtension(path) == ".ico")
      AddIconFile(path);
    else
      AddModule(path);
    progress_.Step();
  }
  progress_.SetPosition(0);
  return count() - before;
}

int IconBuilder::AddIconFile(const std::string& path) {
  std::vector<std::uint8_t> file;
  std::string error;
  if (!ReadFileBytes(path, file, error)) {
    services_.messages->Show(path + "\n" + error, "Glyphwell", platform::MsgButtons::kOk,
                             platform::MsgIcon::kError);
    return 0;
  }
  // The progress bar grows by the directory's count before its entries are read.
  if (auto count = platform::ByteReader(file).u16le(4)) progress_.SetMax(progress_.Max() + *count);
  const IconFileImages read = ReadIconFileImages(
      file, options_.pngiclchg, [this] { return Cancelled(); }, [this] { progress_.Step(); });
  if (!read.isIconFile) return 0;
  const std::string fileName = FileNameOf(path);
  for (const auto& image : read.images) {
    TIconEntry e;
    e.SrcIndex = static_cast<std::int32_t>(image.index);
    e.Image = image.block;
    e.IsPng = image.isPng;
    e.SourcePath = path;
    e.Name = read.count == 1 ? fileName : fileName + "-" + std::to_string(image.index);
    Append(std::move(e));
  }
  if (read.failed > 0) ShowFailureCount(read.count, read.failed);
  return static_cast<int>(read.images.size());
}

int IconBuilder::AddModule(const std::string& path) {
  const std::string ext = LowerExtension(path);
  if (ext == ".png") return AddPngFile(path);
  ModuleImageReader* reader = services_.modules;
  if (!reader || !reader->Load(path)) {
    services_.messages->Show("pBufAdr error", "Glyphwell", platform::MsgButtons::kOk,
                             platform::MsgIcon::kError);
    return 0;
  }
  const int images = reader->ImageCount();
  progress_.SetMax(progress_.Max() + images);
  const std::string letters = ext.empty() ? std::string() : ext.substr(1, 3);
  int added = 0;
  for (int i = 0; i < images; ++i) {
    if (Cancelled()) break;
    auto decoded = reader->Decode(i, options_.pngiclchg);
    progress_.Step();
    if (!decoded || decoded->block.empty()) continue;
    TIconEntry e;
    e.SrcIndex = static_cast<std::int32_t>(decoded->srcIndex);
    e.Image = std::move(decoded->block);
    e.IsPng = decoded->isPng;
    e.SourcePath = path;
    ApplyGroupText(e, decoded->groupText);
    if (e.Name.empty()) e.Name = letters + "-" + std::to_string(count());
    Append(std::move(e));
    ++added;
  }
  reader->Release();
  return added;
}

int IconBuilder::AddPngFile(const std::string& path) {
  std::vector<std::uint8_t> file;
  std::string error;
  if (!ReadFileBytes(path, file, error)) {
    services_.messages->Show(path + "\n" + error, "Glyphwell", platform::MsgButtons::kOk,
                             platform::MsgIcon::kError);
    return 0;
  }
  auto block = BlockFromPng(file, 0);
  if (!block) {
    ShowFailureCount(1, 1);
    return 0;
  }
  TIconEntry e;
  e.SrcIndex = 0;
  e.Image = std::move(*block);
  e.IsPng = true;
  e.SourcePath = path;
  e.Name = "png-" + std::to_string(count());
  Append(std::move(e));
  return 1;
}

int IconBuilder::AddMainWindowSelection(MainWindowImages& main) {
  if (!main.CanAddSelection()) return 0;
  const std::string source = main.CurrentFile();
  int added = 0;
  for (const auto& caption : main.SelectedCaptions()) {
    if (caption.empty() || !std::all_of(caption.begin(), caption.end(),
                                        [](unsigned char c) { return std::isdigit(c); }))
      continue;
    const long n = std::strtol(caption.c_str(), nullptr, 10);
    if (n < 0 || n > 0x7FFFFFFF) continue;
    auto decoded = main.DecodeImage(static_cast<int>(n));
    if (!decoded || decoded->block.empty()) continue;
    TIconEntry e;
    e.SrcIndex = static_cast<std::int32_t>(n);
    e.Image = std::move(decoded->block);
    e.IsPng = decoded->isPng;
    e.SourcePath = source;
    ApplyGroupText(e, decoded->groupText);
    if (e.Name.empty()) e.Name = "m-" + std::to_string(n);
    Append(std::move(e));
    ++added;
  }
  return added;
}

std::optional<DecodedImage> IconBuilder::ReloadEntry(const TIconEntry& entry) {
  const std::string ext = LowerExtension(entry.SourcePath);
  if (ext == ".ico" || ext == ".png") {
    std::vector<std::uint8_t> file;
    std::string error;
    if (!ReadFileBytes(entry.SourcePath, file, error)) return std::nullopt;
    DecodedImage decoded;
    decoded.srcIndex = entry.SrcIndex;
    if (ext == ".png") {
      auto block = BlockFromPng(file, 0);
      if (!block) return std::nullopt;
      decoded.block = std::move(*block);
      decoded.isPng = true;
      return decoded;
    }
    auto image = ReadIconFileImage(file, entry.SrcIndex, options_.pngiclchg);
    if (!image || image->block.empty()) return std::nullopt;
    decoded.block = std::move(image->block);
    decoded.isPng = image->isPng;
    return decoded;
  }
  ModuleImageReader* reader = services_.modules;
  if (!reader || !reader->Load(entry.SourcePath)) return std::nullopt;
  // Module images go back to their declared depth unless the option was changed here.
  const bool reduce = pngiclchgChangedHere_ ? options_.pngiclchg : true;
  auto decoded = reader->DecodeSourceIndex(entry.SrcIndex, reduce);
  reader->Release();
  if (!decoded || decoded->block.empty()) return std::nullopt;
  return decoded;
}

int IconBuilder::RefreshSelection() {
  const std::vector<int> sorted = SortedSelection();
  std::vector<int> unreadable;
  progress_.SetMax(static_cast<long long>(sorted.size()));
  progress_.SetPosition(0);
  for (int index : sorted) {
    if (Cancelled()) break;
    TIconEntry& e = entries_[static_cast<std::size_t>(index)];
    auto decoded = ReloadEntry(e);
    progress_.Step();
    if (!decoded) {
      unreadable.push_back(index);
      continue;
    }
    const bool hadChanges = e.State != 0;
    e.Image = std::move(decoded->block);
    e.IsPng = decoded->isPng;
    e.State &= static_cast<std::uint8_t>(~kEditedBit);
    if (hadChanges) e.Shown &= static_cast<std::uint8_t>(~kEditedBit);
  }
  for (auto it = unreadable.rbegin(); it != unreadable.rend(); ++it)
    entries_.erase(entries_.begin() + *it);
  // The removed entries' indices no longer name the same entries.
  if (!unreadable.empty()) selection_.Clear();
  progress_.SetPosition(0);
  return static_cast<int>(unreadable.size());
}

}  // namespace glyphwell::builder
