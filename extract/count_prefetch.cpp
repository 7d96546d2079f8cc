#include "extract/count_prefetch.h"

#include <algorithm>
#include <optional>
#include <unordered_set>

#include "extract/icon_stream.h"
#include "extract/module_walker.h"
#include "extract/ne_walk.h"
#include "extract/pe_walk.h"
#include "extract/resource_layout.h"
#include "platform/byte_reader.h"

namespace glyphwell::extract {

namespace {

using platform::ByteReader;

constexpr std::uint64_t kSectionBytes = 40;
constexpr std::uint64_t kNeNameRecordBytes = 12;
// What the decoders read of an image before they accept it.
constexpr std::uint64_t kImageHeadBytes = 40;

// A resource directory table: its head, then all of its entries. Returns the
// number of entries, or nullopt when the head lies outside the file.
std::optional<std::uint32_t> FetchTable(LazyFileImage& image, std::uint64_t table) {
  image.Fetch(table, kTableHead);
  ByteReader r(image.bytes());
  auto named = r.u16le(table + 12);
  auto ids = r.u16le(table + 14);
  if (!named || !ids) return std::nullopt;
  const std::uint32_t total = std::uint32_t{*named} + *ids;
  image.Fetch(table + kTableHead, kEntryBytes * total);
  return total;
}

ModuleHeader FetchModuleHeader(LazyFileImage& image) {
  image.Fetch(0, 0x40);
  auto newHeader = ByteReader(image.bytes()).u32le(0x3C);
  if (newHeader) image.Fetch(*newHeader, 4);
  return FindModuleHeader(image.bytes());
}

// The file header and the section table up to the ".rsrc" entry.
std::optional<ResourceSection> FetchResourceSection(LazyFileImage& image, std::uint32_t pe) {
  image.Fetch(pe, 0x18);
  ByteReader r(image.bytes());
  auto sections = r.u16le(std::uint64_t{pe} + 6);
  auto characteristics = r.u16le(std::uint64_t{pe} + 0x16);
  if (!sections || !characteristics) return std::nullopt;
  const std::uint64_t table = std::uint64_t{pe} + ((*characteristics & 0x0100) ? 248 : 264);
  static constexpr std::uint8_t kRsrc[5] = {'.', 'r', 's', 'r', 'c'};
  for (std::uint32_t i = 0; i < *sections; ++i) {
    const std::uint64_t at = table + kSectionBytes * i;
    if (!image.Fetch(at, kSectionBytes)) break;
    auto name = r.Slice(at, 5);
    if (name && std::equal(name->begin(), name->end(), kRsrc)) break;
  }
  return FindResourceSection(image.bytes(), pe);
}

// The type lookup of the PE walk: the root table, then the tables that follow it
// while the last entry read points at a subdirectory. Returns the type directory.
std::optional<std::uint64_t> FetchTypeDirectory(LazyFileImage& image,
                                                const ResourceSection& section,
                                                std::uint16_t wanted) {
  ByteReader r(image.bytes());
  std::uint64_t table = section.rawOffset;
  std::optional<std::uint32_t> lastTarget;
  std::unordered_set<std::uint64_t> visited;
  for (int tables = 0; tables < kMaxChainedTables; ++tables) {
    if (!visited.insert(table).second) break;
    auto total = FetchTable(image, table);
    if (!total) break;
    for (std::uint32_t k = 0; k < *total; ++k) {
      const std::uint64_t entry = table + kTableHead + kEntryBytes * k;
      auto name = r.u32le(entry);
      auto target = r.u32le(entry + 4);
      if (!name || !target) return std::nullopt;
      lastTarget = *target;
      if (*name & kHighBit) continue;
      if ((*name & 0xFFFF) == wanted && (*target & kHighBit)) {
        const std::uint64_t directory = std::uint64_t{section.rawOffset} + (*target & ~kHighBit);
        if (directory >= image.size()) return std::nullopt;
        FetchTable(image, directory);
        return directory;
      }
    }
    if (!lastTarget || !(*lastTarget & kHighBit)) break;
    table += kTableHead + kEntryBytes * *total;
  }
  return std::nullopt;
}

// The language table's first entry and the data entry it leads to.
std::optional<ResourceData> FetchResourceData(LazyFileImage& image, const ResourceSection& section,
                                              DirectoryTarget target) {
  std::uint64_t at = target.offset;
  if (at >= image.size()) return std::nullopt;
  if (target.subdirectory) {
    image.Fetch(at + kTableHead + 4, 4);
    auto first = ByteReader(image.bytes()).u32le(at + kTableHead + 4);
    if (!first) return std::nullopt;
    at = std::uint64_t{section.rawOffset} + (*first & ~kHighBit);
  }
  image.Fetch(at, 8);
  return ResolveResourceData(image.bytes(), section, target);
}

// The head of an image the decoders will look at; all of it when it is PNG data,
// which counts only when it decodes.
void FetchImageHead(LazyFileImage& image, std::int64_t offset, std::int64_t size, bool bitmap) {
  if (offset < 0 || size < static_cast<std::int64_t>(kImageHeadBytes)) return;
  if (!platform::RangeFits(image.size(), static_cast<std::uint64_t>(offset),
                           static_cast<std::uint64_t>(size)))
    return;
  const auto at = static_cast<std::size_t>(offset);
  image.Fetch(at, kImageHeadBytes);
  if (!bitmap && StartsWithPng(image.bytes().subspan(at, kImageHeadBytes)))
    image.Fetch(at, static_cast<std::uint64_t>(size));
}

void FetchPeImages(LazyFileImage& image, std::uint32_t pe, ExtractionMode mode) {
  auto section = FetchResourceSection(image, pe);
  if (!section) return;
  const bool bitmaps = mode == ExtractionMode::kBmp;
  auto directory = FetchTypeDirectory(image, *section, bitmaps ? kRtBitmap : kRtIcon);
  if (!directory) return;
  ByteReader r(image.bytes());
  auto named = r.u16le(*directory + 12);
  auto ids = r.u16le(*directory + 14);
  if (!named || !ids) return;
  const std::uint32_t total = std::uint32_t{*named} + *ids;
  for (std::uint32_t i = 0; i < total; ++i) {
    auto target = r.u32le(*directory + kTableHead + kEntryBytes * i + 4);
    if (!target) return;
    auto data =
        FetchResourceData(image, *section,
                          DirectoryTarget{std::uint64_t{section->rawOffset} + (*target & ~kHighBit),
                                          (*target & kHighBit) != 0});
    if (data && data->size > 0) FetchImageHead(image, data->offset, data->size, bitmaps);
  }
}

// The NE header fields and the whole resource table, record by record as the
// reader goes through it.
NeResources FetchNeResources(LazyFileImage& image, std::uint32_t ne) {
  image.Fetch(std::uint64_t{ne} + 0x24, 4);
  ByteReader r(image.bytes());
  auto tableRel = r.u16le(std::uint64_t{ne} + 0x24);
  auto namesRel = r.u16le(std::uint64_t{ne} + 0x26);
  if (tableRel && namesRel && static_cast<int>(*namesRel) - static_cast<int>(*tableRel) > 8) {
    const std::uint64_t table = std::uint64_t{ne} + *tableRel;
    image.Fetch(table, 2);
    // Records follow the alignment shift until a zero type.
    const bool hasShift = r.u16le(table).has_value();
    for (std::uint64_t at = table + 2; hasShift;) {
      image.Fetch(at, 8);
      auto type = r.u16le(at);
      auto count = r.u16le(at + 2);
      if (!type || *type == 0 || !count) break;
      image.Fetch(at + 8, kNeNameRecordBytes * *count);
      at += 8 + kNeNameRecordBytes * std::uint64_t{*count};
      if (at > image.size()) break;
    }
  }
  return ReadNeResources(image.bytes(), ne);
}

void FetchNeImages(LazyFileImage& image, std::uint32_t ne) {
  NeResources res = FetchNeResources(image, ne);
  const NeTypeRecord* icons = nullptr;
  for (const NeTypeRecord& t : res.types) {
    if (t.type == kNeRtIcon) {
      icons = &t;
      break;
    }
  }
  if (!icons) return;
  for (std::uint32_t i = 0; i < icons->count; ++i) {
    auto resource = ReadNeResource(image.bytes(), res, *icons, i);
    if (!resource || resource->offset > image.size()) continue;
    const std::uint64_t length =
        std::min<std::uint64_t>(resource->length, image.size() - resource->offset);
    FetchImageHead(image, static_cast<std::int64_t>(resource->offset),
                   static_cast<std::int64_t>(length), false);
  }
}

}  // namespace

void FetchForShellCount(LazyFileImage& image, const std::string& extension) {
  if (extension == ".ico" || extension == ".cur") {
    image.Fetch(0, 6);
    return;
  }
  ModuleHeader header = FetchModuleHeader(image);
  if (header.kind == ModuleKind::kPe) {
    auto section = FetchResourceSection(image, header.offset);
    if (!section || !FetchTable(image, section->rawOffset)) return;
    auto groups =
        FindTypeEntry(image.bytes(), section->rawOffset, section->rawOffset, kRtGroupIcon);
    if (groups && groups->subdirectory) image.Fetch(groups->offset, kTableHead);
  } else if (header.kind == ModuleKind::kNe) {
    FetchNeResources(image, header.offset);
  }
}

void FetchForImageCount(LazyFileImage& image, const std::string& extension, ExtractionMode mode) {
  if (extension == ".ico") {
    if (mode == ExtractionMode::kBmp) return;
    image.Fetch(0, kIconHeaderBytes);
    auto count = ByteReader(image.bytes()).u16le(4);
    // An entry is valid when it lies in the directory and its data starts inside the
    // file: the entries are all a count looks at.
    if (count) image.Fetch(kIconHeaderBytes, std::uint64_t{kIconEntryBytes} * *count);
    return;
  }
  ModuleHeader header = FetchModuleHeader(image);
  if (header.kind == ModuleKind::kPe) {
    FetchPeImages(image, header.offset, mode);
  } else if (header.kind == ModuleKind::kNe && mode == ExtractionMode::kIcon) {
    FetchNeImages(image, header.offset);
  }
}

}  // namespace glyphwell::extract
