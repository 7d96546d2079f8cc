#include "cli/settings_flags.h"

#include <gtest/gtest.h>

namespace glyphwell::cli {
namespace {

using imaging::Depth;
using imaging::OutputType;
using imaging::SizeChoice;
using imaging::SourceKind;

// Parses every argument as a settings flag; returns the first error.
std::string ParseAll(const Args& args, SettingsFlags& flags) {
  for (std::size_t i = 0; i < args.size();) {
    std::string error;
    if (!ParseSettingsFlag(args, i, flags, error)) return "not a settings flag: " + args[i];
    if (!error.empty()) return error;
  }
  return {};
}

TEST(SettingsFlagsTest, DefaultsAreTheWindowsStartingState) {
  SettingsFlags flags;
  ASSERT_EQ(ParseAll({}, flags), "");
  EXPECT_EQ(ApplySource(flags, SourceKind::Picture, false), "");
  const imaging::ConversionSettings& s = flags.settings;
  EXPECT_EQ(s.outputType, OutputType::Icon);
  EXPECT_EQ(s.depth, Depth::Colours16);
  EXPECT_EQ(s.sizeChoice, SizeChoice::SystemLarge);
  EXPECT_EQ(s.userWidth, 64);
  EXPECT_TRUE(s.optimizedPalette);
  EXPECT_TRUE(s.mask);
  EXPECT_EQ(s.pngColourCount, 256);
  EXPECT_EQ(flags.mode, extract::ExtractionMode::kIcon);
}

TEST(SettingsFlagsTest, EveryFlagSetsItsSetting) {
  SettingsFlags flags;
  ASSERT_EQ(ParseAll({"--mode",        "bmp",
                      "--type",        "png",
                      "--depth",       "256",
                      "--size",        "user",
                      "--user",        "100x40",
                      "--no-optimize", "--correct",
                      "--gray",        "--transparency-colour",
                      "--blur",        "2",
                      "--mode2",       "--no-mask",
                      "--png-colours", "100"},
                     flags),
            "");
  EXPECT_EQ(ApplySource(flags, SourceKind::BmpMode, true), "");
  const imaging::ConversionSettings& s = flags.settings;
  EXPECT_EQ(flags.mode, extract::ExtractionMode::kBmp);
  EXPECT_EQ(s.outputType, OutputType::Png);
  EXPECT_EQ(s.depth, Depth::Colours256);
  EXPECT_EQ(s.sizeChoice, SizeChoice::User);
  EXPECT_EQ(s.userWidth, 100);
  EXPECT_EQ(s.userHeight, 40);
  EXPECT_FALSE(s.optimizedPalette);
  EXPECT_TRUE(s.correction && s.gray && s.transparencyColour && s.blur2 && s.mode2);
  EXPECT_FALSE(s.blur1);
  EXPECT_FALSE(s.mask);
  EXPECT_EQ(s.pngColourCount, 100);
  EXPECT_EQ(s.sourceKind, SourceKind::BmpMode);
  EXPECT_TRUE(s.ownParser);
}

TEST(SettingsFlagsTest, BadValuesAreUsageErrors) {
  const Args bad[] = {
      {"--depth", "8"},         {"--type", "gif"}, {"--size", "64"}, {"--user", "15x20"},
      {"--user", "20x257"},     {"--user", "20"},  {"--blur", "3"},  {"--png-colours", "7"},
      {"--png-colours", "257"}, {"--mode", "all"}, {"--depth"},
  };
  for (const Args& args : bad) {
    SettingsFlags flags;
    EXPECT_NE(ParseAll(args, flags), "") << args[0];
  }
  SettingsFlags flags;
  std::size_t i = 0;
  std::string error;
  EXPECT_FALSE(ParseSettingsFlag({"-o"}, i, flags, error));
  EXPECT_EQ(i, 0u);
}

TEST(SettingsFlagsTest, SettingsTheWindowWouldNotOfferAreRefused) {
  struct Case {
    Args args;
    SourceKind kind;
    bool ownParser;
    bool refused;
  } cases[] = {
      {{"--size", "original"}, SourceKind::Picture, false, true},  // picture as ico
      {{"--size", "original", "--type", "png"}, SourceKind::Picture, false, false},
      {{"--size", "original"}, SourceKind::IconMode, true, false},
      {{"--size", "original"}, SourceKind::NormalMode, false, true},
      {{"--type", "jpeg", "--depth", "256"}, SourceKind::Picture, false, true},
      {{"--type", "jpeg", "--depth", "24"}, SourceKind::Picture, false, false},
      {{"--type", "jpeg", "--original-colours"}, SourceKind::Picture, false, true},
      {{"--original-colours"}, SourceKind::NormalMode, false, true},
      {{"--original-colours"}, SourceKind::IconMode, true, false},
      {{"--original-colours", "--depth", "2"}, SourceKind::Picture, false, true},
      {{"--no-mask"}, SourceKind::Picture, false, true},
      {{"--no-mask", "--type", "bmp"}, SourceKind::Picture, false, false},
      {{"--png-colours", "64", "--type", "png"}, SourceKind::Picture, false, true},
      {{"--png-colours", "64", "--type", "png", "--depth", "256"},
       SourceKind::Picture,
       false,
       false},
      {{"--user", "32x32"}, SourceKind::Picture, false, true},
  };
  for (Case& c : cases) {
    SettingsFlags flags;
    ASSERT_EQ(ParseAll(c.args, flags), "");
    std::string error = ApplySource(flags, c.kind, c.ownParser);
    EXPECT_EQ(!error.empty(), c.refused) << c.args[0] << " " << c.args.back() << ": " << error;
  }
}

TEST(SettingsFlagsTest, JpegOutputIsTwentyFourBit) {
  SettingsFlags flags;
  ASSERT_EQ(ParseAll({"--type", "jpeg"}, flags), "");
  EXPECT_EQ(ApplySource(flags, SourceKind::Picture, false), "");
  EXPECT_EQ(flags.settings.depth, Depth::Bits24);
  EXPECT_FALSE(flags.settings.keepSourceDepthEnabled);
}

}  // namespace
}  // namespace glyphwell::cli
