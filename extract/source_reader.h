#pragma once
// SourceReader: the current source file and the operations that take images out
// of it by number. One instance belongs to the main window model (and to each
// command-line run); it owns the loaded file image, the group map and the two group
// counters, which keep counting across files for its whole life.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "extract/extraction_mode.h"
#include "extract/icon_decoder.h"
#include "extract/loaded_file.h"
#include "imaging/picture.h"
#include "platform/messages.h"

namespace glyphwell::extract {

class SourceReader {
 public:
  // Messages (read errors) go to `messages`; nullptr shows none.
  explicit SourceReader(platform::MessageSink* messages = nullptr) : messages_(messages) {}

  LoadedFile& file() { return file_; }
  const LoadedFile& file() const { return file_; }
  ExtractionMode mode() const { return mode_; }
  void setMode(ExtractionMode mode) { mode_ = mode; }
  GroupCounters& counters() { return counters_; }
  // Reduces decoded PNG-compressed images to their recorded depth (builder option).
  void setPngDepthReducer(PngDepthReducer reduce) { reduce_ = std::move(reduce); }

  // The lower-case extension of a path including its dot ("" when none).
  static std::string LowerExtension(const std::string& path);
  // A whole dot-separated member of ".bmp.jpg.jpeg.png.wmf".
  static bool IsPictureExtension(const std::string& extension);

  // Reads the whole file. None for a file that cannot be opened or read (with
  // showErrors the path, a line break and the system's text for the error are
  // shown first) and, silently, for an empty file.
  std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path,
                                                         bool showErrors) const;
  // Releases the previous image and loads `path` into file().image. False as above.
  bool LoadWholeFile(const std::string& path, bool showErrors);

  // The one entry point for taking an image out of `image`: an icon file when the
  // path's extension is ".ico", else a module. Count only (infoOnly false, no
  // picture), facts of image `index` (infoOnly), or its picture too. Returns the
  // image count (0 when nothing can be read); file().facts.valid tells whether the
  // image passed its decoder.
  int ReadImage(const std::string& path, std::span<const std::uint8_t> image, bool infoOnly,
                int index, imaging::Picture* picture);
  int ReadImage(const std::string& path, bool infoOnly, int index, imaging::Picture* picture) {
    return ReadImage(path, file_.image, infoOnly, index, picture);
  }
  // Clears the type-directory cache and takes image `index` out into `picture`.
  // False when no image is loaded, the read gives nothing, or the image could not
  // be decoded.
  bool ExtractToPicture(const std::string& path, int index, imaging::Picture& picture);
  // ExtractToPicture for the builder: false for a picture file, an empty path or
  // index -1.
  bool ExtractSourceImage(const std::string& path, imaging::Picture& picture, int index);

  void ClearIdList() { file_.idList.clear(); }
  // The index that grid position `position` of `total` stands for: through the ID
  // list when the position is inside it, else the position itself.
  std::int64_t MapDisplayPosition(std::int64_t position, std::int64_t total) const;
  // The group map entry at `position`; past the end of the map: group -1, count 1
  // and `callerName` as the name.
  GroupMapEntry ExtractedName(std::size_t position, const std::string& callerName = "") const;

  // Images whose decoder accepts them (the shell's count in the Normal mode).
  // lastReadFailed() tells afterwards whether the file could not be read.
  int CountImages(const std::string& path);
  bool lastReadFailed() const { return lastReadFailed_; }

  // Icon and bitmap counts for the file lists: flags 2 = icons found, 4 = bitmaps
  // found. Leaves the mode at the last one it used (Icon, or Bmp unless ".ico").
  struct IconAndBitmapCounts {
    int flags = 0;
    int icons = 0;
    int bitmaps = 0;
  };
  IconAndBitmapCounts CountIconsAndBitmaps(const std::string& path);

  // The Normal mode's shell icon count of a file (read from disk).
  int ShellIconCount(const std::string& path) const;

 private:
  platform::MessageSink* messages_;
  LoadedFile file_;
  ExtractionMode mode_ = ExtractionMode::kIcon;
  GroupCounters counters_;
  PngDepthReducer reduce_;
  bool lastReadFailed_ = false;
};

}  // namespace glyphwell::extract
