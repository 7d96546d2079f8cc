// DrawIconImage and BuildOutputMask: an icon drawn onto the background fill, with
// and without correction, and the output mask derived from it.
#include <gtest/gtest.h>

#include "imaging/draw_icon_image.h"
#include "imaging/mask_combine.h"
#include "imaging/output_mask.h"

namespace glyphwell::imaging {
namespace {

constexpr ColourValue kRed = MakeColour(128, 0, 0);
constexpr ColourValue kBlue = MakeColour(0, 0, 255);

// A 4 x 2 icon: the left half opaque red, the right half transparent; pixel (3, 0)
// is transparent but not black in the colour image (an old-style icon inverting the
// screen there).
struct SixteenColourIcon {
  Bitmap colour{4, 2, 4};
  Bitmap mask{4, 2, 32};
  SixteenColourIcon() {
    colour.fill(kBlack);
    mask.fill(kBlack);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 4; ++x) {
        if (x < 2) colour.setPixelColour(x, y, kRed);
        if (x >= 2) mask.setPixelColour(x, y, kWhite);
      }
    colour.setPixelColour(3, 0, kBlue);
  }
  IconPlanes planes() const { return IconPlanes{colour, mask, true}; }
};

Bitmap Filled(ColourValue fill) {
  Bitmap e(4, 2, 32);
  e.fill(fill);
  return e;
}

TEST(DrawIconImageTest, BackgroundFill) {
  EXPECT_EQ(BackgroundFill(OutputType::Icon, true), kBlack);
  EXPECT_EQ(BackgroundFill(OutputType::Icon, false), kBlack);
  EXPECT_EQ(BackgroundFill(OutputType::Bmp, true), kWhite);
  EXPECT_EQ(BackgroundFill(OutputType::Png, false), kBlack);
}

TEST(DrawIconImageTest, SixteenColourIconOverEachBackground) {
  SixteenColourIcon icon;
  struct Case {
    ColourValue fill;
    bool correct;
    ColourValue transparentPixel, invertedPixel;
  };
  const Case cases[] = {
      // Correction: black where transparent, whatever the background.
      {kWhite, true, kBlack, kBlack},
      {kBlack, true, kBlack, kBlack},
      // Without: the background shows (XORed with the colour image).
      {kWhite, false, kWhite, kWhite ^ kBlue},
      {kBlack, false, kBlack, kBlue},
  };
  for (const Case& c : cases) {
    Bitmap e = Filled(c.fill);
    DrawIconImage(e, icon.planes(), c.correct, ConversionSettings{});
    SCOPED_TRACE(std::to_string(c.fill) + (c.correct ? " corrected" : ""));
    EXPECT_EQ(e.pixelColour(0, 0), kRed);
    EXPECT_EQ(e.pixelColour(1, 1), kRed);
    EXPECT_EQ(e.pixelColour(2, 1), c.transparentPixel);
    EXPECT_EQ(e.pixelColour(3, 0), c.invertedPixel);
  }
}

// A 32-bit 3 x 1 icon: alpha 255, 100 and 0; the AND mask calls only the last pixel
// transparent.
struct AlphaIcon {
  Bitmap colour{3, 1, 32};
  Bitmap mask{3, 1, 32};
  explicit AlphaIcon(bool withAlpha = true) {
    mask.fill(kBlack);
    mask.setPixelColour(2, 0, kWhite);
    const int alphas[] = {255, 100, 0};
    for (int x = 0; x < 3; ++x) {
      colour.setPixelColour(x, 0, MakeColour(200, 100, 50));
      colour.row(0)[4 * x + 3] = static_cast<std::uint8_t>(withAlpha ? alphas[x] : 0);
    }
  }
};

ConversionSettings Corrected(Depth depth) {
  ConversionSettings s;
  s.correction = true;
  s.depth = depth;
  return s;
}

TEST(DrawIconImageTest, ThirtyTwoBitOwnParserImagesUseTheAlphaMaskForCorrection) {
  AlphaIcon icon;
  Bitmap e(3, 1, 32);
  e.fill(kWhite);
  DrawIconImage(e, IconPlanes{icon.colour, icon.mask, true}, true, Corrected(Depth::Colours256));
  EXPECT_EQ(e.pixelColour(0, 0), MakeColour(200, 100, 50));
  EXPECT_EQ(e.pixelColour(1, 0), kBlack);  // alpha 100 <= 110: transparent
  EXPECT_EQ(e.pixelColour(2, 0), kBlack);
  EXPECT_EQ(e.pixelAlpha(0, 0), 255);
  EXPECT_EQ(e.pixelAlpha(1, 0), 100);

  // At "32bit" the AND mask decides.
  e.fill(kWhite);
  DrawIconImage(e, IconPlanes{icon.colour, icon.mask, true}, true, Corrected(Depth::Bits32));
  EXPECT_EQ(e.pixelColour(1, 0), MakeColour(200, 100, 50));
  EXPECT_EQ(e.pixelColour(2, 0), kBlack);
}

TEST(DrawIconImageTest, NormalModeAlphaIconsAreBlended) {
  AlphaIcon icon;
  Bitmap e(3, 1, 32);
  e.fill(kWhite);
  DrawIconImage(e, IconPlanes{icon.colour, icon.mask, false}, false, ConversionSettings{});
  EXPECT_EQ(e.pixelColour(0, 0), MakeColour(200, 100, 50));
  // 100 / 255 of the colour over white.
  EXPECT_EQ(e.pixelColour(1, 0),
            MakeColour((200 * 100 + 255 * 155) / 255, (100 * 100 + 255 * 155) / 255,
                       (50 * 100 + 255 * 155) / 255));
  EXPECT_EQ(e.pixelColour(2, 0), kWhite);
}

TEST(BuildOutputMaskTest, AlphaThreshold110AtReducedDepths) {
  AlphaIcon icon;
  const IconPlanes planes{icon.colour, icon.mask, true};
  struct Case {
    Depth depth;
    bool correction, original;
    bool secondTransparent;
  };
  const Case cases[] = {
      {Depth::Colours256, true, false, true},  // alpha 100 <= 110
      {Depth::Colours16, true, false, true},  {Depth::Bits24, true, false, true},
      {Depth::Bits32, true, false, false},  // the AND mask decides
      {Depth::Colours2, true, false, false},  {Depth::Colours256, false, false, false},
      {Depth::Colours256, true, true, false},
  };
  for (const Case& c : cases) {
    ConversionSettings s = Corrected(c.depth);
    s.correction = c.correction;
    s.keepSourceDepth = c.original;
    OutputMasks masks = BuildOutputMask(planes, s, 3, 1);
    SCOPED_TRACE(static_cast<int>(c.depth));
    EXPECT_FALSE(IsTransparentAt(masks.mask, 0, 0));
    EXPECT_EQ(IsTransparentAt(masks.mask, 1, 0), c.secondTransparent);
    EXPECT_TRUE(IsTransparentAt(masks.mask, 2, 0));
    for (int x = 0; x < 3; ++x)
      EXPECT_EQ(masks.inverse.pixelColour(x, 0), masks.mask.pixelColour(x, 0) ^ kWhite);
  }
}

TEST(BuildOutputMaskTest, NoAlphaFallsBackToTheAndMask) {
  AlphaIcon icon(false);
  OutputMasks masks =
      BuildOutputMask(IconPlanes{icon.colour, icon.mask, true}, Corrected(Depth::Colours16), 3, 1);
  EXPECT_FALSE(IsTransparentAt(masks.mask, 0, 0));
  EXPECT_FALSE(IsTransparentAt(masks.mask, 1, 0));
  EXPECT_TRUE(IsTransparentAt(masks.mask, 2, 0));
}

TEST(BuildOutputMaskTest, StretchedToTheOutputSize) {
  SixteenColourIcon icon;
  OutputMasks masks = BuildOutputMask(icon.planes(), ConversionSettings{}, 8, 4);
  ASSERT_EQ(masks.mask.width(), 8);
  ASSERT_EQ(masks.mask.height(), 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x) {
      EXPECT_EQ(IsTransparentAt(masks.mask, x, y), x >= 4) << x << "," << y;
      EXPECT_EQ(IsTransparentAt(masks.inverse, x, y), x < 4) << x << "," << y;
    }
}

TEST(BuildOutputMaskTest, PicturesAreOpaque) {
  OutputMasks masks = OpaqueOutputMasks(5, 3);
  EXPECT_EQ(masks.mask.pixelColour(4, 2), kBlack);
  EXPECT_EQ(masks.inverse.pixelColour(4, 2), kWhite);
}

TEST(MaskCombineTest, AndOrInvertTouchColourBitsOnly) {
  Bitmap image(2, 1, 32);
  image.setPixelColour(0, 0, MakeColour(0x12, 0x34, 0x56));
  image.setPixelColour(1, 0, MakeColour(0xF0, 0x0F, 0xFF));
  image.row(0)[3] = 9;
  Bitmap mask(2, 1, 32);
  mask.setPixelColour(0, 0, kWhite);
  mask.setPixelColour(1, 0, kBlack);
  Bitmap anded = image;
  AndColours(anded, mask);
  EXPECT_EQ(anded.pixelColour(0, 0), MakeColour(0x12, 0x34, 0x56));
  EXPECT_EQ(anded.pixelColour(1, 0), kBlack);
  EXPECT_EQ(anded.pixelAlpha(0, 0), 9);
  Bitmap ored = image;
  OrColours(ored, mask);
  EXPECT_EQ(ored.pixelColour(0, 0), kWhite);
  EXPECT_EQ(ored.pixelColour(1, 0), MakeColour(0xF0, 0x0F, 0xFF));
  InvertColours(image);
  EXPECT_EQ(image.pixelColour(0, 0), MakeColour(0xED, 0xCB, 0xA9));
  EXPECT_EQ(image.pixelAlpha(0, 0), 9);
}

}  // namespace
}  // namespace glyphwell::imaging
