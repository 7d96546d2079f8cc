#include "extract/source_reader.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "extract/module_walker.h"
#include "extract/shell_icons.h"

namespace glyphwell::extract {

namespace {

// Files larger than this are not icon sources; the bound keeps the 32-bit offsets
// of the formats meaningful.
constexpr long long kMaxFileBytes = 1ll << 31;

}  // namespace

std::string SourceReader::LowerExtension(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string ext = path.substr(dot);
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return ext;
}

bool SourceReader::IsPictureExtension(const std::string& extension) {
  static const char* const kPictures[] = {".bmp", ".jpg", ".jpeg", ".png", ".wmf"};
  if (extension.size() < 4) return false;
  for (const char* p : kPictures)
    if (extension == p) return true;
  return false;
}

std::optional<std::vector<std::uint8_t>> SourceReader::ReadWholeFile(const std::string& path,
                                                                     bool showErrors) const {
  auto fail = [&](int err) -> std::optional<std::vector<std::uint8_t>> {
    if (showErrors && messages_)
      messages_->Show(path + "\n" + std::strerror(err), "Glyphwell", platform::MsgButtons::kOk,
                      platform::MsgIcon::kError);
    return std::nullopt;
  };
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return fail(errno);
  struct stat info;
  if (fstat(fileno(f), &info) == 0 && S_ISDIR(info.st_mode)) {
    std::fclose(f);
    return fail(EISDIR);
  }
  std::vector<std::uint8_t> bytes;
  if (std::fseek(f, 0, SEEK_END) != 0) {
    int err = errno;
    std::fclose(f);
    return fail(err);
  }
  long long size = std::ftell(f);
  if (size < 0 || size > kMaxFileBytes) {
    std::fclose(f);
    return fail(size < 0 ? errno : EFBIG);
  }
  std::rewind(f);
  bytes.resize(static_cast<std::size_t>(size));
  std::size_t got = size ? std::fread(bytes.data(), 1, bytes.size(), f) : 0;
  int err = std::ferror(f) ? errno : 0;
  std::fclose(f);
  if (err) return fail(err);
  if (got != bytes.size()) return fail(EIO);
  if (bytes.empty()) return std::nullopt;
  return bytes;
}

bool SourceReader::LoadWholeFile(const std::string& path, bool showErrors) {
  file_.Release();
  auto bytes = ReadWholeFile(path, showErrors);
  if (!bytes) return false;
  file_.image = std::move(*bytes);
  return true;
}

int SourceReader::ReadImage(const std::string& path, std::span<const std::uint8_t> image,
                            bool infoOnly, int index, imaging::Picture* picture) {
  file_.path = path;
  if (LowerExtension(path) == ".ico") {
    int count = ReadIconFileEntry(image, mode_, infoOnly, index, picture, file_.facts, reduce_);
    file_.imageCount = static_cast<std::uint32_t>(count);
    return count;
  }
  WalkContext ctx{file_, mode_, counters_, reduce_};
  return WalkModule(ctx, image, infoOnly, index, picture);
}

bool SourceReader::ExtractToPicture(const std::string& path, int index, imaging::Picture& picture) {
  file_.typeDirectory = 0;
  if (!file_.loaded()) return false;
  imaging::Picture out;
  if (ReadImage(path, false, index, &out) == 0) return false;
  // A position that failed its decoder gives no picture: say so rather than hand
  // back an empty one as a success.
  if (!file_.facts.valid || out.empty()) return false;
  picture = std::move(out);
  return true;
}

bool SourceReader::ExtractSourceImage(const std::string& path, imaging::Picture& picture,
                                      int index) {
  if (path.empty() || index == -1 || IsPictureExtension(LowerExtension(path))) return false;
  return ExtractToPicture(path, index, picture);
}

std::int64_t SourceReader::MapDisplayPosition(std::int64_t position, std::int64_t total) const {
  if (position >= 0 && static_cast<std::size_t>(position) < file_.idList.size())
    return file_.idList[static_cast<std::size_t>(position)] + total - file_.idCeiling;
  return position;
}

GroupMapEntry SourceReader::ExtractedName(std::size_t position,
                                          const std::string& callerName) const {
  if (position < file_.groupMap.size()) return file_.groupMap[position];
  return GroupMapEntry{-1, 1, callerName};
}

int SourceReader::ShellIconCount(const std::string& path) const {
  auto bytes = ReadWholeFile(path, false);
  if (!bytes) return 0;
  return extract::ShellIconCount(*bytes, LowerExtension(path));
}

int SourceReader::CountImages(const std::string& path) {
  lastReadFailed_ = false;
  if (mode_ == ExtractionMode::kNormal) {
    auto bytes = ReadWholeFile(path, true);
    if (!bytes) {
      lastReadFailed_ = true;
      return 0;
    }
    return extract::ShellIconCount(*bytes, LowerExtension(path));
  }
  if (!LoadWholeFile(path, true)) {
    lastReadFailed_ = true;
    return 0;
  }
  file_.typeDirectory = 0;
  int total = ReadImage(path, false, 0, nullptr);
  int valid = 0;
  for (int i = 0; i < total; ++i) {
    ReadImage(path, true, i, nullptr);
    if (file_.facts.valid) ++valid;
  }
  return valid;
}

SourceReader::IconAndBitmapCounts SourceReader::CountIconsAndBitmaps(const std::string& path) {
  IconAndBitmapCounts out;
  mode_ = ExtractionMode::kIcon;
  out.icons = CountImages(path);
  if (lastReadFailed_) return IconAndBitmapCounts{};
  if (LowerExtension(path) != ".ico") {
    mode_ = ExtractionMode::kBmp;
    out.bitmaps = CountImages(path);
  }
  out.flags = (out.icons ? 2 : 0) | (out.bitmaps ? 4 : 0);
  return out;
}

}  // namespace glyphwell::extract
