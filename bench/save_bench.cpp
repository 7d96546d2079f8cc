// Saving every icon image of five modules (600 images together) as 32 x 32
// 16-colour icon files in one process, as `glyphwell-cli save FILE --all` does for
// each module: read, convert, mask, write through libPelmora.
//
// With GLYPHWELL_SAVE_BENCH_DIR set, the modules go to that folder (modules/*.dll)
// together with every image as a PNG file (png/*.png) and are kept, so that
// bench/save_peer.sh can hand the same images to other tools.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "imaging/output_geometry.h"  // before the preview model, which uses imaging::Size

#include "app/grid_save_source.h"
#include "app/preview_model.h"
#include "extract/source_reader.h"
#include "output/icon_file_writer.h"
#include "output/pelmora_loader.h"
#include "output/save_workflow.h"
#include "platform/atomic_file.h"
#include "tests/support/image_fixtures.h"
#include "tests/support/module_builder.h"

namespace {

namespace fs = std::filesystem;
using namespace glyphwell;

constexpr int kModules = 5;
constexpr int kGroupsPerModule = 30;
// Each group: the sizes and depths a typical program icon carries.
struct Shape {
  int size, bits;
};
constexpr Shape kGroupShapes[] = {{16, 4}, {32, 8}, {48, 32}, {32, 32}};

struct Fixture {
  fs::path dir;
  std::vector<std::string> modules;
  int images = 0;
  bool keep = false;
};

void RemoveTemporaryModules();

const Fixture& Modules() {
  static Fixture f = [] {
    Fixture fx;
    std::atexit(RemoveTemporaryModules);
    if (const char* keep = std::getenv("GLYPHWELL_SAVE_BENCH_DIR")) {
      fx.dir = keep;
      fx.keep = true;
    } else {
      std::string tmpl = (fs::temp_directory_path() / "save-bench-XXXXXX").string();
      if (mkdtemp(tmpl.data())) fx.dir = tmpl;
    }
    fs::create_directories(fx.dir / "modules");
    fs::create_directories(fx.dir / "png");
    std::uint32_t seed = 1;
    for (int m = 0; m < kModules; ++m) {
      testsupport::ModuleBuilder builder(testsupport::ModuleBuilder::Kind::kPe32);
      std::uint16_t id = 1;
      for (int g = 0; g < kGroupsPerModule; ++g) {
        std::vector<testsupport::Bytes> images;
        for (const Shape& s : kGroupShapes) {
          imaging::Bitmap pattern = testsupport::MakePatternBitmap(s.size, s.size, s.bits, ++seed);
          images.push_back(testsupport::MakeIconDib(pattern, false));
          char name[64];
          std::snprintf(name, sizeof name, "m%d-%03d.png", m, fx.images % 1000);
          platform::WriteFileAtomically((fx.dir / "png" / name).string(),
                                        testsupport::MakePng(pattern));
          ++fx.images;
        }
        builder.AddIconGroup(testsupport::ResName::Named("ICON" + std::to_string(g)), id, images);
        id = static_cast<std::uint16_t>(id + images.size());
      }
      const std::string path = (fx.dir / "modules" / ("m" + std::to_string(m) + ".dll")).string();
      platform::WriteFileAtomically(path, builder.Build());
      fx.modules.push_back(path);
    }
    return fx;
  }();
  return f;
}

void RemoveTemporaryModules() {
  const Fixture& fx = Modules();
  if (!fx.keep && !fx.dir.empty()) fs::remove_all(fx.dir);
}

class Quiet final : public output::SaveProgress {};

// The save of one module's every image, the way the command line runs it.
int SaveModule(const std::string& path, const fs::path& work, const fs::path& out,
               const output::PelmoraLoader& pelmora, platform::MessageSink& messages) {
  extract::SourceReader reader(&messages);
  if (!reader.LoadWholeFile(path, false)) return 0;
  reader.setMode(extract::ExtractionMode::kIcon);
  const int count = reader.ReadImage(path, false, 0, nullptr);
  std::vector<extract::ImageEntry> entries;
  for (int i = 0; i < count; ++i)
    entries.push_back({std::to_string(i), "ICON\n", {}});

  app::PreviewSource source;
  source.kind = imaging::SourceKind::IconMode;
  source.ownParser = true;
  source.extension = ".dll";
  source.extract = [&](int index, imaging::Picture& picture) {
    return reader.ExtractToPicture(path, index, picture);
  };
  app::PreviewOptions options;
  options.settings.sourceKind = imaging::SourceKind::IconMode;
  options.settings.ownParser = true;
  options.settings.outputType = imaging::OutputType::Icon;
  options.settings.depth = imaging::Depth::Colours16;
  options.settings.sizeChoice = imaging::SizeChoice::SystemLarge;
  app::PreviewModel preview(work);
  app::GridSaveSource grid(entries, std::vector<bool>(entries.size(), true), preview, source,
                           options, messages);
  output::IconFileWriter icons(pelmora, work.string(), {});
  output::SaveWorkflow flow(grid, icons, messages);
  output::SaveContext context;
  context.settings = options.settings;
  Quiet progress;
  flow.SaveLoop(context, {(out / (fs::path(path).stem().string() + ".ico")).string(), 4}, progress);
  return static_cast<int>(flow.report().written.size());
}

void BM_SaveModuleIconsAs32x32With16Colours(benchmark::State& state) {
  const Fixture& fx = Modules();
  if (fx.dir.empty()) {
    state.SkipWithError("no temporary folder");
    return;
  }
  platform::SilentMessages messages;
  output::PelmoraLoader pelmora;
  if (!pelmora.Load(messages)) {
    state.SkipWithError("libPelmora.so not found beside the benchmark");
    return;
  }
  const fs::path work = fx.dir / "work";
  const fs::path out = fx.dir / "ours";
  fs::create_directories(work);
  fs::create_directories(out);
  int written = 0;
  for (auto _ : state) {
    written = 0;
    for (const auto& module : fx.modules)
      written += SaveModule(module, work, out, pelmora, messages);
  }
  if (written != fx.images) state.SkipWithError("not every image was written");
  state.counters["images"] = written;
  state.counters["images_per_s"] =
      benchmark::Counter(written, benchmark::Counter::kIsIterationInvariantRate);
  if (!fx.keep) {
    fs::remove_all(work);
    fs::remove_all(out);
  }
}
BENCHMARK(BM_SaveModuleIconsAs32x32With16Colours)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
