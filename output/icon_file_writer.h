#pragma once
// Writes one image as a single-image icon file, by one of three routes:
//
//   as-read   the image's own icon data, unchanged (or PNG-compressed when the icon
//             options ask for it);
//   PNG       the directory and one entry, then a whole PNG file as image data;
//   rendered  libPelmora, from the temporary bitmap file and the packed mask.
//
// The temporary bitmap file ("sv.bmp") and "tpng.png" live in the work folder. Every
// target file is written completely or not at all (temporary file, then rename).

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "imaging/bitmap.h"
#include "output/icon_options.h"
#include "output/pelmora_loader.h"

namespace glyphwell::output {

enum class IconRoute { AsRead, Png, Rendered };

// What decides the route of one icon save.
struct IconRouteFacts {
  // The module was read by the own parser in Icon mode (not Bmp mode).
  bool ownParserIconMode = false;
  bool originalSize = false;     // size choice "Original"
  bool originalColours = false;  // "Original" colours ticked
  bool editorOpen = false;       // the pixel editor is open
  bool savingAsIcon = false;     // the file type chosen for the save is "Icon"
  int width = 0;                 // the output image's size
  int height = 0;
};

// The as-read route when its five conditions hold; otherwise the PNG route when the
// options ask for PNG at this size, else the rendered route. (The as-read route may
// still go through PNG: SaveIconAsRead decides that from the icon's own size.)
IconRoute ChooseIconRoute(const IconRouteFacts& facts, const IconOptions& options);

enum class IconWriteResult {
  kWritten,   // the target file holds the new icon
  kDeclined,  // the options do not ask for this route; nothing was written
  kFailed,    // the route applied but the file could not be written
};

class IconFileWriter {
 public:
  static constexpr const char* kTemporaryBitmapName = "sv.bmp";
  static constexpr const char* kTemporaryPngName = "tpng.png";

  // `pelmora` may be unloaded: the rendered route then fails.
  IconFileWriter(const PelmoraLoader& pelmora, std::string workFolder, IconOptions options);

  std::string temporaryBitmapPath() const;
  std::string temporaryPngPath() const;
  const IconOptions& options() const { return options_; }

  // Writes the output image (already stored in the temporary bitmap file by the
  // caller) as an icon file: the PNG route when the options ask for it, else the
  // rendered route. `outputMask` is the mask image (32-bit, white = transparent);
  // with `writeMask` false no mask is passed and the icon is fully opaque.
  IconWriteResult SaveIconFile(const imaging::Bitmap& outputMask, const std::string& target,
                               bool writeMask) const;

  // The PNG route from the temporary bitmap file. kDeclined when the options do not
  // ask for PNG at the image's size; kFailed when the bitmap file cannot be read or a
  // file cannot be written.
  IconWriteResult WritePngIcon(const imaging::Bitmap& outputMask, const std::string& target) const;

  // The as-read route for an icon whose single-image icon file data (directory,
  // entry, DIB) is `iconData`. kWritten when the PNG options apply to the icon's size
  // and the PNG route wrote it (the temporary bitmap file is rebuilt from the data);
  // kDeclined when the caller is to write `iconData` unchanged (WriteIconAsRead).
  IconWriteResult SaveIconAsRead(std::span<const std::uint8_t> iconData,
                                 const std::string& target) const;

  // The as-read route as a whole: SaveIconAsRead, and when it declines, the icon's
  // own bytes unchanged.
  bool WriteIconAsRead(std::span<const std::uint8_t> iconData, const std::string& target) const;

 private:
  const PelmoraLoader& pelmora_;
  std::string workFolder_;
  IconOptions options_;
};

}  // namespace glyphwell::output
