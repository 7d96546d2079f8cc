// Runs the built glyphwell-cli "search" and "make-list" over a folder tree made by
// the test, with its own program folder in $GLYPHWELL_HOME.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/module_builder.h"
#include "tests/support/search_tree.h"

namespace glyphwell::cli {
namespace {

namespace fs = std::filesystem;
using testsupport::SearchTree;

struct CliResult {
  int status = -1;
  std::string out, err;
};

std::string Cli() {
  return std::string(GLYPHWELL_BINARY_DIR) + "/bin/glyphwell-cli";
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// A tree of icon sources and a program folder of its own for the saved lists.
class SearchCli : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(Cli())) GTEST_SKIP() << "glyphwell-cli not built";
    tree_.Module("a/two.dll", 2);
    tree_.Module("a/one.exe", 1);
    tree_.Module("a/none.dll", 0, 1);  // a bitmap, no icons
    tree_.Write("b/sub/Zed.ico", testsupport::BuildIcoFile({testsupport::MakeIconDib(16, 16, 4)}));
    tree_.Write("pic.png", testsupport::MakePngImage(8, 8));
    tree_.Write("notes.txt", {'h', 'i'});
    tree_.Module(".dotted/inside.dll", 3);  // a dot folder is never entered
    tree_.Module("b/.secret.dll", 1);       // hidden file
    tree_.Module("veiled/v.dll", 1);        // a folder named in .hidden
    tree_.Write(".hidden", {'v', 'e', 'i', 'l', 'e', 'd', '\n'});
    home_ = home_tree_.root();
  }

  CliResult Run(const std::string& args) {
    CliResult r;
    const std::string errFile = home_ + "/stderr.txt";
    const std::string command =
        "GLYPHWELL_HOME='" + home_ + "' " + Cli() + " " + args + " 2>'" + errFile + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return r;
    std::array<char, 4096> buf;
    std::size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), pipe)) > 0)
      r.out.append(buf.data(), n);
    const int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.err = ReadText(errFile);
    return r;
  }

  // The list index of the program folder (data/<user>/filelist.ini), "" when none.
  std::string IndexText() const {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(home_ + "/data", ec))
      if (entry.is_directory() && fs::exists(entry.path() / "filelist.ini"))
        return ReadText((entry.path() / "filelist.ini").string());
    return "";
  }

  std::string Row(const std::string& name, const std::string& ext, int count,
                  const std::string& relative) const {
    return name + "\t" + ext + "\t" + std::to_string(count) + "\t" + tree_.Path(relative) + "\n";
  }

  SearchTree tree_;
  SearchTree home_tree_;
  std::string home_;
};

TEST_F(SearchCli, FiltersDecideTheSortedRows) {
  struct Case {
    const char* options;
    std::string out;
  };
  const std::string one = Row("one", "exe", 1, "a/one.exe");
  const std::string two = Row("two", "dll", 2, "a/two.dll");
  const std::string zed = Row("Zed", "ico", 1, "b/sub/Zed.ico");
  const std::string pic = Row("pic", "png", 1, "pic.png");
  for (const Case& c : {
           Case{"", one + two + zed},
           Case{"--threshold 2", two},
           Case{"--threshold 5 --with-pictures", pic},
           Case{"--with-pictures", one + pic + two + zed},
           Case{"--mode bmp", Row("none", "dll", 1, "a/none.dll")},
           Case{"--hidden", Row(".secret", "dll", 1, "b/.secret.dll") + one + two +
                                Row("v", "dll", 1, "veiled/v.dll") + zed},
       }) {
    CliResult r = Run("search '" + tree_.root() + "' " + c.options);
    EXPECT_EQ(r.status, 0) << c.options << r.err;
    EXPECT_EQ(r.out, c.out) << c.options;
  }
}

TEST_F(SearchCli, JsonRowsCarryNameExtCountAndPath) {
  CliResult r = Run("search '" + tree_.root() + "/a' --json");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "[\n{\"name\":\"one\",\"ext\":\"exe\",\"count\":1,\"path\":\"" +
                       tree_.Path("a/one.exe") +
                       "\"},\n{\"name\":\"two\",\"ext\":\"dll\","
                       "\"count\":2,\"path\":\"" +
                       tree_.Path("a/two.dll") + "\"}\n]\n");
  r = Run("search '" + tree_.root() + "/a' --json --threshold 9");
  EXPECT_EQ(r.out, "[]\n");
}

