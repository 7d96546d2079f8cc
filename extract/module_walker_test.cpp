#include "extract/module_walker.h"

#include <gtest/gtest.h>

#include "extract/source_reader.h"
#include "platform/byte_reader.h"
#include "tests/support/fixture_files.h"
#include "tests/support/module_builder.h"

namespace glyphwell::extract {
namespace {

using testsupport::Bytes;
using testsupport::MakeBitmapDib;
using testsupport::MakeIconDib;
using testsupport::ModuleBuilder;
using testsupport::ResName;

// Reads `bytes` as the file `name` the way the grid fill does: one counting read
// that builds the group map, then the facts of every position.
struct Listing {
  int total = 0;
  std::vector<bool> valid;
  std::vector<ImageFacts> facts;
};

Listing ListAll(SourceReader& reader, const std::string& name, const Bytes& bytes) {
  std::string path = testsupport::WriteFixtureFile(name, bytes);
  EXPECT_TRUE(reader.LoadWholeFile(path, false));
  reader.file().enumerateGroups = true;
  reader.file().groupMap.clear();
  reader.file().idList.clear();
  reader.file().idCeiling = 0;
  reader.file().typeDirectory = 0;
  Listing out;
  out.total = reader.ReadImage(path, false, 0, nullptr);
  reader.file().enumerateGroups = false;
  for (int i = 0; i < out.total; ++i) {
    reader.ReadImage(path, true, i, nullptr);
    out.valid.push_back(reader.file().facts.valid);
    out.facts.push_back(reader.file().facts);
  }
  return out;
}

std::vector<std::string> MapTexts(const SourceReader& reader) {
  std::vector<std::string> out;
  for (const auto& e : reader.file().groupMap)
    out.push_back(e.ToText());
  return out;
}

class PeWalkTest : public ::testing::TestWithParam<ModuleBuilder::Kind> {};

TEST_P(PeWalkTest, ListsEveryIconImageWithFactsAndGroupMap) {
  ModuleBuilder b(GetParam());
  b.AddIconGroup(ResName::Named("APP"), 1,
                 {MakeIconDib(32, 32, 8), MakeIconDib(16, 16, 4), MakeIconDib(48, 48, 32)});
  b.AddIconGroup(ResName::Id(101), 4, {MakeIconDib(24, 24, 1)});
  b.AddBitmap(ResName::Id(1), MakeBitmapDib(20, 10, 8));
  SourceReader reader;
  reader.setMode(ExtractionMode::kIcon);
  Listing l = ListAll(reader, "walk.dll", b.Build());

  ASSERT_EQ(l.total, 4);
  EXPECT_EQ(l.valid, (std::vector<bool>{true, true, true, true}));
  EXPECT_EQ(l.facts[0].label,
            "\n32\xC3\x97"
            "32\n8bit");
  EXPECT_EQ(l.facts[2].bitCount, 32);
  EXPECT_EQ(l.facts[3].width, 24);
  EXPECT_EQ(MapTexts(reader), (std::vector<std::string>{"10000@3#APP-0", "10000@3#APP-1",
                                                        "10000@3#APP-2", "10001@1#101-0"}));
  EXPECT_EQ(reader.file().idList, (std::vector<std::int64_t>{1, 2, 3, 4}));
  EXPECT_EQ(reader.file().idCeiling, 5);
  // Consecutive IDs from 1 map every position to itself.
  for (int p = 0; p < 4; ++p)
    EXPECT_EQ(reader.MapDisplayPosition(p, 4), p);

  imaging::Picture picture;
  ASSERT_TRUE(reader.ExtractToPicture(reader.file().path, 2, picture));
  ASSERT_TRUE(picture.icon);
  EXPECT_EQ(picture.icon->width(), 48);
  EXPECT_EQ(picture.icon->bits(), 32);
}

INSTANTIATE_TEST_SUITE_P(Pe32AndPe64, PeWalkTest,
                         ::testing::Values(ModuleBuilder::Kind::kPe32, ModuleBuilder::Kind::kPe64));

TEST(PeWalk, SectionTableFollowsTheMachineFlagNotTheOptionalHeaderSize) {
  ModuleBuilder b(ModuleBuilder::Kind::kPe64);
  b.AddIconGroup(ResName::Id(1), 1, {MakeIconDib(16, 16, 4)});
  Bytes dll = b.Build();
  // Claim a 32-bit sized optional header: the 64-bit module is still found at 264.
  platform::PutU16le(dll.data() + 0x80 + 20, 224);
  SourceReader reader;
  EXPECT_EQ(ListAll(reader, "pe64.dll", dll).total, 1);
  // Setting the 32-bit flag moves the table to 248, where there is no ".rsrc".
  platform::PutU16le(dll.data() + 0x80 + 0x16, 0x2122);
  EXPECT_EQ(ListAll(reader, "pe64b.dll", dll).total, 0);
}

TEST(PeWalk, NonConsecutiveIconIdsAreMappedAsIfConsecutive) {
  ModuleBuilder b(ModuleBuilder::Kind::kPe32);
  b.AddIconGroup(
      ResName::Named("MAIN"),
      {{5, MakeIconDib(16, 16, 4)}, {9, MakeIconDib(32, 32, 4)}, {12, MakeIconDib(48, 48, 4)}});
  SourceReader reader;
  Listing l = ListAll(reader, "gaps.dll", b.Build());
  ASSERT_EQ(l.total, 3);
  EXPECT_EQ(reader.file().idList, (std::vector<std::int64_t>{5, 6, 7}));
  EXPECT_EQ(reader.file().idCeiling, 8);
  // ID + total - ceiling: 5 + 3 - 8 = 0, then 1 and 2.
  EXPECT_EQ(reader.MapDisplayPosition(0, 3), 0);
  EXPECT_EQ(reader.MapDisplayPosition(2, 3), 2);
  EXPECT_EQ(reader.MapDisplayPosition(7, 3), 7);  // past the ID list: itself
}

TEST(PeWalk, GroupCountersKeepCountingAcrossFiles) {
  ModuleBuilder b(ModuleBuilder::Kind::kPe32);
  b.AddIconGroup(ResName::Named("A"), 1, {MakeIconDib(16, 16, 4), MakeIconDib(32, 32, 4)});
  b.AddIconGroup(ResName::Named("B"), 3, {MakeIconDib(16, 16, 8)});
  SourceReader reader;
  ListAll(reader, "one.dll", b.Build());
  ListAll(reader, "two.dll", b.Build());
  EXPECT_EQ(MapTexts(reader),
            (std::vector<std::string>{"10002@2#A-0", "10002@2#A-1", "10003@1#B-0"}));
  EXPECT_EQ(reader.counters().ne, 10000);
}

TEST(PeWalk, EmptyGroupGetsOneUnnumberedEntry) {
  ModuleBuilder b(ModuleBuilder::Kind::kPe32);
  b.AddRawGroup(ResName::Named("EMPTY"), Bytes{0, 0, 1, 0, 0, 0});
  b.AddIconGroup(ResName::Named("FULL"), 1, {MakeIconDib(16, 16, 4)});
  SourceReader reader;
  ListAll(reader, "empty.dll", b.Build());
  EXPECT_EQ(MapTexts(reader), (std::vector<std::string>{"-1@0#EMPTY", "10000@1#FULL-0"}));
}

TEST(PeWalk, DataBeyondTheFileIsInvalidAndTheNextPositionStillWorks) {
  ModuleBuilder b(ModuleBuilder::Kind::kPe32);
  b.AddIconGroup(ResName::Id(1), 1, {MakeIconDib(16, 16, 4), MakeIconDib(32, 32, 4)});
  Bytes dll = b.Build();
  // The first RT_ICON data entry is the first data entry of the section: point its
  // address far past the end of the file.
  SourceReader probe;
  ListAll(probe, "probe.dll", dll);
  platform::ByteReader r(dll);
  std::uint32_t raw = probe.file().resourceRawOffset;
  std::uint32_t va = probe.file().resourceAddress;
  bool patched = false;
  for (std::size_t at = raw; at + 8 <= dll.size() && !patched; at += 4) {
    auto address = r.u32le(at);
    auto size = r.u32le(at + 4);
    if (address && size && *address >= va && *address < va + 0x10000 &&
        *size == MakeIconDib(16, 16, 4).size()) {
      platform::PutU32le(dll.data() + at, va + 0x7FFFFF00);
      patched = true;
    }
  }
  ASSERT_TRUE(patched);
  SourceReader reader;
  Listing l = ListAll(reader, "beyond.dll", dll);
  ASSERT_EQ(l.total, 2);
  EXPECT_EQ(l.valid, (std::vector<bool>{false, true}));
  imaging::Picture picture;
  EXPECT_FALSE(reader.ExtractToPicture(reader.file().path, 0, picture));
  EXPECT_TRUE(reader.ExtractToPicture(reader.file().path, 1, picture));
}

TEST(PeWalk, BmpModeListsBitmapsAndBuildsNoGroupMap) {
  ModuleBuilder b(ModuleBuilder::Kind::kPe32);
  b.AddIconGroup(ResName::Id(1), 1, {MakeIconDib(16, 16, 4)});
  b.AddBitmap(ResName::Id(1), MakeBitmapDib(20, 10, 8));
  b.AddBitmap(ResName::Named("LOGO"), MakeBitmapDib(7, 3, 24));
  SourceReader reader;
  reader.setMode(ExtractionMode::kBmp);
  Listing l = ListAll(reader, "bitmaps.dll", b.Build());
  ASSERT_EQ(l.total, 2);
  // Named entries come first.
  EXPECT_EQ(l.facts[0].label,
            "\n7\xC3\x97"
            "3\n24bit");
  EXPECT_EQ(l.facts[1].label,
            "\n20\xC3\x97"
            "10\n8bit");
  EXPECT_TRUE(reader.file().groupMap.empty());
}

// A named group and a named bitmap whose name sorts after the group's: each mode
// sees only its own kind of resource.
TEST(PeWalk, NamedGroupAndNamedBitmapInOneModule) {
  ModuleBuilder b(ModuleBuilder::Kind::kPe32);
  b.AddIconGroup(ResName::Named("APP"), 1, {MakeIconDib(16, 16, 4), MakeIconDib(32, 32, 8)});
  b.AddBitmap(ResName::Named("ZLOGO"), MakeBitmapDib(7, 3, 24));
  const Bytes module = b.Build();

  SourceReader icons;
  icons.setMode(ExtractionMode::kIcon);
  Listing l = ListAll(icons, "named.dll", module);
  ASSERT_EQ(l.total, 2);
  EXPECT_EQ(l.valid, (std::vector<bool>{true, true}));
  EXPECT_EQ(MapTexts(icons).size(), 2u);

  SourceReader bitmaps;
  bitmaps.setMode(ExtractionMode::kBmp);
  l = ListAll(bitmaps, "named.dll", module);
  ASSERT_EQ(l.total, 1);
  EXPECT_EQ(l.facts[0].label,
            "\n7\xC3\x97"
            "3\n24bit");
}

TEST(PeWalk, TruncatedAndDamagedModulesYieldNothingWithoutReadingOutside) {
  ModuleBuilder b(ModuleBuilder::Kind::kPe32);
  b.AddIconGroup(ResName::Named("APP"), 1, {MakeIconDib(32, 32, 8), MakeIconDib(16, 16, 4)});
  Bytes dll = b.Build();
  SourceReader reader;
  for (std::size_t cut : {std::size_t{2}, std::size_t{0x40}, std::size_t{0x90}, std::size_t{0x200},
                          std::size_t{0x610}, std::size_t{0x700}, dll.size() - 100}) {
    Bytes part(dll.begin(), dll.begin() + static_cast<std::ptrdiff_t>(cut));
    Listing l = ListAll(reader, "cut.dll", part);
    EXPECT_LE(l.total, 2) << "cut at " << cut;
    if (cut <= 0x600) {
      EXPECT_EQ(l.total, 0) << "cut at " << cut;
    }
    imaging::Picture picture;
    for (int i = 0; i < l.total; ++i)
      reader.ExtractToPicture(reader.file().path, i, picture);
  }
  Bytes badHeader = dll;
  platform::PutU32le(badHeader.data() + 0x3C, static_cast<std::uint32_t>(dll.size() + 1));
  EXPECT_EQ(ListAll(reader, "bad.dll", badHeader).total, 0);
  Bytes notModule = dll;
  notModule[0x80] = 'X';
  EXPECT_EQ(ListAll(reader, "notpe.dll", notModule).total, 0);
}

TEST(PeWalk, FindTypeEntryBisectsIdEntriesOnly) {
  ModuleBuilder b(ModuleBuilder::Kind::kPe32);
  for (std::uint16_t id : {2, 3, 5, 14, 24})
    b.AddResource(ResName::Id(id), ResName::Id(1), Bytes(8, 1));
  b.AddResource(ResName::Named("CUSTOM"), ResName::Id(1), Bytes(8, 1));
  Bytes dll = b.Build();
  auto section = FindResourceSection(dll, 0x80);
  ASSERT_TRUE(section);
  for (std::uint16_t id : {2, 3, 5, 14, 24})
    EXPECT_TRUE(FindTypeEntry(dll, section->rawOffset, section->rawOffset, id)) << id;
  for (std::uint16_t id : {0, 1, 4, 13, 25, 0xFFFF})
    EXPECT_FALSE(FindTypeEntry(dll, section->rawOffset, section->rawOffset, id)) << id;
}

}  // namespace
}  // namespace glyphwell::extract
