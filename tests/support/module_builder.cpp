#include "tests/support/module_builder.h"

#include <algorithm>
#include <map>
#include <utility>

#include "platform/byte_writer.h"

namespace glyphwell::testsupport {

namespace {

using platform::ByteWriter;

constexpr std::uint16_t kRtBitmap = 2;
constexpr std::uint16_t kRtIcon = 3;
constexpr std::uint16_t kRtGroupIcon = 14;

std::size_t AlignUp(std::size_t v, std::size_t a) {
  return (v + a - 1) / a * a;
}

// Named entries first (in name order), then IDs ascending, as resource compilers
// lay out a directory.
bool EntryBefore(const ResName& a, const ResName& b) {
  if (a.named() != b.named()) return a.named();
  if (a.named()) return a.name < b.name;
  return a.id < b.id;
}

void WriteUtf16Name(ByteWriter& w, const std::string& name) {
  w.u16(static_cast<std::uint16_t>(name.size()));
  for (unsigned char c : name)
    w.u16(c);
}

}  // namespace

Bytes ModuleBuilder::GroupDirectory(const std::vector<GroupImage>& images) {
  ByteWriter w;
  w.u16(0);
  w.u16(1);
  w.u16(static_cast<std::uint16_t>(images.size()));
  for (const auto& img : images) {
    IconShape s = ShapeOfIconImage(img.data);
    w.u8(static_cast<std::uint8_t>(s.width >= 256 ? 0 : s.width));
    w.u8(static_cast<std::uint8_t>(s.height >= 256 ? 0 : s.height));
    w.u8(static_cast<std::uint8_t>(s.bits < 8 ? (1 << s.bits) : 0));
    w.u8(0);
    w.u16(1);
    w.u16(static_cast<std::uint16_t>(s.bits));
    w.u32(static_cast<std::uint32_t>(img.data.size()));
    w.u16(img.iconId);
  }
  return std::move(w.bytes());
}

void ModuleBuilder::AddIconGroup(const ResName& name, std::uint16_t firstId,
                                 const std::vector<Bytes>& images) {
  std::vector<GroupImage> group;
  for (std::size_t k = 0; k < images.size(); ++k)
    group.push_back(GroupImage{static_cast<std::uint16_t>(firstId + k), images[k]});
  AddIconGroup(name, group);
}

void ModuleBuilder::AddIconGroup(const ResName& name, const std::vector<GroupImage>& images) {
  for (const auto& img : images)
    AddIcon(img.iconId, img.data);
  AddRawGroup(name, GroupDirectory(images));
}

void ModuleBuilder::AddRawGroup(const ResName& name, Bytes directory) {
  AddResource(ResName::Id(kRtGroupIcon), name, std::move(directory));
}

void ModuleBuilder::AddIcon(std::uint16_t id, Bytes data) {
  AddResource(ResName::Id(kRtIcon), ResName::Id(id), std::move(data));
}

void ModuleBuilder::AddBitmap(const ResName& name, Bytes data) {
  AddResource(ResName::Id(kRtBitmap), name, std::move(data));
}

void ModuleBuilder::AddResource(const ResName& type, const ResName& name, Bytes data) {
  resources_.push_back(Resource{type, name, std::move(data)});
}

Bytes ModuleBuilder::Build() const {
  return kind_ == Kind::kNe ? BuildNe() : BuildPe();
}

Bytes ModuleBuilder::BuildPe() const {
  const bool pe64 = kind_ == Kind::kPe64;
  constexpr std::uint32_t kRsrcAddress = 0x2000;
  constexpr std::uint32_t kRsrcRaw = 0x600;

  // Group the resources: type -> names (stable, sorted as a directory is).
  std::vector<ResName> types;
  for (const auto& r : resources_)
    if (std::none_of(types.begin(), types.end(),
                     [&](const ResName& t) { return t.id == r.type.id && t.name == r.type.name; }))
      types.push_back(r.type);
  std::stable_sort(types.begin(), types.end(), EntryBefore);
  std::vector<std::vector<const Resource*>> byType(types.size());
  for (std::size_t t = 0; t < types.size(); ++t) {
    for (const auto& r : resources_)
      if (r.type.id == types[t].id && r.type.name == types[t].name) byType[t].push_back(&r);
    std::stable_sort(byType[t].begin(), byType[t].end(), [](const Resource* a, const Resource* b) {
      return EntryBefore(a->name, b->name);
    });
  }

  // Offsets inside the section: tables, language tables, strings, data entries, data.
  std::size_t off = 16 + 8 * types.size();
  std::vector<std::size_t> nameTable(types.size());
  for (std::size_t t = 0; t < types.size(); ++t) {
    nameTable[t] = off;
    off += 16 + 8 * byType[t].size();
  }
  std::map<const Resource*, std::size_t> langTable, dataEntry, dataAt;
  for (std::size_t t = 0; t < types.size(); ++t)
    for (const Resource* r : byType[t]) {
      langTable[r] = off;
      off += 24;
    }
  std::map<std::string, std::size_t> strings;
  auto addString = [&](const ResName& n) {
    if (n.named() && !strings.count(n.name)) {
      strings[n.name] = off;
      off += 2 + 2 * n.name.size();
    }
  };
  for (std::size_t t = 0; t < types.size(); ++t) {
    addString(types[t]);
    for (const Resource* r : byType[t])
      addString(r->name);
  }
  off = AlignUp(off, 4);
  for (std::size_t t = 0; t < types.size(); ++t)
    for (const Resource* r : byType[t]) {
      dataEntry[r] = off;
      off += 16;
    }
  for (std::size_t t = 0; t < types.size(); ++t)
    for (const Resource* r : byType[t]) {
      off = AlignUp(off, 8);
      dataAt[r] = off;
      off += r->data.size();
    }
  const std::size_t rsrcSize = off;

  auto nameField = [&](const ResName& n) -> std::uint32_t {
    return n.named() ? (0x80000000u | static_cast<std::uint32_t>(strings[n.name])) : n.id;
  };
  auto tableHead = [](ByteWriter& w, const std::vector<ResName>& names) {
    w.u32(0);
    w.u32(0);
    w.u16(4);
    w.u16(0);
    auto named =
        std::count_if(names.begin(), names.end(), [](const ResName& n) { return n.named(); });
    w.u16(static_cast<std::uint16_t>(named));
    w.u16(static_cast<std::uint16_t>(names.size() - named));
  };

  ByteWriter s;
  tableHead(s, types);
  for (std::size_t t = 0; t < types.size(); ++t) {
    s.u32(nameField(types[t]));
    s.u32(0x80000000u | static_cast<std::uint32_t>(nameTable[t]));
  }
  for (std::size_t t = 0; t < types.size(); ++t) {
    std::vector<ResName> names;
    for (const Resource* r : byType[t])
      names.push_back(r->name);
    tableHead(s, names);
    for (const Resource* r : byType[t]) {
      s.u32(nameField(r->name));
      s.u32(0x80000000u | static_cast<std::uint32_t>(langTable[r]));
    }
  }
  for (std::size_t t = 0; t < types.size(); ++t)
    for (const Resource* r : byType[t]) {
      tableHead(s, {ResName::Id(1033)});
      s.u32(1033);
      s.u32(static_cast<std::uint32_t>(dataEntry[r]));
    }
  // Strings were placed in the order they were met, not in name order: write them
  // by offset, or a later name sorting first would make the writer step backwards.
  std::vector<std::pair<std::size_t, std::string>> stringsByOffset;
  for (const auto& [name, at] : strings)
    stringsByOffset.emplace_back(at, name);
  std::sort(stringsByOffset.begin(), stringsByOffset.end());
  for (const auto& [at, name] : stringsByOffset) {
    s.zeros(at - s.size());
    WriteUtf16Name(s, name);
  }
  for (std::size_t t = 0; t < types.size(); ++t)
    for (const Resource* r : byType[t]) {
      s.zeros(dataEntry[r] - s.size());
      s.u32(kRsrcAddress + static_cast<std::uint32_t>(dataAt[r]));
      s.u32(static_cast<std::uint32_t>(r->data.size()));
      s.u32(0);
      s.u32(0);
    }
  for (std::size_t t = 0; t < types.size(); ++t)
    for (const Resource* r : byType[t]) {
      s.zeros(dataAt[r] - s.size());
      s.append(r->data);
    }
  s.zeros(rsrcSize - s.size());
  const std::size_t rsrcRawSize = AlignUp(rsrcSize, 0x200);

  ByteWriter w;
  w.text("MZ");
  w.u16(0x90);
  w.zeros(0x3C - w.size());
  w.u32(0x80);
  w.zeros(0x80 - w.size());
  const std::uint16_t optSize = pe64 ? 240 : 224;
  w.text(std::string("PE\0\0", 4));
  w.u16(pe64 ? 0x8664 : 0x014C);
  w.u16(2);
  w.u32(0);
  w.u32(0);
  w.u32(0);
  w.u16(optSize);
  w.u16(pe64 ? 0x2022 : 0x2102);
  const std::size_t opt = w.size();
  w.zeros(optSize);
  w.patchU16(opt, pe64 ? 0x20B : 0x10B);
  w.patchU32(opt + 16, 0x1000);  // entry point
  w.patchU32(opt + 20, 0x1000);  // base of code
  if (!pe64)
    w.patchU32(opt + 28, 0x10000000);
  else
    w.patchU32(opt + 24, 0x10000000);
  w.patchU32(opt + 32, 0x1000);  // section alignment
  w.patchU32(opt + 36, 0x200);   // file alignment
  w.patchU16(opt + 40, 4);
  w.patchU16(opt + 48, 4);
  w.patchU32(opt + 56, kRsrcAddress + static_cast<std::uint32_t>(AlignUp(rsrcSize, 0x1000)));
  w.patchU32(opt + 60, 0x400);  // size of headers
  w.patchU16(opt + 68, 2);      // GUI subsystem
  const std::size_t dirs = opt + (pe64 ? 112 : 96);
  w.patchU32(dirs - 4, 16);
  w.patchU32(dirs + 2 * 8, kRsrcAddress);
  w.patchU32(dirs + 2 * 8 + 4, static_cast<std::uint32_t>(rsrcSize));

  auto section = [&w](const char* name, std::uint32_t vsize, std::uint32_t va,
                      std::uint32_t rawSize, std::uint32_t raw, std::uint32_t flags) {
    std::string n(name);
    n.resize(8, '\0');
    w.text(n);
    w.u32(vsize);
    w.u32(va);
    w.u32(rawSize);
    w.u32(raw);
    w.u32(0);
    w.u32(0);
    w.u16(0);
    w.u16(0);
    w.u32(flags);
  };
  section(".text", 0x10, 0x1000, 0x200, 0x400, 0x60000020);
  section(".rsrc", static_cast<std::uint32_t>(rsrcSize), kRsrcAddress,
          static_cast<std::uint32_t>(rsrcRawSize), kRsrcRaw, 0x40000040);
  w.zeros(0x400 - w.size());
  for (int i = 0; i < 0x200; ++i)
    w.u8(0xC3);
  w.append(s.bytes());
  w.zeros(kRsrcRaw + rsrcRawSize - w.size());
  return std::move(w.bytes());
}

Bytes ModuleBuilder::BuildNe() const {
  const std::size_t unit = std::size_t{1} << shift_;
  // Type records: RT_GROUP_ICON first, then RT_ICON, then the others in order.
  std::vector<std::uint16_t> types;
  auto addType = [&](std::uint16_t t) {
    if (std::find(types.begin(), types.end(), t) == types.end()) types.push_back(t);
  };
  for (const auto& r : resources_)
    if (r.type.id == kRtGroupIcon) addType(kRtGroupIcon);
  for (const auto& r : resources_)
    if (r.type.id == kRtIcon) addType(kRtIcon);
  for (const auto& r : resources_)
    if (!r.type.named()) addType(r.type.id);

  std::vector<std::vector<const Resource*>> byType(types.size());
  for (std::size_t t = 0; t < types.size(); ++t)
    for (const auto& r : resources_)
      if (!r.type.named() && r.type.id == types[t]) byType[t].push_back(&r);

  // Resource names that are strings live after the type records.
  std::size_t tableSize = 2;
  for (const auto& v : byType)
    tableSize += 8 + 12 * v.size();
  tableSize += 2;
  std::map<const Resource*, std::size_t> nameAt;
  for (const auto& v : byType)
    for (const Resource* r : v)
      if (r->name.named()) {
        nameAt[r] = tableSize;
        tableSize += 1 + r->name.name.size();
      }
  tableSize += 1;

  ByteWriter names;
  if (iclNames_) {
    names.u8(3);
    names.text("ICL");
    for (const auto& r : resources_)
      if (r.type.id == kRtGroupIcon) {
        std::string n = r.name.named() ? r.name.name : std::to_string(r.name.id);
        names.u8(static_cast<std::uint8_t>(n.size()));
        names.text(n);
      }
    names.u8(0);
  } else {
    names.u8(6);
    names.text("SAMPLE");
    names.u16(0);
    names.u8(0);
  }

  constexpr std::size_t kNe = 0x40;
  const std::size_t tableAt = kNe + 0x40;
  const std::size_t namesAt = tableAt + tableSize;
  const std::size_t endTables = namesAt + names.size();
  std::size_t dataStart = AlignUp(endTables + 2, unit);
  std::map<const Resource*, std::size_t> dataAt;
  std::size_t off = dataStart;
  for (const auto& v : byType)
    for (const Resource* r : v) {
      dataAt[r] = off;
      off = AlignUp(off + r->data.size(), unit);
    }

  ByteWriter w;
  w.text("MZ");
  w.zeros(0x3C - w.size());
  w.u32(kNe);
  w.text("NE");
  w.u8(linker_);
  w.u8(linkerRevision_);
  w.zeros(kNe + 0x40 - w.size());
  auto rel = [&](std::size_t at) { return static_cast<std::uint16_t>(at - kNe); };
  w.patchU16(kNe + 0x04, rel(endTables));  // entry table
  w.patchU16(kNe + 0x0C, 0x8000);          // library module
  w.patchU16(kNe + 0x22, rel(tableAt));    // segment table (empty)
  w.patchU16(kNe + 0x24, rel(tableAt));
  w.patchU16(kNe + 0x26, rel(namesAt));
  w.patchU16(kNe + 0x28, rel(endTables));
  w.patchU16(kNe + 0x2A, rel(endTables));
  w.patchU16(kNe + 0x32, shift_);
  w.bytes()[kNe + 0x36] = 2;  // Windows

  w.u16(shift_);
  for (std::size_t t = 0; t < types.size(); ++t) {
    w.u16(static_cast<std::uint16_t>(0x8000 | types[t]));
    w.u16(static_cast<std::uint16_t>(byType[t].size()));
    w.u32(0);
    for (const Resource* r : byType[t]) {
      w.u16(static_cast<std::uint16_t>(dataAt[r] >> shift_));
      w.u16(static_cast<std::uint16_t>((r->data.size() + unit - 1) >> shift_));
      w.u16(0x1C30);
      w.u16(r->name.named() ? static_cast<std::uint16_t>(nameAt[r])
                            : static_cast<std::uint16_t>(0x8000 | r->name.id));
      w.u16(0);
      w.u16(0);
    }
  }
  w.u16(0);
  for (const auto& v : byType)
    for (const Resource* r : v)
      if (r->name.named()) {
        w.u8(static_cast<std::uint8_t>(r->name.name.size()));
        w.text(r->name.name);
      }
  w.u8(0);
  w.append(names.bytes());
  w.u16(0);
  for (const auto& v : byType)
    for (const Resource* r : v) {
      w.zeros(dataAt[r] - w.size());
      w.append(r->data);
    }
  w.zeros(AlignUp(w.size(), unit) - w.size());
  return std::move(w.bytes());
}

Bytes BuildIcoFile(const std::vector<Bytes>& images) {
  ByteWriter w;
  w.u16(0);
  w.u16(1);
  w.u16(static_cast<std::uint16_t>(images.size()));
  std::size_t offset = 6 + 16 * images.size();
  for (const auto& img : images) {
    IconShape s = ShapeOfIconImage(img);
    w.u8(static_cast<std::uint8_t>(s.width >= 256 ? 0 : s.width));
    w.u8(static_cast<std::uint8_t>(s.height >= 256 ? 0 : s.height));
    w.u8(static_cast<std::uint8_t>(s.bits < 8 ? (1 << s.bits) : 0));
    w.u8(0);
    w.u16(1);
    w.u16(static_cast<std::uint16_t>(s.bits));
    w.u32(static_cast<std::uint32_t>(img.size()));
    w.u32(static_cast<std::uint32_t>(offset));
    offset += img.size();
  }
  for (const auto& img : images)
    w.append(img);
  return std::move(w.bytes());
}

}  // namespace glyphwell::testsupport
