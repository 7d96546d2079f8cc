// Checks the resource walk against real modules. Skipped unless
// GLYPHWELL_MODULE_DIR names a folder of PE/NE modules; then, for every module whose
// icon directory the walk finds, the raw bytes of each RT_ICON position (the data
// the decoder would receive) are written to GLYPHWELL_DUMP_DIR (default: a folder
// under the build tree) as <module>.<position>.bin, with one line per module in
// index.txt: name, directory count, valid count and the valid flag of each position.
// An outside tool can then compare those bytes with another resource reader.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "extract/module_walker.h"
#include "extract/source_reader.h"
#include "platform/byte_reader.h"

namespace glyphwell::extract {
namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kTableHead = 16;
constexpr std::uint64_t kEntryBytes = 8;
constexpr std::uint32_t kHighBit = 0x80000000u;

TEST(ModuleDump, WritesRawIconBytesOfEveryPosition) {
  const char* moduleDir = std::getenv("GLYPHWELL_MODULE_DIR");
  if (!moduleDir || !*moduleDir) GTEST_SKIP() << "GLYPHWELL_MODULE_DIR not set";
  const char* dumpEnv = std::getenv("GLYPHWELL_DUMP_DIR");
  fs::path dumpDir =
      dumpEnv && *dumpEnv ? fs::path(dumpEnv) : fs::path(GLYPHWELL_BINARY_DIR) / "module_dump";
  fs::create_directories(dumpDir);
  std::ofstream index(dumpDir / "index.txt");
  int modules = 0;
  for (const auto& item : fs::directory_iterator(moduleDir)) {
    if (!item.is_regular_file()) continue;
    const std::string path = item.path().string();
    SourceReader reader;
    if (!reader.LoadWholeFile(path, false)) continue;
    LoadedFile& file = reader.file();
    file.enumerateGroups = true;
    file.groupMap.clear();
    file.idList.clear();
    file.idCeiling = 0;
    file.typeDirectory = 0;
    const int total = reader.ReadImage(path, false, 0, nullptr);
    file.enumerateGroups = false;
    if (total <= 0 || file.typeDirectory == 0) continue;
    ++modules;
    const std::uint32_t directory = file.typeDirectory;
    const ResourceSection section{file.resourceRawOffset, file.resourceAddress};
    platform::ByteReader r(file.image);
    std::string flags;
    int validCount = 0;
    for (int i = 0; i < total; ++i) {
      reader.ReadImage(path, true, i, nullptr);
      const bool valid = reader.file().facts.valid;
      validCount += valid ? 1 : 0;
      flags += valid ? '1' : '0';
      auto target =
          r.u32le(directory + kTableHead + kEntryBytes * static_cast<std::uint64_t>(i) + 4);
      ASSERT_TRUE(target) << path << " position " << i;
      auto data = ResolveResourceData(
          file.image, section,
          DirectoryTarget{std::uint64_t{section.rawOffset} + (*target & ~kHighBit),
                          (*target & kHighBit) != 0});
      ASSERT_TRUE(data) << path << " position " << i;
      auto bytes =
          r.Slice(static_cast<std::uint64_t>(data->offset), static_cast<std::uint64_t>(data->size));
      ASSERT_TRUE(bytes) << path << " position " << i;
      std::ofstream out(
          dumpDir / (item.path().filename().string() + "." + std::to_string(i) + ".bin"),
          std::ios::binary);
      out.write(reinterpret_cast<const char*>(bytes->data()),
                static_cast<std::streamsize>(bytes->size()));
    }
    index << item.path().filename().string() << ' ' << total << ' ' << validCount << ' ' << flags
          << '\n';
  }
  EXPECT_GT(modules, 0) << "no module with an icon directory in " << moduleDir;
}

}  // namespace
}  // namespace glyphwell::extract
