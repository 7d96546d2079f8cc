#pragma once
// The program's start-up and shut-down apart from the windows: the single-instance
// check, the folders, the settings, the Pelmora library and the display facts.
//
// The order of calls, from the program entry and the main window:
//
//   AppEnvironment env;
//   if (!env.ClaimSingleInstance(messages)) return 0;   // entry: a copy runs already
//   env.Start(messages, displayProbe);                   // main window constructor
//   ... the window runs ...
//   env.Close();            // FormClose, after the icon refresh worker has stopped
//   env.ReleaseLibrary();   // FormDestroy
//   env.ReleaseInstance();  // entry, after the message loop
//
// The destructor does whatever of the last two was not done.

#include <array>
#include <cstdint>
#include <string>

#include "output/pelmora_loader.h"
#include "platform/display_probe.h"
#include "platform/instance_lock.h"
#include "platform/messages.h"
#include "platform/program_folders.h"
#include "platform/settings.h"

namespace glyphwell::app {

inline constexpr const char* kApplicationTitle = "Glyphwell";

// What the second copy shows before it ends: the title + " は実行中です。".
std::string RunningCopyMessage(const std::string& title = kApplicationTitle);

// What the screen's depth decides. Colours are colour values (red + 256 green +
// 65536 blue).
struct DisplayTraits {
  static constexpr std::uint32_t kAqua = 0xFFFF00;  // red 0, green 255, blue 255

  int screenBitsPerPixel = 32;
  // Pixel format of the image pipeline's working bitmaps: 8 on screens of 10 bits
  // or fewer, else 32.
  int workingBitsPerPixel = 32;
  // Low-depth screens: the check colour of the correction and optimise switches
  // becomes aqua, and the four background colours keep the system window colour.
  bool lowDepth = false;
  std::uint32_t switchCheckColour = kAqua;  // meaningful when lowDepth
  // Other screens: the four pale background colours; the first also colours the
  // file-name plate.
  std::array<std::uint32_t, 4> backgrounds{};  // meaningful when !lowDepth

  static DisplayTraits ForDepth(int bitsPerPixel);
};

// Where things are; every member may be left empty for the usual place.
struct StartupOptions {
  std::string programFolder;   // default: ResolveProgramFolder(ExecutableFolder())
  std::string logOnName;       // default: LogOnName()
  std::string settingsPath;    // default: SettingsFilePath()
  std::string lockPath;        // default: InstanceLock::LockFilePath(title)
  std::string pelmoraLibrary;  // default: PelmoraLoader::kLibraryName
  std::string title = kApplicationTitle;
};

class AppEnvironment {
 public:
  // The temporary files deleted from the work folder at close ("sv.bmp", the
  // default work file, stays).
  static constexpr const char* kTemporaryFiles[] = {"tpng.png", "vs.bmp"};
  // The operating-system level the rest of the program sees (the newest the
  // text of the windows knows).
  static constexpr int kOsLevel = 5;

  explicit AppEnvironment(StartupOptions options = {});
  ~AppEnvironment();
  AppEnvironment(const AppEnvironment&) = delete;
  AppEnvironment& operator=(const AppEnvironment&) = delete;

  // Program entry: true when no other copy runs (this one now holds the lock);
  // otherwise shows RunningCopyMessage() and returns false.
  bool ClaimSingleInstance(platform::MessageSink& messages);
  void ReleaseInstance();

  // The main window constructor's work, in its order: the folders (and the moves
  // of older files), the display probe, the settings (the work file's folder is
  // created when missing), the Pelmora library (without it the missing-library
  // message is shown and the icon format is unavailable).
  void Start(platform::MessageSink& messages, const platform::DisplayProbe& display);

  // The close work: writes the settings (not when the settings file existed but
  // could not be read at start) and deletes the temporary files of the work folder.
  // Runs once; later calls do nothing.
  void Close();

  void ReleaseLibrary() { pelmora_.Unload(); }

  const std::string& title() const { return options_.title; }
  const platform::ProgramFolders& folders() const { return folders_; }
  platform::Settings& settings() { return settings_; }
  const platform::Settings& settings() const { return settings_; }
  const DisplayTraits& display() const { return display_; }
  const output::PelmoraLoader& pelmora() const { return pelmora_; }
  bool iconFormatAvailable() const { return pelmora_.available(); }
  int osLevel() const { return kOsLevel; }

  // The work file and the work folder (its folder).
  const std::string& workFile() const { return settings_.tmppath; }
  std::string workFolder() const;
  // A new work folder: the work file becomes folder + "/vs.bmp" (kept in the
  // settings at close).
  void ChangeWorkFolder(const std::string& folder);

  bool settingsWritten() const { return settingsWritten_; }

 private:
  StartupOptions options_;
  platform::ProgramFolders folders_;
  platform::SettingsStore settingsStore_;
  platform::Settings settings_;
  platform::InstanceLock instanceLock_;
  output::PelmoraLoader pelmora_;
  DisplayTraits display_;
  bool started_ = false;
  bool closed_ = false;
  bool settingsReadable_ = true;
  bool settingsWritten_ = false;
};

}  // namespace glyphwell::app
