#include "dialogs/icon_option_values.h"

#include "shell/t_shell_link.h"

namespace glyphwell::dialogs {

bool ShortcutPresent(const shell::TShellLink& link, const ProgramShortcut& shortcut,
                     int folderCode) {
  if (shortcut.programPath.empty()) return false;
  return link.ChkLinkPath(shortcut.programPath, shortcut.title, folderCode);
}

void ApplyShortcut(shell::TShellLink& link, const ProgramShortcut& shortcut, int folderCode,
                   bool wanted, bool foundAtOpening) {
  if (wanted == foundAtOpening) return;
  if (wanted) {
    link.CreateLink(shortcut.programPath, nullptr, true, shortcut.title, folderCode);
  } else {
    link.DeleteLink(folderCode, shortcut.programPath, shortcut.title);
  }
}

}  // namespace glyphwell::dialogs
