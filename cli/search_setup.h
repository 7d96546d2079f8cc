#pragma once
// What the search commands share: the saved lists of the program folder
// ($GLYPHWELL_HOME when set) for the user running, and absolute folder names.

#include <string>

#include "app/saved_lists.h"

namespace glyphwell::cli {

// The saved lists of the program folder; its data folders are made when missing.
app::SavedLists MakeSavedLists();
// `folder` made absolute (the saved lists are keyed by absolute folders).
std::string AbsoluteFolder(const std::string& folder);

}  // namespace glyphwell::cli
