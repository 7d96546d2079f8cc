#include <cstdio>

#include "cli/commands.h"

namespace glyphwell::cli {

int RunList(const Args&) {
  std::fprintf(stderr, "glyphwell-cli list: not available in this build\n");
  return 2;
}

}  // namespace glyphwell::cli
