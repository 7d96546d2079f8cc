#include "output/save_workflow.h"

#include <sys/stat.h>

#include "output/output_file_writer.h"
#include "output/safe_file_name.h"
#include "output/save_naming.h"
#include "output/temporary_bitmap.h"
#include "platform/atomic_file.h"

namespace glyphwell::output {

namespace {

using imaging::OutputType;
using imaging::SourceKind;

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

}  // namespace

const char* DefaultExtension(OutputType type) {
  switch (type) {
    case OutputType::Bmp:
      return "bmp";
    case OutputType::Jepg:
      return "jpg";
    case OutputType::Png:
      return "png";
    case OutputType::Icon:
      return "ico";
  }
  return "bmp";
}

int FilterIndexFor(OutputType type) {
  return static_cast<int>(type) + 1;
}

OutputType SaveTypeFor(int filterIndex, OutputType outputType) {
  if (filterIndex >= 1 && filterIndex <= 4) return static_cast<OutputType>(filterIndex - 1);
  return outputType;
}

// Where the loop writes: the chosen folder and base name, the extension of the save
// type, and whether files are named after their extracted names.
struct SaveWorkflow::Target {
  OutputType saveType = OutputType::Bmp;
  std::string extension;
  std::string folder;
  std::string baseName;
  bool extractedNames = false;
  int selectedCount = 0;
};

SaveWorkflow::SaveWorkflow(SaveSource& source, const IconFileWriter& icons,
                           platform::MessageSink& messages)
    : source_(source), icons_(icons), messages_(messages) {}

SaveProposal SaveWorkflow::ProposeSave(const SaveContext& context) {
  const OutputType type = context.settings.outputType;
  SaveProposal p;
  p.defaultExtension = DefaultExtension(type);
  p.filterIndex = FilterIndexFor(type);
  p.folder = rememberedSaveFolder;
  if (context.settings.sourceKind == SourceKind::Picture) p.fileName = source_.sourceBaseName();
  rememberedExtractedFileName_.clear();
  if (context.showExtractedNames) {
    for (int pos = 0; pos < source_.gridCount(); ++pos) {
      if (!source_.isSelected(pos) || !source_.imageIndexAt(pos)) continue;
      const std::string name = StripExtension(source_.extractedName(pos));
      if (name.empty()) break;  // nothing to propose: the dialog keeps its name
      p.fileName = name + "." + p.defaultExtension;
      rememberedExtractedFileName_ = p.fileName;
      break;
    }
  }
  return p;
}

bool SaveWorkflow::SaveSelected(SaveContext& context, const ChooseSaveFile& choose,
                                SaveProgress& progress) {
  SaveProposal proposal = ProposeSave(context);
  std::optional<SaveChoice> choice = choose(proposal);
  if (!choice) return false;
  SaveLoop(context, *choice, progress);
  context.edited = false;
  return true;
}

void SaveWorkflow::SaveLoop(const SaveContext& context, const SaveChoice& choice,
                            SaveProgress& progress) {
  report_ = SaveReport{};
  Target target;
  target.saveType = SaveTypeFor(choice.filterIndex, context.settings.outputType);
  target.extension = DefaultExtension(target.saveType);
  target.folder = FolderOf(choice.path);
  target.baseName = BaseNameOf(choice.path);
  target.extractedNames = !rememberedExtractedFileName_.empty() &&
                          FileNameOf(choice.path) == rememberedExtractedFileName_;
  rememberedSaveFolder = target.folder;

  std::vector<std::pair<int, int>> selected;  // grid position, image index
  for (int pos = 0; pos < source_.gridCount(); ++pos) {
    if (!source_.isSelected(pos)) continue;
    if (auto index = source_.imageIndexAt(pos)) selected.emplace_back(pos, *index);
  }
  target.selectedCount = static_cast<int>(selected.size());

  progress.Begin(target.selectedCount);
  for (auto [pos, index] : selected) {
    progress.Step();
    if (progress.cancelled()) {
      report_.cancelled = true;
      break;
    }
    SaveOne(context, pos, index, target, progress);
  }
  progress.End();
}

bool SaveWorkflow::SaveOne(const SaveContext& context, int position, int imageIndex,
                           const Target& target, SaveProgress& progress) {
  const imaging::ConversionSettings& s = context.settings;
  // An extracted name that leaves nothing for a file name falls back to numbering.
  std::string name;
  if (target.extractedNames &&
      !SafeFileName(StripExtension(source_.extractedName(position))).empty())
    name = ExtractedFileName(target.folder, source_.extractedName(position), target.extension,
                             FileExists);
  else
    name = NumberedName(target.baseName, position, target.selectedCount);
  const std::string path = JoinPath(target.folder, name, target.extension);

  DecodedImage decoded;
  if (!source_.Decode(imageIndex, decoded)) {
    Fail(position, "", "the image could not be read");
    return false;
  }
  if (matchingMode_) {
    if (!lastConditions.Matches(decoded.width, decoded.height, decoded.bitCount)) return false;
    ++report_.matched;
  }

  const bool picture = s.sourceKind == SourceKind::Picture;
  const bool bmpMode = s.sourceKind == SourceKind::BmpMode;
  const bool ownParser = s.ownParser && (bmpMode || s.sourceKind == SourceKind::IconMode);
  const bool asRead = ownParser && s.sizeChoice == imaging::SizeChoice::Original &&
                      s.keepSourceDepth && !context.editorOpen &&
                      ((target.saveType == OutputType::Bmp && bmpMode) ||
                       (target.saveType == OutputType::Icon && !bmpMode));
  if (asRead) return SaveAsRead(context, decoded, target.saveType, path, position);

  const bool savingAsIcon = target.saveType == OutputType::Icon;
  const bool outputIsIcon = s.outputType == OutputType::Icon;
  const bool rerender =
      !picture && (target.selectedCount > 1 || (!context.edited && savingAsIcon != outputIsIcon));
  if (rerender) {
    imaging::Bitmap image, mask;
    if (!source_.Render(imageIndex, decoded, target.saveType, image, mask)) {
      Fail(position, path, "the image could not be converted");
      return false;
    }
    progress.ShowImage(image);
    source_.SetOutput(image, mask);
  }
  return WriteImage(context, source_.outputImage(), source_.outputMask(), target.saveType, path,
                    position);
}

bool SaveWorkflow::SaveAsRead(const SaveContext&, const DecodedImage& decoded, OutputType saveType,
                              const std::string& path, int position) {
  if (saveType == OutputType::Bmp) {
    std::string error;
    std::string written = WriteOutputFile(decoded.bitmap, path, OutputType::Bmp, 256, &error);
    if (written.empty()) {
      Fail(position, ChangeExtension(path, ".bmp"), error);
      return false;
    }
    report_.written.push_back(written);
    return true;
  }
  const std::string icoPath = ChangeExtension(path, ".ico");
  if (decoded.iconData.empty() || !icons_.WriteIconAsRead(decoded.iconData, icoPath)) {
    Fail(position, icoPath, "the icon file could not be written");
    return false;
  }
  report_.written.push_back(icoPath);
  return true;
}

bool SaveWorkflow::WriteImage(const SaveContext& context, const imaging::Bitmap& image,
                              const imaging::Bitmap& mask, OutputType saveType,
                              const std::string& path, int position) {
  if (saveType != OutputType::Icon) {
    std::string error;
    std::string written =
        WriteOutputFile(image, path, saveType, context.settings.pngColourCount, &error);
    if (written.empty()) {
      Fail(position, path, error);
      return false;
    }
    report_.written.push_back(written);
    return true;
  }
  std::vector<std::uint8_t> bmp = EncodeTemporaryBitmap(image);
  std::string error;
  if (bmp.empty() || !platform::WriteFileAtomically(icons_.temporaryBitmapPath(), bmp, &error)) {
    Fail(position, path, "the temporary bitmap file could not be written: " + error);
    return false;
  }
  // An unedited picture keeps its own transparency (if any) and gets no mask.
  const bool writeMask =
      context.edited || context.settings.sourceKind != imaging::SourceKind::Picture;
  if (icons_.SaveIconFile(mask, path, writeMask) != IconWriteResult::kWritten) {
    Fail(position, path, "the icon file could not be written");
    return false;
  }
  report_.written.push_back(path);
  return true;
}

void SaveWorkflow::Fail(int position, const std::string& path, const std::string& reason) {
  report_.failed.push_back({position, path, reason});
}

bool SaveWorkflow::SaveMatching(SaveContext& context,
                                const std::optional<MatchConditions>& conditions,
                                const ChooseSaveFile& choose, SaveProgress& progress) {
  if (!conditions) return false;
  lastConditions = *conditions;
  if (!lastConditions.any()) return false;
  matchingMode_ = true;
  const bool ran = SaveSelected(context, choose, progress);
  matchingMode_ = false;
  if (ran) {
    if (report_.matched == 0)
      messages_.Show(kNoMatchText);
    else
      messages_.Show(std::to_string(report_.written.size()) + kMatchedSuffix);
  }
  return ran;
}

platform::MsgResult SaveWorkflow::ConfirmSaveChanges(platform::MessageSink& messages,
                                                     const std::string& caption,
                                                     platform::MsgButtons buttons) {
  const platform::MsgResult answer =
      buttons == platform::MsgButtons::kOk || buttons == platform::MsgButtons::kOkCancel
          ? platform::MsgResult::kOk
          : platform::MsgResult::kYes;
  return messages.Show(kContentChangedText, caption, buttons, platform::MsgIcon::kWarning, answer);
}

}  // namespace glyphwell::output
