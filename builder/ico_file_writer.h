#pragma once
// The builder's multi-image icon file writer: the selected entries in grid order,
// each as its icon image block or as PNG data, directly after the directory.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "builder/icon_entry.h"
#include "builder/icon_save_options.h"
#include "builder/progress_bar.h"
#include "builder/use_png.h"
#include "platform/messages.h"

namespace glyphwell::builder {

struct IcoWriteJob {
  IconSaveOptions options;
  PngEncoder encoder;  // used for the entries UsePng selects
  ProgressBar* progress = nullptr;
};

// The icon file bytes for the selection (ascending grid indices). nullopt with a
// message text in `error` when the selection does not fit one icon file.
std::optional<std::vector<std::uint8_t>> EncodeIconFile(const std::vector<TIconEntry>& entries,
                                                        std::span<const int> selection,
                                                        const IcoWriteJob& job, std::string& error);

// Writes the selection to path (an empty selection writes nothing and creates no
// file). On success each written entry now refers to the new file: State 0,
// SrcIndex = its position in the file, HomePos = its grid index, SourcePath = path.
// A file that cannot be written is reported (the path, a line break and the
// system's error text) and changes no entry.
bool WriteIcoFile(const std::string& path, std::vector<TIconEntry>& entries,
                  std::span<const int> selection, const IcoWriteJob& job,
                  platform::MessageSink& messages);

// The most images one icon file can hold (its count field has 16 bits).
inline constexpr std::size_t kMaxIcoImages = 0xFFFF;
// "画像が多すぎるので、一つのアイコンファイルに保存できません。"
extern const char* const kTooManyForIconFileText;

}  // namespace glyphwell::builder
