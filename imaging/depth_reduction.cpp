#include "imaging/depth_reduction.h"

#include "imaging/libjpeg_quantize.h"
#include "imaging/merge_quantize.h"
#include "imaging/reduce_indexed.h"
#include "imaging/remap_to_palette.h"
#include "imaging/two_colours.h"

namespace glyphwell::imaging {

namespace {

// The merging quantizer compares colours pairwise; beyond these it is too slow and
// the JPEG route takes over.
constexpr int kMergeColourLimit = 1024;
constexpr int kMergeSideSumLimit = 499;

}  // namespace

std::optional<int> NewWorkingFormat(int sourceBits, Depth depth) {
  switch (depth) {
    case Depth::Bits24:
      return sourceBits == 24 || sourceBits == 32 ? std::nullopt : std::optional<int>(24);
    case Depth::Bits32:
      return sourceBits == 32 ? std::nullopt : std::optional<int>(32);
    case Depth::Colours256:
      return sourceBits == 1 || sourceBits == 4 ? std::optional<int>(32) : std::nullopt;
    case Depth::Colours16:
      return sourceBits == 1 ? std::optional<int>(32) : std::nullopt;
    case Depth::Colours2:
      return std::nullopt;
  }
  return std::nullopt;
}

bool IsIndexedDepth(Depth depth) {
  return depth == Depth::Colours256 || depth == Depth::Colours16 || depth == Depth::Colours2;
}

void ReduceTrueColour(Bitmap& image, int colourCount, const ConversionSettings& s) {
  if (image.bits() <= 8 || image.empty()) return;
  if (IsIndexedDepth(s.depth)) {
    if (colourCount > kMergeColourLimit || image.width() + image.height() > kMergeSideSumLimit) {
      LibjpegQuantize(image);
      if (!s.optimizedPalette && s.depth == Depth::Colours256) RemapToPalette(image, nullptr, s);
    } else {
      MergeQuantize(image, MergeOptionsFor(s));
    }
  } else if (s.depth == Depth::Bits24 && image.bits() != 24) {
    image.setPixelFormat(24);
  }
}

void FinishIndexed(Bitmap& image, int width, int height, const ConversionSettings& s) {
  if (image.bits() != 8 && image.bits() != 4) return;
  if (image.bits() == 8 && s.depth == Depth::Colours16) {
    ReduceIndexed(image, 4, s);
  } else if (s.depth == Depth::Colours2) {
    ToTwoColours(image, width, height);
  } else if (s.outputType == OutputType::Png && s.depth == Depth::Colours256 &&
             s.pngColourCount < 256 && !s.keepSourceDepth) {
    ReduceIndexed(image, 8, s);
  }
}

}  // namespace glyphwell::imaging
