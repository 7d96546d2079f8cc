#include "extract/ne_walk.h"

#include <gtest/gtest.h>

#include "extract/source_reader.h"
#include "tests/support/fixture_files.h"
#include "tests/support/module_builder.h"

namespace glyphwell::extract {
namespace {

using testsupport::Bytes;
using testsupport::MakeIconDib;
using testsupport::MakePngImage;
using testsupport::ModuleBuilder;
using testsupport::ResName;

Bytes IconLibrary(bool names, std::uint8_t linker = 0, std::uint8_t revision = 0) {
  ModuleBuilder b(ModuleBuilder::Kind::kNe);
  b.setIclNames(names);
  b.setLinkerVersion(linker, revision);
  b.AddIconGroup(ResName::Named("FOLDER"), 1, {MakeIconDib(32, 32, 4), MakeIconDib(16, 16, 8)});
  b.AddIconGroup(ResName::Named("DRIVE"), 3, {MakeIconDib(32, 32, 1)});
  b.AddIconGroup(ResName::Named("TRASH"), 4,
                 {MakeIconDib(48, 48, 32), MakeIconDib(32, 32, 24), MakeIconDib(16, 16, 4)});
  return b.Build();
}

struct NeListing {
  int total = 0;
  std::vector<std::string> labels;
  std::vector<std::string> map;
};

NeListing List(SourceReader& reader, const Bytes& bytes, const std::string& name = "lib.icl") {
  std::string path = testsupport::WriteFixtureFile(name, bytes);
  EXPECT_TRUE(reader.LoadWholeFile(path, false));
  reader.file().groupMap.clear();
  reader.file().typeDirectory = 0;
  reader.file().enumerateGroups = true;
  NeListing out;
  out.total = reader.ReadImage(path, false, 0, nullptr);
  reader.file().enumerateGroups = false;
  for (int i = 0; i < out.total; ++i) {
    reader.ReadImage(path, true, i, nullptr);
    out.labels.push_back(reader.file().facts.valid ? reader.file().facts.label : "invalid");
  }
  for (const auto& e : reader.file().groupMap)
    out.map.push_back(e.ToText());
  return out;
}

TEST(NeWalk, IconLibraryWithNamesGivesThoseNames) {
  SourceReader reader;
  NeListing l = List(reader, IconLibrary(true));
  ASSERT_EQ(l.total, 6);
  EXPECT_EQ(l.labels[0],
            "\n32\xC3\x97"
            "32\n4bit");
  EXPECT_EQ(l.labels[3],
            "\n48\xC3\x97"
            "48\n32bit");
  // A one-image NE group takes no group number and no suffix.
  EXPECT_EQ(l.map,
            (std::vector<std::string>{"10000@2#FOLDER-0", "10000@2#FOLDER-1", "-1@1#DRIVE",
                                      "10001@3#TRASH-0", "10001@3#TRASH-1", "10001@3#TRASH-2"}));
  EXPECT_EQ(reader.counters().pe, 10000);
  EXPECT_TRUE(reader.file().idList.empty());
}

TEST(NeWalk, WithoutTheIclPrefixGroupsAreNamedByNumber) {
  SourceReader reader;
  NeListing l = List(reader, IconLibrary(false));
  EXPECT_EQ(l.map, (std::vector<std::string>{"10000@2#0-0", "10000@2#0-1", "-1@1#1", "10001@3#2-0",
                                             "10001@3#2-1", "10001@3#2-2"}));
}

TEST(NeWalk, LinkerVersionBytesDoNotMatter) {
  SourceReader a, b;
  NeListing plain = List(a, IconLibrary(true));
  NeListing versioned = List(b, IconLibrary(true, 5, 10), "versioned.icl");
  EXPECT_EQ(plain.labels, versioned.labels);
  EXPECT_EQ(plain.map, versioned.map);
}

TEST(NeWalk, OnlyTheIconModeReadsNeModules) {
  SourceReader reader;
  reader.setMode(ExtractionMode::kBmp);
  EXPECT_EQ(List(reader, IconLibrary(true)).total, 0);
  reader.file().forceIcons = true;  // the builder reads them in any mode
  EXPECT_EQ(List(reader, IconLibrary(true)).total, 6);
}

TEST(NeWalk, ModuleWithoutResourceTableYieldsNothing) {
  Bytes lib = IconLibrary(true);
  // Resident-name table right after the resource table offset: no table.
  platform::PutU16le(lib.data() + 0x40 + 0x26, 0x40 + 8);
  SourceReader reader;
  EXPECT_EQ(List(reader, lib).total, 0);
}

TEST(NeWalk, NameTableNamesAreUtf8OrWindows1252) {
  Bytes utf8{'\x03', 'I', 'C', 'L', 3, 0xC3, 0xA9, 'a', 2, 0xE9, 0x80, 0};
  Bytes image(16, 0);
  image.insert(image.end(), utf8.begin(), utf8.end());
  auto names = ReadIconLibraryNames(image, 16);
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0],
            "\xC3\xA9"
            "a");
  EXPECT_EQ(names[1], "\xC3\xA9\xE2\x82\xAC");
  // A name running past the end stops the list.
  image.resize(image.size() - 3);
  EXPECT_EQ(ReadIconLibraryNames(image, 16).size(), 1u);
}

TEST(NeWalk, PngImageTakesItsGroupEntryDepthBeforeDecoding) {
  ModuleBuilder b(ModuleBuilder::Kind::kNe);
  b.setIclNames(true);
  b.AddIconGroup(ResName::Named("BIG"), 1, {MakeIconDib(32, 32, 8), MakePngImage(256, 256)});
  SourceReader reader;
  int seen = -1;
  reader.setPngDepthReducer([&seen](imaging::Bitmap&, int bits) { seen = bits; });
  NeListing l = List(reader, b.Build());
  ASSERT_EQ(l.total, 2);
  imaging::Picture picture;
  if (!reader.ExtractToPicture(reader.file().path, 1, picture))
    GTEST_SKIP() << "PNG reader not available";
  EXPECT_EQ(l.labels[1],
            "\n256\xC3\x97"
            "256\n32bit");
  EXPECT_TRUE(reader.file().facts.png);
  EXPECT_EQ(seen, 32);
}

TEST(NeWalk, DamagedResourceTableIsBounded) {
  Bytes lib = IconLibrary(true);
  SourceReader reader;
  for (std::size_t cut = 0x80; cut < lib.size(); cut += 37) {
    Bytes part(lib.begin(), lib.begin() + static_cast<std::ptrdiff_t>(cut));
    NeListing l = List(reader, part, "cut.icl");
    EXPECT_LE(l.total, 6);
  }
  Bytes hugeShift = lib;
  platform::PutU16le(hugeShift.data() + 0x80, 60000);
  NeListing l = List(reader, hugeShift, "shift.icl");
  for (const auto& label : l.labels)
    EXPECT_EQ(label, "invalid");
}

}  // namespace
}  // namespace glyphwell::extract
