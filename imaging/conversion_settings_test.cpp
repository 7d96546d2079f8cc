#include "imaging/conversion_settings.h"

#include <gtest/gtest.h>

#include "imaging/merge_quantize.h"

namespace glyphwell::imaging {
namespace {

TEST(ConversionSettingsTest, WhoReservesBlack) {
  struct Case {
    SourceKind kind;
    OutputType type;
    bool transparency, reserves;
  };
  const Case cases[] = {
      // Icons taken from modules always reserve it.
      {SourceKind::IconMode, OutputType::Bmp, false, true},
      {SourceKind::NormalMode, OutputType::Png, false, true},
      // Pictures and Bmp-mode bitmaps only as icons with the transparency colour.
      {SourceKind::Picture, OutputType::Icon, true, true},
      {SourceKind::Picture, OutputType::Icon, false, false},
      {SourceKind::Picture, OutputType::Bmp, true, false},
      {SourceKind::BmpMode, OutputType::Icon, true, true},
      {SourceKind::BmpMode, OutputType::Png, true, false},
  };
  for (const Case& c : cases) {
    ConversionSettings s;
    s.sourceKind = c.kind;
    s.outputType = c.type;
    s.transparencyColour = c.transparency;
    EXPECT_EQ(ReservesBlack(s), c.reserves)
        << static_cast<int>(c.kind) << " " << static_cast<int>(c.type) << " " << c.transparency;
    EXPECT_EQ(MergeOptionsFor(s).reserveBlack, c.reserves);
  }
}

TEST(ConversionSettingsTest, OriginalColoursRule) {
  ConversionSettings s;
  s.keepSourceDepth = true;
  s.sourceKind = SourceKind::Picture;
  EXPECT_TRUE(KeepsSourceColours(s));
  s.keepSourceDepthEnabled = false;  // ticked but disabled (e.g. "Jepg")
  EXPECT_FALSE(KeepsSourceColours(s));
  s.sourceKind = SourceKind::IconMode;
  s.ownParser = true;
  EXPECT_TRUE(KeepsSourceColours(s));
  s.ownParser = false;
  EXPECT_FALSE(KeepsSourceColours(s));
}

}  // namespace
}  // namespace glyphwell::imaging
