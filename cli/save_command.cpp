// glyphwell-cli save: the save button of the main window, with the grid positions,
// the chosen file name and the file type given on the command line.
#include <sys/stat.h>

#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "imaging/output_geometry.h"  // before the preview model, which uses imaging::Size

#include "app/grid_save_source.h"
#include "app/preview_model.h"
#include "cli/commands.h"
#include "cli/settings_flags.h"
#include "cli/source_opening.h"
#include "cli/work_folder.h"
#include "extract/source_reader.h"
#include "output/icon_file_writer.h"
#include "output/pelmora_loader.h"
#include "output/save_naming.h"
#include "output/save_workflow.h"
#include "platform/messages.h"

namespace glyphwell::cli {

namespace {


constexpr const char* kUsage =
    "usage: glyphwell-cli save FILE (--index N)... | --all -o PATH [options]\n"
    "\n"
    "Saves the images at the given grid positions (counted from 0, as 'list' shows\n"
    "them) as if they were selected and PATH were the name chosen in the save dialog.\n"
    "Several images are numbered PATH-001, PATH-005, ... after their positions.\n"
    "Prints every file written, one per line.\n"
    "\n"
    "  --index N                     save the image at grid position N (repeatable)\n"
    "  --all                         save every image of FILE\n"
    "  -o PATH                       the file name chosen in the save dialog\n"
    "  --save-as bmp|jpeg|png|ico|all  the dialog's file type (default: the output\n"
    "                                type's own; all = \"All Files\": the output type)\n"
    "  --extracted-names             name files after the images' extracted names\n"
    "                                (PATH may then be a folder)\n"
    "  --png256                      PNG-compress icon images above 255 pixels\n"
    "  --pngfrg                      PNG-compress every icon image\n"
    "  --pngsv                       give PNG-compressed icons alpha from the mask\n"
    "  --match-width TEXT            save only images whose width is in TEXT\n"
    "  --match-height TEXT           ... whose height is in TEXT\n"
    "  --match-bits TEXT             ... whose bit count is in TEXT\n"
    "\n"
    "conversion settings:\n";

struct SaveArgs {
  std::string file;
  std::vector<int> positions;
  bool all = false;
  std::string output;
  std::optional<int> filterIndex;
  bool extractedNames = false;
  output::IconOptions icon;
  std::optional<output::MatchConditions> match;
  SettingsFlags flags;
};

int Usage(const std::string& error) {
  std::fprintf(stderr, "glyphwell-cli save: %s\n\n%s%s", error.c_str(), kUsage,
               SettingsFlagsUsage());
  return 2;
}

bool ParseInt(const std::string& text, int& value) {
  const char* end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && p == end && !text.empty();
}

std::optional<int> FilterFor(const std::string& type) {
  if (type == "bmp") return 1;
  if (type == "jpeg" || type == "jpg") return 2;
  if (type == "png") return 3;
  if (type == "ico") return 4;
  if (type == "all") return output::kAllFilesFilter;
  return std::nullopt;
}

// Parses the arguments; an error text, empty when all is well.
std::string Parse(const Args& args, SaveArgs& out) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string error;
    // A settings flag is consumed whole, leaving `i` on the next argument.
    while (i < args.size() && ParseSettingsFlag(args, i, out.flags, error))
      if (!error.empty()) return error;
    if (i >= args.size()) break;
    const std::string& a = args[i];
    auto value = [&](std::string& v) {
      if (i + 1 >= args.size()) return false;
      v = args[++i];
      return true;
    };
    std::string v;
    if (a == "--index") {
      int n = 0;
      if (!value(v) || !ParseInt(v, n) || n < 0) return "--index needs a grid position (0 or more)";
      out.positions.push_back(n);
    } else if (a == "--all") {
      out.all = true;
    } else if (a == "-o" || a == "--output") {
      if (!value(out.output)) return "-o needs a path";
    } else if (a == "--save-as") {
      if (!value(v) || !(out.filterIndex = FilterFor(v)))
        return "--save-as takes bmp, jpeg, png, ico or all";
    } else if (a == "--extracted-names") {
      out.extractedNames = true;
    } else if (a == "--png256") {
      out.icon.png256 = true;
    } else if (a == "--pngfrg") {
      out.icon.pngfrg = true;
    } else if (a == "--pngsv") {
      out.icon.pngsv = true;
    } else if (a == "--match-width" || a == "--match-height" || a == "--match-bits") {
      if (!value(v)) return a + " needs a text";
      if (!out.match) out.match = output::MatchConditions{};
      (a == "--match-width"    ? out.match->width
       : a == "--match-height" ? out.match->height
                               : out.match->bits) = v;
    } else if (!a.empty() && a[0] == '-') {
      return "unknown option " + a;
    } else if (out.file.empty()) {
      out.file = a;
    } else {
      return "only one FILE can be saved from";
    }
  }
  if (out.file.empty()) return "no FILE given";
  if (out.output.empty()) return "no -o PATH given";
  if (out.all == !out.positions.empty()) return "give either --index N or --all";
  if (out.icon.png256 && out.icon.pngfrg) return "--png256 and --pngfrg exclude each other";
  if (out.match && !out.match->any()) return "the --match options need a text that is not empty";
  return {};
}

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The busy dialog of the command line: nothing to show, nothing cancels.
class QuietProgress final : public output::SaveProgress {};

}  // namespace

