#include "cli/source_opening.h"

#include "extract/shell_icons.h"
#include "shell/t_shell_link.h"

namespace glyphwell::cli {

using imaging::SourceKind;

bool OpenCliSource(const std::string& givenPath, SettingsFlags& flags,
                   extract::SourceReader& reader, platform::MessageSink& messages,
                   OpenedSource& out, std::string& usageError, bool extractedNames) {
  // A shortcut stands for its target from here on.
  std::string path = givenPath;
  if (extract::SourceReader::LowerExtension(path) == ".lnk") {
    shell::TShellLink link;
    link.GetLinkToPath(givenPath, path, true);
  }
  const std::string extension = extract::SourceReader::LowerExtension(path);
  out.preview.extension = extension;
  if (app::IsPictureExtension(extension)) {
    out.picture = app::OpenPictureFile(path, app::GridCell{}, messages);
    if (!out.picture) return false;
    out.preview.kind = SourceKind::Picture;
    out.preview.picturePath = path;
    out.preview.picture = &out.picture->picture;
    out.entries.push_back(out.picture->entry);
    usageError = ApplySource(flags, SourceKind::Picture, false);
    return true;
  }
  if (!reader.LoadWholeFile(path, true)) return false;
  extract::ExtractionMode mode = flags.mode;
  reader.setMode(mode);
  int count = 0;
  if (mode != extract::ExtractionMode::kNormal) {
    reader.file().enumerateGroups = true;
    count = reader.ReadImage(path, false, 0, nullptr);
    reader.file().enumerateGroups = false;
    // An icon source the own parser finds nothing in is shown through the shell.
    if (count == 0 && mode == extract::ExtractionMode::kIcon)
      mode = extract::ExtractionMode::kNormal;
  }
  if (mode == extract::ExtractionMode::kNormal) {
    out.preview.kind = SourceKind::NormalMode;
    out.fileBytes = reader.file().image;
    const int count = extract::ShellIconCount(out.fileBytes, extension);
    for (int i = 0; i < count; ++i)
      out.entries.push_back({std::to_string(i), std::to_string(i + 1), {}});
    // The small icon for "16×16", the large one otherwise.
    const int size = flags.settings.sizeChoice == imaging::SizeChoice::Size16
                         ? extract::kSmallIconSize
                         : extract::kLargeIconSize;
    out.preview.extract = [&out, extension, size](int index, imaging::Picture& picture) {
      auto icon = extract::ShellExtractIcon(out.fileBytes, extension, index, size);
      if (!icon) return false;
      picture = imaging::Picture{};
      picture.kind = imaging::PictureKind::kIcon;
      picture.icon = std::move(icon);
      return true;
    };
    usageError = ApplySource(flags, SourceKind::NormalMode, false);
    return true;
  }
  out.preview.kind =
      mode == extract::ExtractionMode::kBmp ? SourceKind::BmpMode : SourceKind::IconMode;
  out.preview.ownParser = true;
  int listed = 0;
  for (int i = 0; i < count; ++i) {
    const int index = static_cast<int>(reader.MapDisplayPosition(i, count));
    reader.ReadImage(path, true, index, nullptr);
    if (!reader.file().facts.valid) continue;  // rejected images are not listed
    ++listed;
    const std::string name = extractedNames ? reader.ExtractedName(static_cast<std::size_t>(i)).name
                                            : std::to_string(listed);
    out.entries.push_back({std::to_string(index), name + reader.file().facts.label, {}});
  }
  out.preview.extract = [&reader, path](int index, imaging::Picture& picture) {
    return reader.ExtractToPicture(path, index, picture);
  };
  usageError = ApplySource(flags, out.preview.kind, true);
  return true;
}

}  // namespace glyphwell::cli