TEST_F(SearchCli, MakeListPrintsItsIndexValueAndTakesTheFirstFreeFile) {
  // Lists 0.ini and 1.ini already lie in the data folder: a new list becomes 2.ini.
  fs::create_directories(home_ + "/data");
  std::ofstream(home_ + "/data/0.ini") << "[x]\r\n";
  std::ofstream(home_ + "/data/1.ini") << "[y]\r\n";
  CliResult r = Run("make-list '" + tree_.root() + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  // two, one, none, Zed and pic: shell icons 2+1+0+1, icons 2+1+0+1, 1 bitmap, 1 picture.
  EXPECT_EQ(r.out, "5<>4e4e1e1\n");
  EXPECT_NE(IndexText().find("[" + tree_.root() + "]\r\n2.ini=5<>4e4e1e1\r\n"), std::string::npos)
      << IndexText();
  const std::string list = ReadText(home_ + "/data/2.ini");
  EXPECT_NE(list.find("[" + tree_.root() + "/a]\r\n"), std::string::npos) << list;
  EXPECT_NE(list.find("two.dll<>3e2e2e0=0\r\n"), std::string::npos) << list;
  EXPECT_NE(list.find("none.dll<>4e0e0e1=0\r\n"), std::string::npos) << list;
  EXPECT_NE(list.find("pic.png<>8e1e0e0=0\r\n"), std::string::npos) << list;

  // Made again, the same file is rewritten; another folder takes the next free name.
  tree_.Module("a/three.dll", 3);
  r = Run("make-list '" + tree_.root() + "'");
  EXPECT_EQ(r.out, "6<>7e7e1e1\n");
  EXPECT_FALSE(fs::exists(home_ + "/data/3.ini"));
  r = Run("make-list '" + tree_.root() + "/b'");
  EXPECT_EQ(r.out, "1<>1e1e0e0\n");
  EXPECT_TRUE(fs::exists(home_ + "/data/3.ini"));
}

TEST_F(SearchCli, ListsOfAnEmptyProgramFolderAreNumberedFromZero) {
  CliResult r = Run("make-list '" + tree_.root() + "/a'");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "3<>3e3e1e0\n");
  EXPECT_TRUE(fs::exists(home_ + "/data/0.ini"));  // $GLYPHWELL_HOME holds the lists
  EXPECT_NE(IndexText().find("0.ini=3<>3e3e1e0"), std::string::npos) << IndexText();
  r = Run("make-list '" + tree_.root() + "/b'");
  EXPECT_EQ(r.out, "1<>1e1e0e0\n");
  EXPECT_NE(IndexText().find("[" + tree_.root() + "/b]\r\n1.ini=1<>1e1e0e0"), std::string::npos)
      << IndexText();
}

TEST_F(SearchCli, ListSearchGoesThroughAParentsListAndDelDropsMissingFiles) {
  ASSERT_EQ(Run("make-list '" + tree_.root() + "'").status, 0);
  // Changes on disk after the list was made show only in a disk search.
  tree_.Module("a/later.dll", 1);
  fs::remove(tree_.Path("a/one.exe"));
  const std::string folder = "'" + tree_.root() + "/a'";

  CliResult r = Run("search " + folder + " --list-search");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, Row("one", "exe", 1, "a/one.exe") + Row("two", "dll", 2, "a/two.dll"));
  r = Run("search " + folder);
  EXPECT_EQ(r.out, Row("later", "dll", 1, "a/later.dll") + Row("two", "dll", 2, "a/two.dll"));

  // --del removes the missing file from the list and its counts from the totals.
  r = Run("search " + folder + " --list-search --del");
  EXPECT_EQ(r.out, Row("two", "dll", 2, "a/two.dll"));
  EXPECT_NE(IndexText().find("=4<>3e3e1e1"), std::string::npos) << IndexText();
  EXPECT_EQ(ReadText(home_ + "/data/0.ini").find("one.exe"), std::string::npos);
  r = Run("search " + folder + " --list-search");
  EXPECT_EQ(r.out, Row("two", "dll", 2, "a/two.dll"));
}

TEST_F(SearchCli, BadFoldersAndUsageErrors) {
  struct Case {
    std::string args;
    int status;
    std::string err;  // start of stderr
  };
  const std::string file = tree_.Path("notes.txt");
  for (const Case& c : {
           Case{"search /no/such/folder", 1,
                "glyphwell-cli search: /no/such/folder is no folder\n"},
           Case{"search '" + file + "'", 1, "glyphwell-cli search: " + file + " is no folder\n"},
           Case{"make-list /no/such/folder", 1,
                "glyphwell-cli make-list: /no/such/folder is no folder\n"},
           Case{"search", 2, "glyphwell-cli search: search needs exactly one DIR"},
           Case{"search /tmp --threshold 0", 2,
                "glyphwell-cli search: the threshold must be a number from 1 to 100"},
           Case{"search /tmp --del", 2, "glyphwell-cli search: --del needs --list-search"},
           Case{"search /tmp --mode grid", 2, "glyphwell-cli search: unknown mode 'grid'"},
           Case{"make-list", 2, "glyphwell-cli make-list: make-list needs exactly one DIR"},
       }) {
    CliResult r = Run(c.args);
    EXPECT_EQ(r.status, c.status) << c.args;
    EXPECT_EQ(r.err.substr(0, c.err.size()), c.err) << c.args;
    EXPECT_EQ(r.out, "") << c.args;
  }
}

}  // namespace
}  // namespace glyphwell::cli
