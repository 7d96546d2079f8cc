#include "builder/icl_file_writer.h"

#include <algorithm>

#include "builder/encoded_file.h"
#include "builder/icon_block.h"
#include "builder/name_limit.h"
#include "platform/byte_writer.h"

namespace glyphwell::builder {

const char* const kTooManyForLibraryText =
    "アイコンとイメージが多すぎるので、アイコンライブラリに保存できません。";

namespace {

constexpr std::uint16_t kNameFlags = 0x1C30;  // moveable, pure, preload, discardable
constexpr std::uint16_t kGroupIconType = 0x800E;
constexpr std::uint16_t kIconType = 0x8003;
constexpr std::size_t kNeHeaderAt = 128;
constexpr std::size_t kResourceTableAt = 192;
constexpr int kMaxShift = 30;

std::string FileNameOf(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The smallest shift with (value >> shift) <= 0xFFFF.
int ShiftFor(std::uint64_t value) {
  int s = 0;
  while ((value >> s) > 0xFFFF)
    ++s;
  return s;
}

// The 14-byte group directory entry fields, from the block's header.
void WriteGroupEntry(platform::ByteWriter& out, const TIconEntry& e, std::uint32_t bytesInRes,
                     std::uint16_t id) {
  const IconBlockHeader h = ReadIconBlockHeader(e.Image).value_or(IconBlockHeader{});
  out.u8(static_cast<std::uint8_t>(h.width));
  out.u8(static_cast<std::uint8_t>(h.height()));
  out.u8(static_cast<std::uint8_t>(h.DirectoryColourCount()));
  out.u8(0);
  out.u16(h.planes);
  out.u16(h.bitCount);
  out.u32(bytesInRes);
  out.u16(id);
}

}  // namespace

std::uint64_t AlignPad(std::uint64_t x, int shift) {
  if (shift <= 0) return 0;
  const std::uint64_t unit = std::uint64_t{1} << shift;
  return unit - (x % unit);
}

std::vector<IclIcon> CollectIcons(const std::vector<TIconEntry>& entries,
                                  std::span<const int> selection) {
  std::vector<IclIcon> icons;
  int previousGroup = kNoGroup;
  for (int index : selection) {
    const TIconEntry& e = entries[static_cast<std::size_t>(index)];
    if (icons.empty() || e.GroupId == kNoGroup || e.GroupId != previousGroup) {
      IclIcon icon;
      icon.name = e.Name.empty() ? FileNameOf(e.SourcePath) + "-" + std::to_string(index) : e.Name;
      icon.name = CutToBytes(icon.name, 255);
      icons.push_back(std::move(icon));
    }
    icons.back().entries.push_back(index);
    previousGroup = e.GroupId;
  }
  return icons;
}

std::uint64_t IclHeaderBytes(const IclSizes& sizes) {
  std::uint64_t names = 0;
  for (auto len : sizes.nameBytes)
    names += 1 + len;
  return 217 + 12 * (sizes.groupLengths.size() + sizes.imageLengths.size()) + names;
}

IclLayout LayOutIcl(const IclSizes& sizes, int shift) {
  IclLayout l;
  l.shift = shift;
  std::uint64_t p = IclHeaderBytes(sizes);
  l.namesEnd = p;
  p += AlignPad(p, shift);
  auto place = [&](std::size_t length, std::vector<std::uint64_t>& offsets,
                   std::vector<std::uint64_t>& padded) {
    p += AlignPad(p, shift);
    offsets.push_back(p);
    const std::uint64_t withPad = length + AlignPad(length, shift);
    padded.push_back(withPad);
    p += withPad;
  };
  for (auto len : sizes.groupLengths)
    place(len, l.groupOffsets, l.groupPadded);
  for (auto len : sizes.imageLengths)
    place(len, l.imageOffsets, l.imagePadded);
  l.fileSize = p;
  return l;
}

std::optional<int> ChooseAlignShift(const IclSizes& sizes) {
  // The estimate counts 199 header bytes where 217 are written; the layout pass
  // below corrects for that and for PNG data that differ from the blocks.
  std::uint64_t estimate = IclHeaderBytes(sizes) - 217 + 199;
  for (std::size_t i = 0; i + 1 < sizes.blockLengths.size(); ++i)
    estimate += sizes.blockLengths[i];
  int shift = ShiftFor(estimate);
  while (shift <= kMaxShift) {
    const IclLayout l = LayOutIcl(sizes, shift);
    int needed = shift;
    auto check = [&](const std::vector<std::uint64_t>& values) {
      for (auto v : values)
        if ((v >> shift) > 0xFFFF) needed = std::max(needed, ShiftFor(v));
    };
    check(l.groupOffsets);
    check(l.groupPadded);
    check(l.imageOffsets);
    check(l.imagePadded);
    if (needed == shift) return shift;
    shift = needed;
  }
  return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> EncodeIconLibrary(std::vector<TIconEntry>& entries,
                                                           std::span<const int> selection,
                                                           const IclWriteJob& job,
                                                           std::string& error) {
  ProgressBar silent;
  ProgressBar& progress = job.progress ? *job.progress : silent;
  const std::vector<IclIcon> icons = CollectIcons(entries, selection);
  const std::size_t groupCount = icons.size();
  const std::size_t imageCount = selection.size();
  if (groupCount + imageCount > kMaxIclResources) {
    error = kTooManyForLibraryText;
    return std::nullopt;
  }
  progress.SetPosition(0);
  progress.SetMax(static_cast<long long>(imageCount));

  // PNG data exist only while the library is written.
  auto releasePng = [&] {
    for (int index : selection)
      entries[static_cast<std::size_t>(index)].PngImage = {};
  };
  std::vector<bool> png(imageCount);
  for (std::size_t i = 0; i < imageCount; ++i) {
    TIconEntry& e = entries[static_cast<std::size_t>(selection[i])];
    png[i] = UsePng(e, job.options);
    if (png[i]) e.PngImage = job.encoder ? job.encoder(e) : std::vector<std::uint8_t>{};
  }
  auto data = [&](std::size_t i) -> const std::vector<std::uint8_t>& {
    const TIconEntry& e = entries[static_cast<std::size_t>(selection[i])];
    return png[i] ? e.PngImage : e.Image;
  };

  IclSizes sizes;
  for (const auto& icon : icons) {
    sizes.nameBytes.push_back(icon.name.size());
    sizes.groupLengths.push_back(6 + 14 * icon.entries.size());
  }
  for (std::size_t i = 0; i < imageCount; ++i) {
    sizes.imageLengths.push_back(data(i).size());
    sizes.blockLengths.push_back(entries[static_cast<std::size_t>(selection[i])].Image.size());
    if (data(i).size() > 0xFFFFFFFFu) {
      releasePng();
      error = kTooManyForLibraryText;
      return std::nullopt;
    }
  }
  const std::optional<int> shift = ChooseAlignShift(sizes);
  if (!shift) {
    releasePng();
    error = kTooManyForLibraryText;
    return std::nullopt;
  }
  const int s = *shift;
  const auto G = static_cast<std::uint16_t>(groupCount);
  const auto n = static_cast<std::uint16_t>(imageCount);

  platform::ByteWriter out;
  out.bytes().reserve(LayOutIcl(sizes, s).fileSize);
  // MZ header with no DOS program, then 64 zero bytes.
  out.text("MZ");
  out.zeros(22);
  out.u16(0x0040);  // e_lfarlc
  out.zeros(34);
  out.u32(0x80);  // e_lfanew
  out.zeros(64);
  // NE header: no segments, entries, modules or imports; resources only.
  out.text("NE");
  out.zeros(32);
  out.u16(0x0040);                                         // ne_segtab
  out.u16(0x0040);                                         // ne_rsrctab
  out.u16(static_cast<std::uint16_t>(84 + 12 * (G + n)));  // ne_restab
  out.zeros(14);
  out.u8(2);  // ne_exetyp: Windows
  out.zeros(7);
  out.u16(0x0300);  // ne_expver
  // Resource table.
  out.u16(static_cast<std::uint16_t>(s));
  out.u16(kGroupIconType);
  out.u16(G);
  out.u32(0);
  const std::size_t groupNames = out.size();
  for (std::uint16_t g = 0; g < G; ++g) {
    out.zeros(4);
    out.u16(kNameFlags);
    out.u16(static_cast<std::uint16_t>(0x8001 + g));
    out.zeros(4);
  }
  out.u16(kIconType);
  out.u16(n);
  out.u32(0);
  const std::size_t imageNames = out.size();
  for (std::uint16_t i = 0; i < n; ++i) {
    out.zeros(4);
    out.u16(kNameFlags);
    out.u16(static_cast<std::uint16_t>(0x8001 + i));
    out.zeros(4);
  }
  out.u16(0);  // rscEndTypes
  out.u8(3);
  out.text("ICL");
  for (const auto& icon : icons) {
    out.u8(static_cast<std::uint8_t>(icon.name.size()));
    out.text(icon.name);
  }
  out.u8(0);
  out.zeros(AlignPad(out.size(), s));

  auto writeResource = [&](std::size_t nameInfo, auto&& body, std::size_t length) {
    out.zeros(AlignPad(out.size(), s));
    out.patchU16(nameInfo, static_cast<std::uint16_t>(out.size() >> s));
    body();
    const std::uint64_t pad = AlignPad(length, s);
    out.zeros(pad);
    out.patchU16(nameInfo + 2, static_cast<std::uint16_t>((length + pad) >> s));
  };
  std::size_t imageId = 1;
  for (std::size_t g = 0; g < groupCount; ++g) {
    const IclIcon& icon = icons[g];
    writeResource(
        groupNames + 12 * g,
        [&] {
          out.u16(0);
          out.u16(1);
          out.u16(static_cast<std::uint16_t>(icon.entries.size()));
          for (std::size_t k = 0; k < icon.entries.size(); ++k, ++imageId) {
            const std::size_t i = imageId - 1;
            const TIconEntry& e = entries[static_cast<std::size_t>(icon.entries[k])];
            // The real length of what is stored; for a well-formed block it equals the
            // size its header announces.
            WriteGroupEntry(out, e, static_cast<std::uint32_t>(data(i).size()),
                            static_cast<std::uint16_t>(imageId));
          }
        },
        sizes.groupLengths[g]);
  }
  for (std::size_t i = 0; i < imageCount; ++i) {
    writeResource(
        imageNames + 12 * i, [&] { out.append(data(i)); }, data(i).size());
    entries[static_cast<std::size_t>(selection[i])].PngImage = {};
    progress.Step();
  }
  progress.SetPosition(0);
  return std::move(out.bytes());
}

bool WriteIclFile(const std::string& path, std::vector<TIconEntry>& entries,
                  std::span<const int> selection, const IclWriteJob& job,
                  platform::MessageSink& messages) {
  if (selection.empty()) return false;
  std::string error;
  const auto bytes = EncodeIconLibrary(entries, selection, job, error);
  if (!StoreEncodedFile(path, bytes, error, messages)) return false;
  for (int index : selection)
    entries[static_cast<std::size_t>(index)].State = 0;
  return true;
}

}  // namespace glyphwell::builder
