#pragma once
// Saving the images selected in the image grid: the save dialog's proposal, the save
// loop (naming, the as-read route, re-rendering, writing), saving only the images that
// match width, height and bit conditions, and the "content changed" question.
//
// The model holds no window: the save dialog is a callback that receives the
// proposal and returns the chosen path and filter index (or nothing for Cancel), and
// the busy dialog is a SaveProgress.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "imaging/conversion_settings.h"
#include "output/icon_file_writer.h"
#include "output/match_conditions.h"
#include "output/save_source.h"
#include "platform/messages.h"

namespace glyphwell::output {

inline constexpr const char* kSaveDialogFilter =
    "ビットマップ（*.bmp）|*.bmp|JPEG(*.jpg)|*.jpg;*.jpeg|PNG(*.png)|*.png|アイコン（*.ico）|*."
    "ico|全てのファイル（All Files）|*.*";
// Filter indexes count from 1; the fifth, "All Files", means the output type.
inline constexpr int kAllFilesFilter = 5;
inline constexpr const char* kSavingText = "アイコンの保存中・・・";
inline constexpr const char* kNoMatchText = "条件と一致するアイコンが見つかりません。";
inline constexpr const char* kMatchedSuffix = "個のアイコンを保存しました。";
inline constexpr const char* kContentChangedText = "内容が変更されています。\n\n保存しますか？";

// "bmp", "jpg", "png" or "ico".
const char* DefaultExtension(imaging::OutputType type);
// 1 to 4: the dialog filter of the type.
int FilterIndexFor(imaging::OutputType type);
// The save type a filter index stands for ("All Files": the output type).
imaging::OutputType SaveTypeFor(int filterIndex, imaging::OutputType outputType);

// What the main window tells the save workflow about its state.
struct SaveContext {
  imaging::ConversionSettings settings;  // output type, size choice, source kind ...
  bool editorOpen = false;               // the pixel editor is open
  bool edited = false;                   // the editor changed the output image
  bool showExtractedNames = false;       // "抽出名" is ticked
};

// The save dialog's starting state.
struct SaveProposal {
  std::string defaultExtension;  // "bmp", "jpg", "png", "ico"
  int filterIndex = 1;
  std::string folder;    // the remembered save folder
  std::string fileName;  // proposed name (no folder), may be empty
};

// What the user chose in the save dialog.
struct SaveChoice {
  std::string path;  // full path of the chosen file name
  int filterIndex = kAllFilesFilter;
};

using ChooseSaveFile = std::function<std::optional<SaveChoice>(const SaveProposal&)>;

// What one save run did. Images that fail are skipped and the run goes on.
struct SaveReport {
  struct Failure {
    int position = 0;  // grid position, from 0
    std::string path;  // empty when the image could not be decoded
    std::string reason;
  };
  std::vector<std::string> written;  // every file written, in order
  std::vector<Failure> failed;
  int matched = 0;  // images that matched the conditions (matching mode)
  bool cancelled = false;
};

class SaveWorkflow {
 public:
  SaveWorkflow(SaveSource& source, const IconFileWriter& icons, platform::MessageSink& messages);

  // The dialog's default extension, filter, first folder and proposed name. With
  // "抽出名" ticked and an image selected, the proposed name is remembered: choosing
  // it unchanged names every file after its image's extracted name.
  SaveProposal ProposeSave(const SaveContext& context);

  // Runs the dialog (`choose`) and then the save loop. False when the dialog was
  // cancelled (nothing written, the edited flag kept); otherwise clears the edited
  // flag and returns true.
  bool SaveSelected(SaveContext& context, const ChooseSaveFile& choose, SaveProgress& progress);

  // Saves every selected grid position under the chosen name and type.
  void SaveLoop(const SaveContext& context, const SaveChoice& choice, SaveProgress& progress);

  // "条件と一致するアイコンの保存": `conditions` is the criteria dialog's answer (nothing
  // for Cancel). Stores them; when one is not empty saves only the matching images
  // and tells how many were saved. True when files were chosen and the loop ran.
  bool SaveMatching(SaveContext& context, const std::optional<MatchConditions>& conditions,
                    const ChooseSaveFile& choose, SaveProgress& progress);

  // "内容が変更されています。\n\n保存しますか？" with the caption, buttons and the
  // exclamation icon; the button pressed.
  static platform::MsgResult ConfirmSaveChanges(platform::MessageSink& messages,
                                                const std::string& caption,
                                                platform::MsgButtons buttons);

  const SaveReport& report() const { return report_; }
  // The folder of the last save (kept in "data.ini", section "path", key "save").
  std::string rememberedSaveFolder;
  // The last conditions of SaveMatching, shown again in the criteria dialog.
  MatchConditions lastConditions;

 private:
  struct Target;
  bool SaveOne(const SaveContext& context, int position, int imageIndex, const Target& target,
               SaveProgress& progress);
  bool SaveAsRead(const SaveContext& context, const DecodedImage& decoded,
                  imaging::OutputType saveType, const std::string& path, int position);
  bool WriteImage(const SaveContext& context, const imaging::Bitmap& image,
                  const imaging::Bitmap& mask, imaging::OutputType saveType,
                  const std::string& path, int position);
  void Fail(int position, const std::string& path, const std::string& reason);

  SaveSource& source_;
  const IconFileWriter& icons_;
  platform::MessageSink& messages_;
  SaveReport report_;
  std::string rememberedExtractedFileName_;
  bool matchingMode_ = false;
};

}  // namespace glyphwell::output
