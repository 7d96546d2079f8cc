#include "platform/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace glyphwell::platform {
namespace {

namespace fs = std::filesystem;

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("gw-settings-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    path_ = (dir_ / "cfg" / "Orvane" / "Glyphwell.ini").string();
  }
  void TearDown() override { fs::remove_all(dir_); }
  void WriteFile(const std::string& text) {
    fs::create_directories(fs::path(path_).parent_path());
    std::ofstream(path_, std::ios::binary) << text;
  }
  std::string ReadFile() {
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  Settings Loaded() {
    Settings s = Settings::Defaults("/opt/gw");
    SettingsStore store(path_);
    store.Load(s);
    return s;
  }
  fs::path dir_;
  std::string path_;
};

Settings EveryValueChanged() {
  Settings s;
  s.mcount = 7;
  s.us_w = 200;
  s.us_h = 17;
  s.alpha = {0, 1, 2, 128, 254, 255, 9, 10};
  s.grid_size = 100;
  s.grid_color = 0x123456;
  s.haichi = s.filelist = s.sys = s.hide = true;
  s.png256 = s.pngfrg = s.pngsv = s.pngiclchg = true;
  s.keep_size = 3;
  s.partdir = "/home/u/parts";
  s.partpath = "/home/u/parts/p.dat";
  s.tmppath = "/home/u/work dir/vs.bmp";
  s.seldt1 = "32x32 256";
  s.seldt2 = "=odd=";
  s.seldt3 = "\xE6\x97\xA5\xE6\x9C\xAC";
  s.sysdir = "/wine/system32";
  s.updurl = "http://127.0.0.1:8080/?x=1";
  return s;
}

TEST_F(SettingsTest, DefaultsFollowTheProgramFolder) {
  Settings s = Settings::Defaults("/opt/gw");
  EXPECT_EQ(s.mcount, 1);
  EXPECT_EQ(s.us_w, 64);
  EXPECT_EQ(s.us_h, 64);
  EXPECT_EQ(s.alpha, (std::array<std::uint8_t, 8>{1, 10, 25, 50, 250, 250, 250, 250}));
  EXPECT_EQ(s.grid_size, 48);
  EXPECT_EQ(s.grid_color, 12632256);
  EXPECT_EQ(s.tmppath, "/opt/gw/tmp/sv.bmp");
  EXPECT_FALSE(s.sysdir.empty());
  EXPECT_TRUE(s.updurl.empty());
}

TEST_F(SettingsTest, EveryValueSurvivesSaveAndLoadAndTheFileIsCreated) {
  ASSERT_FALSE(fs::exists(path_));
  Settings saved = EveryValueChanged();
  SettingsStore store(path_);
  Settings ignored;
  ASSERT_TRUE(store.Load(ignored));  // no file yet: fine, and nothing changes
  EXPECT_EQ(store.status(), IniLoadStatus::kMissing);
  ASSERT_TRUE(store.Save(saved));
  ASSERT_TRUE(fs::exists(path_));
  EXPECT_EQ(Loaded(), saved);

  std::string text = ReadFile();
  EXPECT_TRUE(text.starts_with("[Glyphwell]\r\n")) << text;
  EXPECT_NE(text.find("\r\nalpha=00010280FEFF090A\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\r\ngrid size=100\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\r\nhaichi=1\r\n"), std::string::npos) << text;
}

TEST_F(SettingsTest, MissingOrCorruptFileGivesDefaults) {
  EXPECT_EQ(Loaded(), Settings::Defaults("/opt/gw"));

  std::string garbage(1, '\0');
  garbage += "\xFF[Glyph";
  for (int i = 0; i < 2000; ++i)
    garbage += static_cast<char>((i * 37) & 0xFF);
  WriteFile(garbage);
  EXPECT_EQ(Loaded(), Settings::Defaults("/opt/gw"));
}

TEST_F(SettingsTest, EachValueIsTakenAloneAndOnlyWhenWellFormed) {
  WriteFile(
      "[glyphwell]\n"
      "MCOUNT=500\n"  // above its range: clamped
      "us_w=8\n"      // below its range: clamped
      "us_h=abc\n"    // malformed: default
      "alpha=0102\n"  // not eight bytes: default
      "grid color=0x00FF00\n"
      "hide=1\n"
      "tmppath=/w/sv.bmp\n"
      "sysdir=\n"  // empty: the detected folder stays
      "[Other]\nmcount=9\n");
  Settings s = Loaded();
  Settings expected = Settings::Defaults("/opt/gw");
  expected.mcount = 100;
  expected.us_w = 16;
  expected.grid_color = 0xFF00;
  expected.hide = true;
  expected.tmppath = "/w/sv.bmp";
  EXPECT_EQ(s, expected);
}

TEST_F(SettingsTest, SaveKeepsOtherLinesOfTheFile) {
  WriteFile("; kept\n[Glyphwell]\nmcount=5\nfuture=value\n[Other]\nx=1\n");
  SettingsStore store(path_);
  Settings s = Settings::Defaults("/opt/gw");
  ASSERT_TRUE(store.Load(s));
  EXPECT_EQ(s.mcount, 5);
  s.mcount = 6;
  ASSERT_TRUE(store.Save(s));
  std::string text = ReadFile();
  EXPECT_TRUE(text.starts_with("; kept\r\n[Glyphwell]\r\nmcount=6\r\nfuture=value\r\n")) << text;
  EXPECT_NE(text.find("[Other]\r\nx=1\r\n"), std::string::npos);
}

TEST_F(SettingsTest, AFileThatCannotBeReadIsNeverOverwritten) {
  fs::create_directories(path_);  // a folder where the file should be
  SettingsStore store(path_);
  Settings s = Settings::Defaults("/opt/gw");
  EXPECT_FALSE(store.Load(s));
  EXPECT_EQ(s, Settings::Defaults("/opt/gw"));
  std::string error;
  EXPECT_FALSE(store.Save(EveryValueChanged(), &error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(fs::is_directory(path_));
}

TEST_F(SettingsTest, FileLivesUnderTheConfigHome) {
  const char* old = std::getenv("XDG_CONFIG_HOME");
  std::string saved = old ? old : "";
  ::setenv("XDG_CONFIG_HOME", "/cfg/home/", 1);
  EXPECT_EQ(SettingsFilePath(), "/cfg/home/Orvane/Glyphwell.ini");
  ::setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored
  EXPECT_TRUE(SettingsFilePath().ends_with("/.config/Orvane/Glyphwell.ini"));
  if (old) {
    ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  } else {
    ::unsetenv("XDG_CONFIG_HOME");
  }
}

}  // namespace
}  // namespace glyphwell::platform
