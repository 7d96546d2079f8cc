#include <cstdio>

#include "cli/commands.h"

namespace glyphwell::cli {

int RunBuild(const Args&) {
  std::fprintf(stderr, "glyphwell-cli build: not available in this build\n");
  return 2;
}

}  // namespace glyphwell::cli
