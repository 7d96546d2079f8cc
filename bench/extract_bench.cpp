// Listing modules with many icon images: the grid fill of the Icon mode (counting
// read, group map, facts of every position) and the search's CountImages.
#include <benchmark/benchmark.h>

#include <map>
#include <string>

#include "app/source_listing.h"
#include "tests/support/fixture_files.h"
#include "tests/support/module_builder.h"

namespace {

using namespace glyphwell;

// A module of `groups` icon groups with four images each (16/32/48 at 4, 8 and 32 bits).
const std::string& ModuleWith(int groups) {
  static std::map<int, std::string> made;
  auto it = made.find(groups);
  if (it != made.end()) return it->second;
  testsupport::ModuleBuilder b(testsupport::ModuleBuilder::Kind::kPe32);
  for (int g = 0; g < groups; ++g)
    b.AddIconGroup(
        testsupport::ResName::Id(static_cast<std::uint16_t>(100 + g)),
        static_cast<std::uint16_t>(1 + 4 * g),
        {testsupport::MakeIconDib(16, 16, 4, g), testsupport::MakeIconDib(32, 32, 8, g),
         testsupport::MakeIconDib(48, 48, 32, g), testsupport::MakeIconDib(32, 32, 32, g)});
  return made[groups] =
             testsupport::WriteFixtureFile("bench" + std::to_string(groups) + ".dll", b.Build());
}

void BM_ListModule(benchmark::State& state) {
  const std::string& path = ModuleWith(static_cast<int>(state.range(0)));
  platform::SilentMessages messages;
  app::SourceListing listing(messages);
  for (auto _ : state) {
    listing.OpenSource(path);
    benchmark::DoNotOptimize(listing.images().size());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0) * 4);
}
BENCHMARK(BM_ListModule)->Arg(25)->Arg(250)->Unit(benchmark::kMillisecond);

void BM_CountImages(benchmark::State& state) {
  const std::string& path = ModuleWith(static_cast<int>(state.range(0)));
  extract::SourceReader reader;
  for (auto _ : state)
    benchmark::DoNotOptimize(reader.CountImages(path));
  state.SetItemsProcessed(state.iterations() * state.range(0) * 4);
}
BENCHMARK(BM_CountImages)->Arg(250)->Unit(benchmark::kMillisecond);

void BM_ExtractEveryImage(benchmark::State& state) {
  const std::string& path = ModuleWith(250);
  extract::SourceReader reader;
  reader.LoadWholeFile(path, false);
  for (auto _ : state) {
    for (int i = 0; i < 1000; ++i) {
      imaging::Picture picture;
      reader.ExtractToPicture(path, i, picture);
      benchmark::DoNotOptimize(picture.icon);
    }
  }
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_ExtractEveryImage)->Unit(benchmark::kMillisecond);

}  // namespace
