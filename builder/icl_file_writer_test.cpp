#include "builder/icl_file_writer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "builder/testing_entries.h"
#include "platform/atomic_file.h"
#include "platform/byte_reader.h"

namespace glyphwell::builder {
namespace {

using testing::MakeEntry;

struct NameInfo {
  std::uint16_t offset, length, flags, id;
};

NameInfo ReadNameInfo(const std::vector<std::uint8_t>& f, std::size_t at) {
  platform::ByteReader r(f);
  return {*r.u16le(at), *r.u16le(at + 2), *r.u16le(at + 4), *r.u16le(at + 6)};
}

std::vector<std::uint8_t> Encode(std::vector<TIconEntry>& entries, std::vector<int> selection,
                                 IclWriteJob job = {}) {
  std::string error;
  auto bytes = EncodeIconLibrary(entries, selection, job, error);
  EXPECT_TRUE(bytes) << error;
  return bytes ? *bytes : std::vector<std::uint8_t>{};
}

TEST(AlignPad, FullUnitWhenAlreadyAligned) {
  EXPECT_EQ(AlignPad(243, 0), 0u);
  EXPECT_EQ(AlignPad(243, 3), 5u);
  EXPECT_EQ(AlignPad(248, 3), 8u);
  EXPECT_EQ(AlignPad(20, 3), 4u);
  EXPECT_EQ(AlignPad(0, 4), 16u);
}

// Two icons: "A" (32x32 and 16x16 at 4 bits) and "B" (48x48 at 8 bits).
TEST(IclFileWriter, ThreeEntryLibraryByteLayout) {
  std::vector<TIconEntry> entries = {MakeEntry(32, 32, 4, "A"), MakeEntry(16, 16, 4, "x"),
                                     MakeEntry(48, 48, 8, "B")};
  entries[0].GroupId = entries[1].GroupId = 7;
  entries[0].GroupCount = entries[1].GroupCount = 2;
  ASSERT_EQ(entries[0].Image.size(), 744u);
  ASSERT_EQ(entries[1].Image.size(), 296u);
  ASSERT_EQ(entries[2].Image.size(), 3752u);
  const auto f = Encode(entries, {0, 1, 2});
  ASSERT_EQ(f.size(), 5127u);
  platform::ByteReader r(f);

  EXPECT_EQ(f[0], 'M');
  EXPECT_EQ(f[1], 'Z');
  EXPECT_EQ(*r.u16le(24), 0x40);
  EXPECT_EQ(*r.u32le(60), 0x80u);
  for (std::size_t i = 64; i < 128; ++i)
    ASSERT_EQ(f[i], 0) << i;
  EXPECT_EQ(f[128], 'N');
  EXPECT_EQ(f[129], 'E');
  EXPECT_EQ(*r.u16le(128 + 34), 0x40);
  EXPECT_EQ(*r.u16le(128 + 36), 0x40);
  EXPECT_EQ(*r.u16le(128 + 38), 144);
  EXPECT_EQ(f[128 + 54], 2);
  EXPECT_EQ(*r.u16le(128 + 62), 0x0300);
  // Every other NE header byte is zero.
  for (std::size_t i = 2; i < 64; ++i) {
    if (i == 34 || i == 35 || i == 36 || i == 37 || i == 38 || i == 39 || i == 54 || i == 62 ||
        i == 63)
      continue;
    ASSERT_EQ(f[128 + i], 0) << i;
  }

  EXPECT_EQ(*r.u16le(192), 0);  // shift
  EXPECT_EQ(*r.u16le(194), 0x800E);
  EXPECT_EQ(*r.u16le(196), 2);
  EXPECT_EQ(*r.u32le(198), 0u);
  const std::size_t groups = 202, images = 202 + 24 + 8;
  EXPECT_EQ(*r.u16le(226), 0x8003);
  EXPECT_EQ(*r.u16le(228), 3);
  EXPECT_EQ(*r.u16le(210 + 12 * 5), 0);  // rscEndTypes

  const NameInfo g0 = ReadNameInfo(f, groups), g1 = ReadNameInfo(f, groups + 12);
  EXPECT_EQ(g0.offset, 281);
  EXPECT_EQ(g0.length, 34);
  EXPECT_EQ(g1.offset, 315);
  EXPECT_EQ(g1.length, 20);
  EXPECT_EQ(g0.flags, 0x1C30);
  EXPECT_EQ(g0.id, 0x8001);
  EXPECT_EQ(g1.id, 0x8002);
  const std::uint16_t imageOffsets[] = {335, 1079, 1375}, imageLengths[] = {744, 296, 3752};
  for (int i = 0; i < 3; ++i) {
    const NameInfo ni = ReadNameInfo(f, images + 12 * i);
    EXPECT_EQ(ni.offset, imageOffsets[i]);
    EXPECT_EQ(ni.length, imageLengths[i]);
    EXPECT_EQ(ni.flags, 0x1C30);
    EXPECT_EQ(ni.id, 0x8001 + i);
    EXPECT_EQ(*r.u32le(images + 12 * i + 8), 0u);  // handle, usage
    EXPECT_TRUE(
        std::equal(entries[i].Image.begin(), entries[i].Image.end(), f.begin() + imageOffsets[i]));
  }

  // Resident names at ne_restab: 0x03 "ICL", then "A" and "B", then 0; ends at 281.
  const std::uint8_t names[] = {3, 'I', 'C', 'L', 1, 'A', 1, 'B', 0};
  EXPECT_TRUE(std::equal(std::begin(names), std::end(names), f.begin() + 272));

  // Group directories.
  EXPECT_EQ(*r.u16le(281), 0);
  EXPECT_EQ(*r.u16le(283), 1);
  EXPECT_EQ(*r.u16le(285), 2);
  const std::uint8_t first[] = {32, 32, 16, 0, 1, 0, 4, 0, 0xE8, 0x02, 0, 0, 1, 0};
  EXPECT_TRUE(std::equal(std::begin(first), std::end(first), f.begin() + 287));
  EXPECT_EQ(f[301], 16);
  EXPECT_EQ(*r.u32le(301 + 8), 296u);
  EXPECT_EQ(*r.u16le(301 + 12), 2);
  EXPECT_EQ(*r.u16le(319), 1);
  const std::uint8_t third[] = {48, 48, 0, 0, 1, 0, 8, 0, 0xA8, 0x0E, 0, 0, 3, 0};
  EXPECT_TRUE(std::equal(std::begin(third), std::end(third), f.begin() + 321));
}

TEST(IclFileWriter, LargeImageNeedsShiftThree) {
  std::vector<TIconEntry> entries = {MakeEntry(256, 256, 32, "Z")};
  ASSERT_EQ(entries[0].Image.size(), 270376u);
  const auto f = Encode(entries, {0});
  ASSERT_EQ(f.size(), 270672u);
  platform::ByteReader r(f);
  EXPECT_EQ(*r.u16le(192), 3);
  // Name list ends at 243; zeros up to 256 (248 + a full unit of padding).
  EXPECT_EQ(f[242], 0);
  for (std::size_t i = 243; i < 256; ++i)
    ASSERT_EQ(f[i], 0);
  const NameInfo g = ReadNameInfo(f, 202), img = ReadNameInfo(f, 222);
  EXPECT_EQ(g.offset, 32);
  EXPECT_EQ(g.length, 3);
  EXPECT_EQ(img.offset, 36);
  EXPECT_EQ(img.length, 33798);
  EXPECT_EQ(*r.u16le(256 + 4), 1);
  EXPECT_EQ(f[256 + 6], 0);  // bWidth: low 8 bits of 256
  EXPECT_EQ(*r.u32le(256 + 6 + 8), 270376u);
  EXPECT_TRUE(std::equal(entries[0].Image.begin(), entries[0].Image.end(), f.begin() + 288));
}

TEST(IclFileWriter, ShiftGrowsUntilEveryOffsetFits) {
  // Many medium images whose estimate fits shift 0 only because the last image is
  // left out of it.
  IclSizes sizes;
  sizes.nameBytes = {1};
  sizes.groupLengths = {6 + 14 * 2};
  sizes.imageLengths = {1000, 200000};
  sizes.blockLengths = {1000, 200000};
  const auto shift = ChooseAlignShift(sizes);
  ASSERT_TRUE(shift);
  const IclLayout l = LayOutIcl(sizes, *shift);
  for (auto v : l.imagePadded)
    EXPECT_LE(v >> *shift, 0xFFFFu);
  for (auto v : l.imageOffsets)
    EXPECT_LE(v >> *shift, 0xFFFFu);
  EXPECT_EQ(*shift, 2);
}

TEST(IclFileWriter, PartOfAGroupAndUnnamedIcons) {
  std::vector<TIconEntry> entries = {MakeEntry(16, 16, 4, "G"), MakeEntry(32, 32, 4, ""),
                                     MakeEntry(48, 48, 4, ""), MakeEntry(16, 16, 8, ""),
                                     MakeEntry(16, 16, 8, "")};
  for (int i = 0; i < 3; ++i) {
    entries[i].GroupId = 3;
    entries[i].GroupCount = 3;
  }
  entries[1].SourcePath = "/data/icons/app.ico";
  entries[4].SourcePath = "C:\\icons\\tool.ico";
  const auto icons = CollectIcons(entries, std::vector<int>{1, 2, 4});
  ASSERT_EQ(icons.size(), 2u);
  EXPECT_EQ(icons[0].name, "app.ico-1");
  EXPECT_EQ(icons[0].entries, (std::vector<int>{1, 2}));
  EXPECT_EQ(icons[1].name, "tool.ico-4");

  const auto f = Encode(entries, {1, 2, 4});
  platform::ByteReader r(f);
  const NameInfo g0 = ReadNameInfo(f, 202);
  const std::size_t dir = g0.offset;  // shift 0
  EXPECT_EQ(*r.u16le(dir + 4), 2);
  EXPECT_EQ(*r.u16le(dir + 6 + 12), 1);
  EXPECT_EQ(*r.u16le(dir + 6 + 14 + 12), 2);
}

TEST(IclFileWriter, SameGroupNumberInSeparateRunsStaysSeparateIcons) {
  std::vector<TIconEntry> entries = {MakeEntry(16, 16, 4, "a"), MakeEntry(16, 16, 4, "b"),
                                     MakeEntry(16, 16, 4, "c")};
  entries[0].GroupId = entries[2].GroupId = 1;
  EXPECT_EQ(CollectIcons(entries, std::vector<int>{0, 1, 2}).size(), 3u);
  // Two adjacent ungrouped entries are two icons as well.
  entries[0].GroupId = entries[2].GroupId = kNoGroup;
  EXPECT_EQ(CollectIcons(entries, std::vector<int>{0, 1}).size(), 2u);
}

TEST(IclFileWriter, LongNamesAreCutOnACharacterBoundary) {
  std::string name;
  for (int i = 0; i < 100; ++i)
    name += "あ";  // 3 bytes each
  std::vector<TIconEntry> entries = {MakeEntry(16, 16, 4, name)};
  const auto f = Encode(entries, {0});
  const std::size_t restab = 128 + 84 + 24;
  EXPECT_EQ(f[restab + 4], 255);
  EXPECT_EQ(std::string(f.begin() + restab + 5, f.begin() + restab + 5 + 255), name.substr(0, 255));
  EXPECT_EQ(f[restab + 5 + 255], 0);
}

TEST(IclFileWriter, Png256StoresLargeImagesAsPng) {
  std::vector<TIconEntry> entries = {MakeEntry(16, 16, 4, "s"), MakeEntry(256, 256, 32, "L")};
  entries[0].State = entries[1].State = 3;
  const std::vector<std::uint8_t> fakePng = {0x89, 'P', 'N', 'G', 1, 2, 3, 4, 5};
  IclWriteJob job;
  job.options.png256 = true;
  int calls = 0;
  job.encoder = [&](const TIconEntry&) {
    ++calls;
    return fakePng;
  };
  const auto f = Encode(entries, {0, 1}, job);
  EXPECT_EQ(calls, 1);
  platform::ByteReader r(f);
  const NameInfo g1 = ReadNameInfo(f, 202 + 12);
  EXPECT_EQ(*r.u32le(g1.offset + 6 + 8), fakePng.size());
  const NameInfo i1 = ReadNameInfo(f, 202 + 24 + 8 + 12);
  EXPECT_EQ(i1.length, fakePng.size());
  EXPECT_TRUE(std::equal(fakePng.begin(), fakePng.end(), f.begin() + i1.offset));
  EXPECT_TRUE(entries[1].PngImage.empty());  // released after the write
  EXPECT_EQ(entries[0].State, 3);            // encoding alone saves nothing
}

TEST(IclFileWriter, FailedPngEncodingGivesEmptyImage) {
  std::vector<TIconEntry> entries = {MakeEntry(16, 16, 4, "s")};
  IclWriteJob job;
  job.options.pngfrg = true;
  job.encoder = [](const TIconEntry&) { return std::vector<std::uint8_t>{}; };
  const auto f = Encode(entries, {0}, job);
  platform::ByteReader r(f);
  EXPECT_EQ(ReadNameInfo(f, 202 + 12 + 8).length, 0);
  EXPECT_EQ(*r.u32le(ReadNameInfo(f, 202).offset + 6 + 8), 0u);
}

TEST(IclFileWriter, TooManyResourcesAreRefused) {
  std::vector<TIconEntry> entries(kMaxIclResources / 2 + 1, MakeEntry(1, 1, 1, "n"));
  std::vector<int> all(entries.size());
  for (std::size_t i = 0; i < all.size(); ++i)
    all[i] = static_cast<int>(i);
  std::string error;
  EXPECT_FALSE(EncodeIconLibrary(entries, all, {}, error));
  EXPECT_EQ(error, kTooManyForLibraryText);
  all.pop_back();
  EXPECT_TRUE(EncodeIconLibrary(entries, all, {}, error));
}

TEST(IclFileWriter, WriteClearsStateAndReportsFailures) {
  const auto dir = std::filesystem::temp_directory_path() / "glyphwell_builder_icl";
  std::filesystem::create_directories(dir);
  std::vector<TIconEntry> entries = {MakeEntry(16, 16, 4, "a"), MakeEntry(16, 16, 4, "b")};
  entries[0].State = entries[1].State = 1;
  platform::RecordingMessages messages;
  const std::string good = (dir / "lib.icl").string();
  EXPECT_TRUE(WriteIclFile(good, entries, std::vector<int>{1}, {}, messages));
  EXPECT_EQ(entries[0].State, 1);
  EXPECT_EQ(entries[1].State, 0);
  EXPECT_TRUE(messages.entries.empty());

  const std::string bad = (dir / "missing" / "lib.icl").string();
  entries[1].State = 1;
  EXPECT_FALSE(WriteIclFile(bad, entries, std::vector<int>{1}, {}, messages));
  ASSERT_EQ(messages.entries.size(), 1u);
  EXPECT_EQ(messages.entries[0].text.rfind(bad + "\n", 0), 0u);
  EXPECT_GT(messages.entries[0].text.size(), bad.size() + 1);
  EXPECT_EQ(entries[1].State, 1);

  // An empty selection creates nothing.
  const std::string none = (dir / "none.icl").string();
  EXPECT_FALSE(WriteIclFile(none, entries, std::vector<int>{}, {}, messages));
  EXPECT_FALSE(std::filesystem::exists(none));
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace glyphwell::builder
