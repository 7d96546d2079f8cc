#include "cli/cli_options.h"

#include <algorithm>

namespace glyphwell::cli {

namespace {

bool Contains(const std::vector<std::string>& list, const std::string& name) {
  return std::find(list.begin(), list.end(), name) != list.end();
}

}  // namespace

std::optional<CliOptions> CliOptions::Parse(const Args& args, const Grammar& grammar,
                                            std::string& error) {
  CliOptions out;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      out.positional_.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == "-h") {
      if (!Contains(grammar.flags, "help")) {
        error = "unknown option '-h'";
        return std::nullopt;
      }
      out.given_.emplace_back("help", "");
      continue;
    }
    if (arg.rfind("--", 0) != 0) {
      error = "unknown option '" + arg + "'";
      return std::nullopt;
    }
    std::string name = arg.substr(2);
    std::optional<std::string> inlineValue;
    if (auto eq = name.find('='); eq != std::string::npos) {
      inlineValue = name.substr(eq + 1);
      name = name.substr(0, eq);
    }
    if (Contains(grammar.flags, name)) {
      if (inlineValue) {
        error = "option '--" + name + "' takes no value";
        return std::nullopt;
      }
      out.given_.emplace_back(name, "");
    } else if (Contains(grammar.valued, name)) {
      if (!inlineValue) {
        if (i + 1 >= args.size()) {
          error = "option '--" + name + "' needs a value";
          return std::nullopt;
        }
        inlineValue = args[++i];
      }
      out.given_.emplace_back(name, *inlineValue);
    } else {
      error = "unknown option '--" + name + "'";
      return std::nullopt;
    }
  }
  return out;
}

bool CliOptions::has(const std::string& name) const {
  return std::any_of(given_.begin(), given_.end(), [&](const auto& g) { return g.first == name; });
}

std::optional<std::string> CliOptions::value(const std::string& name) const {
  for (auto it = given_.rbegin(); it != given_.rend(); ++it)
    if (it->first == name) return it->second;
  return std::nullopt;
}

std::vector<std::string> CliOptions::values(const std::string& name) const {
  std::vector<std::string> out;
  for (const auto& g : given_)
    if (g.first == name) out.push_back(g.second);
  return out;
}

}  // namespace glyphwell::cli
