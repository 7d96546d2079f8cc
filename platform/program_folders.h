#pragma once
// The program folder and the files the program keeps in it.
//
// The program folder is $GLYPHWELL_HOME when set; else the folder of the running
// executable when the user may write there (a portable copy keeps its files beside
// itself); else $XDG_DATA_HOME/Glyphwell (default ~/.local/share/Glyphwell).
// Inside it:
//
//   tmp/                      default work folder (temporary pictures)
//   data/                     shared data folder: saved file lists 0.ini .. 999.ini
//   data/<user>/              user data folder: favorite.txt, filelist.ini, data.ini
//   data/<user>/part/         parts folder: partlist.dat and the parts files
//   Help/                     help pages
//
// Every path here is absolute; folder paths end without a slash.

#include <string>

namespace glyphwell::platform {

// The folder of the running executable (from /proc/self/exe); empty when unknown.
std::string ExecutableFolder();

// Chooses the program folder as described above. `executableFolder` is normally
// ExecutableFolder(); tests pass their own.
std::string ResolveProgramFolder(const std::string& executableFolder);

class ProgramFolders {
 public:
  ProgramFolders(std::string programFolder, std::string logOnName);

  const std::string& programFolder() const { return program_; }
  std::string defaultWorkFolder() const { return program_ + "/tmp"; }
  std::string defaultWorkFile() const { return defaultWorkFolder() + "/sv.bmp"; }
  std::string sharedDataFolder() const { return program_ + "/data"; }
  std::string userDataFolder() const { return sharedDataFolder() + "/" + user_; }
  std::string favouritesFile() const { return userDataFolder() + "/favorite.txt"; }
  std::string fileListIndex() const { return userDataFolder() + "/filelist.ini"; }
  std::string rememberedPathsFile() const { return userDataFolder() + "/data.ini"; }
  std::string partsFolder() const { return userDataFolder() + "/part"; }
  std::string partsList() const { return partsFolder() + "/partlist.dat"; }
  std::string helpFolder() const { return program_ + "/Help"; }

  // First-start work: creates the program folder, the default work folder, the
  // user data folder, the parts folder and the help folder when missing, and moves
  // files left in older places: "partlist.dat" from the user data folder into a
  // newly made parts folder, "filelist.ini" from the shared data folder into the
  // user data folder. A move never replaces a file already at its destination.
  // Failures are not reported (the program runs on with what it has).
  void Prepare() const;

 private:
  std::string program_;
  std::string user_;
};

// Creates `folder` and its missing parents (mode 0777 less the umask). True when
// the folder exists afterwards.
bool MakeFolderTree(const std::string& folder);

// Moves `from` to `to` unless `to` already exists. True when moved.
bool MoveFileNoReplace(const std::string& from, const std::string& to);

}  // namespace glyphwell::platform
