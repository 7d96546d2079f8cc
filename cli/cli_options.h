#pragma once
// A small option parser shared by the commands.
//
//   CliOptions::Grammar grammar{.flags = {"json", "help"}, .valued = {"mode"}};
//   std::string error;
//   auto opts = CliOptions::Parse(args, grammar, error);
//   if (!opts) { ... usage error: `error` says why ... }
//   opts->has("json"); opts->value("mode"); opts->positional();
//
// Accepted forms: "--flag", "--key value", "--key=value"; "-h" is "--help". A valued
// option may be repeated (values() gives all, value() the last). "--" ends the
// options; every other argument is positional. Unknown options, a missing value and
// a value given to a flag are errors.

#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace glyphwell::cli {

class CliOptions {
 public:
  struct Grammar {
    std::vector<std::string> flags;   // names without "--"
    std::vector<std::string> valued;  // names without "--"
  };

  static std::optional<CliOptions> Parse(const Args& args, const Grammar& grammar,
                                         std::string& error);

  bool has(const std::string& name) const;
  // The last value given, or nothing.
  std::optional<std::string> value(const std::string& name) const;
  std::vector<std::string> values(const std::string& name) const;
  const std::vector<std::string>& positional() const { return positional_; }

 private:
  std::vector<std::pair<std::string, std::string>> given_;  // name, value ("" for flags)
  std::vector<std::string> positional_;
};

}  // namespace glyphwell::cli
