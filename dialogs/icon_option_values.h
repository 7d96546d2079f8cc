#pragma once
// The settings the icon options dialog edits, and its rules, without the widgets.

#include <string>

namespace glyphwell::shell {
class TShellLink;
}

namespace glyphwell::dialogs {

// The PNG settings of written and read icons ("png256", "pngfrg", "pngsv",
// "pngiclchg" of the settings file).
struct IconOptionValues {
  bool png256 = false;     // compress only images of 256 pixels and more as PNG
  bool pngfrg = false;     // compress every size as PNG
  bool pngsv = false;      // save the transparency mask with a PNG-compressed image
  bool pngiclchg = false;  // restore the converted bit format when reading
  friend bool operator==(const IconOptionValues&, const IconOptionValues&) = default;
};

// The mask box means something only while one of the compression boxes is ticked.
constexpr bool MaskOptionEnabled(bool png256, bool pngfrg) {
  return png256 || pngfrg;
}

// What OK stores: the mask option counts only while it is enabled.
constexpr IconOptionValues ValuesOnOk(bool png256, bool pngfrg, bool pngsv, bool pngiclchg) {
  return IconOptionValues{png256, pngfrg, pngsv && MaskOptionEnabled(png256, pngfrg), pngiclchg};
}

// The program's own launcher in a special folder (0 = desktop, 9 = Send To).
struct ProgramShortcut {
  std::string programPath;  // the program's file
  std::string title;        // the application title: the launcher's name
};

// True when the folder holds a launcher named after the title that starts exactly
// the program.
bool ShortcutPresent(const shell::TShellLink& link, const ProgramShortcut& shortcut,
                     int folderCode);

// Brings the folder in line with the box when the box differs from the state found
// at opening: creates the launcher (replacing one of the same name) or deletes it.
// Failures are not reported; the next opening shows the real state.
void ApplyShortcut(shell::TShellLink& link, const ProgramShortcut& shortcut, int folderCode,
                   bool wanted, bool foundAtOpening);

}  // namespace glyphwell::dialogs
