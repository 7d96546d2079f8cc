#include "extract/ne_walk.h"

#include <algorithm>

#include "extract/name_text.h"
#include "platform/byte_reader.h"

namespace glyphwell::extract {

namespace {

using platform::ByteReader;

constexpr std::size_t kNameRecordBytes = 12;
constexpr std::size_t kGroupEntryBytes = 14;
// Shifts beyond this would place every resource past any file we can hold.
constexpr std::uint32_t kMaxShift = 30;

const NeTypeRecord* FindType(const NeResources& res, std::uint16_t type) {
  for (const auto& t : res.types)
    if (t.type == type) return &t;
  return nullptr;
}

// Entries a group directory at `dir` claims, limited to what the file can hold.
std::uint32_t GroupImageCount(const ByteReader& r, std::uint64_t dir) {
  auto count = r.u16le(dir + 4);
  if (!count) return 0;
  std::uint64_t room = (r.size() - std::min<std::uint64_t>(r.size(), dir + 6)) / kGroupEntryBytes;
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(*count, room));
}

// The bit count the group entry of icon position `index` records: groups in order,
// each group's entries in order; past all groups that of the last group's first
// entry; 0 without groups.
int PresetBitCount(std::span<const std::uint8_t> image, const NeResources& res,
                   const NeTypeRecord& groups, int index) {
  ByteReader r(image);
  std::int64_t position = 0;
  int lastFirst = 0;
  for (std::uint32_t g = 0; g < groups.count; ++g) {
    auto group = ReadNeResource(image, res, groups, g);
    if (!group) break;
    std::uint32_t n = GroupImageCount(r, group->offset);
    lastFirst = r.u16le(group->offset + 6 + 6).value_or(0);
    if (index < position + n)
      return r.u16le(group->offset + 6 + kGroupEntryBytes * (index - position) + 6).value_or(0);
    position += n;
  }
  return lastFirst;
}

void BuildNeGroupMap(WalkContext& ctx, std::span<const std::uint8_t> image,
                     const NeResources& res) {
  if (res.types.empty() || res.types.front().type != kNeRtGroupIcon) return;
  const NeTypeRecord& groups = res.types.front();
  ByteReader r(image);
  std::vector<std::string> names = ReadIconLibraryNames(image, res.residentNames);
  LoadedFile& file = ctx.file;
  for (std::uint32_t pos = 0; pos < groups.count; ++pos) {
    auto group = ReadNeResource(image, res, groups, pos);
    if (!group) break;
    std::string name = pos < names.size() ? names[pos] : std::to_string(pos);
    auto reserved = r.u16le(group->offset);
    std::uint32_t n = reserved && *reserved == 0 ? GroupImageCount(r, group->offset) : 0;
    if (file.groupMap.size() + n > kMaxGroupMapEntries) return;
    if (n == 1) {
      file.groupMap.push_back(GroupMapEntry{-1, 1, name});
      continue;  // one-image groups take no group number
    }
    for (std::uint32_t k = 0; k < n; ++k)
      file.groupMap.push_back(
          GroupMapEntry{ctx.counters.ne, static_cast<int>(n), name + "-" + std::to_string(k)});
    ++ctx.counters.ne;
  }
}

}  // namespace

NeResources ReadNeResources(std::span<const std::uint8_t> image, std::uint32_t neOffset) {
  ByteReader r(image);
  NeResources res;
  auto tableRel = r.u16le(std::uint64_t{neOffset} + 0x24);
  auto namesRel = r.u16le(std::uint64_t{neOffset} + 0x26);
  if (!tableRel || !namesRel) return res;
  res.table = std::uint64_t{neOffset} + *tableRel;
  res.residentNames = std::uint64_t{neOffset} + *namesRel;
  res.hasTable = static_cast<int>(*namesRel) - static_cast<int>(*tableRel) > 8;
  if (!res.hasTable) return res;
  auto shift = r.u16le(res.table);
  if (!shift) {
    res.hasTable = false;
    return res;
  }
  res.shift = *shift;
  res.shiftUsable = *shift <= kMaxShift;
  std::uint64_t at = res.table + 2;
  while (true) {
    auto type = r.u16le(at);
    if (!type || *type == 0) break;
    auto count = r.u16le(at + 2);
    if (!count) break;
    res.types.push_back(NeTypeRecord{*type, *count, at + 8});
    at += 8 + kNameRecordBytes * std::uint64_t{*count};
    if (at > image.size()) break;
  }
  return res;
}

std::optional<NeResource> ReadNeResource(std::span<const std::uint8_t> image,
                                         const NeResources& res, const NeTypeRecord& type,
                                         std::uint32_t index) {
  if (index >= type.count || !res.shiftUsable) return std::nullopt;
  ByteReader r(image);
  std::uint64_t record = type.records + kNameRecordBytes * std::uint64_t{index};
  auto offset = r.u16le(record);
  auto length = r.u16le(record + 2);
  auto id = r.u16le(record + 6);
  if (!offset || !length || !id) return std::nullopt;
  return NeResource{std::uint64_t{*offset} << res.shift, std::uint64_t{*length} << res.shift, *id};
}

std::vector<std::string> ReadIconLibraryNames(std::span<const std::uint8_t> image,
                                              std::uint64_t residentNames) {
  ByteReader r(image);
  std::vector<std::string> names;
  auto prefix = r.Slice(residentNames, 4);
  if (!prefix || (*prefix)[0] != 0x03 || (*prefix)[1] != 'I' || (*prefix)[2] != 'C' ||
      (*prefix)[3] != 'L')
    return names;
  std::uint64_t at = residentNames + 4;
  while (true) {
    auto length = r.u8(at);
    if (!length || *length == 0) break;
    auto text = r.Slice(at + 1, *length);
    if (!text) break;
    names.push_back(EightBitToUtf8(*text));
    at += 1 + *length;
  }
  return names;
}

int WalkNe(WalkContext& ctx, std::span<const std::uint8_t> image, std::uint32_t neOffset,
           bool infoOnly, int index, imaging::Picture* picture) {
  LoadedFile& file = ctx.file;
  auto fail = [&file] {
    file.facts.valid = false;
    return 0;
  };
  if (ctx.mode != ExtractionMode::kIcon && !file.forceIcons) return fail();
  NeResources res = ReadNeResources(image, neOffset);
  if (file.enumerateGroups && file.groupMap.empty() && res.hasTable)
    BuildNeGroupMap(ctx, image, res);

  // The walk stops at the first RT_ICON and RT_GROUP_ICON records met.
  const NeTypeRecord* icons = FindType(res, kNeRtIcon);
  const NeTypeRecord* groups = FindType(res, kNeRtGroupIcon);
  if (!res.hasTable || !icons || !groups) return fail();
  file.imageCount = icons->count;
  // A count-only read decodes nothing, so one damaged image cannot hide the rest.
  if (!infoOnly && !picture) return icons->count;

  if (index < 0) return fail();
  auto resource = ReadNeResource(image, res, *icons, static_cast<std::uint32_t>(index));
  if (!resource || resource->offset > image.size()) return fail();
  // The last resource may be padded past the end of the file to its alignment.
  std::uint64_t length = std::min<std::uint64_t>(resource->length, image.size() - resource->offset);
  file.facts.bitCount = PresetBitCount(image, res, *groups, index);
  if (!DecodeIconImage(image, infoOnly, picture, static_cast<std::int64_t>(length),
                       static_cast<std::int64_t>(resource->offset), file.facts, ctx.reduce))
    return fail();
  return icons->count;
}

}  // namespace glyphwell::extract
