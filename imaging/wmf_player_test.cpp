#include "imaging/wmf_player.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "imaging/bmp_codec.h"
#include "imaging/wmf_records.h"

namespace glyphwell::imaging {
namespace {

constexpr ColourValue kRed = MakeColour(255, 0, 0);
constexpr ColourValue kBlue = MakeColour(0, 0, 255);

// Builds a metafile record by record.
class WmfBuilder {
 public:
  // Placeable with the bounding box (0, 0, width, height) in units of 1/96 inch, or plain.
  explicit WmfBuilder(bool placeable = true, int width = 40, int height = 20,
                      int unitsPerInch = 96) {
    if (placeable) {
      words({0xCDD7, 0x9AC6, 0, 0, 0, static_cast<std::uint16_t>(width),
             static_cast<std::uint16_t>(height), static_cast<std::uint16_t>(unitsPerInch), 0, 0,
             0});
    }
    words({1, 9, 0x0300, 0, 0, 8, 0, 0, 0});
  }
  WmfBuilder& record(std::uint16_t function, std::initializer_list<int> params) {
    return record(function, std::vector<int>(params));
  }
  WmfBuilder& record(std::uint16_t function, const std::vector<int>& params,
                     const std::vector<std::uint8_t>& extra = {}) {
    const std::uint32_t size = static_cast<std::uint32_t>(3 + params.size() + extra.size() / 2);
    words({static_cast<std::uint16_t>(size), static_cast<std::uint16_t>(size >> 16), function});
    for (int p : params)
      words({static_cast<std::uint16_t>(p)});
    bytes_.insert(bytes_.end(), extra.begin(), extra.end());
    return *this;
  }
  WmfBuilder& solidBrush(ColourValue c) {
    return record(wmf::kCreateBrushIndirect, {0, int(c & 0xFFFF), int(c >> 16), 0});
  }
  WmfBuilder& pen(int style, int width, ColourValue c) {
    return record(wmf::kCreatePenIndirect, {style, width, 0, int(c & 0xFFFF), int(c >> 16)});
  }
  WmfBuilder& select(int index) { return record(wmf::kSelectObject, {index}); }
  // Filled shapes without an outline: a null pen in slot 0 selected first.
  WmfBuilder& noPen() { return pen(5, 0, 0).select(0); }
  std::vector<std::uint8_t> end() {
    std::vector<std::uint8_t> out = bytes_;
    const std::vector<std::uint8_t> eof = {3, 0, 0, 0, 0, 0};
    out.insert(out.end(), eof.begin(), eof.end());
    return out;
  }
  std::vector<std::uint8_t> withoutEnd() const { return bytes_; }

