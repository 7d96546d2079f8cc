#include <cstdio>

#include "cli/commands.h"

namespace glyphwell::cli {

int RunSave(const Args&) {
  std::fprintf(stderr, "glyphwell-cli save: not available in this build\n");
  return 2;
}

}  // namespace glyphwell::cli
