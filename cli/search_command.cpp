#include <cstdio>

#include "cli/commands.h"

namespace glyphwell::cli {

int RunSearch(const Args&) {
  std::fprintf(stderr, "glyphwell-cli search: not available in this build\n");
  return 2;
}

}  // namespace glyphwell::cli
