#include "dialogs/t_option_dlg.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "shell/desktop_launcher.h"
#include "shell/t_shell_link.h"

namespace glyphwell::dialogs {
namespace {

namespace fs = std::filesystem;

// Clicks a box on its indicator: the middle of a wide box with a short text lies
// outside what the box takes as a click.
void ClickBox(QCheckBox* box) {
  QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
}

// Points HOME and the XDG folders at a fresh temporary tree for one test and puts
// them back afterwards.
class OptionDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            ("option_dlg_" + std::to_string(::getpid()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "home");
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
      const char* old = std::getenv(name);
      saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    }
    ::setenv("HOME", (root_ / "home").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (root_ / "data").c_str(), 1);
    program_ = (root_ / "bin" / "glyphwell").string();
    fs::create_directories(root_ / "bin");
    std::ofstream(program_) << "program";
    shortcut_ = ProgramShortcut{program_, "Glyphwell"};
  }
  void TearDown() override {
    for (const auto& [name, value] : saved_) {
      if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
      } else {
        ::unsetenv(name.c_str());
      }
    }
    fs::remove_all(root_);
  }

  fs::path DesktopLauncher() const { return root_ / "home" / "Desktop" / "Glyphwell.desktop"; }
  fs::path SendToLauncher() const { return root_ / "data" / "applications" / "Glyphwell.desktop"; }
  static std::string Read(const fs::path& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  fs::path root_;
  std::string program_;
  ProgramShortcut shortcut_;
  shell::TShellLink link_;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST_F(OptionDlgTest, OpensWithTheValuesAndTextsAndKeepsThemOnCancel) {
  IconOptionValues values{false, true, true, true};
  TOptionDlg dlg(nullptr, values, link_, shortcut_);
  EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Option （アイコンの設定）"));
  EXPECT_EQ(dlg.Label3->text(), QStringLiteral("PNG形式アイコンの設定"));
  EXPECT_EQ(dlg.CheckBox1->text(), QStringLiteral("256×256のアイコンだけをPNG形式で圧縮する"));
  EXPECT_EQ(dlg.CheckBox6->text(), QStringLiteral("「送る」メニューに追加"));
  EXPECT_FALSE(dlg.CheckBox1->isChecked());
  EXPECT_TRUE(dlg.CheckBox2->isChecked());
  EXPECT_TRUE(dlg.CheckBox3->isChecked());
  EXPECT_TRUE(dlg.CheckBox3->isEnabled());
  EXPECT_TRUE(dlg.CheckBox4->isChecked());
  EXPECT_FALSE(dlg.CheckBox5->isChecked());
  EXPECT_FALSE(dlg.CheckBox6->isChecked());
  dlg.show();
  ClickBox(dlg.CheckBox4);
  QTest::mouseClick(dlg.CancelBtn, Qt::LeftButton);
  EXPECT_EQ(dlg.result(), QDialog::Rejected);
  EXPECT_EQ(values, (IconOptionValues{false, true, true, true}));
}

TEST_F(OptionDlgTest, CompressionBoxesExcludeEachOtherAndGateTheMaskBox) {
  IconOptionValues values{};
  TOptionDlg dlg(nullptr, values, link_, shortcut_);
  dlg.show();
  EXPECT_FALSE(dlg.CheckBox3->isEnabled());
  ClickBox(dlg.CheckBox1);
  EXPECT_TRUE(dlg.CheckBox3->isEnabled());
  ClickBox(dlg.CheckBox2);
  EXPECT_FALSE(dlg.CheckBox1->isChecked());
  EXPECT_TRUE(dlg.CheckBox2->isChecked());
  ClickBox(dlg.CheckBox1);
  EXPECT_TRUE(dlg.CheckBox1->isChecked());
  EXPECT_FALSE(dlg.CheckBox2->isChecked());
  ClickBox(dlg.CheckBox3);
  EXPECT_TRUE(dlg.CheckBox3->isChecked());
  // Unticking the last compression box disables the mask box; OK stores it off.
  ClickBox(dlg.CheckBox1);
  EXPECT_FALSE(dlg.CheckBox3->isEnabled());
  EXPECT_TRUE(dlg.CheckBox3->isChecked());
  QTest::mouseClick(dlg.OKBtn, Qt::LeftButton);
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(values, (IconOptionValues{false, false, false, false}));
}

TEST_F(OptionDlgTest, OkStoresEveryOption) {
  IconOptionValues values{};
  TOptionDlg dlg(nullptr, values, link_, shortcut_);
  dlg.show();
  ClickBox(dlg.CheckBox2);
  ClickBox(dlg.CheckBox3);
  ClickBox(dlg.CheckBox4);
  QTest::mouseClick(dlg.OKBtn, Qt::LeftButton);
  EXPECT_EQ(values, (IconOptionValues{false, true, true, true}));
}

TEST_F(OptionDlgTest, ToggleButtonSwapsThePanelAndTitle) {
  IconOptionValues values{};
  TOptionDlg dlg(nullptr, values, link_, shortcut_);
  dlg.show();
  EXPECT_FALSE(dlg.Panel1->isVisible());
  QTest::mouseClick(dlg.SpeedButton1, Qt::LeftButton);
  EXPECT_TRUE(dlg.Panel1->isVisible());
  EXPECT_EQ(dlg.Label3->text(), QStringLiteral("他の設定"));
  QTest::mouseClick(dlg.SpeedButton1, Qt::LeftButton);
  EXPECT_FALSE(dlg.Panel1->isVisible());
  EXPECT_EQ(dlg.Label3->text(), QStringLiteral("PNG形式アイコンの設定"));
}

TEST_F(OptionDlgTest, TickedShortcutBoxesCreateLaunchersAndUntickedOnesRemoveThem) {
  IconOptionValues values{};
  {
    TOptionDlg dlg(nullptr, values, link_, shortcut_);
    dlg.show();
    QTest::mouseClick(dlg.SpeedButton1, Qt::LeftButton);
    ClickBox(dlg.CheckBox5);
    ClickBox(dlg.CheckBox6);
    QTest::mouseClick(dlg.OKBtn, Qt::LeftButton);
  }
  ASSERT_TRUE(fs::exists(DesktopLauncher()));
  ASSERT_TRUE(fs::exists(SendToLauncher()));
  EXPECT_EQ(shell::LauncherTarget(Read(DesktopLauncher())), fs::path(program_).string());
  EXPECT_NE(Read(SendToLauncher()).find("MimeType="), std::string::npos);
  EXPECT_EQ(Read(DesktopLauncher()).find("MimeType="), std::string::npos);

  {
    TOptionDlg dlg(nullptr, values, link_, shortcut_);
    EXPECT_TRUE(dlg.CheckBox5->isChecked());
    EXPECT_TRUE(dlg.CheckBox6->isChecked());
    dlg.show();
    QTest::mouseClick(dlg.SpeedButton1, Qt::LeftButton);
    ClickBox(dlg.CheckBox6);
    QTest::mouseClick(dlg.OKBtn, Qt::LeftButton);
  }
  EXPECT_TRUE(fs::exists(DesktopLauncher()));
  EXPECT_FALSE(fs::exists(SendToLauncher()));
}

TEST_F(OptionDlgTest, ALauncherThatStartsSomethingElseIsReplaced) {
  const std::string other = (root_ / "bin" / "other").string();
  std::ofstream(other) << "other";
  ASSERT_FALSE(link_.CreateLink(other, nullptr, true, "Glyphwell", 0).empty());
  IconOptionValues values{};
  TOptionDlg dlg(nullptr, values, link_, shortcut_);
  EXPECT_FALSE(dlg.CheckBox5->isChecked());
  dlg.show();
  QTest::mouseClick(dlg.SpeedButton1, Qt::LeftButton);
  ClickBox(dlg.CheckBox5);
  QTest::mouseClick(dlg.OKBtn, Qt::LeftButton);
  EXPECT_EQ(shell::LauncherTarget(Read(DesktopLauncher())), program_);
  EXPECT_FALSE(fs::exists(root_ / "home" / "Desktop" / "Glyphwell(1).desktop"));
}

TEST_F(OptionDlgTest, OkWithoutTouchingTheShortcutBoxesChangesNoFolder) {
  // One launcher present, one absent: OK keeps both as they are, including a
  // launcher another program left under the same name.
  ASSERT_FALSE(link_.CreateLink(program_, nullptr, true, "Glyphwell", 9).empty());
  const std::string other = (root_ / "bin" / "other").string();
  std::ofstream(other) << "other";
  ASSERT_FALSE(link_.CreateLink(other, nullptr, true, "Glyphwell", 0).empty());
  const std::string desktopBefore = Read(DesktopLauncher());
  IconOptionValues values{};
  TOptionDlg dlg(nullptr, values, link_, shortcut_);
  EXPECT_FALSE(dlg.DesktopFound());
  EXPECT_TRUE(dlg.SendToFound());
  dlg.show();
  QTest::mouseClick(dlg.OKBtn, Qt::LeftButton);
  EXPECT_EQ(Read(DesktopLauncher()), desktopBefore);
  EXPECT_TRUE(fs::exists(SendToLauncher()));
}

TEST_F(OptionDlgTest, GalleryShowsBothPages) {
  IconOptionValues values{true, false, true, false};
  TOptionDlg dlg(nullptr, values, link_, shortcut_);
  dlg.show();
  const QString dir = QStringLiteral(GLYPHWELL_BINARY_DIR "/gallery");
  QDir().mkpath(dir);
  EXPECT_TRUE(dlg.grab().save(dir + "/option_dlg_png.png"));
  QTest::mouseClick(dlg.SpeedButton1, Qt::LeftButton);
  EXPECT_TRUE(dlg.grab().save(dir + "/option_dlg_shortcuts.png"));
}

}  // namespace
}  // namespace glyphwell::dialogs
