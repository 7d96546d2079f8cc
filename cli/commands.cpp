#include "cli/commands.h"

namespace glyphwell::cli {

// Each command lives in its own <name>_command.cpp.
int RunList(const Args& args);
int RunCount(const Args& args);
int RunConvert(const Args& args);
int RunSave(const Args& args);
int RunBuild(const Args& args);
int RunSearch(const Args& args);
int RunMakeList(const Args& args);

const std::vector<Command>& AllCommands() {
  static const std::vector<Command> commands = {
      {"list", "list every image of a source file", RunList},
      {"count", "print the number of images of a source file", RunCount},
      {"convert", "convert one image to the output size and depth", RunConvert},
      {"save", "save selected images as BMP, JPEG, PNG or ICO", RunSave},
      {"build", "build a multi-image .ico or an .icl icon library", RunBuild},
      {"search", "search a folder tree for icon sources", RunSearch},
      {"make-list", "make or update the saved file list of a folder", RunMakeList},
  };
  return commands;
}

}  // namespace glyphwell::cli
