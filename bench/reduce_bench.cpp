// The merging quantizer against its direct transcription, on the largest image the
// conversion sends it: width plus height 499 and 1024 colours.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "imaging/colour_count.h"
#include "imaging/libjpeg_quantize.h"
#include "imaging/merge_quantize.h"
#include "tests/support/merge_quantize_reference.h"

namespace {

using glyphwell::imaging::Bitmap;
using glyphwell::imaging::ColourValue;
using glyphwell::imaging::MakeColour;

// 249 x 250 pixels drawn from 1024 colours. Spread 255 scatters the colours over
// the whole cube; small spreads cluster them so that more candidates meet.
Bitmap WorstCaseImage(int spread) {
  std::mt19937 rng(12345u + static_cast<unsigned>(spread));
  std::uniform_int_distribution<int> offset(0, spread);
  const int base = (255 - spread) / 2;
  std::vector<ColourValue> palette;
  while (palette.size() < 1024) {
    ColourValue c = MakeColour(base + offset(rng), base + offset(rng), base + offset(rng));
    bool seen = false;
    for (ColourValue p : palette)
      seen = seen || p == c;
    if (!seen) palette.push_back(c);
  }
  std::uniform_int_distribution<int> pick(0, 1023);
  Bitmap image(249, 250, 32);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      image.setPixelColour(x, y, palette[pick(rng)]);
  return image;
}

void BM_MergeQuantize(benchmark::State& state) {
  const Bitmap source = WorstCaseImage(static_cast<int>(state.range(0)));
  const bool reserve = state.range(1) != 0;
  for (auto _ : state) {
    Bitmap image = source;
    glyphwell::imaging::MergeQuantize(image, {true, reserve});
    benchmark::DoNotOptimize(image.pixels().data());
  }
}

void BM_MergeQuantizeTranscription(benchmark::State& state) {
  const Bitmap source = WorstCaseImage(static_cast<int>(state.range(0)));
  const bool reserve = state.range(1) != 0;
  for (auto _ : state) {
    Bitmap image = source;
    glyphwell::testsupport::MergeQuantizeReference(image, true, reserve);
    benchmark::DoNotOptimize(image.pixels().data());
  }
}

void BM_LibjpegQuantize(benchmark::State& state) {
  const Bitmap source = WorstCaseImage(255);
  for (auto _ : state) {
    Bitmap image = source;
    glyphwell::imaging::LibjpegQuantize(image);
    benchmark::DoNotOptimize(image.pixels().data());
  }
}

void BM_CountColours(benchmark::State& state) {
  const Bitmap source = WorstCaseImage(255);
  for (auto _ : state)
    benchmark::DoNotOptimize(glyphwell::imaging::CountColours(source, 1024));
}

void Spreads(benchmark::internal::Benchmark* b) {
  for (int spread : {255, 60, 16})
    for (int reserve : {0, 1})
      b->Args({spread, reserve});
}

BENCHMARK(BM_MergeQuantize)->Apply(Spreads)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MergeQuantizeTranscription)->Apply(Spreads)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibjpegQuantize)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountColours)->Unit(benchmark::kMillisecond);

}  // namespace
