#include "shell/t_shell_link.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "shell/desktop_launcher.h"
#include "shell/link_name.h"
#include "shell/special_folders.h"
#include "shell/wine_app_paths.h"
#include "tests/support/lnk_builder.h"

namespace glyphwell::shell {
namespace {

namespace fs = std::filesystem;
using testsupport::BuildLnk;
using testsupport::LnkSpec;

void WriteBytes(const fs::path& p, const std::vector<std::uint8_t>& b) {
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary)
      .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}
void WriteText(const fs::path& p, const std::string& s) {
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << s;
}
std::string ReadText(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A private home with its own desktop and applications folders.
class ShellLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/shell_link_test_XXXXXX";
    root = mkdtemp(tmpl);
    for (const char* v : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"}) {
      const char* old = getenv(v);
      saved.emplace_back(v, old ? std::optional<std::string>(old) : std::nullopt);
    }
    setenv("HOME", (root / "home").c_str(), 1);
    setenv("XDG_DATA_HOME", (root / "home/.local/share").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root / "home/.config").c_str(), 1);
    fs::create_directories(root / "home/Desktop");
    WriteText(root / "program/glyphwell", "#!/bin/sh\n");
  }
  void TearDown() override {
    for (const auto& [name, value] : saved) {
      if (value) {
        setenv(name.c_str(), value->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
    fs::remove_all(root);
  }
  fs::path root;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved;
  TShellLink link{"/sys32"};
};

TEST_F(ShellLinkTest, ResolvesDrivePathsThroughTheWinePrefixHoldingTheLink) {
  const fs::path prefix = root / "wine";
  fs::create_directories(prefix / "drive_c/Program Files/Tool");
  fs::create_directories(prefix / "dosdevices");
  fs::create_directory_symlink("../drive_c", prefix / "dosdevices/c:");
  WriteText(prefix / "drive_c/Program Files/Tool/Tool.exe", "MZ");
  LnkSpec desc;
  desc.localBasePath = "C:\\PROGRAM FILES\\tool\\tool.EXE";  // Windows ignores case
  const fs::path lnk = prefix / "drive_c/users/me/Desktop/Tool.lnk";
  WriteBytes(lnk, BuildLnk(desc));

  std::string target;
  EXPECT_EQ(link.GetLinkToPath(lnk.string(), target, false), kLinkResolved);
  EXPECT_EQ(fs::canonical(target), fs::canonical(prefix / "drive_c/Program Files/Tool/Tool.exe"));

  // the target deleted: the caller keeps the shortcut's own path
  fs::remove(prefix / "drive_c/Program Files/Tool/Tool.exe");
  EXPECT_EQ(link.GetLinkToPath(lnk.string(), target, false), kLinkTargetMissing);
  EXPECT_EQ(target, lnk.string());
}

TEST_F(ShellLinkTest, WithoutAPrefixTheRelativePathCountsFromTheLinksFolder) {
  WriteText(root / "icons/app.ico", "ico");
  LnkSpec desc;
  desc.localBasePath = "D:\\elsewhere\\app.ico";
  desc.relativePath = "..\\icons\\app.ico";
  WriteBytes(root / "links/app.lnk", BuildLnk(desc));
  std::string target;
  EXPECT_EQ(link.GetLinkToPath((root / "links/app.lnk").string(), target, true), kLinkResolved);
  EXPECT_EQ(fs::path(target).lexically_normal(), root / "icons/app.ico");

  // not a shortcut at all, and a missing file: the path stays
  WriteText(root / "links/plain.lnk", "hello");
  EXPECT_EQ(link.GetLinkToPath((root / "links/plain.lnk").string(), target, true),
            kLinkNotAShortcut);
  EXPECT_EQ(target, (root / "links/plain.lnk").string());
  EXPECT_EQ(link.GetLinkToPath((root / "links/none.lnk").string(), target, true), kLinkUnreadable);
}

TEST_F(ShellLinkTest, InstallerShortcutsFallBackToAppPaths) {
  const fs::path prefix = root / "wine";
  fs::create_directories(prefix / "drive_c/windows/Installer/{1234-ABCD}");
  fs::create_directories(prefix / "drive_c/Apps/Painter");
  fs::create_directories(prefix / "dosdevices");
  fs::create_directory_symlink("../drive_c", prefix / "dosdevices/c:");
  WriteText(prefix / "drive_c/windows/Installer/{1234-ABCD}/icon.exe", "MZ");
  WriteText(prefix / "drive_c/Apps/Painter/paint.exe", "MZ");
  WriteText(prefix / "system.reg",
            "WINE REGISTRY Version 2\n\n"
            "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\App Paths\\\\other.exe] 1\n"
            "@=\"C:\\\\Apps\\\\Other\\\\other.exe\"\n\n"
            "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\App Paths\\\\paint.exe] 1\n"
            "#time=1d\n"
            "@=\"C:\\\\Apps\\\\Painter\\\\paint.exe\"\n");
  LnkSpec desc;
  desc.localBasePath = "C:\\windows\\Installer\\{1234-ABCD}\\icon.exe";
  const fs::path lnk = prefix / "drive_c/users/me/Desktop/Painter.lnk";
  WriteBytes(lnk, BuildLnk(desc));

  std::string target;
  ASSERT_EQ(link.GetLinkToPath(lnk.string(), target, true), kLinkResolved);
  EXPECT_EQ(fs::canonical(target), fs::canonical(prefix / "drive_c/Apps/Painter/paint.exe"));
  ASSERT_EQ(link.GetLinkToPath(lnk.string(), target, false), kLinkResolved);
  EXPECT_NE(target.find("{1234-ABCD}"), std::string::npos);
  EXPECT_EQ(AppPathForFolderName("", "Painter"), "");
}

TEST_F(ShellLinkTest, CreateNumbersOrOverwritesAndReplacesReservedCharacters) {
  const std::string program = (root / "program/glyphwell").string();
  std::string out;
  const std::string first = link.CreateLink(program, &out, false, "T", kCsidlDesktop);
  EXPECT_EQ(first, (root / "home/Desktop/T.desktop").string());
  EXPECT_EQ(out, first);
  EXPECT_EQ(link.CreateLink(program, nullptr, false, "T", kCsidlDesktop),
            (root / "home/Desktop/T(1).desktop").string());
  EXPECT_EQ(link.CreateLink(program, nullptr, false, "T", kCsidlDesktop),
            (root / "home/Desktop/T(2).desktop").string());
  EXPECT_EQ(link.CreateLink(program, nullptr, true, "T", kCsidlDesktop), first);
  EXPECT_TRUE(link.Overwrite());
  EXPECT_FALSE(fs::exists(root / "home/Desktop/T(3).desktop"));

  EXPECT_EQ(link.CreateLink(program, nullptr, false, "A/B:C", kCsidlDesktop),
            (root / "home/Desktop/A／B：C.desktop").string());
  // no name: the target's name; a missing target creates nothing
  EXPECT_EQ(link.CreateLink(program, nullptr, false, "", kCsidlSendTo),
            (root / "home/.local/share/applications/glyphwell.desktop").string());
  EXPECT_EQ(link.CreateLink((root / "nothing").string(), nullptr, false, "X", kCsidlDesktop), "");
  EXPECT_FALSE(fs::exists(root / "home/Desktop/X.desktop"));

  // the launcher starts the program and is executable; Send To offers the file types
  struct stat st {};
  ASSERT_EQ(stat(first.c_str(), &st), 0);
  EXPECT_TRUE(st.st_mode & S_IXUSR);
  const std::string sendTo = ReadText(root / "home/.local/share/applications/glyphwell.desktop");
  EXPECT_NE(sendTo.find("MimeType=image/x-icon;"), std::string::npos);
  EXPECT_EQ(LauncherTarget(sendTo), program);
}

TEST_F(ShellLinkTest, CheckComparesTheLaunchersTargetExactly) {
  const std::string program = (root / "program/glyphwell").string();
  EXPECT_FALSE(link.ChkLinkPath(program, "Glyphwell", kCsidlDesktop));
  link.CreateLink(program, nullptr, true, "Glyphwell", kCsidlDesktop);
  EXPECT_TRUE(link.ChkLinkPath(program, "Glyphwell", kCsidlDesktop));
  WriteText(root / "program/GLYPHWELL", "#!/bin/sh\n");
  EXPECT_FALSE(link.ChkLinkPath((root / "program/GLYPHWELL").string(), "Glyphwell", kCsidlDesktop));
  EXPECT_FALSE(link.ChkLinkPath(program, "Glyphwell", 0x05));  // a code without a folder
}

TEST_F(ShellLinkTest, DeleteTriesTheProgramsNameThenTheSecondName) {
  const fs::path desktop = root / "home/Desktop";
  WriteText(desktop / "app.desktop", "[Desktop Entry]\n");
  WriteText(desktop / "My App.desktop", "[Desktop Entry]\n");
  link.DeleteLink(kCsidlDesktop, "/opt/x/app.exe", "My App");
  EXPECT_FALSE(fs::exists(desktop / "app.desktop"));
  EXPECT_TRUE(fs::exists(desktop / "My App.desktop"));
  link.DeleteLink(kCsidlDesktop, "/opt/x/app.exe", "My App");
  EXPECT_FALSE(fs::exists(desktop / "My App.desktop"));
  // a name climbing out of the folder is never followed
  WriteText(root / "home/keep.desktop", "[Desktop Entry]\n");
  link.DeleteLink(kCsidlDesktop, "x", "../keep");
  EXPECT_TRUE(fs::exists(root / "home/keep.desktop"));
}

TEST_F(ShellLinkTest, SpecialFolders) {
  EXPECT_EQ(link.GetPath(kCsidlDesktop), (root / "home/Desktop").string());
  WriteText(root / "home/.config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
  EXPECT_EQ(link.GetPath(kCsidlDesktop), (root / "home/Schreibtisch").string());
  EXPECT_EQ(link.GetPath(kCsidlSendTo), (root / "home/.local/share/applications").string());
  EXPECT_EQ(link.GetPath(kCsidlWindows), "/sys32");
  EXPECT_EQ(link.GetPath(kCsidlSystem), "/sys32");
  EXPECT_EQ(link.GetPath(0x1A), "");
}

TEST(LinkName, ReservedCharacterTableAndExtensions) {
  EXPECT_EQ(ReplaceReservedChars("a/b\"c:d*e<f>g?h\\i|j"), "a／b”c：d＊e＜f＞g？h￥i｜j");
  EXPECT_EQ(ReplaceReservedChars("表示/保存"), "表示／保存");
  EXPECT_EQ(WithoutExtension("app.exe"), "app");
  EXPECT_EQ(WithoutExtension("archive.tar.gz"), "archive.tar");
  EXPECT_EQ(WithoutExtension(".hidden"), ".hidden");
  EXPECT_EQ(FileNameOf("C:\\dir\\x.exe"), "x.exe");
}

TEST(DesktopLauncher, ExecQuotingRoundTrips) {
  for (const std::string path : {"/opt/my app/run", "/a/\"q\"/$x`y`\\z", "/p/100%/bin"}) {
    LauncherSpec desc{"n", path, false, true};
    EXPECT_EQ(LauncherTarget(LauncherText(desc)), path) << path;
  }
  LauncherSpec folder{"dir", "/data/ä b", true, false};
  EXPECT_EQ(LauncherTarget(LauncherText(folder)), "/data/ä b");
  EXPECT_FALSE(LauncherTarget("Exec=/bin/true\n"));
  EXPECT_EQ(LauncherTarget("[Desktop Entry]\r\nType=Application\r\nExec=/usr/bin/gimp %U\r\n"),
            "/usr/bin/gimp");
}

}  // namespace
}  // namespace glyphwell::shell
