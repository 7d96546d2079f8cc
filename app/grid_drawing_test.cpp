#include "app/grid_drawing.h"

#include <gtest/gtest.h>

#include "app/file_row_colours.h"
#include "app/preview_painting.h"
#include "app/status_panel_drawing.h"
#include "app/tint_rect.h"
#include "imaging/jpeg_codec.h"
#include "tests/support/image_fixtures.h"
#include "tests/support/module_builder.h"

namespace glyphwell::app {
namespace {

using imaging::Bitmap;
using imaging::ColourValue;
using imaging::MakeColour;

constexpr ColourValue kRed = MakeColour(255, 0, 0);

Bitmap Solid(int w, int h, int bits, ColourValue colour) {
  Bitmap b(w, h, bits);
  b.fill(colour);
  return b;
}

imaging::Picture IconPicture(int size, ColourValue colour, bool leftHalfTransparent = false) {
  const auto file = testsupport::BuildIcoFile(
      {testsupport::MakeIconDib(Solid(size, size, 24, colour), leftHalfTransparent)});
  imaging::Picture picture;
  picture.kind = imaging::PictureKind::kIcon;
  picture.icon = imaging::IconImage::FromStream(file);
  EXPECT_TRUE(picture.icon.has_value());
  return picture;
}

imaging::Picture BitmapPicture(Bitmap bitmap) {
  imaging::Picture picture;
  picture.kind = imaging::PictureKind::kBitmap;
  picture.bitmap = std::move(bitmap);
  return picture;
}

// The width of the run of `colour` starting at (2, y).
int RunFrom2(const Bitmap& b, int y, ColourValue colour) {
  int x = 2;
  while (x < b.width() && b.pixelColour(x, y) == colour)
    ++x;
  return x - 2;
}

TEST(ResetGridCells, SliderPositionsGiveTheWorkedCellSizes) {
  struct Case {
    int position, gridWidth;
    bool threeLines;
    int width, height, columns;
  } cases[] = {
      {10, 800, true, 36, 72, 13},    // the start: (800 - 36) / 56
      {10, 800, false, 36, 54, 13},   // Normal mode: one label line
      {15, 800, true, 54, 90, 10},    // (800 - 36) / 74
      {13, 800, true, 46, 82, 11},    // 36 * 1.3f lies just below 46.8
      {100, 800, true, 360, 396, 2},  // (800 - 36) / 380
      {10, 20, true, 36, 72, 1},      // a grid narrower than a cell keeps one column
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.position);
    const auto layout = ResetGridCells(c.position, c.gridWidth, c.threeLines);
    ASSERT_TRUE(layout.has_value());
    EXPECT_EQ(layout->cell, (GridCell{c.width, c.height}));
    EXPECT_EQ(layout->columns, c.columns);
  }
  EXPECT_FALSE(ResetGridCells(9, 800, true).has_value());
  EXPECT_FALSE(ResetGridCells(0, 800, true).has_value());
}

TEST(GridCellVisible, OnlyShownGridsAndOverlappingEntries) {
  EXPECT_TRUE(GridCellVisible(true, {10, 10, 46, 82}, {0, 0, 400, 300}));
  EXPECT_FALSE(GridCellVisible(false, {10, 10, 46, 82}, {0, 0, 400, 300}));
  EXPECT_FALSE(GridCellVisible(true, {10, 300, 46, 372}, {0, 0, 400, 300}));
  EXPECT_FALSE(GridCellVisible(true, {-36, 10, 0, 82}, {0, 0, 400, 300}));
  EXPECT_TRUE(GridCellVisible(true, {-35, 10, 1, 82}, {0, 0, 400, 300}));
}

TEST(TintRect, PictureAndLabelRowsMoveTowardTheColourByTheirFactors) {
  // A 6 x 6 image: inset 1 leaves rows and columns 1..4; the last 2 rows (4, 5) are
  // label rows, of which row 4 lies inside the inset.
  Bitmap image = Solid(6, 6, 32, imaging::kWhite);
  image.setPixelColour(2, 2, MakeColour(1, 1, 1));
  TintRect(image, 1, 2, 100, MakeColour(0, 0, 128));
  // White at d = 240: red 0 + (255 * 240 >> 8) = 239; blue 128 + (127 * 240 >> 8) = 247.
  EXPECT_EQ(image.pixelColour(1, 1), MakeColour(239, 239, 247));
  // Near black: 128 + ((1 - 128) * 240 >> 8); the shift rounds down to -120.
  EXPECT_EQ(image.pixelColour(2, 2), MakeColour(0, 0, 8));
  // Label row at d = 130: 255 * 130 >> 8 = 129; 128 + (127 * 130 >> 8) = 192.
  EXPECT_EQ(image.pixelColour(1, 4), MakeColour(129, 129, 192));
  // The inset frame stays.
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(image.pixelColour(0, i), imaging::kWhite);
    EXPECT_EQ(image.pixelColour(5, i), imaging::kWhite);
    EXPECT_EQ(image.pixelColour(i, 0), imaging::kWhite);
    EXPECT_EQ(image.pixelColour(i, 5), imaging::kWhite);
  }
}

