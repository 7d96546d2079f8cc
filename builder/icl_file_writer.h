#pragma once
// The icon library writer: the selected builder entries as a minimal 16-bit module
// (MZ header, NE header, a resource table with one RT_GROUP_ICON per icon and one
// RT_ICON per image, and the private list of icon names after the bytes 0x03 "ICL").

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

// Zero bytes that bring x to the next unit of 2^shift bytes: 0 when shift is 0,
// otherwise 2^shift - (x mod 2^shift), a full unit when x is already aligned.
std::uint64_t AlignPad(std::uint64_t x, int shift);

// One icon of the library: a run of selected entries, and its name.
struct IclIcon {
  std::string name;          // at most 255 bytes
  std::vector<int> entries;  // grid indices, in written order
};

// Splits the selection (ascending grid indices) into icons: a new icon starts at
// every entry that is ungrouped or whose group differs from the previous entry's.
std::vector<IclIcon> CollectIcons(const std::vector<TIconEntry>& entries,
                                  std::span<const int> selection);

// The sizes the layout depends on.
struct IclSizes {
  std::vector<std::size_t> nameBytes;     // per icon
  std::vector<std::size_t> groupLengths;  // per icon: 6 + 14 x k
  std::vector<std::size_t> imageLengths;  // per image: the bytes written
  std::vector<std::size_t> blockLengths;  // per image: the unencoded block (estimate only)
};

// Where everything lands for one alignment shift (byte offsets from the file start).
struct IclLayout {
  int shift = 0;
  std::uint64_t namesEnd = 0;  // just after the closing 0 of the name list
  std::vector<std::uint64_t> groupOffsets, groupPadded;
  std::vector<std::uint64_t> imageOffsets, imagePadded;
  std::uint64_t fileSize = 0;
};

// Bytes from the file start to the end of the name list.
std::uint64_t IclHeaderBytes(const IclSizes& sizes);
IclLayout LayOutIcl(const IclSizes& sizes, int shift);
// The alignment shift: start from the estimate of the header and all blocks but the
// last, then grow it until every offset and padded length counts at most 0xFFFF
// units. nullopt when no shift up to 30 fits.
std::optional<int> ChooseAlignShift(const IclSizes& sizes);

struct IclWriteJob {
  IconSaveOptions options;
  PngEncoder encoder;  // used for the entries UsePng selects
  ProgressBar* progress = nullptr;
};

// The library file bytes for the selection. Makes and releases the entries'
// PngImage. nullopt with a message text in `error` when the selection cannot be
// stored in one library (too many icons and images for the 16-bit tables).
std::optional<std::vector<std::uint8_t>> EncodeIconLibrary(std::vector<TIconEntry>& entries,
                                                           std::span<const int> selection,
                                                           const IclWriteJob& job,
                                                           std::string& error);

// Writes the library to path (an empty selection writes nothing). On success every
// written entry's State becomes 0. A file that cannot be written is reported: the
// path, a line break and the system's error text.
bool WriteIclFile(const std::string& path, std::vector<TIconEntry>& entries,
                  std::span<const int> selection, const IclWriteJob& job,
                  platform::MessageSink& messages);

// The most icons plus images one library can hold: the resident-name table offset
// (84 + 12 x (icons + images)) must fit its 16-bit field.
inline constexpr std::size_t kMaxIclResources = (0xFFFF - 84) / 12;
// "アイコンとイメージが多すぎるので、アイコンライブラリに保存できません。"
extern const char* const kTooManyForLibraryText;

}  // namespace glyphwell::builder
