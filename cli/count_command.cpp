#include <cstdio>

#include "cli/commands.h"

namespace glyphwell::cli {

int RunCount(const Args&) {
  std::fprintf(stderr, "glyphwell-cli count: not available in this build\n");
  return 2;
}

}  // namespace glyphwell::cli
