// Icon libraries written here, read back by our own module reader and by wrestool.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "builder/extract_module_reader.h"
#include "builder/icl_file_writer.h"
#include "builder/icon_builder.h"
#include "builder/testing_entries.h"
#include "platform/atomic_file.h"

namespace glyphwell::builder {
namespace {

using testing::MakeEntry;

class IclRoundTripTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("glyphwell_builder_icl_rt_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  // Two icons "A" (three images) and "B" (one image), and a third unnamed one.
  std::vector<TIconEntry> Library() {
    std::vector<TIconEntry> entries = {MakeEntry(32, 32, 4, "A", 1), MakeEntry(16, 16, 8, "", 2),
                                       MakeEntry(48, 48, 32, "", 3), MakeEntry(24, 24, 1, "B", 4),
                                       MakeEntry(20, 20, 24, "", 5)};
    for (int i = 0; i < 3; ++i)
      entries[i].GroupId = 0;
    entries[4].SourcePath = "/somewhere/tool.ico";
    return entries;
  }

  std::filesystem::path dir_;
  platform::RecordingMessages messages_;
};

TEST_F(IclRoundTripTest, OwnReaderGivesTheSameImagesAndNames) {
  auto entries = Library();
  const std::string path = Path("lib.icl");
  ASSERT_TRUE(WriteIclFile(path, entries, std::vector<int>{0, 1, 2, 3, 4}, {}, messages_));

  ExtractModuleReader reader;
  IconBuilder::Services services;
  services.messages = &messages_;
  services.modules = &reader;
  IconBuilder model(services);
  EXPECT_EQ(model.AddFiles({path}), 5);
  ASSERT_EQ(model.count(), 5);
  const char* names[] = {"A-0", "A-1", "A-2", "B", "tool.ico-4"};
  for (int i = 0; i < 5; ++i) {
    const TIconEntry& e = model.entries()[i];
    EXPECT_EQ(e.Image, entries[i].Image) << i;
    EXPECT_EQ(e.Name, names[i]) << i;
    EXPECT_EQ(e.SrcIndex, i);
    EXPECT_FALSE(e.IsPng);
  }
  EXPECT_GE(model.entries()[0].GroupId, 0);
  EXPECT_EQ(model.entries()[0].GroupId, model.entries()[2].GroupId);
  EXPECT_EQ(model.entries()[0].GroupCount, 3);
  EXPECT_EQ(model.entries()[3].GroupId, -1);
  EXPECT_TRUE(messages_.entries.empty());

  // Refreshing an entry read from the library reads the same image again.
  model.mutableEntries()[2].State = kEditedBit;
  model.selection().Assign({2});
  EXPECT_EQ(model.RefreshSelection(), 0);
  EXPECT_EQ(model.entries()[2].Image, entries[2].Image);
  EXPECT_EQ(model.entries()[2].State, 0);

  // Saved again as a library, the groups come back as they were; only the first
  // icon's name grew (its first entry is now called "A-0").
  model.SelectAll();
  ASSERT_TRUE(model.WriteIclFile(Path("again.icl")));
  std::vector<std::uint8_t> a, b;
  ASSERT_TRUE(platform::ReadWholeFileBytes(path, a));
  ASSERT_TRUE(platform::ReadWholeFileBytes(Path("again.icl"), b));
  EXPECT_EQ(b.size(), a.size() + 2);
  EXPECT_EQ(b[196], 3);               // three icons
  EXPECT_EQ(b[202 + 12 * 3 + 2], 5);  // five images
}

TEST_F(IclRoundTripTest, LargeShiftedLibraryReadsBack) {
  std::vector<TIconEntry> entries = {MakeEntry(256, 256, 32, "big"), MakeEntry(16, 16, 4, "s")};
  const std::string path = Path("big.icl");
  ASSERT_TRUE(WriteIclFile(path, entries, std::vector<int>{0, 1}, {}, messages_));
  ExtractModuleReader reader;
  ASSERT_TRUE(reader.Load(path));
  ASSERT_EQ(reader.ImageCount(), 2);
  for (int i = 0; i < 2; ++i) {
    auto image = reader.Decode(i, false);
    ASSERT_TRUE(image) << i;
    EXPECT_EQ(image->block, entries[i].Image) << i;
  }
}

TEST_F(IclRoundTripTest, WrestoolListsEveryResource) {
  if (std::system("wrestool --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "no wrestool";
  auto entries = Library();
  const std::string path = Path("lib.icl");
  ASSERT_TRUE(WriteIclFile(path, entries, std::vector<int>{0, 1, 2, 3, 4}, {}, messages_));
  const std::string out = Path("wrestool.txt");
  ASSERT_EQ(std::system(("wrestool -l '" + path + "' > '" + out + "' 2>&1").c_str()), 0);
  std::ifstream in(out);
  std::stringstream text;
  text << in.rdbuf();
  const std::string listing = text.str();
  int groups = 0, icons = 0;
  std::istringstream lines(listing);
  for (std::string line; std::getline(lines, line);) {
    if (line.find("--type=14") != std::string::npos) ++groups;
    if (line.find("--type=3 ") != std::string::npos) ++icons;
  }
  EXPECT_EQ(groups, 3) << listing;
  EXPECT_EQ(icons, 5) << listing;
  // And wrestool can take the first icon group out as an icon file.
  const std::string ico = Path("first.ico");
  ASSERT_EQ(
      std::system(
          ("wrestool -x --type=14 --name=1 '" + path + "' > '" + ico + "' 2>/dev/null").c_str()),
      0);
  EXPECT_GT(std::filesystem::file_size(ico), 6u + 3 * 16u);
}

}  // namespace
}  // namespace glyphwell::builder
