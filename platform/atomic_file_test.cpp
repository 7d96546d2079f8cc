#include "platform/atomic_file.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace glyphwell::platform {
namespace {

namespace fs = std::filesystem;

TEST(AtomicFileTest, ReplacesTargetAndLeavesNoTemporaryFile) {
  fs::path dir = fs::temp_directory_path() / ("gw-atomic-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::string target = (dir / "out.bin").string();
  std::vector<std::uint8_t> first{1, 2, 3}, second{9};
  ASSERT_TRUE(WriteFileAtomically(target, first));
  ASSERT_TRUE(WriteFileAtomically(target, second));
  std::vector<std::uint8_t> back;
  ASSERT_TRUE(ReadWholeFileBytes(target, back));
  EXPECT_EQ(back, second);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
  fs::remove_all(dir);
}

TEST(AtomicFileTest, FailureKeepsNothingAndReportsTheReason) {
  std::string error;
  std::vector<std::uint8_t> bytes{1};
  EXPECT_FALSE(WriteFileAtomically("/nonexistent-dir/x/out.bin", bytes, &error));
  EXPECT_FALSE(error.empty());
  std::vector<std::uint8_t> back;
  EXPECT_FALSE(ReadWholeFileBytes("/nonexistent-dir/x/out.bin", back));
}

}  // namespace
}  // namespace glyphwell::platform
