#include "platform/settings.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/system_folder.h"
#include "platform/user_environment.h"

namespace glyphwell::platform {

namespace {

constexpr const char* kSection = Settings::kSection;

// Every member with its value name, so reading and writing cannot drift apart.
template <typename S, typename Fn>
void ForEachInteger(S& s, Fn fn) {
  fn("mcount", s.mcount, 1, 100);
  fn("us_w", s.us_w, 16, 256);
  fn("us_h", s.us_h, 16, 256);
  fn("grid size", s.grid_size, 48, 128);
  fn("grid color", s.grid_color, 0, 0xFFFFFF);
  fn("keep size", s.keep_size, 0, 1 << 16);
}

template <typename S, typename Fn>
void ForEachBool(S& s, Fn fn) {
  fn("haichi", s.haichi);
  fn("filelist", s.filelist);
  fn("sys", s.sys);
  fn("hide", s.hide);
  fn("png256", s.png256);
  fn("pngfrg", s.pngfrg);
  fn("pngsv", s.pngsv);
  fn("pngiclchg", s.pngiclchg);
}

template <typename S, typename Fn>
void ForEachString(S& s, Fn fn) {
  fn("partdir", s.partdir);
  fn("partpath", s.partpath);
  fn("tmppath", s.tmppath);
  fn("seldt1", s.seldt1);
  fn("seldt2", s.seldt2);
  fn("seldt3", s.seldt3);
  fn("sysdir", s.sysdir);
  fn("updurl", s.updurl);
}

bool MakeFolders(const std::string& folder) {
  for (std::size_t pos = 1; pos <= folder.size(); ++pos) {
    if (pos != folder.size() && folder[pos] != '/') continue;
    std::string part = folder.substr(0, pos);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return true;
}

}  // namespace

Settings Settings::Defaults(const std::string& programFolder) {
  Settings s;
  s.tmppath = programFolder + "/tmp/sv.bmp";
  s.sysdir = DefaultSystemFolder();
  return s;
}

void Settings::ReadFrom(const IniFile& ini) {
  ForEachInteger(*this, [&](const char* name, int& value, int lo, int hi) {
    value = std::clamp(ini.ReadInteger(kSection, name, value), lo, hi);
  });
  ForEachBool(*this,
              [&](const char* name, bool& value) { value = ini.ReadBool(kSection, name, value); });
  const std::string detectedSystemFolder = sysdir;
  ForEachString(*this, [&](const char* name, std::string& value) {
    if (auto stored = ini.Find(kSection, name)) value = *stored;
  });
  // An emptied system folder means "find it again".
  if (sysdir.empty()) sysdir = detectedSystemFolder;
  // The eight levels are taken only as a whole.
  if (auto bytes = ini.ReadBinary(kSection, "alpha"); bytes && bytes->size() == alpha.size()) {
    std::copy(bytes->begin(), bytes->end(), alpha.begin());
  }
}

void Settings::WriteTo(IniFile& ini) const {
  ForEachInteger(*this, [&](const char* name, const int& value, int, int) {
    ini.WriteInteger(kSection, name, value);
  });
  ForEachBool(*this,
              [&](const char* name, const bool& value) { ini.WriteBool(kSection, name, value); });
  ForEachString(*this, [&](const char* name, const std::string& value) {
    // A value with a line break cannot be stored; the previous one stays.
    ini.WriteString(kSection, name, value);
  });
  ini.WriteBinary(kSection, "alpha", alpha);
}

std::string SettingsFilePath() {
  return ConfigHome() + "/Orvane/Glyphwell.ini";
}

SettingsStore::SettingsStore(std::string path) : path_(std::move(path)) {}

bool SettingsStore::Load(Settings& settings) {
  IniFile ini(IniCase::kIgnoreAsciiCase);
  status_ = ini.Load(path_);
  loaded_ = true;
  if (status_ == IniLoadStatus::kUnreadable) return false;
  settings.ReadFrom(ini);
  return true;
}

bool SettingsStore::Save(const Settings& settings, std::string* error) {
  IniFile ini(IniCase::kIgnoreAsciiCase);
  // Read again so lines written by anyone else since start-up are kept.
  IniLoadStatus now = ini.Load(path_);
  if (now == IniLoadStatus::kUnreadable || (loaded_ && status_ == IniLoadStatus::kUnreadable)) {
    if (error) *error = "the settings file could not be read; it is left as it is";
    return false;
  }
  settings.WriteTo(ini);
  std::size_t slash = path_.find_last_of('/');
  if (slash != std::string::npos && slash > 0 && !MakeFolders(path_.substr(0, slash))) {
    if (error) *error = std::strerror(errno);
    return false;
  }
  return ini.Save(path_, error);
}

}  // namespace glyphwell::platform
