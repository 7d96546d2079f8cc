#pragma once
// HeaderCounter: the image counts of the search without reading whole files. It
// gives exactly what SourceReader::CountImages gives for a file read whole (the
// shell's icon count in the Normal mode, the images whose decoder accepts them in
// the Icon and Bmp modes), but reads only the headers, the resource directories and
// the heads of the images (see count_prefetch.h). One object counts file after file
// through one reusable LazyFileImage.
//
// A file that shrinks while it is counted is counted once more from its new size;
// when it changes again it counts as unreadable, as a failed whole read would.

#include <cstdint>
#include <functional>
#include <string>

#include "extract/extraction_mode.h"
#include "extract/lazy_file_image.h"
#include "extract/source_reader.h"
#include "platform/messages.h"

namespace glyphwell::extract {

class HeaderCounter {
 public:
  // Read errors go to `messages` (path, a line break and the system's text, as a
  // whole read shows them); nullptr shows none. `pageBytes` is the read granularity
  // of the file image (see LazyFileImage).
  explicit HeaderCounter(platform::MessageSink* messages = nullptr,
                         std::size_t pageBytes = LazyFileImage::kPageBytes);

  // The count of `path` in `mode`. 0 when the file cannot be read (lastReadFailed()
  // then tells; an empty file fails silently, as a whole read does).
  int CountImages(const std::string& path, ExtractionMode mode, bool showErrors = true);

  // The three counts a saved file list records, from one opening of the file: the
  // shell's icon count, the valid icon images and (except for an ".ico") the valid
  // bitmaps. All 0 when the file cannot be read.
  struct Counts {
    int shell = 0;
    int icons = 0;
    int bitmaps = 0;
    // 2 = icon images found, 4 = bitmaps found (the list's flags without the shell's 1).
    int flags() const { return (icons ? 2 : 0) | (bitmaps ? 4 : 0); }
  };
  Counts CountAll(const std::string& path, bool showErrors = true);

  // Called after each opening of a file and before it is read; tests change the file
  // there to see what a count makes of a file that changes under it.
  std::function<void(const std::string& path)> onOpened;

  bool lastReadFailed() const { return lastReadFailed_; }
  // Bytes read from disk by the last count.
  std::uint64_t lastBytesRead() const { return lastBytesRead_; }

  // The counting step over an image already opened; `path` gives the extension.
  // The image may be damaged afterwards (the file shrank meanwhile).
  int CountOpened(LazyFileImage& image, const std::string& path, ExtractionMode mode);

 private:
  // Opens `path` and runs `count` over it, again once when the file shrank meanwhile.
  template <class Count>
  bool WithImage(const std::string& path, bool showErrors, Count count);

  platform::MessageSink* messages_;
  LazyFileImage image_;
  SourceReader reader_;
  bool lastReadFailed_ = false;
  std::uint64_t lastBytesRead_ = 0;
};

}  // namespace glyphwell::extract
