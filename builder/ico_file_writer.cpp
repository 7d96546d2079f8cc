#include "builder/ico_file_writer.h"

#include "builder/encoded_file.h"
#include "builder/icon_block.h"
#include "platform/byte_writer.h"

namespace glyphwell::builder {

const char* const kTooManyForIconFileText =
    "画像が多すぎるので、一つのアイコンファイルに保存できません。";

std::optional<std::vector<std::uint8_t>> EncodeIconFile(const std::vector<TIconEntry>& entries,
                                                        std::span<const int> selection,
                                                        const IcoWriteJob& job,
                                                        std::string& error) {
  ProgressBar silent;
  ProgressBar& progress = job.progress ? *job.progress : silent;
  const std::size_t n = selection.size();
  if (n > kMaxIcoImages) {
    error = kTooManyForIconFileText;
    return std::nullopt;
  }
  progress.SetMax(static_cast<long long>(2 * n));
  progress.SetPosition(0);

  // The image data, PNG-coded where the options ask for it.
  std::vector<std::vector<std::uint8_t>> pngData(n);
  std::vector<bool> png(n);
  std::uint64_t total = 6 + 16 * static_cast<std::uint64_t>(n);
  for (std::size_t k = 0; k < n; ++k) {
    const TIconEntry& e = entries[static_cast<std::size_t>(selection[k])];
    png[k] = UsePng(e, job.options);
    if (png[k] && job.encoder) pngData[k] = job.encoder(e);
    total += png[k] ? pngData[k].size() : e.Image.size();
    progress.Step();
  }
  if (total > 0xFFFFFFFFu) {
    error = kTooManyForIconFileText;
    return std::nullopt;
  }

  platform::ByteWriter out;
  out.bytes().reserve(total);
  out.u16(0);
  out.u16(1);
  out.u16(static_cast<std::uint16_t>(n));
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * n);
  for (std::size_t k = 0; k < n; ++k) {
    const TIconEntry& e = entries[static_cast<std::size_t>(selection[k])];
    const IconBlockHeader h = ReadIconBlockHeader(e.Image).value_or(IconBlockHeader{});
    // The length actually stored; for a well-formed block it is the size its header
    // announces.
    const auto length = static_cast<std::uint32_t>(png[k] ? pngData[k].size() : e.Image.size());
    out.u8(static_cast<std::uint8_t>(h.width));
    out.u8(static_cast<std::uint8_t>(h.height()));
    out.u8(static_cast<std::uint8_t>(h.DirectoryColourCount()));
    out.u8(0);
    out.u16(h.planes);
    out.u16(h.bitCount);
    out.u32(length);
    out.u32(offset);
    offset += length;
  }
  for (std::size_t k = 0; k < n; ++k) {
    const TIconEntry& e = entries[static_cast<std::size_t>(selection[k])];
    out.append(png[k] ? pngData[k] : e.Image);
    progress.Step();
  }
  progress.SetPosition(0);
  return std::move(out.bytes());
}

bool WriteIcoFile(const std::string& path, std::vector<TIconEntry>& entries,
                  std::span<const int> selection, const IcoWriteJob& job,
                  platform::MessageSink& messages) {
  if (selection.empty()) return false;
  std::string error;
  const auto bytes = EncodeIconFile(entries, selection, job, error);
  if (!StoreEncodedFile(path, bytes, error, messages)) return false;
  for (std::size_t k = 0; k < selection.size(); ++k) {
    TIconEntry& e = entries[static_cast<std::size_t>(selection[k])];
    e.State = 0;
    e.SrcIndex = static_cast<std::int32_t>(k);
    e.HomePos = static_cast<std::int32_t>(selection[k]);
    e.SourcePath = path;
  }
  return true;
}

}  // namespace glyphwell::builder
