#include "extract/header_counter.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "extract/lazy_file_image.h"
#include "extract/source_reader.h"
#include "tests/support/fixture_files.h"
#include "tests/support/module_builder.h"

namespace glyphwell::extract {
namespace {

using testsupport::BuildIcoFile;
using testsupport::Bytes;
using testsupport::MakeBitmapDib;
using testsupport::MakeIconDib;
using testsupport::MakePngImage;
using testsupport::ModuleBuilder;
using testsupport::ResName;
using testsupport::WriteFixtureFile;

constexpr ExtractionMode kModes[] = {ExtractionMode::kNormal, ExtractionMode::kIcon,
                                     ExtractionMode::kBmp};

// Bulk that a count must not need: a large resource of another type.
void AddBulk(ModuleBuilder& b, std::size_t bytes) {
  b.AddResource(ResName::Id(10), ResName::Id(1), Bytes(bytes, 0xA5));
}

Bytes Pe32Module() {
  ModuleBuilder b(ModuleBuilder::Kind::kPe32);
  b.AddIconGroup(ResName::Named("MAINICON"), 1,
                 {MakeIconDib(48, 48, 8), MakeIconDib(32, 32, 4), MakeIconDib(16, 16, 1)});
  b.AddIconGroup(ResName::Id(7), 9, {MakeIconDib(32, 32, 32)});
  b.AddBitmap(ResName::Id(1), MakeBitmapDib(20, 10, 8));
  Bytes bad = MakeBitmapDib(8, 8, 8);
  bad[12] = 3;  // planes 3: rejected
  b.AddBitmap(ResName::Id(2), bad);
  AddBulk(b, 300000);
  return b.Build();
}

Bytes Pe64Module() {
  ModuleBuilder b(ModuleBuilder::Kind::kPe64);
  Bytes brokenPng = MakePngImage(64, 64);
  brokenPng[16] = brokenPng[17] = brokenPng[18] = brokenPng[19] = 0;  // width 0: invalid
  b.AddIconGroup(
      ResName::Id(1), 1,
      {MakePngImage(256, 256), brokenPng, MakeIconDib(300, 300, 8), MakeIconDib(16, 16, 8)});
  AddBulk(b, 200000);
  return b.Build();
}

Bytes NeModule(bool iconLibrary) {
  ModuleBuilder b(ModuleBuilder::Kind::kNe);
  b.setIclNames(iconLibrary);
  b.AddIconGroup(ResName::Named("FIRST"), 1, {MakeIconDib(32, 32, 8), MakeIconDib(16, 16, 4)});
  b.AddIconGroup(ResName::Named("SECOND"), 3, {MakeIconDib(32, 32, 24)});
  Bytes bad = MakeIconDib(16, 16, 8);
  bad[12] = 2;  // planes 2: rejected
  b.AddIconGroup(ResName::Named("THIRD"), 4, {bad});
  return b.Build();
}

Bytes IcoFile() {
  return BuildIcoFile({MakeIconDib(32, 32, 8), MakePngImage(256, 256), MakeIconDib(16, 16, 4)});
}

// An icon file whose last entry points past the end of the file.
Bytes IcoWithStrayEntry() {
  Bytes ico = IcoFile();
  platform::PutU32le(ico.data() + 6 + 2 * 16 + 12, static_cast<std::uint32_t>(ico.size() + 10));
  return ico;
}

Bytes Cut(Bytes bytes, std::size_t keep) {
  bytes.resize(keep);
  return bytes;
}

// A module whose resource directory points outside the file.
Bytes PeWithStrayDirectory() {
  Bytes pe = Pe32Module();
  for (std::size_t at = 0; at + 5 <= pe.size(); ++at) {
    if (std::equal(pe.begin() + at, pe.begin() + at + 5, ".rsrc")) {
      platform::PutU32le(pe.data() + at + 0x14, 0x7FFFFF00);  // raw offset far away
      break;
    }
  }
  return pe;
}

struct Fixture {
  const char* name;
  Bytes bytes;
};

std::vector<Fixture> Fixtures() {
  Bytes pe32 = Pe32Module();
  Bytes pe64 = Pe64Module();
  return {
      {"pe32.dll", pe32},
      {"pe64.dll", pe64},
      {"ne.exe", NeModule(false)},
      {"library.icl", NeModule(true)},
      {"icons.ico", IcoFile()},
      {"stray.ico", IcoWithStrayEntry()},
      {"cursor.cur", IcoFile()},
      {"module-named.ico", pe32},
      {"icons-named.dll", IcoFile()},
      {"pe32-cut-in-data.dll", Cut(pe32, pe32.size() - 1000)},
      {"pe32-cut-in-headers.dll", Cut(pe32, 300)},
      {"pe64-cut-in-png.dll", Cut(pe64, 2000)},
      {"ne-cut.icl", Cut(NeModule(true), 700)},
      {"ico-cut.ico", Cut(IcoFile(), 40)},
      {"stray-directory.dll", PeWithStrayDirectory()},
      {"text.dll", Bytes(5000, 'x')},
      {"tiny.dll", Bytes{'M', 'Z'}},
      {"empty.dll", Bytes{}},
  };
}

TEST(HeaderCounter, GivesTheCountsOfAWholeRead) {
  // Pages of one byte read exactly what the counting asks for: a part it reads
  // without asking would show as zeros and change a count.
  for (std::size_t page : {std::size_t{1}, LazyFileImage::kPageBytes})
    for (const Fixture& f : Fixtures()) {
      HeaderCounter counter(nullptr, page);
      const std::string path = WriteFixtureFile(std::string("hc-") + f.name, f.bytes);
      HeaderCounter::Counts all = counter.CountAll(path);
      for (ExtractionMode mode : kModes) {
        SourceReader whole;
        whole.setMode(mode);
        const int expected = whole.CountImages(path);
        EXPECT_EQ(counter.CountImages(path, mode), expected)
            << f.name << " mode " << static_cast<int>(mode) << " page " << page;
        EXPECT_EQ(counter.lastReadFailed(), whole.lastReadFailed()) << f.name;
        const int fromAll = mode == ExtractionMode::kNormal ? all.shell
                            : mode == ExtractionMode::kIcon ? all.icons
                                                            : all.bitmaps;
        if (mode != ExtractionMode::kBmp || SourceReader::LowerExtension(path) != ".ico") {
          EXPECT_EQ(fromAll, expected) << f.name << " (all) mode " << static_cast<int>(mode);
        }
      }
    }
}

TEST(HeaderCounter, ExpectedCountsOfTheFixtures) {
  // Guards the comparison above against both sides going wrong together.
  HeaderCounter counter;
  struct Case {
    const char* name;
    int shell, icons, bitmaps;
  };
  const std::vector<Fixture> fixtures = Fixtures();
  for (Case c : {Case{"pe32.dll", 2, 4, 1}, Case{"pe64.dll", 1, 2, 0}, Case{"library.icl", 3, 3, 0},
                 Case{"icons.ico", 1, 3, 0}, Case{"stray.ico", 1, 2, 0},
                 Case{"stray-directory.dll", 0, 0, 0}}) {
    const std::string path = testsupport::FixtureDir() + "/hc-" + c.name;
    for (const Fixture& f : fixtures)
      if (std::string(f.name) == c.name) WriteFixtureFile(std::string("hc-") + c.name, f.bytes);
    HeaderCounter::Counts all = counter.CountAll(path);
    EXPECT_EQ(all.shell, c.shell) << c.name;
    EXPECT_EQ(all.icons, c.icons) << c.name;
    EXPECT_EQ(all.bitmaps, c.bitmaps) << c.name;
  }
}

TEST(HeaderCounter, ReadsHeadersNotWholeModules) {
  const Bytes pe = Pe32Module();
  const std::string path = WriteFixtureFile("hc-bulky.dll", pe);
  HeaderCounter counter;
  EXPECT_EQ(counter.CountImages(path, ExtractionMode::kNormal), 2);
  EXPECT_LT(counter.lastBytesRead(), pe.size() / 10);
  EXPECT_EQ(counter.CountImages(path, ExtractionMode::kIcon), 4);
  EXPECT_LT(counter.lastBytesRead(), pe.size() / 10);
  // A PNG-compressed image counts only when it decodes, so its data is read.
  const Bytes pe64 = Pe64Module();
  const std::string png = WriteFixtureFile("hc-bulky64.dll", pe64);
  EXPECT_EQ(counter.CountImages(png, ExtractionMode::kIcon), 2);
  EXPECT_LT(counter.lastBytesRead(), pe64.size() / 2);
}

TEST(HeaderCounter, UnreadableFilesShowTheReadErrorOnce) {
  platform::RecordingMessages messages;
  HeaderCounter counter(&messages);
  const std::string missing = testsupport::FixtureDir() + "/hc-missing.dll";
  EXPECT_EQ(counter.CountImages(missing, ExtractionMode::kNormal), 0);
  EXPECT_TRUE(counter.lastReadFailed());
  ASSERT_EQ(messages.entries.size(), 1u);
  EXPECT_EQ(messages.entries[0].text, missing + "\nNo such file or directory");
  EXPECT_EQ(counter.CountAll(testsupport::FixtureDir()).shell, 0);  // a folder
  ASSERT_EQ(messages.entries.size(), 2u);
  EXPECT_EQ(messages.entries[1].text, testsupport::FixtureDir() + "\nIs a directory");
  // An empty file is no source and says nothing; nor does a count without errors.
  EXPECT_EQ(counter.CountImages(WriteFixtureFile("hc-empty.ico", {}), ExtractionMode::kIcon), 0);
  EXPECT_TRUE(counter.lastReadFailed());
  EXPECT_EQ(counter.CountImages(missing, ExtractionMode::kIcon, false), 0);
  EXPECT_EQ(messages.entries.size(), 2u);
}

TEST(HeaderCounter, FileTruncatedBetweenOpenAndCount) {
  const Bytes pe = Pe32Module();
  const std::string path = WriteFixtureFile("hc-shrinking.dll", pe);
  LazyFileImage image;
  ASSERT_TRUE(image.Open(path));
  ASSERT_EQ(truncate(path.c_str(), 600), 0);
  HeaderCounter counter;
  for (ExtractionMode mode : kModes)
    counter.CountOpened(image, path, mode);  // must not crash
  EXPECT_TRUE(image.damaged());
  EXPECT_EQ(image.size(), pe.size());  // the image keeps the size it was opened with
  // Counting by path afterwards sees the file as it is now.
  for (ExtractionMode mode : kModes) {
    SourceReader whole;
    whole.setMode(mode);
    EXPECT_EQ(counter.CountImages(path, mode), whole.CountImages(path));
    EXPECT_FALSE(counter.lastReadFailed());
  }
}

TEST(HeaderCounter, FileShrinkingWhileCountedIsCountedAgainOrUnreadable) {
  const Bytes pe = Pe32Module();
  platform::RecordingMessages messages;
  HeaderCounter counter(&messages);
  const std::string path = WriteFixtureFile("hc-shrinks-once.dll", pe);
  // Cut once, right after the first opening: the count is that of the cut file.
  int openings = 0;
  counter.onOpened = [&](const std::string& p) {
    if (openings++ == 0) {
      ASSERT_EQ(truncate(p.c_str(), 100), 0);
    }
  };
  EXPECT_EQ(counter.CountImages(path, ExtractionMode::kNormal), 0);
  EXPECT_FALSE(counter.lastReadFailed());
  EXPECT_EQ(openings, 2);
  EXPECT_TRUE(messages.entries.empty());

  // Cut again after every opening: unreadable, with the read error a whole read shows.
  const std::string again = WriteFixtureFile("hc-shrinks-always.dll", pe);
  openings = 0;
  counter.onOpened = [&](const std::string& p) {
    ASSERT_EQ(truncate(p.c_str(), openings++ == 0 ? 100 : 10), 0);
  };
  EXPECT_EQ(counter.CountAll(again).icons, 0);
  EXPECT_TRUE(counter.lastReadFailed());
  ASSERT_EQ(messages.entries.size(), 1u);
  EXPECT_EQ(messages.entries[0].text, again + "\nInput/output error");

  // A cut past the parts a count reads goes unnoticed: the count stands.
  const std::string tail = WriteFixtureFile("hc-loses-its-tail.dll", pe);
  counter.onOpened = [&](const std::string& p) {
    ASSERT_EQ(truncate(p.c_str(), static_cast<off_t>(pe.size() - 50000)), 0);
  };
  EXPECT_EQ(counter.CountImages(tail, ExtractionMode::kNormal), 2);
  EXPECT_FALSE(counter.lastReadFailed());
}

TEST(LazyFileImage, FetchesOnlyWhatIsAskedAndStaysInsideTheFile) {
  Bytes bytes(3 * LazyFileImage::kPageBytes + 100);
  for (std::size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = static_cast<std::uint8_t>(i * 7 + 1);
  const std::string path = WriteFixtureFile("lazy.bin", bytes);
  LazyFileImage image;
  ASSERT_TRUE(image.Open(path));
  ASSERT_EQ(image.size(), bytes.size());
  EXPECT_EQ(image.bytes()[5000], 0);  // not fetched yet
  EXPECT_TRUE(image.Fetch(5000, 10));
  EXPECT_EQ(image.bytes()[5000], bytes[5000]);
  EXPECT_EQ(image.bytes()[0], 0);
  EXPECT_EQ(image.bytesRead(), LazyFileImage::kPageBytes);
  EXPECT_TRUE(image.Fetch(5001, 3));  // already there: no read
  EXPECT_EQ(image.bytesRead(), LazyFileImage::kPageBytes);
  // Ranges reaching past the end fetch what is inside and report false.
  EXPECT_FALSE(image.Fetch(bytes.size() - 10, 20));
  EXPECT_EQ(image.bytes()[bytes.size() - 1], bytes.back());
  EXPECT_FALSE(image.Fetch(bytes.size() + 1, 1));
  EXPECT_FALSE(image.Fetch(5, ~std::uint64_t{0}));
  EXPECT_TRUE(image.Fetch(bytes.size(), 0));
  EXPECT_FALSE(image.damaged());
  EXPECT_TRUE(std::equal(image.bytes().begin(), image.bytes().end(), bytes.begin()));
  EXPECT_EQ(image.bytesRead(), bytes.size());

  // The next file sees none of the previous one's bytes.
  const std::string other = WriteFixtureFile("lazy-other.bin", Bytes(10000, 0));
  ASSERT_TRUE(image.Open(other));
  EXPECT_TRUE(
      std::all_of(image.bytes().begin(), image.bytes().end(), [](auto b) { return b == 0; }));
}

TEST(LazyFileImage, LargeFetchesAreClearedBeforeTheNextFile) {
  const std::string big = WriteFixtureFile("lazy-big.bin", Bytes(600000, 0x77));
  const std::string zeros = WriteFixtureFile("lazy-zeros.bin", Bytes(600000, 0));
  for (std::size_t page : {std::size_t{1}, std::size_t{3}, LazyFileImage::kPageBytes}) {
    LazyFileImage image(page);
    ASSERT_TRUE(image.Open(big));
    ASSERT_TRUE(image.Fetch(1, 599998));
    ASSERT_TRUE(image.Open(zeros));
    EXPECT_TRUE(
        std::all_of(image.bytes().begin(), image.bytes().end(), [](auto b) { return b == 0; }))
        << "page " << page;
  }
}

TEST(LazyFileImage, ShrinkingFileGivesZerosAndIsMarkedDamaged) {
  const std::string path = WriteFixtureFile("lazy-shrink.bin", Bytes(20000, 0x11));
  LazyFileImage image;
  ASSERT_TRUE(image.Open(path));
  ASSERT_EQ(truncate(path.c_str(), 5000), 0);
  EXPECT_TRUE(image.Fetch(0, 100));
  EXPECT_FALSE(image.damaged());
  EXPECT_FALSE(image.Fetch(4990, 20));
  EXPECT_TRUE(image.damaged());
  EXPECT_EQ(image.bytes()[4999], 0x11);
  EXPECT_EQ(image.bytes()[5000], 0);
  EXPECT_FALSE(image.Fetch(15000, 1));
  EXPECT_EQ(image.bytes()[15000], 0);
  EXPECT_EQ(image.size(), 20000u);
}

TEST(LazyFileImage, RefusesFoldersAndMissingFiles) {
  LazyFileImage image;
  EXPECT_FALSE(image.Open(testsupport::FixtureDir()));
  EXPECT_EQ(image.error(), EISDIR);
  EXPECT_FALSE(image.Open(testsupport::FixtureDir() + "/no-such-file"));
  EXPECT_EQ(image.error(), ENOENT);
  EXPECT_FALSE(image.Fetch(0, 1));
  EXPECT_EQ(image.size(), 0u);
}

}  // namespace
}  // namespace glyphwell::extract
