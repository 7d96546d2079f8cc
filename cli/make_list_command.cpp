// glyphwell-cli make-list DIR
// Makes or updates the saved file list of DIR and prints its index value.
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "app/icon_search.h"
#include "cli/cli_options.h"
#include "cli/commands.h"
#include "cli/search_setup.h"
#include "platform/messages.h"

namespace glyphwell::cli {

namespace {

constexpr const char* kMakeListUsage =
    "usage: glyphwell-cli make-list DIR\n"
    "\n"
    "Searches DIR and every folder below it and writes its saved file list (every\n"
    "file with icons, bitmaps or a picture, with its counts in all three modes) into\n"
    "the program folder's data/ ($GLYPHWELL_HOME when set). An existing list of DIR\n"
    "is rewritten. Prints the list's index value: files<>shell icons e icons e\n"
    "bitmaps e pictures.\n"
    "\n"
    "Exit status: 0 written, 1 DIR is no folder or the list cannot be written,\n"
    "2 usage error.\n";

}  // namespace

int RunMakeList(const Args& args) {
  std::string error;
  auto opts = CliOptions::Parse(args, {{"help"}, {}}, error);
  if (opts && opts->has("help")) {
    std::fputs(kMakeListUsage, stdout);
    return 0;
  }
  if (opts && opts->positional().size() != 1) error = "make-list needs exactly one DIR";
  if (!opts || !error.empty()) {
    std::fprintf(stderr, "glyphwell-cli make-list: %s\n%s", error.c_str(), kMakeListUsage);
    return 2;
  }
  const std::string folder = AbsoluteFolder(opts->positional()[0]);
  struct stat info;
  if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    std::fprintf(stderr, "glyphwell-cli make-list: %s is no folder\n", folder.c_str());
    return 1;
  }
  platform::StderrMessages messages;
  app::IconSearch search(MakeSavedLists(), messages);
  auto made = search.MakeList(folder);
  if (!made || !made->written) {
    std::fprintf(stderr, "glyphwell-cli make-list: the list of %s could not be written\n",
                 folder.c_str());
    return 1;
  }
  std::printf("%s\n", search.lists().ReadTotals(folder).ToValue().c_str());
  return 0;
}

}  // namespace glyphwell::cli
