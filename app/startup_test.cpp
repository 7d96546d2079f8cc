#include "app/startup.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace glyphwell::app {
namespace {

namespace fs = std::filesystem;
using platform::FixedDisplayProbe;
using platform::RecordingMessages;

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("gw-startup-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  StartupOptions Options() const {
    StartupOptions o;
    o.programFolder = (dir_ / "gw").string();
    o.logOnName = "carol";
    o.settingsPath = (dir_ / "config/Orvane/Glyphwell.ini").string();
    o.lockPath = (dir_ / "Glyphwell.lock").string();
    o.pelmoraLibrary = (dir_ / "libPelmora-absent.so").string();
    return o;
  }
  static void Put(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
  }
  fs::path dir_;
};

TEST_F(StartupTest, FirstStartLaysOutTheFoldersWithDefaultSettings) {
  AppEnvironment env(Options());
  RecordingMessages messages;
  ASSERT_TRUE(env.ClaimSingleInstance(messages));
  env.Start(messages, FixedDisplayProbe(32));
  for (const char* sub : {"tmp", "data/carol", "data/carol/part", "Help"}) {
    EXPECT_TRUE(fs::is_directory(dir_ / "gw" / sub)) << sub;
  }
  EXPECT_EQ(env.workFile(), (dir_ / "gw/tmp/sv.bmp").string());
  EXPECT_EQ(env.workFolder(), (dir_ / "gw/tmp").string());
  platform::Settings defaults = platform::Settings::Defaults((dir_ / "gw").string());
  EXPECT_EQ(env.settings(), defaults);
  EXPECT_FALSE(fs::exists(dir_ / "config"));  // nothing written before close
  EXPECT_EQ(env.osLevel(), 5);
}

TEST_F(StartupTest, SecondCopyIsRefusedWithTheRunningMessageAndAStaleLockIsIgnored) {
  Put(dir_ / "Glyphwell.lock", "4242\n");  // left by a crashed run
  AppEnvironment first(Options());
  RecordingMessages messages;
  ASSERT_TRUE(first.ClaimSingleInstance(messages));
  EXPECT_TRUE(messages.entries.empty());

  AppEnvironment second(Options());
  EXPECT_FALSE(second.ClaimSingleInstance(messages));
  ASSERT_EQ(messages.entries.size(), 1u);
  EXPECT_EQ(messages.entries[0].text, "Glyphwell は実行中です。");
  EXPECT_EQ(messages.entries[0].caption, "Glyphwell");

  first.ReleaseInstance();
  EXPECT_TRUE(second.ClaimSingleInstance(messages));
}

TEST_F(StartupTest, MissingPelmoraRemovesTheIconFormatWithItsMessage) {
  AppEnvironment env(Options());
  RecordingMessages messages;
  env.Start(messages, FixedDisplayProbe(32));
  EXPECT_FALSE(env.iconFormatAvailable());
  ASSERT_EQ(messages.entries.size(), 1u);
  EXPECT_EQ(messages.entries[0].text,
            "アイコンを作成する為のファイルが見つからないので、この機能は使用できません！");
}

TEST_F(StartupTest, WorkFileFromTheSettingsGetsItsFolderAndCloseCleansIt) {
  fs::path work = dir_ / "elsewhere/work";
  Put(dir_ / "config/Orvane/Glyphwell.ini",
      "[Glyphwell]\r\ntmppath=" + (work / "vs.bmp").string() + "\r\nmcount=9\r\n");
  {
    AppEnvironment env(Options());
    RecordingMessages messages;
    env.Start(messages, FixedDisplayProbe(32));
    EXPECT_TRUE(fs::is_directory(work));
    EXPECT_EQ(env.settings().mcount, 9);
    for (const char* name : {"sv.bmp", "vs.bmp", "tpng.png"})
      Put(work / name, "x");
    env.settings().us_w = 128;
    env.Close();
    EXPECT_TRUE(env.settingsWritten());
  }
  EXPECT_TRUE(fs::exists(work / "sv.bmp"));
  EXPECT_FALSE(fs::exists(work / "vs.bmp"));
  EXPECT_FALSE(fs::exists(work / "tpng.png"));

  AppEnvironment next(Options());
  RecordingMessages messages;
  next.Start(messages, FixedDisplayProbe(32));
  EXPECT_EQ(next.settings().us_w, 128);
  EXPECT_EQ(next.workFile(), (work / "vs.bmp").string());
}

TEST_F(StartupTest, ChangedWorkFolderIsKeptAtClose) {
  {
    AppEnvironment env(Options());
    RecordingMessages messages;
    env.Start(messages, FixedDisplayProbe(32));
    env.ChangeWorkFolder((dir_ / "picked/").string());
    EXPECT_EQ(env.workFile(), (dir_ / "picked/vs.bmp").string());
    env.Close();
  }
  AppEnvironment next(Options());
  RecordingMessages messages;
  next.Start(messages, FixedDisplayProbe(32));
  EXPECT_EQ(next.workFolder(), (dir_ / "picked").string());
  EXPECT_TRUE(fs::is_directory(dir_ / "picked"));
}

TEST_F(StartupTest, UnusableWorkFileFallsBackToTheDefault) {
  for (const char* stored : {"", "relative/sv.bmp", "/ends/with/slash/"}) {
    Put(dir_ / "config/Orvane/Glyphwell.ini", std::string("[Glyphwell]\ntmppath=") + stored);
    AppEnvironment env(Options());
    RecordingMessages messages;
    env.Start(messages, FixedDisplayProbe(32));
    EXPECT_EQ(env.workFile(), (dir_ / "gw/tmp/sv.bmp").string()) << stored;
  }
}

TEST_F(StartupTest, UnreadableSettingsAreNotOverwrittenAtClose) {
  fs::create_directories(dir_ / "config/Orvane/Glyphwell.ini");  // cannot be read as a file
  AppEnvironment env(Options());
  RecordingMessages messages;
  env.Start(messages, FixedDisplayProbe(32));
  env.settings().mcount = 50;
  env.Close();
  EXPECT_FALSE(env.settingsWritten());
  EXPECT_TRUE(fs::is_directory(dir_ / "config/Orvane/Glyphwell.ini"));
}

TEST(DisplayTraitsTest, DepthDecidesWorkingFormatAndColours) {
  struct Case {
    int bits;
    bool low;
    int working;
  } cases[] = {{1, true, 8},    {8, true, 8},    {10, true, 8},  {11, false, 32},
               {16, false, 32}, {24, false, 32}, {32, false, 32}};
  for (const Case& c : cases) {
    DisplayTraits t = DisplayTraits::ForDepth(c.bits);
    EXPECT_EQ(t.lowDepth, c.low) << c.bits;
    EXPECT_EQ(t.workingBitsPerPixel, c.working) << c.bits;
  }
  DisplayTraits low = DisplayTraits::ForDepth(8);
  EXPECT_EQ(low.switchCheckColour, 0xFFFF00u);  // aqua: red 0, green 255, blue 255
  DisplayTraits high = DisplayTraits::ForDepth(24);
  EXPECT_EQ(high.backgrounds[0], 230u + 242u * 256 + 255u * 65536);
  EXPECT_EQ(high.backgrounds[3], 223u + 255u * 256 + 217u * 65536);
}

}  // namespace
}  // namespace glyphwell::app
