// The whole conversion of one 256 x 256 32-bit icon image to a 256-colour output of
// the same size, as the save workflow runs it for a large icon.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "imaging/bmp_codec.h"
#include "imaging/convert_to_output.h"
#include "tests/support/image_fixtures.h"

namespace {

using namespace glyphwell::imaging;

void BM_ConvertLargeIconTo256Colours(benchmark::State& state) {
  std::string dir = (std::filesystem::temp_directory_path() / "convert-bench-XXXXXX").string();
  if (!mkdtemp(dir.data())) {
    state.SkipWithError("no temporary folder");
    return;
  }
  std::string path = (std::filesystem::path(dir) / "sv.bmp").string();
  WriteBmp(glyphwell::testsupport::MakePatternBitmap(256, 256, 32, 42, true), path);

  ConversionContext context;
  context.settings.sourceKind = SourceKind::IconMode;
  context.settings.ownParser = true;
  context.settings.outputType = OutputType::Icon;
  context.settings.depth = Depth::Colours256;
  context.settings.sizeChoice = SizeChoice::User;
  context.settings.userWidth = 256;
  context.settings.userHeight = 256;
  context.sourceExtension = ".dll";
  ConversionFlags flags;
  for (auto _ : state) {
    Bitmap out;
    ConvertToOutput(out, path, true, context, flags);
    benchmark::DoNotOptimize(out.pixels().data());
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ConvertLargeIconTo256Colours)->Unit(benchmark::kMillisecond);

}  // namespace