TEST(TintRect, WithoutLabelRowsTheFactorAppliesEverywhere) {
  Bitmap image = Solid(4, 4, 32, imaging::kWhite);
  TintRect(image, 0, 0, 0, MakeColour(10, 20, 30));
  EXPECT_EQ(image.pixelColour(0, 0), MakeColour(10, 20, 30));
  EXPECT_EQ(image.pixelColour(3, 3), MakeColour(10, 20, 30));
  Bitmap indexed = Solid(4, 4, 8, imaging::kWhite);
  TintRect(indexed, 0, 0, 256, MakeColour(0, 0, 0));  // d = 256 keeps the pixel
  EXPECT_EQ(indexed.pixelColour(1, 1), imaging::kWhite);
  Bitmap empty;
  TintRect(empty, 1, 3, 100, 0);  // nothing to do, no crash
}

GridCellRequest IconCell(const imaging::Picture& image, int cellWidth) {
  GridCellRequest r;
  r.width = cellWidth;
  r.height = cellWidth + 36;
  r.cellWidth = cellWidth;
  r.lineHeight = 12;
  r.source = GridSource::kOwnIcon;
  r.baseSize = 32;
  r.image = &image;
  r.label = "1\n16×16\n24bit";
  return r;
}

TEST(DrawGridCell, SmallImagesKeepTheirSizeRelativeToTheBaseSize) {
  const imaging::Picture icon = IconPicture(16, kRed);
  struct Case {
    int cellWidth, baseSize, box;
  } cases[] = {
      {36, 32, 16},  // 32 * (1600 / 32) / 100
      {54, 32, 25},  // 50 * 50 / 100
      {36, 16, 32},  // not narrower than the base size: the whole box
      {54, 128, 6},  // 50 * 12 / 100
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cellWidth * 1000 + c.baseSize);
    GridCellRequest r = IconCell(icon, c.cellWidth);
    r.baseSize = c.baseSize;
    const GridCellDrawing d = DrawGridCell(r);
    EXPECT_EQ(RunFrom2(d.pixels, 2, kRed), c.box);
    EXPECT_EQ(d.pixels.pixelColour(2, 2 + c.box), imaging::kWhite);
  }
}

