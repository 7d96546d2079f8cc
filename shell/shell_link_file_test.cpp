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
    LnkSpec desc;
    desc.localBasePath = "C:\\Program Files\\アイコン";
    desc.commonPathSuffix = "tool.exe";
    desc.unicodeLinkInfo = c.unicodeInfo;
    desc.unicodeStrings = c.unicodeStrings;
    desc.name = "説明";
    desc.relativePath = "..\\アイコン\\tool.exe";
    desc.workingDir = "C:\\Program Files\\アイコン";
    desc.arguments = "/x";
    desc.iconLocation = "%SystemRoot%\\icon.ico";
    const auto link = ParseShellLink(BuildLnk(desc));
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
  LnkSpec desc;
  desc.withIdList = false;
  desc.withLinkInfo = false;
  desc.unicodeStrings = false;
  desc.relativePath = "caf\xE9.exe";  // Windows-1252, not UTF-8
  auto link = ParseShellLink(BuildLnk(desc));
  ASSERT_TRUE(link);
  EXPECT_TRUE(link->LocalTarget().empty());
  EXPECT_EQ(link->relativePath, "café.exe");

  desc = LnkSpec{};
  desc.localBasePath = "C:\\a.exe";
  desc.forceNoLinkInfo = true;  // present but to be ignored
  desc.relativePath = "a.exe";
  link = ParseShellLink(BuildLnk(desc));
  ASSERT_TRUE(link);
  EXPECT_TRUE(link->localBasePath.empty());
  EXPECT_EQ(link->relativePath, "a.exe");
}

TEST(ShellLinkFile, DamagedInputNeverReadsOutsideTheBuffer) {
  LnkSpec desc;
  desc.localBasePath = "C:\\dir\\file.exe";
  desc.relativePath = "file.exe";
  desc.name = "n";
  const auto good = BuildLnk(desc);

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
  desc.withLinkInfo = false;
  desc.withIdList = false;
  auto strings = BuildLnk(desc);
  strings[0x4C] = 0xFF, strings[0x4D] = 0xFF;
  link = ParseShellLink(strings);
  ASSERT_TRUE(link);
  EXPECT_TRUE(link->name.empty());
  EXPECT_TRUE(link->relativePath.empty());
}

}  // namespace
}  // namespace glyphwell::shell
