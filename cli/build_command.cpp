// glyphwell-cli build: the multi-image icon builder without its window. Sources are
// added as the builder's open command adds them, groups and the selection are
// applied as clicks would, and the selection is saved as the save command saves it.
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "builder/extract_module_reader.h"
#include "builder/icon_block.h"
#include "builder/icon_builder.h"
#include "cli/commands.h"
#include "cli/json_text.h"

namespace glyphwell::cli {

namespace {

const char* const kUsage =
    "usage: glyphwell-cli build -o OUT.ico|OUT.icl [options] SOURCE...\n"
    "\n"
    "Adds every SOURCE in order (.ico files, modules, .png pictures; shortcuts are\n"
    "followed), then saves the selected images as one icon file (.ico) or as an icon\n"
    "library (.icl), chosen by the extension of OUT.\n"
    "\n"
    "  -o OUT             the file to write\n"
    "  --select LIST      entries to save: indices and ranges, e.g. 5,2,7 or 0-3,9\n"
    "                     (default: all); saved in list order whatever the order given\n"
    "  --group A-B        put entries A to B into one group (one icon of a library);\n"
    "                     may be given several times, applied in order\n"
    "  --png256           store images of 256 pixels a side or more PNG-coded\n"
    "  --pngfrg           store every image PNG-coded\n"
    "  --pngsv            give images without alpha their mask as alpha in PNG data\n"
    "  --pngiclchg        bring PNG-coded images read in back to their recorded depth\n"
    "  --extracted-name   name the output after the first selected entry (in OUT's\n"
    "                     folder, with OUT's extension)\n"
    "  --json             print the list of entries (JSON) before saving\n";

// Answers the count question with Yes without printing it; every other message
// goes to stderr.
class CliMessages final : public platform::MessageSink {
 public:
  platform::MsgResult Show(const std::string& text, const std::string& caption,
                           platform::MsgButtons buttons, platform::MsgIcon icon,
                           platform::MsgResult defaultAnswer) override {
    if (caption == builder::IconBuilder::kCountCaption) return platform::MsgResult::kYes;
    return stderr_.Show(text, caption, buttons, icon, defaultAnswer);
  }

 private:
  platform::StderrMessages stderr_;
};

class FixedSaveDialog final : public builder::SaveDialog {
 public:
  FixedSaveDialog(std::string out, int filter, bool useProposed)
      : out_(std::move(out)), filter_(filter), useProposed_(useProposed) {}
  std::optional<builder::SaveTarget> Ask(const std::string& proposedName) override {
    std::string path = out_;
    if (useProposed_ && !proposedName.empty()) {
      const auto slash = out_.find_last_of('/');
      const std::string folder = slash == std::string::npos ? "" : out_.substr(0, slash + 1);
      const auto dot = out_.find_last_of('.');
      const std::string ext =
          dot == std::string::npos || (slash != std::string::npos && dot < slash)
              ? ""
              : out_.substr(dot);
      // A name may hold characters that cannot stand in a file name here.
      std::string name = proposedName;
      for (char& c : name)
        if (c == '/') c = '_';
      path = folder + name + ext;
    }
    written = path;
    return builder::SaveTarget{path, filter_};
  }
  std::string written;

 private:
  std::string out_;
  int filter_;
  bool useProposed_;
};

bool ParseIndex(const std::string& text, int& out) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  out = std::atoi(text.c_str());
  return true;
}

// "A" or "A-B" (A <= B).
bool ParseRange(const std::string& text, int& first, int& last) {
  const auto dash = text.find('-');
  if (dash == std::string::npos) {
    if (!ParseIndex(text, first)) return false;
    last = first;
    return true;
  }
  return ParseIndex(text.substr(0, dash), first) && ParseIndex(text.substr(dash + 1), last) &&
         first <= last;
}

bool ParseList(const std::string& text, std::vector<int>& out) {
  std::size_t start = 0;
  while (start <= text.size()) {
    const auto comma = text.find(',', start);
    const std::string part =
        text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    int first, last;
    if (!ParseRange(part, first, last)) return false;
    for (int i = first; i <= last; ++i)
      out.push_back(i);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return true;
}

void PrintJson(const std::vector<builder::TIconEntry>& entries) {
  std::printf("[");
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const auto& e = entries[i];
    const auto h = builder::ReadIconBlockHeader(e.Image).value_or(builder::IconBlockHeader{});
    std::printf(
        "%s\n  {\"name\": %s, \"source\": %s, \"src_index\": %d, \"width\": %d, \"height\": %d, "
        "\"bits\": %d, \"png\": %s, \"group\": %d, \"group_count\": %d}",
        i ? "," : "", JsonString(e.Name).c_str(), JsonString(e.SourcePath).c_str(), e.SrcIndex,
        h.width, h.height(), h.bitCount, e.IsPng ? "true" : "false", e.GroupId, e.GroupCount);
  }
  std::printf("%s]\n", entries.empty() ? "" : "\n");
}

int UsageError(const std::string& text) {
  std::fprintf(stderr, "glyphwell-cli build: %s\n%s", text.c_str(), kUsage);
  return 2;
}

}  // namespace

