#include "cli/search_setup.h"

#include <filesystem>

#include "platform/program_folders.h"
#include "platform/user_environment.h"

namespace glyphwell::cli {

app::SavedLists MakeSavedLists() {
  platform::ProgramFolders folders(platform::ResolveProgramFolder(platform::ExecutableFolder()),
                                   platform::LogOnName());
  platform::MakeFolderTree(folders.userDataFolder());
  return app::SavedLists(folders.sharedDataFolder(), folders.fileListIndex());
}

std::string AbsoluteFolder(const std::string& folder) {
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(folder, ec);
  if (ec) return folder;
  return app::NormalFolder(absolute.lexically_normal().string());
}

}  // namespace glyphwell::cli
