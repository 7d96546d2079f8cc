#include "cli/commands.h"

namespace glyphwell::cli {

const std::vector<Command>& AllCommands() {
  static const std::vector<Command> commands = {};
  return commands;
}

}  // namespace glyphwell::cli
