// glyphwell-cli list FILE [--mode icon|bmp|normal] [--names] [--json]
// Opens FILE as the main window does and prints its image grid, one entry a line.
#include <cstdio>
#include <string>

#include "app/source_listing.h"
#include "cli/cli_options.h"
#include "cli/commands.h"
#include "cli/json_text.h"
#include "cli/mode_option.h"
#include "platform/messages.h"

namespace glyphwell::cli {

namespace {

constexpr const char* kListUsage =
    "usage: glyphwell-cli list FILE [--mode icon|bmp|normal] [--names] [--json]\n"
    "\n"
    "Lists every image of FILE as the image grid shows it: a module (.exe .dll\n"
    ".icl ...), an icon file or a picture file.\n"
    "\n"
    "  --mode MODE  icon: every icon image (default); bmp: the bitmap resources;\n"
    "               normal: one icon per icon group, as the desktop shows them\n"
    "  --names      label images with their extracted names instead of numbers\n"
    "  --json       print one JSON array: index, label, width, height, bits, png,\n"
    "               map, name and thumbnail of every entry\n"
    "\n"
    "Exit status: 0 the file was read, 1 it could not be read, 2 usage error.\n";

std::string OneLine(std::string s) {
  for (char& c : s)
    if (c == '\n') c = ' ';
  return s;
}

}  // namespace

int RunList(const Args& args) {
  std::string error;
  auto opts = CliOptions::Parse(args, {{"json", "names", "help"}, {"mode"}}, error);
  if (opts && opts->has("help")) {
    std::fputs(kListUsage, stdout);
    return 0;
  }
  extract::ExtractionMode mode = extract::ExtractionMode::kIcon;
  if (opts && opts->positional().size() != 1) error = "list needs exactly one FILE";
  if (opts && error.empty() && opts->value("mode") && !ParseModeOption(*opts->value("mode"), mode))
    error = "unknown mode '" + *opts->value("mode") + "' (icon, bmp or normal)";
  if (!opts || !error.empty()) {
    std::fprintf(stderr, "glyphwell-cli list: %s\n%s", error.c_str(), kListUsage);
    return 2;
  }

  platform::StderrMessages messages;
  app::SourceListing listing(messages);
  listing.setMode(mode);
  listing.setShowExtractedNames(opts->has("names"));
  const std::string path = opts->positional()[0];
  switch (listing.OpenSource(path)) {
    case app::SourceListing::Result::kNoFile:
      std::fprintf(stderr, "%s\nNo such file or directory\n", path.c_str());
      return 1;
    case app::SourceListing::Result::kUnreadable:
    case app::SourceListing::Result::kPictureUnreadable:
      return 1;
    case app::SourceListing::Result::kNothingInBmpMode:
    case app::SourceListing::Result::kListed:
    case app::SourceListing::Result::kPicture:
      break;
  }

  const auto& reader = listing.reader();
  const bool json = opts->has("json");
  if (json) std::fputs("[", stdout);
  bool first = true;
  for (const auto& item : listing.images()) {
    const auto& map = reader.file().groupMap;
    const bool inMap = listing.ownParserGrid() && !listing.picture() &&
                       static_cast<std::size_t>(item.position) < map.size();
    const std::string mapText = inMap ? map[static_cast<std::size_t>(item.position)].ToText() : "";
    const std::string name = inMap ? map[static_cast<std::size_t>(item.position)].name : "";
    if (json) {
      std::printf(
          "%s\n  {\"index\": %s, \"label\": %s, \"width\": %d, \"height\": %d, \"bits\": %d, "
          "\"png\": %s, \"map\": %s, \"name\": %s, \"thumbnail\": %s}",
          first ? "" : ",", item.entry.index.c_str(), JsonString(item.entry.label).c_str(),
          item.facts.width, item.facts.height, item.facts.bitCount,
          item.facts.png ? "true" : "false", inMap ? JsonString(mapText).c_str() : "null",
          JsonString(name).c_str(), item.entry.thumbnail.empty() ? "false" : "true");
    } else {
      std::printf("%s\t%s%s%s%s\n", item.entry.index.c_str(), OneLine(item.entry.label).c_str(),
                  item.facts.png ? "\tpng" : "", inMap ? ("\t" + mapText).c_str() : "",
                  item.entry.thumbnail.empty() ? "" : "\tthumbnail");
    }
    first = false;
  }
  if (json) std::fputs(first ? "]\n" : "\n]\n", stdout);
  return 0;
}

}  // namespace glyphwell::cli
