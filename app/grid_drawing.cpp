#include "app/grid_drawing.h"

#include <algorithm>
#include <charconv>

#include "app/tint_rect.h"
#include "imaging/icon_to_bitmap.h"
#include "imaging/jpeg_codec.h"
#include "imaging/mask_combine.h"
#include "imaging/output_geometry.h"
#include "imaging/picture_draw.h"
#include "imaging/stretch.h"

namespace glyphwell::app {
namespace {

using imaging::Bitmap;

// The label band of a cell: three lines of text and a little room.
int ThreeLineLabelHeight(int lineHeight) {
  return 3 * lineHeight + 3;
}
// Normal mode shows one label line in a fixed band.
constexpr int kShellLabelHeight = 18;
// The picture of a picture source leaves this much room for the frame and label.
constexpr int kPictureMarginWidth = 2;
constexpr int kPictureMarginHeight = 38;
// Selected cells are tinted strongly over the label rows (TintRect's 130) and, for
// these extra rows above the label, too.
constexpr int kTintExtraRows = 3;
constexpr int kTintFactor = 100;
// Displays of this many bits per pixel or fewer keep the navy tint in Bmp mode.
constexpr int kLowColourDisplayBits = 10;

void FrameCell(Bitmap& cell) {
  cell.fill(imaging::kWhite);
  const int w = cell.width();
  const int h = cell.height();
  for (int x = 0; x < w; ++x) {
    cell.setPixelColour(x, 0, kCellFrameColour);
    cell.setPixelColour(x, h - 1, kCellFrameColour);
  }
  for (int y = 0; y < h; ++y) {
    cell.setPixelColour(0, y, kCellFrameColour);
    cell.setPixelColour(w - 1, y, kCellFrameColour);
  }
}

// Small images keep their size relative to the display base size instead of being
// blown up to the whole box: o * (width * 100 / base) / 100.
int ShrinkForBaseSize(int box, int imageWidth, int baseSize) {
  if (baseSize <= 0 || imageWidth >= box || imageWidth >= baseSize) return box;
  return box * (imageWidth * 100 / baseSize) / 100;
}

std::optional<std::vector<std::uint8_t>> EncodeThumbnail(const Bitmap& image) {
  if (image.empty()) return std::nullopt;
  Bitmap rgb = image;
  if (rgb.bits() != 24) rgb.setPixelFormat(24);
  std::vector<std::uint8_t> jpeg = imaging::EncodeJpeg(rgb);
  if (jpeg.empty()) return std::nullopt;
  return jpeg;
}

// The image drawn at its own size over the cell colour.
std::optional<std::vector<std::uint8_t>> ThumbnailOf(const imaging::Picture& picture) {
  if (picture.width() <= 0 || picture.height() <= 0) return std::nullopt;
  Bitmap own(picture.width(), picture.height(), 24);
  own.fill(imaging::kWhite);
  if (!imaging::DrawPicture(picture, own, imaging::Rect{0, 0, own.width(), own.height()},
                            imaging::Resampling::Nearest)) {
    return std::nullopt;
  }
  return EncodeThumbnail(own);
}

// Images of 256 pixels and more: the colour image with its transparent pixels
// white, ANDed over the cell so the white cell shows through. Returns that image
// (for the thumbnail) or an empty Bitmap when the icon gives none.
Bitmap DrawLargeIcon(const imaging::IconImage& icon, Bitmap& cell, int box) {
  Bitmap image;
  Bitmap mask;
  if (!imaging::IconToBitmapLarge(icon, image, &mask, false, {})) return Bitmap();
  if (image.bits() != 32) image.setPixelFormat(32);
  imaging::OrColours(image, mask);
  Bitmap stretched(box, box, 32);
  imaging::StretchNearest(image, stretched, imaging::Rect{0, 0, box, box});
  for (int y = 0; y < box && y + 2 < cell.height(); ++y) {
    for (int x = 0; x < box && x + 2 < cell.width(); ++x) {
      cell.setPixelColour(x + 2, y + 2,
                          cell.pixelColour(x + 2, y + 2) & stretched.pixelColour(x, y));
    }
  }
  return image;
}

void DrawPictureSource(const imaging::Picture& picture, Bitmap& cell) {
  if (picture.width() <= 0 || picture.height() <= 0) return;
  const imaging::Rect fit =
      imaging::FitRect(cell.width() - kPictureMarginWidth, cell.height() - kPictureMarginHeight,
                       picture.width(), picture.height());
  // The box runs from (fx + 2, fy + 2) to (fx + fw, fy + fh): the picture keeps a
  // two-pixel margin to the frame on the top left.
  const imaging::Rect box{fit.x + 2, fit.y + 2, fit.w - 2, fit.h - 2};
  if (box.w <= 0 || box.h <= 0) return;
  imaging::DrawPicture(picture, cell, box, imaging::Resampling::Nearest);
}

void DrawThumbnail(const std::vector<std::uint8_t>& jpeg, const GridCellRequest& request,
                   Bitmap& cell) {
  Bitmap decoded;
  if (!imaging::DecodeJpeg(jpeg, decoded) || decoded.empty()) return;
  const int box = ShrinkForBaseSize(request.cellWidth - 4, decoded.width(), request.baseSize);
  if (box <= 0) return;
  imaging::StretchNearest(decoded, cell, imaging::Rect{2, 2, box, box});
}

// Draws an icon or bitmap of the source into the cell's square box; returns the new
// thumbnail of an own-parser image.
std::optional<std::vector<std::uint8_t>> DrawSourceImage(const GridCellRequest& request,
                                                         Bitmap& cell) {
  const imaging::Picture& image = *request.image;
  const bool ownParser =
      request.source == GridSource::kOwnIcon || request.source == GridSource::kBmpBitmap;
  int box = request.cellWidth - 4;
  if (ownParser) box = ShrinkForBaseSize(box, image.width(), request.baseSize);
  if (request.source == GridSource::kShellIcon && request.smallShellIcon) box /= 2;
  if (box <= 0) return std::nullopt;

  if (request.source == GridSource::kBmpBitmap || !image.icon) {
    imaging::DrawPicture(image, cell, imaging::Rect{2, 2, box, box}, imaging::Resampling::Nearest);
    return ownParser ? ThumbnailOf(image) : std::nullopt;
  }
  const imaging::IconImage& icon = *image.icon;
  if (request.source == GridSource::kOwnIcon && icon.width() >= 256) {
    const Bitmap drawn = DrawLargeIcon(icon, cell, box);
    return EncodeThumbnail(drawn);
  }
  icon.DrawStretched(cell, 2, 2, box, box);
  return ownParser ? ThumbnailOf(image) : std::nullopt;
}

std::vector<std::string> SplitLines(const std::string& label) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (lines.size() < 3) {
    const std::size_t end = label.find('\n', start);
    std::string line = label.substr(start, end == std::string::npos ? end : end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

}  // namespace

std::optional<GridCellLayout> ResetGridCells(int sliderPosition, int gridWidth,
                                             bool threeLabelLines) {
  // The slider's tenth is kept in single precision: position 13 gives 36 * 1.3f,
  // just below 46.8, so 46-pixel cells.
  const float scale = static_cast<float>(sliderPosition * 0.1);
  const int cellWidth = static_cast<int>(kBaseCellWidth * scale);
  if (cellWidth < kBaseCellWidth) return std::nullopt;
  GridCellLayout layout;
  layout.cell.width = cellWidth;
  layout.cell.height = cellWidth + (threeLabelLines ? 36 : 18);
  // A grid narrower than one cell still places one entry per row.
  layout.columns = std::max(1, (gridWidth - kBaseCellWidth) / (cellWidth + 20));
  return layout;
}

bool GridCellVisible(bool gridShown, const std::array<int, 4>& entryRect,
                     const std::array<int, 4>& clientRect) {
  if (!gridShown) return false;
  return entryRect[0] < clientRect[2] && clientRect[0] < entryRect[2] &&
         entryRect[1] < clientRect[3] && clientRect[1] < entryRect[3];
}

const std::vector<std::uint8_t>* ThumbnailStream(std::string_view field,
                                                 const ThumbnailCache* cache) {
  if (field.empty() || cache == nullptr) return nullptr;
  std::size_t index = 0;
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), index);
  if (error != std::errc() || end != field.data() + field.size()) return nullptr;
  if (index >= cache->size()) return nullptr;
  return &(*cache)[index];
}

std::string StoreThumbnail(std::vector<std::uint8_t> jpeg, ThumbnailCache& cache) {
  cache.push_back(std::move(jpeg));
  return std::to_string(cache.size() - 1);
}

GridCellDrawing DrawGridCell(const GridCellRequest& request) {
  GridCellDrawing drawing;
  if (request.width <= 0 || request.height <= 0) return drawing;
  Bitmap& cell = drawing.pixels;
  cell = Bitmap(request.width, request.height, 32);
  FrameCell(cell);

  const int lh = std::max(request.lineHeight, 1);
  int labelHeight = ThreeLineLabelHeight(lh);
  const bool hasImage = request.image != nullptr && !request.image->empty();

  if (request.source == GridSource::kPicture) {
    if (hasImage) DrawPictureSource(*request.image, cell);
    labelHeight -= lh;
  } else if (!request.thumbnail.empty()) {
    // A thumbnail field that names nothing draws no image.
    if (const auto* jpeg = ThumbnailStream(request.thumbnail, request.thumbnails)) {
      DrawThumbnail(*jpeg, request, cell);
    }
  } else if (hasImage) {
    drawing.newThumbnail = DrawSourceImage(request, cell);
  }
  if (request.source == GridSource::kShellIcon) labelHeight = kShellLabelHeight;
  drawing.labelHeight = labelHeight;

  if (request.selected) {
    const bool greenTint =
        request.source == GridSource::kBmpBitmap && request.displayBits > kLowColourDisplayBits;
    TintRect(cell, 1, labelHeight + kTintExtraRows, kTintFactor,
             greenTint ? kSelectedBmpTint : kSelectedTint);
    drawing.textColour = kSelectedTextColour;
  }

  const int w = request.width;
  const int h = request.height;
  const std::vector<std::string> lines = SplitLines(request.label);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0 && lines[i].empty()) continue;
    GridLabelLine line;
    line.text = lines[i];
    const int top = h - labelHeight + static_cast<int>(i) * lh;
    line.rect = {3, top, w - 4, h};
    line.elide = i == 0;
    drawing.lines.push_back(std::move(line));
  }
  return drawing;
}

}  // namespace glyphwell::app
