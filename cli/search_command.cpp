// glyphwell-cli search DIR [filters] [--json]
// The folder search of "参照": prints the rows found, sorted by name.
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "app/icon_search.h"
#include "cli/cli_options.h"
#include "cli/commands.h"
#include "cli/json_text.h"
#include "cli/mode_option.h"
#include "cli/search_setup.h"
#include "platform/messages.h"

namespace glyphwell::cli {

namespace {

constexpr const char* kSearchUsage =
    "usage: glyphwell-cli search DIR [--threshold N] [--with-pictures] [--hidden]\n"
    "         [--system] [--all-files] [--mode icon|bmp|normal] [--list-search]\n"
    "         [--del] [--json]\n"
    "\n"
    "Searches DIR and every folder below it for files holding icons and prints one\n"
    "line per file found, sorted by name: name, extension, count and full path,\n"
    "separated by tabs.\n"
    "  --threshold N    list only files with at least N images (1..100, default 1)\n"
    "  --with-pictures  list picture files (.bmp .jpg .jpeg .png .wmf) too\n"
    "  --hidden         search hidden files and folders (names beginning with \".\",\n"
    "                   names in a folder's .hidden file)\n"
    "  --system         search system folders (lost+found, kernel file systems)\n"
    "  --all-files      examine every file with a listed extension, whatever its kind\n"
    "  --mode           how images are counted (default normal: icon groups)\n"
    "  --list-search    search through a saved file list that covers DIR when there\n"
    "                   is one (see make-list)\n"
    "  --del            with --list-search: drop listed files that no longer exist\n"
    "  --json           print a JSON array of {name, ext, count, path}\n"
    "The program folder is $GLYPHWELL_HOME when set.\n"
    "\n"
    "Exit status: 0 done, 1 DIR is no folder, 2 usage error.\n";

}  // namespace

int RunSearch(const Args& args) {
  std::string error;
  auto opts = CliOptions::Parse(
      args,
      {{"with-pictures", "hidden", "system", "all-files", "list-search", "del", "json", "help"},
       {"threshold", "mode"}},
      error);
  if (opts && opts->has("help")) {
    std::fputs(kSearchUsage, stdout);
    return 0;
  }
  app::SearchFilters filters;
  if (opts && opts->positional().size() != 1) error = "search needs exactly one DIR";
  if (opts && error.empty() && opts->value("mode") &&
      !ParseModeOption(*opts->value("mode"), filters.mode))
    error = "unknown mode '" + *opts->value("mode") + "' (icon, bmp or normal)";
  if (opts && error.empty() && opts->value("threshold")) {
    const std::string text = *opts->value("threshold");
    char* end = nullptr;
    long n = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || n < 1 || n > 100)
      error = "the threshold must be a number from 1 to 100";
    else
      filters.threshold = static_cast<int>(n);
  }
  if (opts && error.empty() && opts->has("del") && !opts->has("list-search"))
    error = "--del needs --list-search";
  if (!opts || !error.empty()) {
    std::fprintf(stderr, "glyphwell-cli search: %s\n%s", error.c_str(), kSearchUsage);
    return 2;
  }
  filters.leaveOutPictures = !opts->has("with-pictures");
  filters.hidden = opts->has("hidden");
  filters.system = opts->has("system");
  filters.allFiles = opts->has("all-files");
  filters.listSearch = opts->has("list-search");
  filters.deleteMissing = opts->has("del");

  const std::string folder = app::NormalFolder(opts->positional()[0]);
  struct stat info;
  if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    std::fprintf(stderr, "glyphwell-cli search: %s is no folder\n", folder.c_str());
    return 1;
  }
  platform::StderrMessages messages;
  app::IconSearch search(MakeSavedLists(), messages);
  search.filters = filters;
  search.SearchFolder(AbsoluteFolder(folder));

  const bool json = opts->has("json");
  if (json) std::fputs("[", stdout);
  bool first = true;
  for (const app::FileListRow& row : search.rows()) {
    if (json) {
      std::printf("%s\n{\"name\":%s,\"ext\":%s,\"count\":%d,\"path\":%s}", first ? "" : ",",
                  JsonString(row.name).c_str(), JsonString(row.ext).c_str(), row.count,
                  JsonString(row.path).c_str());
    } else {
      std::printf("%s\t%s\t%d\t%s\n", row.name.c_str(), row.ext.c_str(), row.count,
                  row.path.c_str());
    }
    first = false;
  }
  if (json) std::fputs(first ? "]\n" : "\n]\n", stdout);
  return 0;
}

}  // namespace glyphwell::cli
