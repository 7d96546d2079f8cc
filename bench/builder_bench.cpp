// The builder with many images: adding them from an icon file, grouping, and
// writing a multi-image icon file or an icon library. Times should grow linearly
// with the number of images.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "builder/icl_file_writer.h"
#include "builder/ico_file_writer.h"
#include "builder/icon_builder.h"
#include "builder/testing_entries.h"
#include "platform/atomic_file.h"

namespace {

using namespace glyphwell;

// n entries of side x side pixels at 4 bits (16 x 16: 296 bytes; 1 x 1: 112 bytes).
std::vector<builder::TIconEntry> ManyEntries(int n, int side = 16) {
  std::vector<builder::TIconEntry> entries;
  entries.reserve(static_cast<std::size_t>(n));
  const auto block = builder::testing::PatternBlock(side, side, 4);
  for (int i = 0; i < n; ++i) {
    builder::TIconEntry e;
    e.Image = block;
    e.Name = "icon" + std::to_string(i);
    e.SourcePath = "/icons/many.ico";
    entries.push_back(std::move(e));
  }
  return entries;
}

std::vector<int> All(int n) {
  std::vector<int> all(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i)
    all[static_cast<std::size_t>(i)] = i;
  return all;
}

// An icon library of n images in icons of ten images each (an icon library holds
// at most 5454 icons and images together, so 4900 is the largest such library).
void BM_BuildIconLibrary(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  auto entries = ManyEntries(n);
  for (int i = 0; i < n; ++i)
    entries[static_cast<std::size_t>(i)].GroupId = i / 10;
  const auto selection = All(n);
  for (auto _ : state) {
    std::string error;
    auto bytes = builder::EncodeIconLibrary(entries, selection, {}, error);
    if (!bytes) state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(bytes);
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_BuildIconLibrary)->Arg(1000)->Arg(4900)->Unit(benchmark::kMillisecond);

// A multi-image icon file of n images (16 x 16, or 1 x 1 when the second argument
// is 1: the same work with a tenth of the memory traffic).
void BM_BuildIconFile(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const auto entries = ManyEntries(n, state.range(1) ? 1 : 16);
  const auto selection = All(n);
  for (auto _ : state) {
    std::string error;
    auto bytes = builder::EncodeIconFile(entries, selection, {}, error);
    if (!bytes) state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(bytes);
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_BuildIconFile)
    ->Args({1000, 0})
    ->Args({10000, 0})
    ->Args({30000, 0})
    ->Args({1000, 1})
    ->Args({10000, 1})
    ->Args({30000, 1})
    ->Args({60000, 1})
    ->Unit(benchmark::kMillisecond);

// The whole builder run: add n images from one icon file, select all and save
// them as an icon file. (Grouping is left out: each grouping click renormalises the
// whole list, as it must, so n/10 clicks would measure the clicks, not the list.)
void BM_BuilderAddAndSave(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const auto dir = std::filesystem::temp_directory_path() /
                   ("glyphwell_builder_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string source = (dir / "many.ico").string();
  {
    const auto entries = ManyEntries(n);
    std::string error;
    auto bytes = builder::EncodeIconFile(entries, All(n), {}, error);
    platform::WriteFileAtomically(source, *bytes);
  }
  platform::SilentMessages messages;
  for (auto _ : state) {
    builder::IconBuilder::Services services;
    services.messages = &messages;
    builder::IconBuilder model(services);
    model.AddFiles({source});
    model.SelectAll();
    model.WriteIcoFile((dir / "out.ico").string());
  }
  state.SetItemsProcessed(state.iterations() * n);
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_BuilderAddAndSave)->Arg(1000)->Arg(10000)->Arg(30000)->Unit(benchmark::kMillisecond);

}  // namespace
