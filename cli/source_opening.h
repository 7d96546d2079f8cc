#pragma once
// Opening a source file as the main window's OpenSource does, for the commands
// that convert: the grid entries it lists and the preview source that takes its
// images out again.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/picture_source.h"
#include "app/preview_model.h"
#include "cli/settings_flags.h"
#include "extract/image_entry.h"
#include "extract/source_reader.h"
#include "platform/messages.h"

namespace glyphwell::cli {

struct OpenedSource {
  std::vector<extract::ImageEntry> entries;  // the grid, in order
  app::PreviewSource preview;
  std::optional<app::PictureSource> picture;
  std::vector<std::uint8_t> fileBytes;  // Normal mode: the whole file
};

// Opens `path` (a shortcut: its target) into `out` (which must stay where it is while `out.preview`
// is used: the preview refers to it and to `reader`). Returns false when the file cannot be read
// (the reason has been shown through `messages`). `usageError` is set when a settings flag is not
// offered for this source. With `extractedNames` the labels of module images start with the
// names taken from the module ("抽出名"), which the save names its files after.
bool OpenCliSource(const std::string& path, SettingsFlags& flags, extract::SourceReader& reader,
                   platform::MessageSink& messages, OpenedSource& out, std::string& usageError,
                   bool extractedNames = false);

}  // namespace glyphwell::cli