int RunSave(const Args& args) {
  for (const auto& a : args) {
    if (a == "--help" || a == "-h") {
      std::printf("%s%s", kUsage, SettingsFlagsUsage());
      return 0;
    }
  }
  SaveArgs sa;
  if (std::string error = Parse(args, sa); !error.empty()) return Usage(error);

  platform::StderrMessages messages;
  WorkFolder work;
  if (work.path().empty()) {
    std::fprintf(stderr, "glyphwell-cli save: no work folder could be made\n");
    return 1;
  }
  extract::SourceReader reader(&messages);
  OpenedSource source;
  std::string error;
  if (!OpenCliSource(sa.file, sa.flags, reader, messages, source, error, sa.extractedNames))
    return 1;
  if (!error.empty()) return Usage(error);
  if (source.entries.empty()) {
    std::fprintf(stderr, "glyphwell-cli save: %s holds no images\n", sa.file.c_str());
    return 1;
  }

  std::vector<bool> selected(source.entries.size(), sa.all);
  for (int p : sa.positions) {
    if (static_cast<std::size_t>(p) >= selected.size()) {
      return Usage("grid position " + std::to_string(p) + " is past the last image (" +
                   std::to_string(selected.size() - 1) + ")");
    }
    selected[static_cast<std::size_t>(p)] = true;
  }

  const imaging::ConversionSettings& settings = sa.flags.settings;
  const int filter = sa.filterIndex.value_or(output::FilterIndexFor(settings.outputType));
  output::PelmoraLoader pelmora;
  if (output::SaveTypeFor(filter, settings.outputType) == imaging::OutputType::Icon &&
      !pelmora.Load(messages) && !sa.icon.pngfrg) {
    return 1;  // the loader has said why
  }

  // The preview of the selected image, as the window shows it before the save.
  app::PreviewModel preview(work.path());
  app::PreviewOptions previewOptions;
  previewOptions.settings = settings;
  for (std::size_t p = 0; p < selected.size(); ++p) {
    if (!selected[p]) continue;
    int index = 0;
    if (ParseInt(source.entries[p].index, index))
      preview.RebuildPreview(index, source.preview, previewOptions, messages);
    break;
  }

  app::GridSaveSource grid(source.entries, selected, preview, source.preview, previewOptions,
                           messages);
  output::IconFileWriter icons(pelmora, work.path().string(), sa.icon);
  output::SaveWorkflow flow(grid, icons, messages);
  output::SaveContext context;
  context.settings = settings;
  context.showExtractedNames = sa.extractedNames;

  const std::string chosen = sa.output;
  const bool keepProposal = sa.extractedNames;
  auto choose = [&](const output::SaveProposal& proposal) -> std::optional<output::SaveChoice> {
    std::string path = chosen;
    if (keepProposal && !proposal.fileName.empty()) {
      const std::string folder = IsFolder(chosen) ? chosen : output::FolderOf(chosen);
      path = folder + "/" + proposal.fileName;
    } else if (IsFolder(chosen)) {
      path = chosen + "/" +
             (proposal.fileName.empty() ? std::string("image")
                                        : output::BaseNameOf(proposal.fileName)) +
             "." + proposal.defaultExtension;
    }
    return output::SaveChoice{path, filter};
  };
  QuietProgress progress;
  if (sa.match)
    flow.SaveMatching(context, *sa.match, choose, progress);
  else
    flow.SaveSelected(context, choose, progress);

  const output::SaveReport& report = flow.report();
  for (const auto& path : report.written)
    std::printf("%s\n", path.c_str());
  for (const auto& f : report.failed) {
    std::fprintf(stderr, "glyphwell-cli save: grid position %d%s%s: %s\n", f.position,
                 f.path.empty() ? "" : ": ", f.path.c_str(), f.reason.c_str());
  }
  return report.written.empty() ? 1 : 0;
}

}  // namespace glyphwell::cli
