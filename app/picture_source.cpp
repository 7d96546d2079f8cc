#include "app/picture_source.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "imaging/convert_to_output.h"
#include "imaging/png_codec.h"

namespace glyphwell::app {

namespace {

constexpr const char* kPictureExtensions = ".bmp.jpg.jpeg.png.wmf";

std::string LowerExtension(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

PictureSource Finish(std::string path, std::string extension, imaging::Picture picture,
                     const GridCell& resetCell) {
  PictureSource source;
  source.path = std::move(path);
  source.extension = std::move(extension);
  source.entry.index = "0";
  source.entry.label = PictureLabel(picture, source.extension);
  source.cell = PictureGridCell(picture.width(), picture.height(), resetCell);
  source.picture = std::move(picture);
  return source;
}

}  // namespace

bool IsPictureExtension(const std::string& extension) {
  // A whole dot-separated member: ".jp" or ".pn" are not pictures.
  if (extension.size() < 4 || extension[0] != '.') return false;
  std::string list = kPictureExtensions;
  std::string probe = extension + ".";
  return (list + ".").find(probe) != std::string::npos;
}

std::string PictureLabel(const imaging::Picture& picture, const std::string& extension) {
  std::string depth = "不明";
  if (extension == ".bmp" || extension == ".png")
    depth = std::to_string(picture.bitmap.bits());
  else if (extension == ".jpg" || extension == ".jpeg")
    depth = "24";
  return std::to_string(picture.width()) + "×" + std::to_string(picture.height()) + "\n深さ： " +
         depth;
}

GridCell PictureGridCell(int width, int height, const GridCell& resetCell) {
  if (width >= 256 || height >= 256) return {256, 292};
  GridCell cell = resetCell;
  if (width > 32) cell.width = width;
  if (cell.height - height < 36) cell.height = height + 36;
  return cell;
}

std::optional<PictureSource> OpenPictureFile(const std::string& path, const GridCell& resetCell,
                                             platform::MessageSink& messages) {
  std::string extension = LowerExtension(path);
  imaging::Picture picture;
  if (extension == ".png") {
    if (!imaging::ReadPngFile(path, picture.bitmap)) return std::nullopt;
    picture.kind = imaging::PictureKind::kBitmap;
  } else if (!imaging::LoadPicture(path, picture) || picture.empty()) {
    messages.Show(imaging::kCannotReadImage);
    return std::nullopt;
  }
  return Finish(path, extension, std::move(picture), resetCell);
}

std::optional<PictureSource> OpenPastedPicture(const imaging::Bitmap& bitmap,
                                               const GridCell& resetCell) {
  if (bitmap.empty()) return std::nullopt;
  imaging::Picture picture;
  picture.kind = imaging::PictureKind::kBitmap;
  picture.bitmap = bitmap;
  return Finish("", ".bmp", std::move(picture), resetCell);
}

}  // namespace glyphwell::app