 private:
  void words(std::initializer_list<std::uint16_t> ws) {
    for (std::uint16_t w : ws) {
      bytes_.push_back(static_cast<std::uint8_t>(w));
      bytes_.push_back(static_cast<std::uint8_t>(w >> 8));
    }
  }
  std::vector<std::uint8_t> bytes_;
};

Bitmap PlayOrFail(const std::vector<std::uint8_t>& file) {
  const auto bitmap = WmfPlayer::Play(file);
  EXPECT_TRUE(bitmap.has_value());
  return bitmap.value_or(Bitmap());
}

TEST(WmfPlayer, PictureSizeFromPlaceableBoxOrWindowExtent) {
  EXPECT_EQ(WmfPlayer::PictureSize(WmfBuilder(true, 40, 20).end())->width, 40);
  const auto inch = WmfPlayer::PictureSize(WmfBuilder(true, 1440, 720, 1440).end());
  ASSERT_TRUE(inch);
  EXPECT_EQ(inch->width, 96);
  EXPECT_EQ(inch->height, 48);
  const auto plain = WmfPlayer::PictureSize(WmfBuilder(false)
                                                .record(wmf::kSetWindowOrg, {0, 0})
                                                .record(wmf::kSetWindowExt, {-30, 50})
                                                .end());
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->width, 50);
  EXPECT_EQ(plain->height, 30);
}

TEST(WmfPlayer, UnreadableFilesGiveNothing) {
  std::vector<std::uint8_t> badType = WmfBuilder(false).end();
  badType[0] = 7;
  std::vector<std::uint8_t> cutHeader = WmfBuilder(true).end();
  cutHeader.resize(30);
  const std::vector<std::pair<const char*, std::vector<std::uint8_t>>> inputs = {
      {"empty", {}},
      {"bad type", badType},
      {"cut header", cutHeader},
      {"no window extent", WmfBuilder(false).record(wmf::kRectangle, {1, 1, 0, 0}).end()},
      {"zero units per inch", WmfBuilder(true, 40, 20, 0).end()},
      {"empty box", WmfBuilder(true, 0, 20).end()},
      {"too large", WmfBuilder(true, 30000, 30000, 96).end()},
  };
  for (const auto& [name, file] : inputs)
    EXPECT_FALSE(WmfPlayer::Play(file).has_value()) << name;
}

TEST(WmfPlayer, FilledShapesPenAndBrush) {
  const Bitmap out = PlayOrFail(WmfBuilder()
                                    .noPen()
                                    .solidBrush(kRed)
                                    .select(1)
                                    .record(wmf::kRectangle, {8, 12, 2, 2})  // b, r, t, l
                                    .solidBrush(kBlue)
                                    .select(2)
                                    .record(wmf::kEllipse, {20, 40, 10, 20})
                                    .end());
  ASSERT_EQ(out.width(), 40);
  ASSERT_EQ(out.bits(), 32);
  EXPECT_EQ(out.pixelColour(2, 2), kRed);
  EXPECT_EQ(out.pixelColour(11, 7), kRed);
  EXPECT_EQ(out.pixelColour(12, 7), kWhite) << "right edge excluded";
  EXPECT_EQ(out.pixelColour(11, 8), kWhite) << "bottom edge excluded";
  EXPECT_EQ(out.pixelColour(30, 15), kBlue);
  EXPECT_EQ(out.pixelColour(20, 10), kWhite) << "ellipse corner";
  EXPECT_EQ(out.pixelAlpha(2, 2), 0);
}

TEST(WmfPlayer, WindowMappingScalesAndMovesTheDrawing) {
  // Window (100, 100)-(180, 140) onto the 40x20 picture: half size.
  const Bitmap out = PlayOrFail(WmfBuilder()
                                    .record(wmf::kSetWindowOrg, {100, 100})
                                    .record(wmf::kSetWindowExt, {40, 80})
                                    .noPen()
                                    .solidBrush(kRed)
                                    .select(1)
                                    .record(wmf::kRectangle, {120, 140, 100, 100})
                                    .end());
  EXPECT_EQ(out.pixelColour(0, 0), kRed);
  EXPECT_EQ(out.pixelColour(19, 9), kRed);
  EXPECT_EQ(out.pixelColour(20, 9), kWhite);
  EXPECT_EQ(out.pixelColour(19, 10), kWhite);
}

TEST(WmfPlayer, LinesOutlinesAndPolygons) {
  const Bitmap out =
      PlayOrFail(WmfBuilder()
                     .pen(0, 1, kBlue)
                     .select(0)
                     .record(wmf::kMoveTo, {1, 0})  // y, x
                     .record(wmf::kLineTo, {1, 10})
                     .record(wmf::kCreateBrushIndirect, {1, 0, 0, 0})  // hollow brush
                     .select(1)
                     .record(wmf::kRectangle, {10, 30, 3, 20})
                     .solidBrush(kRed)
                     .select(2)
                     .record(wmf::kPolygon, {3, 0, 12, 8, 12, 0, 19})
                     .end());
  EXPECT_EQ(out.pixelColour(0, 1), kBlue);
  EXPECT_EQ(out.pixelColour(9, 1), kBlue);
  EXPECT_EQ(out.pixelColour(10, 1), kWhite) << "LineTo leaves out its end point";
  EXPECT_EQ(out.pixelColour(20, 3), kBlue);
  EXPECT_EQ(out.pixelColour(29, 9), kBlue);
  EXPECT_EQ(out.pixelColour(25, 6), kWhite) << "hollow brush";
  EXPECT_EQ(out.pixelColour(2, 16), kRed);
  EXPECT_EQ(out.pixelColour(0, 12), kBlue) << "polygon outline";
  EXPECT_EQ(out.pixelColour(7, 18), kWhite);
}

TEST(WmfPlayer, PolyPolygonFillRules) {
  // An outer square and an inner square of the same direction.
  const std::vector<int> params = {2, 4, 4, 0, 0, 20, 0, 20, 20, 0, 20, 5, 5, 15, 5, 15, 15, 5, 15};
  for (int mode : {1, 2}) {
    const Bitmap out = PlayOrFail(WmfBuilder()
                                      .noPen()
                                      .solidBrush(kRed)
                                      .select(1)
                                      .record(wmf::kSetPolyFillMode, {mode})
                                      .record(wmf::kPolyPolygon, params)
                                      .end());
    EXPECT_EQ(out.pixelColour(2, 2), kRed);
    EXPECT_EQ(out.pixelColour(10, 10), mode == 1 ? kWhite : kRed) << mode;
  }
}

TEST(WmfPlayer, ObjectSlotsSelectionAndSavedStates) {
  // Brushes in slots 1 and 2; slot 1 is deleted and reused by the green brush; the
  // state saved with blue selected comes back after RestoreDC.
  const ColourValue green = MakeColour(0, 255, 0);
  const Bitmap out = PlayOrFail(WmfBuilder()
                                    .noPen()
                                    .solidBrush(kRed)
                                    .solidBrush(kBlue)
                                    .record(wmf::kDeleteObject, {1})
                                    .solidBrush(green)
                                    .select(1)
                                    .record(wmf::kRectangle, {5, 5, 0, 0})
                                    .select(2)
                                    .record(wmf::kSaveDc, {})
                                    .select(1)
                                    .record(wmf::kRestoreDc, {-1})
                                    .record(wmf::kRectangle, {5, 10, 0, 5})
                                    .end());
  EXPECT_EQ(out.pixelColour(1, 1), green);
  EXPECT_EQ(out.pixelColour(6, 1), kBlue);
}

TEST(WmfPlayer, BlitsPixelsHatchAndClip) {
  Bitmap dib(2, 2, 24);
  dib.setPixelColour(0, 0, kRed);
  dib.setPixelColour(1, 1, kBlue);
  const std::vector<std::uint8_t> dibBytes = EncodeDib(dib);
  const Bitmap out = PlayOrFail(
      WmfBuilder()
          // StretchDIB: rop, usage, srcH, srcW, srcY, srcX, destH, destW, destY, destX
          .record(wmf::kStretchDib, {0x0020, 0x00CC, 0, 2, 2, 0, 0, 4, 4, 0, 0}, dibBytes)
          .record(wmf::kSetPixel, {0xFF, 0, 10, 10})           // red at (10, 10)
          .record(wmf::kPatBlt, {0x0042, 0x0000, 2, 2, 0, 6})  // black 2x2 at (6, 0)
          .record(wmf::kIntersectClipRect, {20, 40, 10, 30})
          .record(wmf::kCreateBrushIndirect, {2, int(kBlue & 0xFFFF), int(kBlue >> 16), 1})
          .select(0)
          .record(wmf::kSetBkMode, {1})
          .record(wmf::kPatBlt, {0x0021, 0x00F0, 20, 40, 0, 0})  // clipped to x >= 30
          .end());
  EXPECT_EQ(out.pixelColour(0, 0), kRed);
  EXPECT_EQ(out.pixelColour(1, 1), kRed);
  EXPECT_EQ(out.pixelColour(2, 2), kBlue);
  EXPECT_EQ(out.pixelColour(3, 0), kWhite);
  EXPECT_EQ(out.pixelColour(10, 10), kRed);
  EXPECT_EQ(out.pixelColour(7, 1), kBlack);
  EXPECT_EQ(out.pixelColour(32, 16), kBlue) << "vertical hatch line";
  EXPECT_EQ(out.pixelColour(33, 16), kWhite) << "transparent background";
  EXPECT_EQ(out.pixelColour(24, 16), kWhite) << "outside the clip";
}

TEST(WmfPlayer, UnknownRecordsAreSkippedAndAnEarlyEndKeepsTheDrawing) {
  WmfBuilder builder;
  builder.noPen()
      .solidBrush(kRed)
      .select(1)
      .record(0x0A32, {0, 0, 3, 0, 'a', 'b'})  // text: not drawn
      .record(0x0999, {1, 2, 3})
      .record(wmf::kRectangle, {4, 4, 0, 0})
      .record(wmf::kRectangle, {})         // too short: skipped
      .record(wmf::kPolygon, {50, 1, 1});  // count beyond the record: skipped
  std::vector<std::uint8_t> file = builder.withoutEnd();
  // A last record claiming more words than the file holds.
  file.insert(file.end(), {0xFF, 0xFF, 0, 0, 0x1B, 0x04, 1, 0});
  const Bitmap out = PlayOrFail(file);
  EXPECT_EQ(out.pixelColour(1, 1), kRed);
}

TEST(WmfPlayer, EndlessOverdrawingStopsPlaying) {
  // 2000 fills of the whole 100x100 picture ask for far more drawing than any real
  // picture needs; the player stops before the last (blue) fill.
  WmfBuilder builder(true, 100, 100);
  builder.noPen().solidBrush(kRed).solidBrush(kBlue).select(1);
  for (int i = 0; i < 2000; ++i)
    builder.record(wmf::kRectangle, {100, 100, 0, 0});
  builder.select(2).record(wmf::kRectangle, {100, 100, 0, 0});
  const Bitmap out = PlayOrFail(builder.end());
  EXPECT_EQ(out.pixelColour(50, 50), kRed);
}

}  // namespace
}  // namespace glyphwell::imaging
