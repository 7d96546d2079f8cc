// Runs every colour reduction, mask and filter on an image built from arbitrary
// bytes: any size up to 40 x 40, any format, short or odd colour tables, pixel
// indexes beyond the table, any settings. Besides never crashing, each operation
// must leave a well-formed image of the format it promises.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "imaging/blur.h"
#include "imaging/colour_count.h"
#include "imaging/draw_icon_image.h"
#include "imaging/gray.h"
#include "imaging/libjpeg_quantize.h"
#include "imaging/merge_quantize.h"
#include "imaging/output_mask.h"
#include "imaging/reduce_indexed.h"
#include "imaging/remap_to_palette.h"
#include "imaging/sort_palette.h"
#include "imaging/transparency_colour.h"

using namespace glyphwell::imaging;

namespace {

class Bytes {
 public:
  Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  std::uint8_t next() { return at_ < size_ ? data_[at_++] : 0; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

void Check(bool ok) {
  if (!ok) std::abort();
}

void CheckWellFormed(const Bitmap& image, int bits) {
  Check(!image.empty() && image.bits() == bits);
  Check(image.pixels().size() == image.stride() * static_cast<std::size_t>(image.height()));
  if (bits <= 8) Check(image.colourTable().size() <= (std::size_t{1} << bits));
}

Bitmap MakeImage(Bytes& in) {
  static const int kFormats[] = {1, 4, 8, 15, 16, 24, 32, 32};
  const int bits = kFormats[in.next() % 8];
  const int width = 1 + in.next() % 40, height = 1 + in.next() % 40;
  Bitmap image(width, height, bits);
  if (image.indexed()) {
    ColourTable table(in.next() % ((1u << bits) + 1));
    for (Rgbq& e : table)
      e = Rgbq{in.next(), in.next(), in.next(), 0};
    image.setColourTable(table);
  }
  // Pixel bytes straight from the input: indexes may lie beyond the table.
  for (std::uint8_t& b : image.pixels())
    b = in.next();
  return image;
}

ConversionSettings MakeSettings(Bytes& in) {
  const std::uint8_t a = in.next(), b = in.next();
  ConversionSettings s;
  s.outputType = static_cast<OutputType>(a % 4);
  s.depth = static_cast<Depth>((a / 4) % 5);
  s.sourceKind = static_cast<SourceKind>((a / 20) % 4);
  s.keepSourceDepth = b & 1;
  s.optimizedPalette = b & 2;
  s.correction = b & 4;
  s.transparencyColour = b & 8;
  s.mode2 = b & 16;
  s.editor.exists = b & 32;
  s.editor.visible = b & 64;
  s.editor.reductionCorrection = 1 + in.next() % 20;
  s.editor.darkLevel = in.next() % 201;
  s.pngColourCount = 8 + in.next() % 249;
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Bytes in(data, size);
  const ConversionSettings s = MakeSettings(in);
  const Bitmap source = MakeImage(in);

  Check(CountColours(source, 1024) >= 1);

  if (!source.indexed()) {
    Bitmap merged = source;
    MergeQuantize(merged, MergeOptionsFor(s));
    CheckWellFormed(merged, 8);
    Check(merged.colourTable().size() == 256);
    Bitmap viaJpeg = source;
    Check(LibjpegQuantize(viaJpeg));
    CheckWellFormed(viaJpeg, 8);
    Check(viaJpeg.colourTable().size() <= 236);
  }

  if (source.bits() == 8 || source.bits() == 4) {
    for (int depth : {4, 8}) {
      Bitmap reduced = source;
      ReduceIndexed(reduced, depth, s);
      CheckWellFormed(reduced, IndexedTargetFor(depth, s).bits);
    }
    Bitmap remapped = source;
    RemapToPalette(remapped, nullptr, s);
    CheckWellFormed(remapped, source.bits());
    Bitmap withBlack = source;
    AddTransparencyColour(withBlack);
    CheckWellFormed(withBlack, source.bits());
    Check(withBlack.colourTable().size() == source.colourTable().size());
    Bitmap sorted = source;
    SortPalette(sorted, s);
    CheckWellFormed(sorted, source.bits());
  }

  Bitmap blurred = source;
  Blur(blurred, 1, in.next() & 1);
  CheckWellFormed(blurred, 32);
  Bitmap gray = source;
  GrayTable(gray);
  GrayPixels(gray);
  CheckWellFormed(gray, source.bits());

  // The image as an icon's colour plane over a mask made of the same bytes.
  Bitmap mask(source.width(), source.height(), 32);
  for (int y = 0; y < mask.height(); ++y)
    for (int x = 0; x < mask.width(); ++x)
      mask.setPixelColour(x, y, (source.rawPixel(x, y) & 1) ? kWhite : kBlack);
  const IconPlanes planes{source, mask, static_cast<bool>(in.next() & 1)};
  Bitmap drawn(source.width(), source.height(), 32);
  drawn.fill(BackgroundFill(s.outputType, s.mask));
  DrawIconImage(drawn, planes, s.correction, s);
  CheckWellFormed(drawn, 32);
  const int outW = 1 + in.next() % 48, outH = 1 + in.next() % 48;
  OutputMasks masks = BuildOutputMask(planes, s, outW, outH);
  CheckWellFormed(masks.mask, 32);
  CheckWellFormed(masks.inverse, 32);
  Check(masks.mask.width() == outW && masks.mask.height() == outH);
  return 0;
}
