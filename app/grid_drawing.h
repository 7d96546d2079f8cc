#pragma once
// The image grid's cells, without the window: the cell size for the zoom slider,
// and one cell drawn into a Bitmap (frame, picture, selection tint) with the layout
// of its label lines. The window only draws the label text (it owns the font) and
// puts the Bitmap on screen.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/picture_source.h"
#include "app/thumbnail.h"
#include "imaging/bitmap.h"
#include "imaging/picture.h"

namespace glyphwell::app {

// ---- cell size ----

// Where the zoom slider runs and what its lowest position gives.
inline constexpr int kSliderMinimum = 10;
inline constexpr int kSliderMaximum = 100;
inline constexpr int kBaseCellWidth = 36;

struct GridCellLayout {
  GridCell cell;    // the grid's large-image list size
  int columns = 1;  // columns per row of the packed layout
  friend bool operator==(const GridCellLayout&, const GridCellLayout&) = default;
};

// ResetGridCells: s = slider position * 0.1 in single precision, cell width =
// trunc(36 * s); the height adds 36 label pixels when the grid shows three label
// lines (own parser or picture), 18 in Normal mode. Columns per row =
// (grid width - 36) / (cell width + 20), at least 1. Nothing when the cell would be
// narrower than 36 (the caller keeps its cells).
std::optional<GridCellLayout> ResetGridCells(int sliderPosition, int gridWidth,
                                             bool threeLabelLines);

// True when an entry's rectangle should be drawn at all: the grid is shown and the
// rectangle overlaps the client area (left, top, right, bottom; right and bottom
// excluded).
bool GridCellVisible(bool gridShown, const std::array<int, 4>& entryRect,
                     const std::array<int, 4>& clientRect);

// ---- one cell ----

enum class GridSource {
  kPicture,    // a picture file or a pasted picture
  kOwnIcon,    // an icon image read by the own parser (Icon mode, .ico files)
  kBmpBitmap,  // a bitmap resource (Bmp mode)
  kShellIcon,  // Normal mode: the shell's icon by index
};

inline constexpr imaging::ColourValue kCellFrameColour = imaging::MakeColour(192, 192, 192);
inline constexpr imaging::ColourValue kSelectedTint = imaging::MakeColour(0, 0, 128);
inline constexpr imaging::ColourValue kSelectedBmpTint = imaging::MakeColour(36, 97, 31);
inline constexpr imaging::ColourValue kSelectedTextColour = imaging::kWhite;
inline constexpr imaging::ColourValue kTextColour = imaging::MakeColour(64, 64, 64);

struct GridCellRequest {
  int width = 36;  // the entry's image rectangle
  int height = 72;
  int cellWidth = 36;  // the large-image list's width (the drawing box is cellWidth - 4)
  bool selected = false;
  int lineHeight = 12;  // text height of "H" - 2, from the window's font
  GridSource source = GridSource::kOwnIcon;
  int baseSize = 32;            // display base size (ComboBox2)
  bool smallShellIcon = false;  // Normal mode with size choice 0: the small icon
  int displayBits = 32;         // the screen's bits per pixel
  // The image: the picture of a picture source, the icon (or, in Bmp mode, the
  // bitmap) taken out of the source. Null or empty when it cannot be decoded: the
  // cell stays white with its label.
  const imaging::Picture* image = nullptr;
  // The entry's thumbnail field and the cache it indexes. An empty field means no
  // thumbnail; one that does not name a cached stream draws no image.
  std::string_view thumbnail;
  const ThumbnailCache* thumbnails = nullptr;
  std::string label;  // the entry's label, lines separated by "\n"
};

// One label line: its text and the rectangle it is centred in (relative to the
// cell: left, top, right, bottom). The first line stays on one line and ends in an
// ellipsis when too long; the others are drawn from the top of their rectangle.
struct GridLabelLine {
  std::string text;
  std::array<int, 4> rect{};
  bool elide = false;
};

struct GridCellDrawing {
  imaging::Bitmap pixels;            // width x height, 32-bit: frame, picture, tint
  int labelHeight = 0;               // L
  std::vector<GridLabelLine> lines;  // up to three, empty lines left out
  imaging::ColourValue textColour = kTextColour;
  // A JPEG of the image at its own size over the cell colour, made on the first
  // drawing of an own-parser image without a thumbnail: the caller appends it to the
  // cache and stores its index in the entry.
  std::optional<std::vector<std::uint8_t>> newThumbnail;
};

// DrawGridCell: the cell at the origin of its own Bitmap.
GridCellDrawing DrawGridCell(const GridCellRequest& request);

// The thumbnail stream an entry names: nothing for an empty field, a field that is
// not a number or an index outside the cache.
const std::vector<std::uint8_t>* ThumbnailStream(std::string_view field,
                                                 const ThumbnailCache* cache);

// Appends a new thumbnail to the cache and returns the text to store in the entry.
std::string StoreThumbnail(std::vector<std::uint8_t> jpeg, ThumbnailCache& cache);

}  // namespace glyphwell::app
