#include "platform/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace glyphwell::platform {
namespace {

namespace fs = std::filesystem;

class IniFileDiskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("gw-ini-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }
  void WriteRaw(const std::string& name, const std::string& bytes) {
    std::ofstream(PathOf(name), std::ios::binary) << bytes;
  }
  std::string ReadRaw(const std::string& name) {
    std::ifstream in(PathOf(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  fs::path dir_;
};

TEST(IniFileTest, KeepsEverythingItReadsAndWritesCrLf) {
  // Comments, blank lines, lines without "=", text before the first section,
  // repeated sections and values with blanks and "=" all survive a round trip.
  const std::string lf =
      "; header comment\n"
      "stray=before any section\n"
      "[/home/a/Icons]\n"
      "shell32.dll<>7e300e310e12=0\n"
      "back.png<>8e1e0e0=0\n"
      "\n"
      "[path]\n"
      "open=/tmp/a b/c.ico\n"
      "url=http://x/?a=b&c=d\n"
      "padded=  two leading blanks\n"
      "no equals sign here\n"
      "[/home/a/Icons]\n"
      "later.ico<>2e0e1e0=0\n";
  IniFile ini;
  ini.Parse(lf);
  std::string crlf;
  for (char c : lf) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  EXPECT_EQ(ini.ToText(), crlf);

  IniFile fromCrLf;
  fromCrLf.Parse(crlf);
  EXPECT_EQ(fromCrLf.ToText(), crlf);

  EXPECT_EQ(ini.ReadString("path", "url"), "http://x/?a=b&c=d");
  EXPECT_EQ(ini.ReadString("path", "padded"), "  two leading blanks");
  EXPECT_EQ(ini.ReadString("path", "open"), "/tmp/a b/c.ico");
  EXPECT_FALSE(ini.ValueExists("path", "no equals sign here"));
  EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{"/home/a/Icons", "path"}));
  EXPECT_EQ(ini.SectionKeys("/home/a/Icons"),
            (std::vector<std::string>{"shell32.dll<>7e300e310e12", "back.png<>8e1e0e0",
                                      "later.ico<>2e0e1e0"}));
}

TEST(IniFileTest, ReadsTypedValuesAndFallsBackOnMalformedOnes) {
  IniFile ini;
  ini.Parse(
      "[s]\r\n"
      "dec=42\r\nneg=-7\r\nhex=0x1F\r\nspaced= 12 \r\nbig=99999999999\r\njunk=12a\r\n"
      "empty=\r\nsign=+-3\r\nt=TRUE\r\nf=false\r\nzero=0\r\n"
      "bin=01Ff80\r\nodd=123\r\nnothex=zz\r\n");
  struct Case {
    const char* key;
    int expected;
  } ints[] = {{"dec", 42},  {"neg", -7},   {"hex", 31},  {"spaced", 12}, {"big", -1},
              {"junk", -1}, {"empty", -1}, {"sign", -1}, {"missing", -1}};
  for (const Case& c : ints)
    EXPECT_EQ(ini.ReadInteger("s", c.key, -1), c.expected) << c.key;

  EXPECT_TRUE(ini.ReadBool("s", "t", false));
  EXPECT_FALSE(ini.ReadBool("s", "f", true));
  EXPECT_FALSE(ini.ReadBool("s", "zero", true));
  EXPECT_TRUE(ini.ReadBool("s", "dec", false));
  EXPECT_TRUE(ini.ReadBool("s", "junk", true));  // malformed: the fallback
  EXPECT_FALSE(ini.ReadBool("s", "junk", false));

  EXPECT_EQ(ini.ReadBinary("s", "bin"), (std::vector<std::uint8_t>{0x01, 0xFF, 0x80}));
  EXPECT_FALSE(ini.ReadBinary("s", "odd").has_value());
  EXPECT_FALSE(ini.ReadBinary("s", "nothex").has_value());
  EXPECT_FALSE(ini.ReadBinary("s", "missing").has_value());
}

TEST(IniFileTest, DuplicatesReadFirstWriteFirstDeleteAll) {
  IniFile ini;
  ini.Parse("[a]\nk=1\nk=2\n[b]\nx=0\n[a]\nk=3\nm=4\n");
  EXPECT_EQ(ini.ReadString("a", "k"), "1");
  EXPECT_EQ(ini.ReadString("a", "m"), "4");  // found in the second [a]
  ASSERT_TRUE(ini.WriteString("a", "k", "9"));
  EXPECT_EQ(ini.ToText(), "[a]\r\nk=9\r\nk=2\r\n[b]\r\nx=0\r\n[a]\r\nk=3\r\nm=4\r\n");
  ini.DeleteKey("a", "k");
  EXPECT_FALSE(ini.ValueExists("a", "k"));
  EXPECT_EQ(ini.ToText(), "[a]\r\n[b]\r\nx=0\r\n[a]\r\nm=4\r\n");
  ASSERT_TRUE(ini.WriteString("a", "k", "new"));  // goes into the first [a]
  ini.EraseSection("b");
  EXPECT_EQ(ini.ToText(), "[a]\r\nk=new\r\n[a]\r\nm=4\r\n");
  ini.EraseSection("a");
  EXPECT_FALSE(ini.SectionExists("a"));
  ASSERT_TRUE(ini.WriteInteger("a", "n", 5));  // a fresh section at the end
  EXPECT_EQ(ini.ToText(), "[a]\r\nn=5\r\n");
}

TEST(IniFileTest, NamesAreExactUnlessCaseIsIgnored) {
  const char* text = "[Glyphwell]\nMCount=3\n[/home/a/Icons]\nx=1\n";
  IniFile exact;
  exact.Parse(text);
  EXPECT_FALSE(exact.ValueExists("glyphwell", "mcount"));
  EXPECT_FALSE(exact.SectionExists("/home/a/icons"));
  IniFile folded(IniCase::kIgnoreAsciiCase);
  folded.Parse(text);
  EXPECT_EQ(folded.ReadInteger("glyphwell", "mcount", 0), 3);
  ASSERT_TRUE(folded.WriteInteger("GLYPHWELL", "mcount", 4));
  EXPECT_EQ(folded.ToText(), "[Glyphwell]\r\nMCount=4\r\n[/home/a/Icons]\r\nx=1\r\n");
}

TEST(IniFileTest, RefusesNamesAndValuesThatWouldReadBackDifferently) {
  IniFile ini;
  EXPECT_FALSE(ini.WriteString("s", "a=b", "v"));
  EXPECT_FALSE(ini.WriteString("s", "", "v"));
  EXPECT_FALSE(ini.WriteString("s", " padded", "v"));
  EXPECT_FALSE(ini.WriteString("s", ";comment", "v"));
  EXPECT_FALSE(ini.WriteString("s", "[x]", "v"));
  EXPECT_FALSE(ini.WriteString("s", "k", "line\nbreak"));
  EXPECT_FALSE(ini.WriteString("two\nlines", "k", "v"));
  EXPECT_EQ(ini.ToText(), "");
  // What is accepted reads back unchanged, whatever the bytes.
  const std::string value = "  \xE6\x97\xA5\xE6\x9C\xAC =[]; \xFF\x01 ";
  ASSERT_TRUE(ini.WriteString("odd ] name", "k<>1e2", value));
  IniFile back;
  back.Parse(ini.ToText());
  EXPECT_EQ(back.ReadString("odd ] name", "k<>1e2"), value);
}

TEST(IniFileTest, ByteOrderMarkIsSkippedAndKept) {
  IniFile ini;
  ini.Parse("\xEF\xBB\xBF[s]\nk=v\n");
  EXPECT_EQ(ini.ReadString("s", "k"), "v");
  EXPECT_EQ(ini.ToText(), "\xEF\xBB\xBF[s]\r\nk=v\r\n");
}

TEST_F(IniFileDiskTest, SavesAtomicallyAndLoadsBack) {
  IniFile ini;
  ASSERT_TRUE(ini.WriteString("path", "open", "/x/y.ico"));
  ASSERT_TRUE(ini.Save(PathOf("data.ini")));
  EXPECT_EQ(ReadRaw("data.ini"), "[path]\r\nopen=/x/y.ico\r\n");
  IniFile back;
  EXPECT_EQ(back.Load(PathOf("data.ini")), IniLoadStatus::kLoaded);
  EXPECT_EQ(back.ReadString("path", "open"), "/x/y.ico");
  std::string error;
  EXPECT_FALSE(ini.Save(PathOf("no/such/dir/data.ini"), &error));
  EXPECT_FALSE(error.empty());
}

TEST_F(IniFileDiskTest, MissingUnreadableAndBinaryFilesGiveAnEmptyIni) {
  IniFile ini;
  ini.WriteString("s", "k", "left over");
  EXPECT_EQ(ini.Load(PathOf("absent.ini")), IniLoadStatus::kMissing);
  EXPECT_EQ(ini.ToText(), "");

  fs::create_directories(dir_ / "adir.ini");
  EXPECT_EQ(ini.Load(PathOf("adir.ini")), IniLoadStatus::kUnreadable);

  WriteRaw("locked.ini", "[s]\nk=v\n");
  ::chmod(PathOf("locked.ini").c_str(), 0);
  if (::access(PathOf("locked.ini").c_str(), R_OK) != 0) {  // root reads anyway
    EXPECT_EQ(ini.Load(PathOf("locked.ini")), IniLoadStatus::kUnreadable);
    EXPECT_FALSE(ini.ValueExists("s", "k"));
  }

  std::string garbage;
  for (int i = 0; i < 4096; ++i)
    garbage += static_cast<char>((i * 151 + 7) & 0xFF);
  WriteRaw("garbage.ini", garbage);
  EXPECT_EQ(ini.Load(PathOf("garbage.ini")), IniLoadStatus::kLoaded);
  EXPECT_EQ(ini.ReadInteger("Glyphwell", "mcount", 1), 1);
}

}  // namespace
}  // namespace glyphwell::platform
