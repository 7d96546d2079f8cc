#pragma once
// Lays out PE32, PE32+ and NE modules and icon files byte by byte, for tests,
// fuzz seeds, benchmarks and the bundled samples.
//
//   ModuleBuilder b(ModuleBuilder::Kind::kPe32);
//   b.AddIconGroup(ResName::Named("MAINICON"), 1, {MakeIconDib(32, 32, 8),
//                                                 MakeIconDib(16, 16, 4)});
//   b.AddBitmap(ResName::Id(101), MakeBitmapDib(20, 10, 8));
//   Bytes dll = b.Build();
//
// PE modules get a ".text" section followed by ".rsrc" with the usual three-level
// tree (type, name, language 1033); named entries come first, IDs ascending. NE
// modules get a resource table (RT_GROUP_ICON record first, then RT_ICON, then any
// others), with the resident-name table laid out as an icon library writes it
// (0x03 'I' 'C' 'L' + length-prefixed group names) when `iclNames` is set.

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/image_fixtures.h"

namespace glyphwell::testsupport {

// A resource type or name: a numeric ID or a string.
struct ResName {
  std::uint16_t id = 0;
  std::string name;  // non-empty = a named entry (ASCII/UTF-8; PE stores UTF-16)
  static ResName Id(std::uint16_t id) { return ResName{id, {}}; }
  static ResName Named(std::string name) { return ResName{0, std::move(name)}; }
  bool named() const { return !name.empty(); }
};

// One image of an icon group: the icon's resource ID and its data (the group entry
// fields are taken from the data).
struct GroupImage {
  std::uint16_t iconId = 0;
  Bytes data;
};

class ModuleBuilder {
 public:
  enum class Kind { kPe32, kPe64, kNe };
  explicit ModuleBuilder(Kind kind) : kind_(kind) {}

  // An icon group over icons firstId, firstId + 1, ...; adds the RT_ICON resources.
  void AddIconGroup(const ResName& name, std::uint16_t firstId, const std::vector<Bytes>& images);
  // An icon group whose icons carry the given IDs (any order, gaps allowed).
  void AddIconGroup(const ResName& name, const std::vector<GroupImage>& images);
  // A group directory with an explicit image count and no icons of its own (for
  // damaged or empty groups); `firstId` goes into one entry when count > 0.
  void AddRawGroup(const ResName& name, Bytes directory);
  void AddIcon(std::uint16_t id, Bytes data);
  void AddBitmap(const ResName& name, Bytes data);
  // Any other resource type.
  void AddResource(const ResName& type, const ResName& name, Bytes data);

  // NE only: write the 0x03 'I' 'C' 'L' name table with the groups' names.
  void setIclNames(bool on) { iclNames_ = on; }
  // NE only: the two bytes after "NE".
  void setLinkerVersion(std::uint8_t version, std::uint8_t revision) {
    linker_ = version;
    linkerRevision_ = revision;
  }
  // NE only: the alignment shift of the resource table (default 4).
  void setAlignmentShift(std::uint16_t shift) { shift_ = shift; }

  Bytes Build() const;

  // The group directory bytes for the given images (6-byte head + 14-byte entries).
  static Bytes GroupDirectory(const std::vector<GroupImage>& images);

 private:
  struct Resource {
    ResName type;
    ResName name;
    Bytes data;
  };
  Bytes BuildPe() const;
  Bytes BuildNe() const;

  Kind kind_;
  std::vector<Resource> resources_;
  bool iclNames_ = false;
  std::uint8_t linker_ = 0;
  std::uint8_t linkerRevision_ = 0;
  std::uint16_t shift_ = 4;
};

// An icon file: 6-byte header (reserved 0, type 1), one 16-byte entry per image
// (fields taken from the image data), then the images in order.
Bytes BuildIcoFile(const std::vector<Bytes>& images);

}  // namespace glyphwell::testsupport
