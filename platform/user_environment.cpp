#include "platform/user_environment.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace glyphwell::platform {

namespace {

const char* AbsoluteEnv(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] == '/' ? value : nullptr;
}

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/')
    path.pop_back();
  return path;
}

// Looks up the effective user; false when the user database has no entry.
bool LookUpUser(std::string& name, std::string& home) {
  long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
  struct passwd entry {};
  struct passwd* found = nullptr;
  if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
      found == nullptr) {
    return false;
  }
  name = found->pw_name ? found->pw_name : "";
  home = found->pw_dir ? found->pw_dir : "";
  return true;
}

}  // namespace

std::string LogOnName() {
  std::string name, home;
  // The name becomes a folder name: refuse anything that would leave its folder.
  if (LookUpUser(name, home) && !name.empty() && name != "." && name != ".." &&
      name.find('/') == std::string::npos) {
    return name;
  }
  return "uid" + std::to_string(::geteuid());
}

std::string HomeFolder() {
  if (const char* home = AbsoluteEnv("HOME")) return WithoutTrailingSlashes(home);
  std::string name, home;
  if (LookUpUser(name, home) && !home.empty() && home[0] == '/')
    return WithoutTrailingSlashes(home);
  return "/tmp";
}

std::string XdgFolder(const char* variable, const char* fallbackBelowHome) {
  if (const char* value = AbsoluteEnv(variable)) return WithoutTrailingSlashes(value);
  return HomeFolder() + "/" + fallbackBelowHome;
}

std::string RuntimeFolder(bool* perUser) {
  if (const char* runtime = AbsoluteEnv("XDG_RUNTIME_DIR")) {
    if (perUser) *perUser = true;
    return WithoutTrailingSlashes(runtime);
  }
  if (perUser) *perUser = false;
  if (const char* tmp = AbsoluteEnv("TMPDIR")) return WithoutTrailingSlashes(tmp);
  return "/tmp";
}

}  // namespace glyphwell::platform
