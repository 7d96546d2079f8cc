// The icon search over a generated folder tree: the disk search (walk and count
// from headers), the list search through a saved list of the same tree, and the
// per-file count from headers against the count from a whole read.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "app/icon_search.h"
#include "extract/header_counter.h"
#include "extract/source_reader.h"
#include "tests/support/module_builder.h"
#include "tests/support/search_tree.h"

namespace {

using namespace glyphwell;
using testsupport::Bytes;

// 1200 files in 20 folders: 120 modules with 1 to 12 icon groups and 40 to 440 KB
// of other resources, 40 icon files and 1040 files without icons.
struct Tree {
  testsupport::SearchTree files;
  testsupport::SearchTree home;
  std::vector<std::string> modules;
  platform::SilentMessages messages;

  Tree() {
    std::mt19937 rng(7);
    for (int i = 0; i < 1200; ++i) {
      const std::string folder = "f" + std::to_string(i % 20) + "/";
      if (i % 10 == 0) {
        testsupport::ModuleBuilder b(testsupport::ModuleBuilder::Kind::kPe32);
        const int groups = 1 + static_cast<int>(rng() % 12);
        for (int g = 0; g < groups; ++g)
          b.AddIconGroup(
              testsupport::ResName::Id(static_cast<std::uint16_t>(100 + g)),
              static_cast<std::uint16_t>(1 + 3 * g),
              {testsupport::MakeIconDib(16, 16, 8, g), testsupport::MakeIconDib(32, 32, 8, g),
               testsupport::MakeIconDib(48, 48, 32, g)});
        b.AddResource(testsupport::ResName::Id(10), testsupport::ResName::Id(1),
                      Bytes(40000 + rng() % 400000, 0x5A));
        modules.push_back(files.Write(folder + "m" + std::to_string(i) + ".dll", b.Build()));
      } else if (i % 30 == 1) {
        files.Write(folder + "i" + std::to_string(i) + ".ico",
                    testsupport::BuildIcoFile({testsupport::MakeIconDib(32, 32, 8)}));
      } else {
        files.Write(folder + "t" + std::to_string(i) + ".txt", Bytes(200 + rng() % 8000, 'x'));
      }
    }
  }

  app::IconSearch Search() {
    return app::IconSearch(
        app::SavedLists(home.Folder("data"), home.Folder("data/me") + "/filelist.ini"), messages);
  }
};

Tree& SharedTree() {
  static Tree tree;
  return tree;
}

void BM_DiskSearch(benchmark::State& state) {
  Tree& tree = SharedTree();
  app::IconSearch search = tree.Search();
  search.filters.mode = static_cast<extract::ExtractionMode>(state.range(0));
  for (auto _ : state) {
    search.DiskSearch(tree.files.root());
    benchmark::DoNotOptimize(search.rows().size());
  }
  state.SetItemsProcessed(state.iterations() * 1200);
}
BENCHMARK(BM_DiskSearch)
    ->Arg(static_cast<int>(extract::ExtractionMode::kNormal))
    ->Arg(static_cast<int>(extract::ExtractionMode::kIcon))
    ->Unit(benchmark::kMillisecond);

void BM_ListSearch(benchmark::State& state) {
  Tree& tree = SharedTree();
  app::IconSearch search = tree.Search();
  search.MakeList(tree.files.root());
  search.setSearchFolder(tree.files.root());
  for (auto _ : state) {
    search.ListSearch(true);
    benchmark::DoNotOptimize(search.rows().size());
  }
  state.SetItemsProcessed(state.iterations() * 1200);
}
BENCHMARK(BM_ListSearch)->Unit(benchmark::kMillisecond);

// One module's count in the Normal mode: from its headers, and from a whole read.
void BM_CountFromHeaders(benchmark::State& state) {
  Tree& tree = SharedTree();
  extract::HeaderCounter counter;
  std::size_t next = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(counter.CountImages(tree.modules[next++ % tree.modules.size()],
                                                 extract::ExtractionMode::kNormal));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CountFromHeaders)->Unit(benchmark::kMicrosecond);

void BM_CountFromWholeRead(benchmark::State& state) {
  Tree& tree = SharedTree();
  extract::SourceReader reader;
  reader.setMode(extract::ExtractionMode::kNormal);
  std::size_t next = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(reader.CountImages(tree.modules[next++ % tree.modules.size()]));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CountFromWholeRead)->Unit(benchmark::kMicrosecond);

}  // namespace