TEST(DrawGridCell, FrameLabelLinesAndFirstDrawingThumbnail) {
  const imaging::Picture icon = IconPicture(16, kRed);
  const GridCellDrawing d = DrawGridCell(IconCell(icon, 36));
  ASSERT_EQ(d.pixels.width(), 36);
  ASSERT_EQ(d.pixels.height(), 72);
  EXPECT_EQ(d.pixels.pixelColour(0, 0), kCellFrameColour);
  EXPECT_EQ(d.pixels.pixelColour(35, 71), kCellFrameColour);
  EXPECT_EQ(d.pixels.pixelColour(1, 1), imaging::kWhite);
  EXPECT_EQ(d.labelHeight, 39);  // 3 * 12 + 3
  EXPECT_EQ(d.textColour, kTextColour);
  ASSERT_EQ(d.lines.size(), 3u);
  EXPECT_EQ(d.lines[0].text, "1");
  EXPECT_TRUE(d.lines[0].elide);
  EXPECT_EQ(d.lines[0].rect, (std::array<int, 4>{3, 33, 32, 72}));
  EXPECT_EQ(d.lines[1].text, "16×16");
  EXPECT_EQ(d.lines[1].rect[1], 45);
  EXPECT_EQ(d.lines[2].text, "24bit");
  EXPECT_EQ(d.lines[2].rect[1], 57);
  // The own parser's first drawing leaves a JPEG of the image at its own size.
  ASSERT_TRUE(d.newThumbnail.has_value());
  Bitmap decoded;
  ASSERT_TRUE(imaging::DecodeJpeg(*d.newThumbnail, decoded));
  EXPECT_EQ(decoded.width(), 16);
  EXPECT_GT(imaging::RedOf(decoded.pixelColour(8, 8)), 240);
  EXPECT_LT(imaging::GreenOf(decoded.pixelColour(8, 8)), 16);
}

TEST(DrawGridCell, SelectionTintsByModeAndDisplay) {
  const imaging::Picture icon = IconPicture(16, kRed);
  const imaging::Picture bitmap = BitmapPicture(Solid(16, 16, 24, kRed));
  struct Case {
    GridSource source;
    int displayBits;
    ColourValue tint;
  } cases[] = {
      {GridSource::kOwnIcon, 32, kSelectedTint},
      {GridSource::kBmpBitmap, 32, kSelectedBmpTint},
      {GridSource::kBmpBitmap, 8, kSelectedTint},
  };
  for (const Case& c : cases) {
    GridCellRequest r = IconCell(c.source == GridSource::kBmpBitmap ? bitmap : icon, 36);
    r.source = c.source;
    r.displayBits = c.displayBits;
    r.selected = true;
    const GridCellDrawing d = DrawGridCell(r);
    EXPECT_EQ(d.textColour, kSelectedTextColour);
    const auto label = [&](int p, int t) { return t + (((p - t) * 130) >> 8); };
    const auto picture = [&](int p, int t) { return t + (((p - t) * 240) >> 8); };
    const ColourValue t = c.tint;
    // Label rows: the last L + 3 = 42 rows inside the one-pixel inset.
    EXPECT_EQ(d.pixels.pixelColour(10, 72 - 42),
              MakeColour(label(255, imaging::RedOf(t)), label(255, imaging::GreenOf(t)),
                         label(255, imaging::BlueOf(t))));
    EXPECT_EQ(d.pixels.pixelColour(10, 72 - 43),
              MakeColour(picture(255, imaging::RedOf(t)), picture(255, imaging::GreenOf(t)),
                         picture(255, imaging::BlueOf(t))));
    EXPECT_EQ(d.pixels.pixelColour(0, 40), kCellFrameColour);  // the frame is not tinted
  }
}

TEST(DrawGridCell, PictureSourcesFitTheirPictureAndUseTwoLabelLines) {
  const imaging::Picture wide = BitmapPicture(Solid(64, 32, 24, kRed));
  GridCellRequest r;
  r.width = 66;
  r.height = 102;  // fit box 64 x 64
  r.cellWidth = 66;
  r.lineHeight = 12;
  r.source = GridSource::kPicture;
  r.image = &wide;
  r.label = "64×32\n深さ： 24";
  const GridCellDrawing d = DrawGridCell(r);
  EXPECT_EQ(d.labelHeight, 27);  // 2 * 12 + 3
  ASSERT_EQ(d.lines.size(), 2u);
  EXPECT_EQ(d.lines[1].text, "深さ： 24");
  EXPECT_FALSE(d.newThumbnail.has_value());
  // FitRect(64, 64, 64, 32) centres a 64 x 32 band at y 16: the picture runs from
  // (2, 18) to (63, 47), two pixels shy of the fit on the top and left.
  EXPECT_EQ(d.pixels.pixelColour(2, 18), kRed);
  EXPECT_EQ(d.pixels.pixelColour(63, 47), kRed);
  EXPECT_EQ(d.pixels.pixelColour(64, 30), imaging::kWhite);
  EXPECT_EQ(d.pixels.pixelColour(30, 17), imaging::kWhite);
  EXPECT_EQ(d.pixels.pixelColour(30, 48), imaging::kWhite);
}

