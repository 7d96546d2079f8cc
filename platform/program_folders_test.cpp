#include "platform/program_folders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace glyphwell::platform {
namespace {

namespace fs = std::filesystem;

class ProgramFoldersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("gw-folders-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  static void Put(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
  }
  static std::string Get(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  fs::path dir_;
};

TEST_F(ProgramFoldersTest, FirstStartInAnEmptyFolderLaysOutTheTree) {
  ProgramFolders folders((dir_ / "gw").string(), "alice");
  folders.Prepare();
  for (const char* sub : {"tmp", "data", "data/alice", "data/alice/part", "Help"}) {
    EXPECT_TRUE(fs::is_directory(dir_ / "gw" / sub)) << sub;
  }
  EXPECT_EQ(folders.defaultWorkFile(), (dir_ / "gw/tmp/sv.bmp").string());
  EXPECT_EQ(folders.fileListIndex(), (dir_ / "gw/data/alice/filelist.ini").string());
  EXPECT_EQ(folders.favouritesFile(), (dir_ / "gw/data/alice/favorite.txt").string());
  EXPECT_EQ(folders.rememberedPathsFile(), (dir_ / "gw/data/alice/data.ini").string());
  EXPECT_EQ(folders.partsList(), (dir_ / "gw/data/alice/part/partlist.dat").string());
  // Nothing but folders is made.
  for (const auto& entry : fs::recursive_directory_iterator(dir_ / "gw")) {
    EXPECT_TRUE(entry.is_directory()) << entry.path();
  }
}

TEST_F(ProgramFoldersTest, FilesFromOlderPlacesMoveIn) {
  fs::path gw = dir_ / "gw";
  Put(gw / "data/filelist.ini", "[/x]\r\n0.ini=1<>0e0e0e1\r\n");
  Put(gw / "data/bob/partlist.dat", "parts");
  ProgramFolders folders(gw.string(), "bob");
  folders.Prepare();
  EXPECT_FALSE(fs::exists(gw / "data/filelist.ini"));
  EXPECT_EQ(Get(gw / "data/bob/filelist.ini"), "[/x]\r\n0.ini=1<>0e0e0e1\r\n");
  EXPECT_FALSE(fs::exists(gw / "data/bob/partlist.dat"));
  EXPECT_EQ(Get(gw / "data/bob/part/partlist.dat"), "parts");
}

TEST_F(ProgramFoldersTest, MovesNeverReplaceTheUsersCurrentFiles) {
  fs::path gw = dir_ / "gw";
  Put(gw / "data/filelist.ini", "old");
  Put(gw / "data/bob/filelist.ini", "current");
  // The parts folder exists already: an old parts list beside it stays where it is.
  Put(gw / "data/bob/part/partlist.dat", "current parts");
  Put(gw / "data/bob/partlist.dat", "old parts");
  ProgramFolders(gw.string(), "bob").Prepare();
  EXPECT_EQ(Get(gw / "data/bob/filelist.ini"), "current");
  EXPECT_EQ(Get(gw / "data/filelist.ini"), "old");
  EXPECT_EQ(Get(gw / "data/bob/part/partlist.dat"), "current parts");
  EXPECT_EQ(Get(gw / "data/bob/partlist.dat"), "old parts");
}

TEST_F(ProgramFoldersTest, ProgramFolderChoice) {
  const char* old = std::getenv("GLYPHWELL_HOME");
  std::string saved = old ? old : "";
  fs::path writable = dir_ / "bin";
  fs::create_directories(writable);

  ::setenv("GLYPHWELL_HOME", (dir_ / "home/").c_str(), 1);
  EXPECT_EQ(ResolveProgramFolder(writable.string()), (dir_ / "home").string());

  ::unsetenv("GLYPHWELL_HOME");
  EXPECT_EQ(ResolveProgramFolder(writable.string()), writable.string());
  std::string fallback = ResolveProgramFolder((dir_ / "no-such-folder").string());
  EXPECT_TRUE(fallback.ends_with("/Glyphwell")) << fallback;
  if (::geteuid() != 0) {  // root may write anywhere
    fs::permissions(writable, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(ResolveProgramFolder(writable.string()), fallback);
    fs::permissions(writable, fs::perms::owner_all);
  }
  EXPECT_FALSE(ExecutableFolder().empty());
  if (old) ::setenv("GLYPHWELL_HOME", saved.c_str(), 1);
}

}  // namespace
}  // namespace glyphwell::platform
