#pragma once
// A picture as the platform's picture loader gives it: a bitmap, an icon, a JPEG
// image or a metafile, each already decoded to our own types.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "imaging/bitmap.h"
#include "imaging/icon_image.h"

namespace glyphwell::imaging {

enum class PictureKind { kNone, kBitmap, kIcon, kJpeg, kMetafile };

struct Picture {
  PictureKind kind = PictureKind::kNone;
  // kBitmap: the pixels as read. kJpeg: 24-bit (8-bit gray for a gray JPEG).
  // kMetafile: the metafile played into a 32-bit Bitmap at its own size.
  Bitmap bitmap;
  // kIcon: the icon object (first image of an icon or cursor file).
  std::optional<IconImage> icon;

  bool empty() const { return kind == PictureKind::kNone; }
  int width() const { return icon ? icon->width() : bitmap.width(); }
  int height() const { return icon ? icon->height() : bitmap.height(); }
  bool isBitmap() const { return kind == PictureKind::kBitmap; }
};

// Loads BMP, JPEG, PNG, icon/cursor and metafile (WMF, placeable or not) files, chosen
// by their content. False (out unchanged) when the file cannot be read.
bool LoadPicture(const std::string& path, Picture& out);
// The same for the bytes of a picture file already in memory.
bool DecodePicture(std::span<const std::uint8_t> bytes, Picture& out);

}  // namespace glyphwell::imaging
