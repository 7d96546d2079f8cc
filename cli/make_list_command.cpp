#include <cstdio>

#include "cli/commands.h"

namespace glyphwell::cli {

int RunMakeList(const Args&) {
  std::fprintf(stderr, "glyphwell-cli make-list: not available in this build\n");
  return 2;
}

}  // namespace glyphwell::cli
