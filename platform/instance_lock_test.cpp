#include "platform/instance_lock.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace glyphwell::platform {
namespace {

namespace fs = std::filesystem;

class InstanceLockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("gw-lock-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    path_ = (dir_ / "Glyphwell.lock").string();
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
  std::string path_;
};

TEST_F(InstanceLockTest, SecondCopyIsRefusedUntilTheFirstEnds) {
  InstanceLock first, second;
  ASSERT_TRUE(first.AcquireAt(path_));
  EXPECT_TRUE(first.held());
  EXPECT_FALSE(second.AcquireAt(path_));
  EXPECT_FALSE(second.held());
  first.Release();
  EXPECT_TRUE(second.AcquireAt(path_));
}

TEST_F(InstanceLockTest, AnotherProcessHoldingTheLockRefusesTheStart) {
  int ready[2], done[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(done), 0);
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    InstanceLock lock;
    char c = lock.AcquireAt(path_) && lock.held() ? 'y' : 'n';
    [[maybe_unused]] auto w = ::write(ready[1], &c, 1);
    [[maybe_unused]] auto r = ::read(done[0], &c, 1);  // hold until told
    ::_exit(0);                                        // ends without releasing, like a crash
  }
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  ASSERT_EQ(c, 'y');
  InstanceLock mine;
  EXPECT_FALSE(mine.AcquireAt(path_));
  ASSERT_EQ(::write(done[1], "x", 1), 1);
  int status = 0;
  ::waitpid(child, &status, 0);
  // The crashed copy left its file behind; it does not block.
  EXPECT_TRUE(fs::exists(path_));
  EXPECT_TRUE(mine.AcquireAt(path_));
  EXPECT_TRUE(mine.held());
  for (int fd : {ready[0], ready[1], done[0], done[1]})
    ::close(fd);
}

TEST_F(InstanceLockTest, StaleFileDoesNotBlockAndRecordsTheHolder) {
  std::ofstream(path_) << "12345\n";
  InstanceLock lock;
  ASSERT_TRUE(lock.AcquireAt(path_));
  std::ifstream in(path_);
  std::string pid;
  in >> pid;
  EXPECT_EQ(pid, std::to_string(::getpid()));
}

TEST_F(InstanceLockTest, LockFileIsNamedAfterTheTitleInTheRuntimeFolder) {
  const char* old = std::getenv("XDG_RUNTIME_DIR");
  std::string saved = old ? old : "";
  ::setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
  EXPECT_EQ(InstanceLock::LockFilePath("Glyphwell"), path_);
  ::unsetenv("XDG_RUNTIME_DIR");
  std::string shared = InstanceLock::LockFilePath("Glyphwell");
  EXPECT_TRUE(shared.ends_with("/Glyphwell-" + std::to_string(::geteuid()) + ".lock")) << shared;
  if (old) ::setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
}

TEST_F(InstanceLockTest, NoPlaceForTheFileDoesNotKeepTheUserOut) {
  InstanceLock lock;
  EXPECT_TRUE(lock.AcquireAt((dir_ / "missing" / "Glyphwell.lock").string()));
  EXPECT_FALSE(lock.held());
}

}  // namespace
}  // namespace glyphwell::platform
