// Runs the built glyphwell-cli on the bundled sample and fixtures: output, error
// texts and exit codes of "list" and "count".
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

#include "cli/cli_options.h"
#include "tests/support/fixture_files.h"
#include "tests/support/module_builder.h"

namespace glyphwell::cli {
namespace {

struct CliResult {
  int status = -1;
  std::string out;
};

std::string Cli() {
  return std::string(GLYPHWELL_BINARY_DIR) + "/bin/glyphwell-cli";
}

CliResult RunCli(const std::string& args) {
  CliResult r;
  std::string command = Cli() + " " + args + " 2>" + testsupport::FixtureDir() + "/stderr.txt";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return r;
  std::array<char, 4096> buf;
  std::size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), pipe)) > 0)
    r.out.append(buf.data(), n);
  int status = pclose(pipe);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

std::string Stderr() {
  FILE* f = fopen((testsupport::FixtureDir() + "/stderr.txt").c_str(), "r");
  std::string s;
  if (!f) return s;
  int c;
  while ((c = fgetc(f)) != EOF)
    s += static_cast<char>(c);
  fclose(f);
  return s;
}

std::size_t Occurrences(const std::string& s, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1))
    ++n;
  return n;
}

class CliRun : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(Cli())) GTEST_SKIP() << "glyphwell-cli not built";
  }
  std::string sample_ = std::string(GLYPHWELL_SOURCE_DIR) + "/samples/sample.dll";
};

TEST_F(CliRun, ListJsonOfTheSampleModule) {
  CliResult r = RunCli("list " + sample_ + " --json");
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(Occurrences(r.out, "\"index\": "), 15u);
  EXPECT_EQ(Occurrences(r.out, "\"thumbnail\": true"), 1u);
  EXPECT_EQ(Occurrences(r.out, "\"png\": true"), 1u);
  EXPECT_NE(r.out.find("{\"index\": 0, \"label\": \"3\\n16×16\\n4bit\", \"width\": 16, \"height\": "
                       "16, \"bits\": 4, \"png\": false, \"map\": \"10001@10#MAINICON-0\", "
                       "\"name\": \"MAINICON-0\", \"thumbnail\": false}"),
            std::string::npos)
      << r.out;

  r = RunCli("list " + sample_ + " --mode=normal --json");
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(Occurrences(r.out, "\"map\": null"), 3u);
  EXPECT_NE(r.out.find("{\"index\": 2, \"label\": \"3\", \"width\": 0, \"height\": 0, \"bits\": "
                       "0, \"png\": false, \"map\": null, \"name\": \"\", \"thumbnail\": false}"),
            std::string::npos)
      << r.out;

  r = RunCli("list " + sample_ + " --mode bmp");
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "0\t1 48×48 24bit\n1\t2 64×64 8bit\n");
}

TEST_F(CliRun, CountPerMode) {
  struct Case {
    const char* mode;
    const char* out;
  };
  for (Case c : {Case{"", "15\n"}, Case{"--mode icon", "15\n"}, Case{"--mode bmp", "2\n"},
                 Case{"--mode normal", "3\n"}}) {
    CliResult r = RunCli("count " + sample_ + " " + c.mode);
    EXPECT_EQ(r.status, 0) << c.mode;
    EXPECT_EQ(r.out, c.out) << c.mode;
  }
  std::string empty = testsupport::WriteFixtureFile("empty.dll", {});
  CliResult r = RunCli("count " + empty);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "0\n");
}

TEST_F(CliRun, ErrorsAndUsage) {
  struct Case {
    std::string args;
    int status;
    const char* err;  // start of stderr
  };
  std::string ico = testsupport::WriteFixtureFile(
      "one.ico", testsupport::BuildIcoFile({testsupport::MakeIconDib(16, 16, 4)}));
  for (const Case& c : {Case{"list /nonexistent.dll", 1, "/nonexistent.dll\nNo such file"},
                        Case{"count /nonexistent.dll", 1, "/nonexistent.dll\nNo such file"},
                        Case{"list " + testsupport::FixtureDir(), 1, ""},
                        Case{"list", 2, "glyphwell-cli list: list needs exactly one FILE"},
                        Case{"list a b", 2, "glyphwell-cli list:"},
                        Case{"list x.dll --mode odd", 2, "glyphwell-cli list: unknown mode 'odd'"},
                        Case{"count x.dll --bogus", 2, "glyphwell-cli count: unknown option"},
                        Case{"list --help", 0, ""}, Case{"count -h", 0, ""},
                        Case{"list " + ico + " --mode bmp --json", 0, ""}}) {
    CliResult r = RunCli(c.args);
    EXPECT_EQ(r.status, c.status) << c.args;
    EXPECT_EQ(Stderr().rfind(c.err, 0), 0u) << c.args << ": " << Stderr();
  }
  EXPECT_EQ(RunCli("list " + ico + " --mode bmp --json").out, "[]\n");
  RunCli("list " + testsupport::FixtureDir());
  EXPECT_NE(Stderr().find("pBufAdr error"), std::string::npos);
}

TEST(CliOptions, FormsRepeatsAndErrors) {
  CliOptions::Grammar grammar{{"json", "help"}, {"mode", "file"}};
  std::string error;
  auto o = CliOptions::Parse(
      {"a", "--json", "--mode", "bmp", "--file=x", "--file", "y", "--", "--json"}, grammar, error);
  ASSERT_TRUE(o) << error;
  EXPECT_TRUE(o->has("json"));
  EXPECT_EQ(o->value("mode"), "bmp");
  EXPECT_EQ(o->values("file"), (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(o->value("file"), "y");
  EXPECT_EQ(o->positional(), (std::vector<std::string>{"a", "--json"}));
  EXPECT_FALSE(o->value("nothing"));
  struct Bad {
    Args args;
    const char* error;
  };
  for (const Bad& b :
       {Bad{{"--mode"}, "option '--mode' needs a value"},
        Bad{{"--json=1"}, "option '--json' takes no value"},
        Bad{{"--what"}, "unknown option '--what'"}, Bad{{"-x"}, "unknown option '-x'"}}) {
    EXPECT_FALSE(CliOptions::Parse(b.args, grammar, error));
    EXPECT_EQ(error, b.error);
  }
  EXPECT_TRUE(CliOptions::Parse({"-h", "-"}, grammar, error)->has("help"));
}

}  // namespace
}  // namespace glyphwell::cli
