#include "extract/header_counter.h"

#include <cerrno>
#include <cstring>

#include "extract/count_prefetch.h"
#include "extract/shell_icons.h"

namespace glyphwell::extract {

HeaderCounter::HeaderCounter(platform::MessageSink* messages, std::size_t pageBytes)
    : messages_(messages), image_(pageBytes) {}

template <class Count>
bool HeaderCounter::WithImage(const std::string& path, bool showErrors, Count count) {
  lastReadFailed_ = true;
  lastBytesRead_ = 0;
  int error = 0;
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (!image_.Open(path)) {
      error = image_.error();
      break;
    }
    if (onOpened) onOpened(path);
    if (image_.size() == 0) {  // an empty file is no source, and says nothing
      image_.Close();
      return false;
    }
    count(image_);
    lastBytesRead_ += image_.bytesRead();
    const bool damaged = image_.damaged();
    error = image_.error() ? image_.error() : EIO;
    image_.Close();
    if (!damaged) {
      lastReadFailed_ = false;
      return true;
    }
  }
  if (showErrors && messages_)
    messages_->Show(path + "\n" + std::strerror(error), "Glyphwell", platform::MsgButtons::kOk,
                    platform::MsgIcon::kError);
  return false;
}

int HeaderCounter::CountOpened(LazyFileImage& image, const std::string& path, ExtractionMode mode) {
  const std::string extension = SourceReader::LowerExtension(path);
  if (mode == ExtractionMode::kNormal) {
    FetchForShellCount(image, extension);
    return ShellIconCount(image.bytes(), extension);
  }
  FetchForImageCount(image, extension, mode);
  // The same steps as SourceReader::CountImages, over the partly read image.
  reader_.setMode(mode);
  reader_.file().typeDirectory = 0;
  const int total = reader_.ReadImage(path, image.bytes(), false, 0, nullptr);
  int valid = 0;
  for (int i = 0; i < total; ++i) {
    reader_.ReadImage(path, image.bytes(), true, i, nullptr);
    if (reader_.file().facts.valid) ++valid;
  }
  return valid;
}

int HeaderCounter::CountImages(const std::string& path, ExtractionMode mode, bool showErrors) {
  int count = 0;
  if (!WithImage(path, showErrors,
                 [&](LazyFileImage& image) { count = CountOpened(image, path, mode); }))
    return 0;
  return count;
}

HeaderCounter::Counts HeaderCounter::CountAll(const std::string& path, bool showErrors) {
  Counts counts;
  const bool bitmaps = SourceReader::LowerExtension(path) != ".ico";
  if (!WithImage(path, showErrors, [&](LazyFileImage& image) {
        counts.shell = CountOpened(image, path, ExtractionMode::kNormal);
        counts.icons = CountOpened(image, path, ExtractionMode::kIcon);
        counts.bitmaps = bitmaps ? CountOpened(image, path, ExtractionMode::kBmp) : 0;
      }))
    return Counts{};
  return counts;
}

}  // namespace glyphwell::extract
