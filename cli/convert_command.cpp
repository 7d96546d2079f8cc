// glyphwell-cli convert: one image of a source through the same conversion as the
// main window's preview, written as BMP or PNG.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "app/preview_model.h"
#include "cli/commands.h"
#include "cli/settings_flags.h"
#include "cli/source_opening.h"
#include "cli/work_folder.h"
#include "imaging/bmp_codec.h"
#include "imaging/png_codec.h"
#include "platform/messages.h"

namespace glyphwell::cli {

namespace {

constexpr const char* kUsage =
    "usage: glyphwell-cli convert FILE [--index N] -o OUT.bmp|OUT.png [--mask-out MASK.bmp]\n"
    "                             [settings]\n"
    "\n"
    "Opens FILE as the main window does, takes the image at grid position N (counted\n"
    "from 0, as 'list' shows them; default 0), converts it as the preview does and\n"
    "writes the output image: a BMP in its exact pixel format and colour table, or a\n"
    "PNG. With --mask-out the output mask is written as a 32-bit BMP (white where\n"
    "transparent).\n"
    "\n"
    "settings:\n";

struct ConvertArgs {
  std::string file;
  std::string out;
  std::string maskOut;
  int position = 0;
  SettingsFlags flags;
};

std::string LowerExtension(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

int UsageError(const std::string& text) {
  std::fprintf(stderr, "glyphwell-cli convert: %s\n", text.c_str());
  return 2;
}

int Failure(const std::string& text) {
  std::fprintf(stderr, "glyphwell-cli convert: %s\n", text.c_str());
  return 1;
}

// Parses the arguments; an error text for a usage error, empty when all is well.
std::string Parse(const Args& args, ConvertArgs& out) {
  for (std::size_t i = 0; i < args.size();) {
    const std::string& a = args[i];
    std::string error;
    if (ParseSettingsFlag(args, i, out.flags, error)) {
      if (!error.empty()) return error;
      continue;
    }
    if (a == "-o" || a == "--mask-out" || a == "--index") {
      if (i + 1 >= args.size()) return a + " needs a value";
      const std::string& v = args[i + 1];
      if (a == "-o") {
        out.out = v;
      } else if (a == "--mask-out") {
        out.maskOut = v;
      } else {
        auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), out.position);
        if (ec != std::errc() || p != v.data() + v.size() || out.position < 0)
          return "--index must be a grid position from 0";
      }
      i += 2;
      continue;
    }
    if (!a.empty() && a[0] == '-') return "unknown option " + a;
    if (!out.file.empty()) return "only one FILE can be converted";
    out.file = a;
    ++i;
  }
  if (out.file.empty()) return "no FILE given (see --help)";
  if (out.out.empty()) return "no output given: -o OUT.bmp or -o OUT.png";
  std::string ext = LowerExtension(out.out);
  if (ext != ".bmp" && ext != ".png") return "the output must be a .bmp or .png file";
  if (!out.maskOut.empty() && LowerExtension(out.maskOut) != ".bmp")
    return "--mask-out must name a .bmp file";
  return {};
}

bool WriteOutput(const imaging::Bitmap& image, const std::string& path,
                 const imaging::ConversionSettings& settings) {
  if (LowerExtension(path) == ".png") {
    imaging::PngWriteOptions options;
    if (settings.outputType == imaging::OutputType::Png &&
        settings.depth == imaging::Depth::Colours256) {
      options.paletteColours = settings.pngColourCount;
    }
    return imaging::WritePng(image, path, options);
  }
  return imaging::WriteBmp(image, path);
}

}  // namespace

int RunConvert(const Args& args) {
  for (const auto& a : args) {
    if (a == "--help" || a == "-h") {
      std::printf("%s%s", kUsage, SettingsFlagsUsage());
      return 0;
    }
  }
  ConvertArgs a;
  if (std::string error = Parse(args, a); !error.empty()) return UsageError(error);

  std::error_code ec;
  if (!std::filesystem::is_regular_file(a.file, ec)) return Failure("cannot open " + a.file);
  WorkFolder work;
  if (work.path().empty()) return Failure("no work folder could be made");

  platform::StderrMessages messages;
  extract::SourceReader reader(&messages);
  OpenedSource source;
  std::string usageError;
  if (!OpenCliSource(a.file, a.flags, reader, messages, source, usageError))
    return Failure("cannot read " + a.file);
  if (!usageError.empty()) return UsageError(usageError);
  if (source.entries.empty()) return Failure(a.file + " holds no images");
  if (static_cast<std::size_t>(a.position) >= source.entries.size()) {
    return UsageError("grid position " + std::to_string(a.position) + " is past the last image (" +
                      std::to_string(source.entries.size() - 1) + ")");
  }
  int index = 0;
  const std::string& indexText = source.entries[static_cast<std::size_t>(a.position)].index;
  std::from_chars(indexText.data(), indexText.data() + indexText.size(), index);

  app::PreviewModel model(work.path());
  app::PreviewOptions options;
  options.settings = a.flags.settings;
  if (!model.RebuildPreview(index, source.preview, options, messages))
    return Failure("the image could not be converted");
  if (!WriteOutput(model.outputImage(), a.out, options.settings))
    return Failure("cannot write " + a.out);
  if (!a.maskOut.empty()) {
    imaging::Bitmap mask = model.outputMask();
    mask.setPixelFormat(32);
    if (!imaging::WriteBmp(mask, a.maskOut)) return Failure("cannot write " + a.maskOut);
  }
  return 0;
}

}  // namespace glyphwell::cli
