#include "extract/shell_icons.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "extract/icon_decoder.h"
#include "extract/module_walker.h"
#include "extract/ne_walk.h"
#include "extract/pe_walk.h"
#include "extract/resource_layout.h"
#include "platform/byte_reader.h"

namespace glyphwell::extract {

namespace {

using platform::ByteReader;

// One image a group directory lists.
struct Candidate {
  int width = 0;
  int height = 0;
  int bits = 0;
  std::uint32_t key = 0;  // icon ID (modules) or entry number (icon files)
};

// Best first: closest to the wanted size, then deepest colour, then stored order.
std::vector<Candidate> Rank(std::vector<Candidate> c, int size) {
  std::stable_sort(c.begin(), c.end(), [size](const Candidate& a, const Candidate& b) {
    int da = std::abs(a.width - size) + std::abs(a.height - size);
    int db = std::abs(b.width - size) + std::abs(b.height - size);
    if (da != db) return da < db;
    return a.bits > b.bits;
  });
  return c;
}

int BitsOf(int bitCount, int colourCount) {
  if (bitCount) return bitCount;
  int bits = 0;
  while (colourCount > 1) {
    colourCount >>= 1;
    ++bits;
  }
  return bits;
}

// The entries of a group directory (14 bytes each, the last two the icon ID).
std::vector<Candidate> GroupCandidates(const ByteReader& r, std::uint64_t dir,
                                       std::uint64_t length) {
  std::vector<Candidate> out;
  auto count = r.u16le(dir + 4);
  if (!count) return out;
  for (std::uint32_t k = 0; k < *count; ++k) {
    std::uint64_t e = dir + 6 + 14ull * k;
    if (e + 14 > dir + length || !r.Fits(e, 14)) break;
    int w = *r.u8(e), h = *r.u8(e + 1);
    out.push_back(Candidate{w ? w : 256, h ? h : 256, BitsOf(*r.u16le(e + 6), *r.u8(e + 2)),
                            *r.u16le(e + 12)});
  }
  return out;
}

bool IsIconFile(const std::string& extension) {
  return extension == ".ico" || extension == ".cur";
}

int IconFileCount(const ByteReader& r) {
  auto reserved = r.u16le(0);
  auto count = r.u16le(4);
  return reserved && *reserved == 0 && count && *count > 0 ? 1 : 0;
}

struct PeGroups {
  ResourceSection section;
  std::uint64_t groups = 0;  // the RT_GROUP_ICON table
  std::uint32_t count = 0;
};

std::optional<PeGroups> FindPeGroups(std::span<const std::uint8_t> file, std::uint32_t pe) {
  auto section = FindResourceSection(file, pe);
  if (!section) return std::nullopt;
  auto table = FindTypeEntry(file, section->rawOffset, section->rawOffset, kRtGroupIcon);
  if (!table || !table->subdirectory) return std::nullopt;
  ByteReader r(file);
  auto named = r.u16le(table->offset + 12);
  auto ids = r.u16le(table->offset + 14);
  if (!named || !ids) return std::nullopt;
  return PeGroups{*section, table->offset, std::uint32_t{*named} + *ids};
}

std::optional<imaging::IconImage> DecodeAt(std::span<const std::uint8_t> file, std::int64_t offset,
                                           std::int64_t size) {
  ImageFacts facts;
  imaging::Picture picture;
  if (!DecodeIconImage(file, false, &picture, size, offset, facts)) return std::nullopt;
  return picture.icon;
}

std::optional<imaging::IconImage> PeIcon(std::span<const std::uint8_t> file, std::uint32_t pe,
                                         int index, int size) {
  auto groups = FindPeGroups(file, pe);
  if (!groups || index < 0 || static_cast<std::uint32_t>(index) >= groups->count)
    return std::nullopt;
  ByteReader r(file);
  auto target = r.u32le(groups->groups + 16 + 8ull * index + 4);
  if (!target) return std::nullopt;
  auto data = ResolveResourceData(
      file, groups->section,
      DirectoryTarget{std::uint64_t{groups->section.rawOffset} + (*target & 0x7FFFFFFF),
                      (*target & 0x80000000u) != 0});
  if (!data || data->offset < 0 || data->size <= 0) return std::nullopt;
  auto icons = FindTypeEntry(file, groups->section.rawOffset, groups->section.rawOffset, kRtIcon);
  if (!icons || !icons->subdirectory) return std::nullopt;
  for (const Candidate& c : Rank(GroupCandidates(r, static_cast<std::uint64_t>(data->offset),
                                                 static_cast<std::uint64_t>(data->size)),
                                 size)) {
    auto entry = FindTypeEntry(file, groups->section.rawOffset, icons->offset,
                               static_cast<std::uint16_t>(c.key));
    if (!entry) continue;
    auto image = ResolveResourceData(file, groups->section, *entry);
    if (!image) continue;
    if (auto icon = DecodeAt(file, image->offset, image->size)) return icon;
  }
  return std::nullopt;
}

std::optional<imaging::IconImage> NeIcon(std::span<const std::uint8_t> file, std::uint32_t ne,
                                         int index, int size) {
  NeResources res = ReadNeResources(file, ne);
  const NeTypeRecord* groups = nullptr;
  const NeTypeRecord* icons = nullptr;
  for (const auto& t : res.types) {
    if (t.type == kNeRtGroupIcon && !groups) groups = &t;
    if (t.type == kNeRtIcon && !icons) icons = &t;
  }
  if (!groups || !icons || index < 0) return std::nullopt;
  auto group = ReadNeResource(file, res, *groups, static_cast<std::uint32_t>(index));
  if (!group) return std::nullopt;
  ByteReader r(file);
  for (const Candidate& c : Rank(GroupCandidates(r, group->offset, group->length), size)) {
    for (std::uint32_t k = 0; k < icons->count; ++k) {
      auto icon = ReadNeResource(file, res, *icons, k);
      if (!icon) break;
      if ((icon->id & 0x7FFF) != c.key) continue;
      if (icon->offset > file.size()) break;
      std::uint64_t length = std::min<std::uint64_t>(icon->length, file.size() - icon->offset);
      if (auto decoded = DecodeAt(file, static_cast<std::int64_t>(icon->offset),
                                  static_cast<std::int64_t>(length)))
        return decoded;
      break;
    }
  }
  return std::nullopt;
}

std::optional<imaging::IconImage> FileIcon(std::span<const std::uint8_t> file, int size) {
  ByteReader r(file);
  if (!IconFileCount(r)) return std::nullopt;
  std::vector<Candidate> candidates;
  std::uint16_t count = *r.u16le(4);
  for (std::uint32_t k = 0; k < count; ++k) {
    auto entry = IconDirEntry::Read(r, kIconHeaderBytes + kIconEntryBytes * k);
    if (!entry) break;
    // A cursor's planes and bit count fields hold its hot spot: take the depth from
    // the image itself.
    int bits = r.u16le(std::uint64_t{entry->imageOffset} + 14).value_or(0);
    candidates.push_back(
        Candidate{entry->width ? entry->width : 256, entry->height ? entry->height : 256, bits, k});
  }
  for (const Candidate& c : Rank(candidates, size)) {
    ImageFacts facts;
    imaging::Picture picture;
    ReadIconFileEntry(file, ExtractionMode::kIcon, false, static_cast<int>(c.key), &picture, facts);
    if (facts.valid && picture.icon) return picture.icon;
  }
  return std::nullopt;
}

}  // namespace

int ShellIconCount(std::span<const std::uint8_t> file, const std::string& extension) {
  ByteReader r(file);
  if (IsIconFile(extension)) return IconFileCount(r);
  ModuleHeader header = FindModuleHeader(file);
  if (header.kind == ModuleKind::kPe) {
    auto groups = FindPeGroups(file, header.offset);
    return groups ? static_cast<int>(groups->count) : 0;
  }
  if (header.kind == ModuleKind::kNe) {
    NeResources res = ReadNeResources(file, header.offset);
    for (const auto& t : res.types)
      if (t.type == kNeRtGroupIcon) return t.count;
  }
  return 0;
}

std::optional<imaging::IconImage> ShellExtractIcon(std::span<const std::uint8_t> file,
                                                   const std::string& extension, int index,
                                                   int size) {
  if (IsIconFile(extension)) return index == 0 ? FileIcon(file, size) : std::nullopt;
  ModuleHeader header = FindModuleHeader(file);
  if (header.kind == ModuleKind::kPe) return PeIcon(file, header.offset, index, size);
  if (header.kind == ModuleKind::kNe) return NeIcon(file, header.offset, index, size);
  return std::nullopt;
}

}  // namespace glyphwell::extract
