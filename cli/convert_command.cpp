#include <cstdio>

#include "cli/commands.h"

namespace glyphwell::cli {

int RunConvert(const Args&) {
  std::fprintf(stderr, "glyphwell-cli convert: not available in this build\n");
  return 2;
}

}  // namespace glyphwell::cli