TEST(DrawGridCell, ShellIconsUseOneLabelBandAndHalfBoxForSmallIcons) {
  const imaging::Picture icon = IconPicture(32, kRed);
  GridCellRequest r = IconCell(icon, 36);
  r.height = 54;
  r.source = GridSource::kShellIcon;
  r.label = "7";
  GridCellDrawing d = DrawGridCell(r);
  EXPECT_EQ(d.labelHeight, 18);
  EXPECT_EQ(RunFrom2(d.pixels, 2, kRed), 32);
  EXPECT_FALSE(d.newThumbnail.has_value());
  ASSERT_EQ(d.lines.size(), 1u);
  EXPECT_EQ(d.lines[0].rect, (std::array<int, 4>{3, 36, 32, 54}));
  r.smallShellIcon = true;
  d = DrawGridCell(r);
  EXPECT_EQ(RunFrom2(d.pixels, 2, kRed), 16);
}

TEST(DrawGridCell, ThumbnailsAreDrawnAndBadIndexesDrawNothing) {
  ThumbnailCache cache;
  cache.push_back(imaging::EncodeJpeg(Solid(16, 16, 24, MakeColour(0, 0, 255))));
  const imaging::Picture icon = IconPicture(16, kRed);
  GridCellRequest r = IconCell(icon, 36);
  r.thumbnails = &cache;
  r.thumbnail = "0";
  GridCellDrawing d = DrawGridCell(r);
  EXPECT_GT(imaging::BlueOf(d.pixels.pixelColour(5, 5)), 240);  // the thumbnail, not the icon
  EXPECT_LT(imaging::RedOf(d.pixels.pixelColour(5, 5)), 16);
  EXPECT_EQ(d.pixels.pixelColour(2, 18), imaging::kWhite);  // 16 pixels as in step 6
  EXPECT_FALSE(d.newThumbnail.has_value());
  for (const char* bad : {"x", "1", "-1", "0x"}) {
    r.thumbnail = bad;
    d = DrawGridCell(r);
    EXPECT_EQ(d.pixels.pixelColour(5, 5), imaging::kWhite) << bad;
    ASSERT_EQ(d.lines.size(), 3u);
  }
}

TEST(DrawGridCell, UndecodableImagesLeaveAWhiteCellWithItsLabel) {
  GridCellRequest r = IconCell(imaging::Picture{}, 36);
  r.image = nullptr;
  const GridCellDrawing d = DrawGridCell(r);
  EXPECT_EQ(d.pixels.pixelColour(10, 10), imaging::kWhite);
  EXPECT_EQ(d.lines.size(), 3u);
  r.width = 0;
  EXPECT_TRUE(DrawGridCell(r).pixels.empty());
}

TEST(DrawGridCell, LargeIconsShowTransparentPixelsAsTheCell) {
  const imaging::Picture icon = IconPicture(256, kRed, true);
  GridCellRequest r = IconCell(icon, 36);
  const GridCellDrawing d = DrawGridCell(r);
  EXPECT_EQ(d.pixels.pixelColour(4, 10), imaging::kWhite);  // left half transparent
  EXPECT_EQ(d.pixels.pixelColour(30, 10), kRed);
  ASSERT_TRUE(d.newThumbnail.has_value());
  Bitmap decoded;
  ASSERT_TRUE(imaging::DecodeJpeg(*d.newThumbnail, decoded));
  EXPECT_EQ(decoded.width(), 256);
  EXPECT_GT(imaging::GreenOf(decoded.pixelColour(20, 100)), 240);  // white in the thumbnail
}

