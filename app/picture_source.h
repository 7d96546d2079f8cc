#pragma once
// Pictures as sources: a picture file (.bmp .jpg .jpeg .png .wmf) or a bitmap pasted
// from the clipboard. Such a source lists one grid entry, the picture itself, with
// its size and depth under it.

#include <optional>
#include <string>

#include "extract/image_entry.h"
#include "imaging/bitmap.h"
#include "imaging/picture.h"
#include "platform/messages.h"

namespace glyphwell::app {

// True when the lower-case extension (with its dot) is a whole member of
// ".bmp.jpg.jpeg.png.wmf".
bool IsPictureExtension(const std::string& extension);

// The size of the grid's cells (the large-image list).
struct GridCell {
  int width = 36;
  int height = 72;
  friend bool operator==(const GridCell&, const GridCell&) = default;
};

struct PictureSource {
  std::string path;       // empty for a pasted picture
  std::string extension;  // lower case with the dot; ".bmp" for a pasted picture
  imaging::Picture picture;
  extract::ImageEntry entry;  // index "0", label "W×H\n深さ： depth"
  GridCell cell;              // the grid cell that shows the picture
};

// Opens a picture file: a ".png" through the PNG reader, the rest through the
// picture loader. When the loader fails "この画像は読めません。" is shown; when the
// PNG reader fails nothing is. `resetCell` is the grid cell the grid was reset to.
std::optional<PictureSource> OpenPictureFile(const std::string& path, const GridCell& resetCell,
                                             platform::MessageSink& messages);

// A bitmap taken from the clipboard as the source (extension ".bmp", no path).
// Nothing for an empty bitmap.
std::optional<PictureSource> OpenPastedPicture(const imaging::Bitmap& bitmap,
                                               const GridCell& resetCell);

// The text under a picture: width "×" height, a line break, "深さ： " and the depth:
// the decoded bits per pixel for ".bmp" and ".png", 24 for ".jpg" and ".jpeg" (the
// picture layer's decoding depth), "不明" otherwise.
std::string PictureLabel(const imaging::Picture& picture, const std::string& extension);

// The grid cell for a picture: 256 x 292 when either side is 256 or more; else the
// reset cell, widened to the picture's width above 32 and made taller when less than
// 36 pixels are left below the picture.
GridCell PictureGridCell(int width, int height, const GridCell& resetCell);

}  // namespace glyphwell::app
