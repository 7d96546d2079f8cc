#pragma once
// The program's settings of the last run, kept per user in
// $XDG_CONFIG_HOME/Orvane/Glyphwell.ini (default ~/.config/Orvane/Glyphwell.ini),
// one section [Glyphwell], one value per member under the names below.
//
// A value is taken from the file only when it is there and well formed; anything
// else keeps the default. Numbers that the program's controls limit to a range are
// brought into that range. The file is created the first time settings are saved.

#include <array>
#include <cstdint>
#include <string>

#include "platform/ini_file.h"

namespace glyphwell::platform {

struct Settings {
  static constexpr const char* kSection = "Glyphwell";

  int mcount = 1;  // icon-count threshold of the search, 1..100
  int us_w = 64;   // user width of the display and save size, 16..256
  int us_h = 64;   // user height, 16..256
  std::array<std::uint8_t, 8> alpha{1, 10, 25, 50, 250, 250, 250, 250};  // kept as read
  int grid_size = 48;                  // builder grid cell size, 48..128 ("grid size")
  int grid_color = 12632256;           // grid line colour, silver ("grid color")
  bool haichi = false;                 // pack the icon spacing
  int keep_size = 0;                   // editor's remembered zoom index ("keep size")
  bool filelist = false;               // list search
  bool sys = false;                    // search files with the system attribute
  bool hide = false;                   // search hidden files
  std::string partdir;                 // parts library folder
  std::string partpath;                // parts library file
  std::string tmppath;                 // the work file; its folder is the work folder
  bool png256 = false;                 // compress only 256 x 256 icons as PNG
  bool pngfrg = false;                 // compress every size as PNG
  bool pngsv = false;                  // save the transparency mask with it
  bool pngiclchg = false;              // restore the converted bit format
  std::string seldt1, seldt2, seldt3;  // last choices of the size and depth dialog
  std::string sysdir;  // the folder searched as "the system folder"; empty in the file = detect
  std::string updurl;  // base address of the update check; empty = none

  // The defaults of a program whose program folder is `programFolder` (no trailing
  // slash): tmppath = programFolder/tmp/sv.bmp, sysdir = DefaultSystemFolder().
  static Settings Defaults(const std::string& programFolder);

  // Fills the members from `ini`'s [Glyphwell] section; missing or malformed values
  // keep what the member holds.
  void ReadFrom(const IniFile& ini);
  // Stores every member into `ini`'s [Glyphwell] section; other lines are kept.
  void WriteTo(IniFile& ini) const;

  bool operator==(const Settings&) const = default;
};

// Where the settings file lives: $XDG_CONFIG_HOME/Orvane/Glyphwell.ini when
// XDG_CONFIG_HOME is an absolute path, else <home>/.config/Orvane/Glyphwell.ini.
std::string SettingsFilePath();

// The settings file of one run. Load once at start, Save once at close.
class SettingsStore {
 public:
  explicit SettingsStore(std::string path = SettingsFilePath());

  // Fills `settings` from the file (values not in the file keep what `settings`
  // holds). False when the file exists but cannot be read: the caller keeps its
  // defaults, and Save will not overwrite a file it could not read.
  bool Load(Settings& settings);
  // Writes every value, keeping whatever else the file held. Creates the folder
  // and the file when missing. False when it cannot write, or when Load found the
  // file unreadable.
  bool Save(const Settings& settings, std::string* error = nullptr);

  const std::string& path() const { return path_; }
  IniLoadStatus status() const { return status_; }

 private:
  std::string path_;
  IniLoadStatus status_ = IniLoadStatus::kMissing;
  bool loaded_ = false;
};

}  // namespace glyphwell::platform
