#pragma once
// The sub-commands of glyphwell-cli. Each takes the arguments after its name and
// returns the process exit status: 0 done, 1 the input could not be read or nothing
// could be written, 2 a usage error.

#include <string>
#include <vector>

namespace glyphwell::cli {

using Args = std::vector<std::string>;

struct Command {
  const char* name;
  const char* summary;
  int (*run)(const Args& args);
};

// Every command, in the order `glyphwell-cli --help` lists them.
const std::vector<Command>& AllCommands();

}  // namespace glyphwell::cli
