#include "extract/pe_walk.h"

#include <algorithm>
#include <unordered_set>

#include "extract/bitmap_decoder.h"
#include "extract/icon_stream.h"
#include "extract/name_text.h"
#include "extract/resource_layout.h"
#include "platform/byte_reader.h"

namespace glyphwell::extract {

namespace {

using platform::ByteReader;

constexpr std::size_t kGroupEntryBytes = 14;

struct TableHead {
  std::uint32_t named = 0;
  std::uint32_t ids = 0;
  std::uint32_t total() const { return named + ids; }
};

std::optional<TableHead> ReadTableHead(const ByteReader& r, std::uint64_t table) {
  auto named = r.u16le(table + 12);
  auto ids = r.u16le(table + 14);
  if (table > r.size() || !named || !ids) return std::nullopt;
  return TableHead{*named, *ids};
}

// Name of a resource directory entry: the UTF-16 string it points at, or its ID.
std::string EntryName(const ByteReader& r, std::uint32_t rawOffset, std::uint32_t name) {
  if (!(name & kHighBit)) return std::to_string(name & 0xFFFF);
  std::uint64_t at = static_cast<std::uint64_t>(rawOffset) + (name & ~kHighBit);
  auto length = r.u16le(at);
  if (!length) return std::string();
  std::size_t bytes = std::min<std::uint64_t>(std::uint64_t{*length} * 2, r.size() - (at + 2));
  bytes &= ~std::size_t{1};
  return Utf16LeToUtf8(r.bytes().subspan(at + 2, bytes));
}

}  // namespace

std::optional<ResourceSection> FindResourceSection(std::span<const std::uint8_t> image,
                                                   std::uint32_t peOffset) {
  ByteReader r(image);
  auto sections = r.u16le(std::uint64_t{peOffset} + 6);
  auto characteristics = r.u16le(std::uint64_t{peOffset} + 0x16);
  if (!sections || !characteristics) return std::nullopt;
  // The optional header's own size field is not consulted: a 32-bit module's
  // section table starts 248 bytes after the signature, a 64-bit one's 264.
  std::uint64_t table = std::uint64_t{peOffset} + ((*characteristics & 0x0100) ? 248 : 264);
  for (std::uint32_t i = 0; i < *sections; ++i) {
    std::uint64_t at = table + 40ull * i;
    auto name = r.Slice(at, 5);
    if (!name || !r.Fits(at, 40)) return std::nullopt;
    static constexpr char kRsrc[5] = {'.', 'r', 's', 'r', 'c'};
    if (std::equal(name->begin(), name->end(), kRsrc))
      return ResourceSection{*r.u32le(at + 0x14), *r.u32le(at + 0x0C)};
  }
  return std::nullopt;
}

std::optional<DirectoryTarget> FindTypeEntry(std::span<const std::uint8_t> image,
                                             std::uint32_t rawOffset, std::uint64_t table,
                                             std::uint16_t id) {
  ByteReader r(image);
  auto head = ReadTableHead(r, table);
  if (!head) return std::nullopt;
  std::int64_t lo = head->named;
  std::int64_t hi = lo + head->ids - 1;
  while (lo <= hi) {
    std::int64_t mid = (lo + hi) / 2;
    std::uint64_t entry = table + kTableHead + kEntryBytes * static_cast<std::uint64_t>(mid);
    auto name = r.u32le(entry);
    auto target = r.u32le(entry + 4);
    if (!name || !target) return std::nullopt;
    std::uint16_t found = static_cast<std::uint16_t>(*name & 0xFFFF);
    if (found == id)
      return DirectoryTarget{std::uint64_t{rawOffset} + (*target & ~kHighBit),
                             (*target & kHighBit) != 0};
    if (id < found)
      hi = mid - 1;
    else
      lo = mid + 1;
  }
  return std::nullopt;
}

std::optional<ResourceData> ResolveResourceData(std::span<const std::uint8_t> image,
                                                const ResourceSection& section,
                                                DirectoryTarget target) {
  ByteReader r(image);
  std::uint64_t at = target.offset;
  if (at >= image.size()) return std::nullopt;
  if (target.subdirectory) {
    // The first language is always the one taken.
    auto first = r.u32le(at + kTableHead + 4);
    if (!first) return std::nullopt;
    at = std::uint64_t{section.rawOffset} + (*first & ~kHighBit);
  }
  auto address = r.u32le(at);
  auto size = r.i32le(at + 4);
  if (!address || !size) return std::nullopt;
  return ResourceData{static_cast<std::int64_t>(*address) - section.address + section.rawOffset,
                      *size};
}

bool ReadTypeDirectory(WalkContext& ctx, std::span<const std::uint8_t> image, bool infoOnly,
                       int index, imaging::Picture* picture, std::uint64_t directory) {
  LoadedFile& file = ctx.file;
  ByteReader r(image);
  auto invalid = [&file] {
    file.facts.valid = false;
    return false;
  };
  auto head = ReadTableHead(r, directory);
  if (!head) return invalid();
  file.imageCount = head->total();
  if (!picture && !infoOnly) return true;

  if (index < 0 || static_cast<std::uint32_t>(index) >= head->total()) return invalid();
  auto target =
      r.u32le(directory + kTableHead + kEntryBytes * static_cast<std::uint64_t>(index) + 4);
  if (!target) return invalid();
  ResourceSection section{file.resourceRawOffset, file.resourceAddress};
  auto data = ResolveResourceData(
      image, section,
      DirectoryTarget{std::uint64_t{file.resourceRawOffset} + (*target & ~kHighBit),
                      (*target & kHighBit) != 0});
  if (!data || data->size <= 0) return invalid();

  // A PNG-compressed image of a PE module records no depth of its own before it
  // is decoded: a reducer keeps it at 32 bits. Other images keep the depth their
  // header gives; setting 32 for them would make "Original" colours keep 32 bits.
  if (data->offset >= 0) {
    auto head = ByteReader(image).Slice(static_cast<std::size_t>(data->offset), 4);
    if (head && StartsWithPng(*head)) file.facts.bitCount = 32;
  }
  bool ok =
      (ctx.mode == ExtractionMode::kBmp && !file.forceIcons)
          ? DecodeBitmapResource(image, infoOnly, picture, data->size, data->offset, file.facts)
          : DecodeIconImage(image, infoOnly, picture, data->size, data->offset, file.facts,
                            ctx.reduce);
  if (!ok) return invalid();
  return true;
}

void EnumeratePeGroups(WalkContext& ctx, std::span<const std::uint8_t> image,
                       const ResourceSection& section) {
  LoadedFile& file = ctx.file;
  ByteReader r(image);
  auto groups = FindTypeEntry(image, section.rawOffset, section.rawOffset, kRtGroupIcon);
  if (!groups) return;
  auto head = ReadTableHead(r, groups->offset);
  if (!head) return;
  for (std::uint32_t k = 0; k < head->total(); ++k) {
    std::uint64_t entry = groups->offset + kTableHead + kEntryBytes * k;
    auto nameField = r.u32le(entry);
    auto target = r.u32le(entry + 4);
    if (!nameField || !target) return;
    // An entry that points straight at data (no language level) adds nothing.
    if (!(*target & kHighBit)) continue;
    std::uint64_t languages = std::uint64_t{section.rawOffset} + (*target & ~kHighBit);
    auto langHead = ReadTableHead(r, languages);
    if (!langHead || langHead->total() == 0) continue;
    auto data = ResolveResourceData(image, section, DirectoryTarget{languages, true});
    if (!data || data->offset < 0) continue;
    std::uint64_t dir = static_cast<std::uint64_t>(data->offset);
    auto count = r.u16le(dir + 4);
    if (!count) continue;
    // A count larger than the entries the file can hold cannot be real.
    std::uint64_t room = dir + 6 <= image.size() ? (image.size() - dir - 6) / kGroupEntryBytes : 0;
    std::int64_t n = std::min<std::uint64_t>(*count, room);
    std::int64_t first = r.u16le(dir + 6 + 12).value_or(0);
    std::string name = EntryName(r, section.rawOffset, *nameField);
    if (file.groupMap.size() + std::max<std::int64_t>(n, 1) > kMaxGroupMapEntries) return;
    if (n > 0) {
      int g = ctx.counters.pe++;
      for (std::int64_t i = 0; i < n; ++i) {
        file.groupMap.push_back(
            GroupMapEntry{g, static_cast<int>(n), name + "-" + std::to_string(i)});
        file.idList.push_back(first + i);
      }
      file.idCeiling = std::max(file.idCeiling, first + n);
    } else {
      file.groupMap.push_back(GroupMapEntry{-1, 0, name});
      file.idList.push_back(first);
      file.idCeiling = std::max(file.idCeiling, first);
    }
  }
}

int WalkPe(WalkContext& ctx, std::span<const std::uint8_t> image, std::uint32_t peOffset,
           bool infoOnly, int index, imaging::Picture* picture) {
  LoadedFile& file = ctx.file;
  auto fail = [&file] {
    file.facts.valid = false;
    return 0;
  };
  auto section = FindResourceSection(image, peOffset);
  if (!section) return fail();
  file.resourceAddress = section->address;
  file.resourceRawOffset = section->rawOffset;

  if (file.enumerateGroups && file.groupMap.empty() && ctx.mode != ExtractionMode::kBmp)
    EnumeratePeGroups(ctx, image, *section);

  // Type lookup: the root table, then (when the root lacks the type) the tables
  // that follow it in the file, in turn, while the last entry read points at a
  // subdirectory. Tables only move forward; the visited set and the table limit
  // are a second guard.
  std::uint16_t wanted = ctx.mode == ExtractionMode::kBmp ? kRtBitmap : kRtIcon;
  ByteReader r(image);
  std::uint64_t table = section->rawOffset;
  std::optional<std::uint32_t> lastTarget;
  std::unordered_set<std::uint64_t> visited;
  for (int tables = 0; tables < kMaxChainedTables; ++tables) {
    if (!visited.insert(table).second) break;
    auto head = ReadTableHead(r, table);
    if (!head) break;
    for (std::uint32_t k = 0; k < head->total(); ++k) {
      std::uint64_t entry = table + kTableHead + kEntryBytes * k;
      auto name = r.u32le(entry);
      auto target = r.u32le(entry + 4);
      if (!name || !target) return fail();
      lastTarget = *target;
      if (*name & kHighBit) continue;
      if ((*name & 0xFFFF) == wanted && (*target & kHighBit)) {
        std::uint64_t directory = std::uint64_t{section->rawOffset} + (*target & ~kHighBit);
        if (directory >= image.size()) return fail();
        if (!ReadTypeDirectory(ctx, image, infoOnly, index, picture, directory)) return 0;
        file.typeDirectory = static_cast<std::uint32_t>(directory);
        return static_cast<int>(file.imageCount);
      }
    }
    if (!lastTarget || !(*lastTarget & kHighBit)) break;
    table += kTableHead + kEntryBytes * head->total();
  }
  return fail();
}

}  // namespace glyphwell::extract