TEST(ThumbnailStore, StoredIndexesNameTheirStreams) {
  ThumbnailCache cache;
  EXPECT_EQ(StoreThumbnail({1, 2}, cache), "0");
  EXPECT_EQ(StoreThumbnail({3}, cache), "1");
  ASSERT_NE(ThumbnailStream("1", &cache), nullptr);
  EXPECT_EQ(ThumbnailStream("1", &cache)->front(), 3);
  EXPECT_EQ(ThumbnailStream("", &cache), nullptr);
  EXPECT_EQ(ThumbnailStream("2", &cache), nullptr);
  EXPECT_EQ(ThumbnailStream("0", nullptr), nullptr);
}

TEST(PaintPreview, EmptyIsWhiteAndImagesFillTheBox) {
  const Bitmap white = PaintPreview(Bitmap(), 113, 117);
  ASSERT_EQ(white.width(), 113);
  EXPECT_EQ(white.pixelColour(56, 58), imaging::kWhite);
  // A 16 x 16 image at the top left of a 48 x 48 preview covers the box's top third.
  Bitmap preview = Solid(48, 48, 32, imaging::kWhite);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      preview.setPixelColour(x, y, kRed);
  const Bitmap box = PaintPreview(preview, 113, 117);
  EXPECT_EQ(box.pixelColour(10, 10), kRed);
  EXPECT_EQ(box.pixelColour(36, 38), kRed);
  EXPECT_EQ(box.pixelColour(60, 60), imaging::kWhite);
  EXPECT_TRUE(PaintPreview(preview, 0, 10).empty());
  const Bitmap panel = PaintPreviewPanel(preview);
  EXPECT_EQ(panel.pixelColour(1, 1), kPreviewPanelColour);
  EXPECT_EQ(panel.pixelColour(3 + 10, 3 + 10), kRed);
}

TEST(StatusPanels, TextIsEngravedAroundTheMiddle) {
  const auto places = StatusPanelText(150, 2, 20, 13);  // v = 10 - 6 = 4
  EXPECT_EQ(places[0], (StatusTextPlace{154, 7, kStatusShadowColour}));
  EXPECT_EQ(places[1], (StatusTextPlace{153, 6, kStatusTextColour}));
  Bitmap bar = Solid(300, 24, 32, imaging::kWhite);
  PaintStatusPanel(bar, 150, 2, 200, 20);
  EXPECT_EQ(bar.pixelColour(150, 2), kStatusPanelColour);
  EXPECT_EQ(bar.pixelColour(299, 21), kStatusPanelColour);
  EXPECT_EQ(bar.pixelColour(149, 2), imaging::kWhite);
  EXPECT_EQ(bar.pixelColour(150, 22), imaging::kWhite);
}

TEST(RowColours, PicturesModulesModesAndMissingFiles) {
  struct Case {
    const char* extension;
    bool bmpMode;
    int displayBits;
    bool exists;
    FileRowColours expected;
  } cases[] = {
      {"bmp", false, 32, true, {kBmpRowColour, std::nullopt}},
      {"BMP", true, 32, true, {kBmpRowColour, std::nullopt}},
      {"png", false, 32, true, {kPictureRowColour, std::nullopt}},
      {".jpeg", true, 24, true, {kPictureRowColour, std::nullopt}},
      {"wmf", false, 32, true, {kPictureRowColour, std::nullopt}},
      {"dll", false, 32, true, {kModuleRowColour, std::nullopt}},
      {"exe", true, 32, false, {kModuleRowBmpModeColour, kMissingFileTextColour}},
      {"jp", false, 32, true, {kModuleRowColour, std::nullopt}},  // not a picture
      {"bmp", false, 8, true, {std::nullopt, std::nullopt}},
      {"ico", true, 8, false, {std::nullopt, kMissingFileTextColour}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.extension);
    EXPECT_EQ(RowColours(c.extension, c.bmpMode, c.displayBits, c.exists), c.expected);
  }
}

}  // namespace
}  // namespace glyphwell::app
