#include "shell/shell_link_file.h"

#include <gtest/gtest.h>

#include "tests/support/lnk_builder.h"

namespace glyphwell::shell {
namespace {

using testsupport::BuildLnk;
using testsupport::LnkSpec;

TEST(ShellLinkFile, ReadsLinkInfoPathsAndStringDataInEveryEncoding) {
  struct Case {
    const char* what;
    bool unicodeInfo, unicodeStrings;
  };
  for (const Case c : {Case{"ansi", false, false}, Case{"unicode strings", false, true},
                       Case{"unicode link info", true, true}}) {
    LnkSpec spec;
    spec.localBasePath = "C:\\Program Files\\アイコン";
    spec.commonPathSuffix = "tool.exe";
    spec.unicodeLinkInfo = c.unicodeInfo;
    spec.unicodeStrings = c.unicodeStrings;
    spec.name = "説明";
    spec.relativePath = "..\\アイコン\\tool.exe";
    spec.workingDir = "C:\\Program Files\\アイコン";
    spec.arguments = "/x";
    spec.iconLocation = "%SystemRoot%\\icon.ico";
    const auto link = ParseShellLink(BuildLnk(spec));
    ASSERT_TRUE(link) << c.what;
    EXPECT_EQ(link->LocalTarget(), "C:\\Program Files\\アイコン\\tool.exe") << c.what;
    EXPECT_EQ(link->name, "説明") << c.what;
    EXPECT_EQ(link->relativePath, "..\\アイコン\\tool.exe") << c.what;
    EXPECT_EQ(link->workingDir, "C:\\Program Files\\アイコン") << c.what;
    EXPECT_EQ(link->arguments, "/x") << c.what;
    EXPECT_EQ(link->iconLocation, "%SystemRoot%\\icon.ico") << c.what;
  }
}

TEST(ShellLinkFile, OptionalBlocksAndWindows1252Text) {
  LnkSpec spec;
  spec.withIdList = false;
  spec.withLinkInfo = false;
  spec.unicodeStrings = false;
  spec.relativePath = "caf\xE9.exe";  // Windows-1252, not UTF-8
  auto link = ParseShellLink(BuildLnk(spec));
  ASSERT_TRUE(link);
  EXPECT_TRUE(link->LocalTarget().empty());
  EXPECT_EQ(link->relativePath, "café.exe");

  spec = LnkSpec{};
  spec.localBasePath = "C:\\a.exe";
  spec.forceNoLinkInfo = true;  // present but to be ignored
  spec.relativePath = "a.exe";
  link = ParseShellLink(BuildLnk(spec));
  ASSERT_TRUE(link);
  EXPECT_TRUE(link->localBasePath.empty());
  EXPECT_EQ(link->relativePath, "a.exe");
}

TEST(ShellLinkFile, DamagedInputNeverReadsOutsideTheBuffer) {
  LnkSpec spec;
  spec.localBasePath = "C:\\dir\\file.exe";
  spec.relativePath = "file.exe";
  spec.name = "n";
  const auto good = BuildLnk(spec);

  // every truncation parses or fails cleanly
  for (std::size_t n = 0; n < good.size(); ++n) {
    const auto link = ParseShellLink(std::span(good.data(), n));
    if (n < 0x4C) {
      EXPECT_FALSE(link) << n;
    }
  }
  auto bad = good;
  bad[0] = 0x4D;  // header size
  EXPECT_FALSE(ParseShellLink(bad));
  bad = good;
  bad[4] ^= 1;  // class id
  EXPECT_FALSE(ParseShellLink(bad));

  // a LinkInfo whose offsets point far outside keeps the header, loses the path
  bad = good;
  const std::size_t info = 0x4C + 2 + 0x16;
  bad[info + 16] = 0xFF, bad[info + 17] = 0xFF, bad[info + 18] = 0xFF, bad[info + 19] = 0x7F;
  auto link = ParseShellLink(bad);
  ASSERT_TRUE(link);
  EXPECT_TRUE(link->localBasePath.empty());
  EXPECT_EQ(link->relativePath, "file.exe");

  // an ID list claiming more bytes than the file has
  bad = good;
  bad[0x4C] = 0xFF, bad[0x4D] = 0xFF;
  link = ParseShellLink(bad);
  ASSERT_TRUE(link);
  EXPECT_TRUE(link->relativePath.empty());

  // a string count beyond the end leaves that string and the rest empty
  spec.withLinkInfo = false;
  spec.withIdList = false;
  auto strings = BuildLnk(spec);
  strings[0x4C] = 0xFF, strings[0x4D] = 0xFF;
  link = ParseShellLink(strings);
  ASSERT_TRUE(link);
  EXPECT_TRUE(link->name.empty());
  EXPECT_TRUE(link->relativePath.empty());
}

}  // namespace
}  // namespace glyphwell::shell
