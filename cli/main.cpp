// glyphwell-cli: list, convert, save, search and build icons from the command line.
#include <cstdio>
#include <cstring>
#include <string>

#include "cli/commands.h"

namespace {

void PrintUsage(std::FILE* out) {
  std::fprintf(out, "usage: glyphwell-cli COMMAND [options]\n\ncommands:\n");
  for (const auto& c : glyphwell::cli::AllCommands())
    std::fprintf(out, "  %-10s %s\n", c.name, c.summary);
  std::fprintf(out, "\n'glyphwell-cli COMMAND --help' describes one command.\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    PrintUsage(stderr);
    return 2;
  }
  std::string name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") {
    PrintUsage(stdout);
    return 0;
  }
  for (const auto& c : glyphwell::cli::AllCommands()) {
    if (name == c.name) return c.run(glyphwell::cli::Args(argv + 2, argv + argc));
  }
  std::fprintf(stderr, "glyphwell-cli: unknown command '%s'\n", name.c_str());
  PrintUsage(stderr);
  return 2;
}
