#include "app/ui/grid_cell_painter.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>

#include "app/preview_painting.h"
#include "imaging/jpeg_codec.h"
#include "tests/support/image_fixtures.h"
#include "tests/support/module_builder.h"

namespace glyphwell::app::ui {
namespace {

using imaging::Bitmap;
using imaging::MakeColour;

QString GalleryDir() {
  const QString dir = QStringLiteral(GLYPHWELL_BINARY_DIR "/gallery");
  QDir().mkpath(dir);
  return dir;
}

imaging::Picture PatternIcon(int size, bool leftHalfTransparent) {
  const Bitmap pattern = testsupport::MakePatternBitmap(size, size, 24, 7);
  imaging::Picture picture;
  picture.kind = imaging::PictureKind::kIcon;
  picture.icon = imaging::IconImage::FromStream(
      testsupport::BuildIcoFile({testsupport::MakeIconDib(pattern, leftHalfTransparent)}));
  return picture;
}

// The number of pixels of the rectangle whose colour is `colour`.
int CountColour(const QImage& image, const QRect& rect, QRgb colour) {
  int n = 0;
  for (int y = rect.top(); y <= rect.bottom(); ++y)
    for (int x = rect.left(); x <= rect.right(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) ++n;
  return n;
}

TEST(GridCellPainter, LabelTextLandsInTheLabelBandInTheCellsTextColour) {
  QFont font = QApplication::font();
  const imaging::Picture icon = PatternIcon(32, true);
  GridCellRequest request;
  request.width = request.cellWidth = 54;
  request.height = 90;
  request.lineHeight = GridLineHeight(font);
  request.image = &icon;
  request.label = "12\n32×32\n24bit";
  const GridCellDrawing plain = DrawGridCell(request);
  const QImage unselected = PaintGridCell(plain, font);
  ASSERT_EQ(unselected.size(), QSize(54, 90));
  const QRect band(1, 90 - plain.labelHeight, 52, plain.labelHeight - 1);
  EXPECT_GT(CountColour(unselected, band, qRgb(64, 64, 64)), 0);
  // Nothing is written above the label band.
  EXPECT_EQ(CountColour(unselected, QRect(1, 1, 52, 90 - plain.labelHeight - 2), qRgb(64, 64, 64)),
            0);

  request.selected = true;
  const GridCellDrawing selected = DrawGridCell(request);
  const QImage tinted = PaintGridCell(selected, font);
  EXPECT_GT(CountColour(tinted, band, qRgb(255, 255, 255)), 0);
}

TEST(GridCellPainter, StatusPanelsAreGrayWithEngravedText) {
  QImage bar(300, 22, QImage::Format_RGB32);
  bar.fill(Qt::white);
  QPainter painter(&bar);
  PaintStatusPanelText(painter, QRect(0, 0, 150, 22), QStringLiteral("/usr/share/icons"));
  painter.end();
  EXPECT_EQ(bar.pixel(1, 1) & 0xFFFFFF, qRgb(195, 195, 195) & 0xFFFFFF);
  EXPECT_GT(CountColour(bar, QRect(0, 0, 150, 22), qRgb(64, 64, 64)), 0);
  EXPECT_EQ(bar.pixel(200, 10) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_TRUE(bar.save(GalleryDir() + "/status_panel.png"));
}

// Writes a sheet of cells in their main states for review by eye.
TEST(GridCellPainter, GalleryOfCellsAndPreview) {
  QFont font = QApplication::font();
  const int lh = GridLineHeight(font);
  const imaging::Picture small = PatternIcon(16, false);
  const imaging::Picture masked = PatternIcon(32, true);
  const imaging::Picture large = PatternIcon(256, true);
  imaging::Picture picture;
  picture.kind = imaging::PictureKind::kBitmap;
  picture.bitmap = testsupport::MakePatternBitmap(120, 60, 24, 3);
  ThumbnailCache cache;
  cache.push_back(imaging::EncodeJpeg(testsupport::MakePatternBitmap(64, 64, 24, 5)));

  struct Cell {
    const char* name;
    GridSource source;
    const imaging::Picture* image;
    const char* thumbnail;
    bool selected;
    int width;
    int height;
    const char* label;
  } cells[] = {
      {"icon16", GridSource::kOwnIcon, &small, "", false, 36, 72, "1\n16×16\n24bit"},
      {"icon16_sel", GridSource::kOwnIcon, &small, "", true, 36, 72, "1\n16×16\n24bit"},
      {"icon32", GridSource::kOwnIcon, &masked, "", false, 54, 90, "MAINICON-0\n32×32\n24bit"},
      {"icon32_sel", GridSource::kOwnIcon, &masked, "", true, 54, 90, "MAINICON-0\n32×32\n24bit"},
      {"large", GridSource::kOwnIcon, &large, "", true, 72, 108, "3\n256×256\n32bit"},
      {"thumbnail", GridSource::kOwnIcon, nullptr, "0", false, 72, 108, "4\n64×64\n32bit"},
      {"bmp_sel", GridSource::kBmpBitmap, &masked, "", true, 54, 90, "5\n32×32\n24bit"},
      {"shell", GridSource::kShellIcon, &masked, "", false, 36, 54, "6"},
      {"picture", GridSource::kPicture, &picture, "", true, 120, 156, "120×60\n深さ： 24"},
  };
  int sheetWidth = 8, sheetHeight = 0;
  for (const Cell& c : cells) {
    sheetWidth += c.width + 8;
    sheetHeight = std::max(sheetHeight, c.height + 16);
  }
  QImage sheet(sheetWidth, sheetHeight, QImage::Format_RGB32);
  sheet.fill(Qt::white);
  QPainter painter(&sheet);
  int x = 8;
  for (const Cell& c : cells) {
    GridCellRequest r;
    r.width = r.cellWidth = c.width;
    r.height = c.height;
    r.selected = c.selected;
    r.lineHeight = lh;
    r.source = c.source;
    r.image = c.image;
    r.thumbnail = c.thumbnail;
    r.thumbnails = &cache;
    r.label = c.label;
    const QImage cell = PaintGridCell(DrawGridCell(r), font);
    ASSERT_FALSE(cell.isNull()) << c.name;
    painter.drawImage(x, 8, cell);
    x += c.width + 8;
  }
  painter.end();
  EXPECT_TRUE(sheet.save(GalleryDir() + "/grid_cells.png"));
  EXPECT_TRUE(sheet.scaled(sheet.size() * 3).save(GalleryDir() + "/grid_cells_x3.png"));

  Bitmap preview(48, 48, 32);
  preview.fill(imaging::kWhite);
  masked.icon->Draw(preview, 0, 0);
  EXPECT_TRUE(BitmapToImage(PaintPreviewPanel(preview)).save(GalleryDir() + "/preview.png"));
}

}  // namespace
}  // namespace glyphwell::app::ui
