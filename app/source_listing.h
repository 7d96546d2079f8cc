#pragma once
// SourceListing: opening a source file and listing its images for the image grid,
// without the window. It decides how the file is read (picture, icon file, module;
// Normal, Icon or Bmp mode), lists one entry per readable image with its label and
// extracted name, caps long lists at 5000 positions with a message, and keeps JPEG
// thumbnails of large PNG-compressed images. The main window model owns one; the
// command line uses one per run. Messages go through the MessageSink; the window
// supplies the progress, stop and event hooks.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/picture_source.h"
#include "app/thumbnail.h"
#include "extract/image_entry.h"
#include "extract/image_facts.h"
#include "extract/source_reader.h"
#include "imaging/bitmap.h"
#include "platform/messages.h"

namespace glyphwell::app {

// One grid entry and what the listing knew about it.
struct ListedImage {
  extract::ImageEntry entry;
  int position = 0;           // the listing position (its place in the group map)
  extract::ImageFacts facts;  // own parser and pictures; empty in the shell's listing
};

class SourceListing {
 public:
  // Positions beyond this are not listed (positions 0 to 5000 are).
  static constexpr int kMaxPositions = 5000;

  explicit SourceListing(platform::MessageSink& messages)
      : messages_(messages), reader_(&messages) {}

  extract::SourceReader& reader() { return reader_; }
  const extract::SourceReader& reader() const { return reader_; }
  extract::ExtractionMode mode() const { return reader_.mode(); }
  void setMode(extract::ExtractionMode mode) { reader_.setMode(mode); }
  // "抽出名": label entries with their extracted names instead of running numbers.
  void setShowExtractedNames(bool on) { showExtractedNames_ = on; }

  // Window hooks; any may be empty.
  std::function<bool()> stopRequested;                   // the stop toggle is down
  std::function<void(int done, int total)> progress;     // the progress bar
  std::function<void()> runPendingEvents;                // let window messages run
  std::function<void(const std::string&)> recordOpened;  // remember the opened path

  enum class Result {
    kNoFile,             // the file does not exist: nothing changed
    kUnreadable,         // "pBufAdr error" was shown: the grid keeps its contents
    kNothingInBmpMode,   // no bitmaps: the grid keeps its contents
    kPictureUnreadable,  // a picture that cannot be read: nothing changed
    kListed,             // the grid was refilled from a module or icon file
    kPicture,            // the grid holds the one picture
  };
  // Opens `path` (a shortcut is resolved first) and refills the grid.
  Result OpenSource(const std::string& path);
  // A bitmap taken from the clipboard becomes the source.
  Result OpenPasted(const imaging::Bitmap& bitmap);

  const std::vector<ListedImage>& images() const { return images_; }
  const ThumbnailCache& thumbnails() const { return thumbnails_; }
  // The grid was filled by the own parser or from a picture (three label lines).
  bool ownParserGrid() const { return ownParserGrid_; }
  const std::optional<PictureSource>& picture() const { return picture_; }
  // The source as opened (a shortcut replaced by its target).
  const std::string& sourcePath() const { return reader_.file().path; }
  // The grid's hint for the mode: "抽出モード(アイコン)", "抽出モード(ビットマップ)" or "".
  std::string GridHint() const;
  // The text shown when a file has more than 5000 images.
  static std::string TooManyText(int total);
  // Empties the grid and forgets the source (the file list's click on nothing).
  void Forget();

 private:
  Result ListModule();
  void ShowPicture(PictureSource picture);
  void Clear();

  platform::MessageSink& messages_;
  extract::SourceReader reader_;
  bool showExtractedNames_ = false;
  bool ownParserGrid_ = false;
  std::vector<ListedImage> images_;
  ThumbnailCache thumbnails_;
  std::optional<PictureSource> picture_;
};

}  // namespace glyphwell::app