int RunBuild(const Args& args) {
  std::string out;
  std::optional<std::vector<int>> select;
  std::vector<std::pair<int, int>> groups;
  builder::IconSaveOptions options;
  bool extractedName = false, json = false;
  std::vector<std::string> sources;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& v) {
      if (i + 1 >= args.size()) return false;
      v = args[++i];
      return true;
    };
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (a == "-o") {
      if (!value(out)) return UsageError("-o needs a file name");
    } else if (a == "--select") {
      std::string list;
      std::vector<int> indices;
      if (!value(list) || !ParseList(list, indices))
        return UsageError("--select needs a list such as 5,2,7 or 0-3");
      select = std::move(indices);
    } else if (a == "--group") {
      std::string range;
      int first, last;
      if (!value(range) || range.find('-') == std::string::npos || !ParseRange(range, first, last))
        return UsageError("--group needs a range A-B with A <= B");
      groups.emplace_back(first, last);
    } else if (a == "--png256") {
      options.png256 = true;
    } else if (a == "--pngfrg") {
      options.pngfrg = true;
    } else if (a == "--pngsv") {
      options.pngsv = true;
    } else if (a == "--pngiclchg") {
      options.pngiclchg = true;
    } else if (a == "--extracted-name") {
      extractedName = true;
    } else if (a == "--json") {
      json = true;
    } else if (a.size() > 1 && a[0] == '-') {
      return UsageError("unknown option " + a);
    } else {
      sources.push_back(a);
    }
  }
  if (out.empty()) return UsageError("-o OUT.ico or -o OUT.icl is required");
  if (sources.empty()) return UsageError("no SOURCE given");
  if (options.png256 && options.pngfrg)
    return UsageError("--png256 and --pngfrg exclude each other");
  const auto dot = out.find_last_of('.');
  std::string ext = dot == std::string::npos ? "" : out.substr(dot);
  for (char& c : ext)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext != ".ico" && ext != ".icl") return UsageError("OUT must end in .ico or .icl");

  CliMessages messages;
  builder::ExtractModuleReader modules;
  builder::IconBuilder::Services services;
  services.messages = &messages;
  services.modules = &modules;
  builder::IconBuilder model(services);
  model.options() = options;
  model.extractedNames = extractedName;
  model.AddFiles(sources);
  if (model.count() == 0) {
    std::fprintf(stderr, "glyphwell-cli build: no images could be read\n");
    return 1;
  }
  for (const auto& [first, last] : groups) {
    if (last >= model.count())
      return UsageError("--group " + std::to_string(first) + "-" + std::to_string(last) +
                        ": the list has " + std::to_string(model.count()) + " entries");
    std::vector<int> range;
    for (int i = first; i <= last; ++i)
      range.push_back(i);
    model.selection().Assign(std::move(range));
    model.GroupSelection();
  }
  if (select) {
    for (int i : *select)
      if (i >= model.count())
        return UsageError("--select: entry " + std::to_string(i) + " is past the end of the " +
                          std::to_string(model.count()) + " entries");
    model.selection().Assign(*select);
  } else {
    model.SelectAll();
  }
  if (json) PrintJson(model.entries());

  FixedSaveDialog dialog(out, ext == ".icl" ? 2 : 1, extractedName);
  if (!model.SaveCommand(dialog)) return 1;
  return 0;
}

}  // namespace glyphwell::cli
