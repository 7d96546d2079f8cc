// make_search_tree: writes a folder tree for timing the icon search, laid out like
// a program folder: modules with icons (and a realistic bulk of other resources),
// modules without icons, icon files, pictures and many files that hold no icons.
//
//   make_search_tree DIR [FILES] [ICON_MODULES]
//
// Defaults: 6000 files of which 600 are modules with icons. The same arguments
// always give the same tree. Prints what it wrote.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "tests/support/fixture_files.h"
#include "tests/support/module_builder.h"

namespace {

using namespace glyphwell;
using testsupport::Bytes;
using testsupport::ModuleBuilder;
using testsupport::ResName;
using testsupport::WriteBytesFile;

Bytes Filler(std::mt19937& rng, std::size_t size) {
  Bytes bytes(size);
  for (auto& b : bytes)
    b = static_cast<std::uint8_t>(rng());
  return bytes;
}

// A module with 1 to 12 icon groups of the usual sizes and depths, some bitmaps and a
// bulk of other data that stands for its code and other resources.
Bytes IconModule(std::mt19937& rng, int index) {
  ModuleBuilder b(index % 5 == 0 ? ModuleBuilder::Kind::kPe64 : ModuleBuilder::Kind::kPe32);
  const int groups = 1 + static_cast<int>(rng() % 12);
  std::uint16_t id = 1;
  for (int g = 0; g < groups; ++g) {
    std::vector<Bytes> images;
    for (int size : {16, 32, 48})
      images.push_back(testsupport::MakeIconDib(size, size, 8, rng()));
    if (rng() % 10 == 0) images.push_back(testsupport::MakePngImage(256, 256, rng(), true));
    const std::uint16_t first = id;
    id = static_cast<std::uint16_t>(id + images.size());
    b.AddIconGroup(ResName::Id(static_cast<std::uint16_t>(100 + g)), first, images);
  }
  for (int k = 0, n = static_cast<int>(rng() % 3); k < n; ++k)
    b.AddBitmap(ResName::Id(static_cast<std::uint16_t>(200 + k)),
                testsupport::MakeBitmapDib(64, 32, 8, rng()));
  b.AddResource(ResName::Id(10), ResName::Id(1), Filler(rng, 40000 + rng() % 400000));
  return b.Build();
}

Bytes PlainModule(std::mt19937& rng) {
  ModuleBuilder b(ModuleBuilder::Kind::kPe32);
  b.AddResource(ResName::Id(10), ResName::Id(1), Filler(rng, 20000 + rng() % 200000));
  return b.Build();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 4) {
    std::fprintf(stderr, "usage: make_search_tree DIR [FILES] [ICON_MODULES]\n");
    return 2;
  }
  const std::filesystem::path root = argv[1];
  const int files = argc > 2 ? std::atoi(argv[2]) : 6000;
  const int iconModules = argc > 3 ? std::atoi(argv[3]) : 600;
  if (files < 1 || iconModules < 0 || iconModules > files) {
    std::fprintf(stderr, "make_search_tree: need 0 <= ICON_MODULES <= FILES\n");
    return 2;
  }
  std::mt19937 rng(20261211);
  const int plainModules = files / 20, icons = files / 30, pictures = files / 30;
  static const char* const kOther[] = {".txt", ".h", ".c", ".so", ".dat", ".xml", ".ini", ".js"};
  static const char* const kModuleExt[] = {".dll", ".exe", ".ocx", ".cpl"};
  std::uintmax_t bytes = 0;
  int written = 0;
  for (int i = 0; i < files; ++i) {
    // About 60 files a folder, two levels deep.
    const int folder = i / 60;
    std::filesystem::path dir =
        root / ("group" + std::to_string(folder % 10)) / ("folder" + std::to_string(folder));
    Bytes data;
    std::string name = "file" + std::to_string(i);
    if (i % (files / std::max(iconModules, 1)) == 0 && written < iconModules) {
      data = IconModule(rng, i);
      name += kModuleExt[i % 4];
      ++written;
    } else if (i % 20 == 1 && i / 20 < plainModules) {
      data = PlainModule(rng);
      name += ".dll";
    } else if (i % 30 == 2 && i / 30 < icons) {
      data = testsupport::BuildIcoFile(
          {testsupport::MakeIconDib(32, 32, 8, rng()), testsupport::MakeIconDib(16, 16, 8, rng())});
      name += ".ico";
    } else if (i % 30 == 3 && i / 30 < pictures) {
      data = testsupport::MakePngImage(48, 48, rng());
      name += ".png";
    } else {
      data = Filler(rng, 200 + rng() % 20000);
      name += kOther[rng() % 8];
    }
    if (!WriteBytesFile(dir / name, data)) {
      std::fprintf(stderr, "make_search_tree: cannot write %s\n", (dir / name).c_str());
      return 1;
    }
    bytes += data.size();
  }
  std::printf("%d files (%d modules with icons), %.1f MB in %s\n", files, written,
              static_cast<double>(bytes) / 1e6, root.c_str());
  return written == iconModules ? 0 : 1;
}
