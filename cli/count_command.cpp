// glyphwell-cli count FILE [--mode icon|bmp|normal]
// Prints the number of images of FILE that the file search would show.
#include <cstdio>
#include <filesystem>
#include <string>

#include "cli/cli_options.h"
#include "cli/commands.h"
#include "cli/mode_option.h"
#include "extract/source_reader.h"
#include "platform/messages.h"

namespace glyphwell::cli {

namespace {

constexpr const char* kCountUsage =
    "usage: glyphwell-cli count FILE [--mode icon|bmp|normal]\n"
    "\n"
    "Prints how many images of FILE can be read: in the icon mode (default) every\n"
    "icon image, in the bmp mode every bitmap resource, in the normal mode the\n"
    "number of icon groups.\n"
    "\n"
    "Exit status: 0 the file was read, 1 it could not be read, 2 usage error.\n";

}  // namespace

int RunCount(const Args& args) {
  std::string error;
  auto opts = CliOptions::Parse(args, {{"help"}, {"mode"}}, error);
  if (opts && opts->has("help")) {
    std::fputs(kCountUsage, stdout);
    return 0;
  }
  extract::ExtractionMode mode = extract::ExtractionMode::kIcon;
  if (opts && opts->positional().size() != 1) error = "count needs exactly one FILE";
  if (opts && error.empty() && opts->value("mode") && !ParseModeOption(*opts->value("mode"), mode))
    error = "unknown mode '" + *opts->value("mode") + "' (icon, bmp or normal)";
  if (!opts || !error.empty()) {
    std::fprintf(stderr, "glyphwell-cli count: %s\n%s", error.c_str(), kCountUsage);
    return 2;
  }
  const std::string path = opts->positional()[0];
  platform::StderrMessages messages;
  extract::SourceReader reader(&messages);
  reader.setMode(mode);
  int count = reader.CountImages(path);
  if (reader.lastReadFailed()) {
    // An empty file is read, silently, as holding nothing.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec) || std::filesystem::file_size(path, ec) != 0)
      return 1;
  }
  std::printf("%d\n", count);
  return 0;
}

}  // namespace glyphwell::cli
