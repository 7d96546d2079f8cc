#pragma once
// TShellLink: resolves shortcut files to what they point at, gives the special
// folders, and creates, checks and deletes the program's own shortcuts.
//
// Shortcuts read are Windows shortcut files (.lnk) and freedesktop launchers
// (.desktop). Shortcuts created are launchers: on this desktop they are what a
// shortcut on the desktop or in "Send To" is on Windows. No call throws; failures
// show as result codes, empty results or an unchanged target.

#include <string>

namespace glyphwell::shell {

// Result codes of GetLinkToPath.
inline constexpr int kLinkResolved = 0;
inline constexpr int kLinkUnreadable = 1;     // the file cannot be read
inline constexpr int kLinkNotAShortcut = 2;   // neither a shortcut file nor a launcher
inline constexpr int kLinkTargetMissing = 3;  // it points at nothing that exists

class TShellLink {
 public:
  // `systemFolder` stands for the Windows and system folders (the `sysdir` setting).
  explicit TShellLink(std::string systemFolder);
  TShellLink();  // with the default system folder

  void SetSystemFolder(std::string folder) { systemFolder_ = std::move(folder); }
  const std::string& LinkName() const { return linkName_; }
  bool Overwrite() const { return overwrite_; }

  // `target` starts as `linkPath` and is replaced only when the shortcut resolves
  // to an existing file or folder. With `useAppPaths`, a target inside a "{...}"
  // folder (an installer's cache) is replaced by the program of the Wine prefix's
  // App Paths whose folder is named like the shortcut.
  int GetLinkToPath(const std::string& linkPath, std::string& target, bool useAppPaths) const;

  // The folder of a special folder code; empty when there is none.
  std::string GetPath(int folderCode) const;

  // Creates a launcher for `targetPath` in the special folder and returns its path
  // (also in `linkPath` when given); empty when nothing was created.
  std::string CreateLink(const std::string& targetPath, std::string* linkPath, bool overwrite,
                         const std::string& linkName, int folderCode);

  // Deletes the first of folder/<file name of name1 as .desktop>,
  // folder/<name1>.desktop and folder/<name2>.desktop (name2 when not empty) that
  // can be deleted. Only launchers inside the folder are ever removed.
  void DeleteLink(int folderCode, const std::string& name1, const std::string& name2);

  // True when folder/<linkName>.desktop exists and starts exactly `targetPath`.
  bool ChkLinkPath(const std::string& targetPath, const std::string& linkName,
                   int folderCode) const;

  static constexpr const char* kLinkExtension = ".desktop";

 private:
  std::string CreateStep(const std::string& folder, const std::string& targetPath, int folderCode);

  std::string systemFolder_;
  std::string linkName_;
  bool overwrite_ = false;
};

}  // namespace glyphwell::shell
