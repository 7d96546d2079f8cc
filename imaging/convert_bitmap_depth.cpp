#include "imaging/convert_bitmap_depth.h"

#include "imaging/colour_count.h"
#include "imaging/depth_reduction.h"
#include "imaging/output_geometry.h"
#include "imaging/reduce_indexed.h"
#include "imaging/sort_palette.h"
#include "imaging/stretch.h"
#include "imaging/two_colours.h"

namespace glyphwell::imaging {

bool DepthOfBitCount(int bits, Depth& depth) {
  switch (bits) {
    case 32:
      depth = Depth::Bits32;
      return true;
    case 24:
      depth = Depth::Bits24;
      return true;
    case 8:
      depth = Depth::Colours256;
      return true;
    case 4:
      depth = Depth::Colours16;
      return true;
    case 1:
      depth = Depth::Colours2;
      return true;
  }
  return false;
}

bool ConvertBitmapDepth(Bitmap& picture, int bits, bool fit, const ConversionSettings& settings) {
  ConversionSettings s = settings;
  if (picture.empty() || !DepthOfBitCount(bits, s.depth)) return false;

  // 1-2. Working copy, fitted into the output size when asked.
  Bitmap work = picture;
  const int sourceBits = work.bits();
  Rect place{0, 0, picture.width(), picture.height()};
  if (fit && s.sizeChoice != SizeChoice::Original) {
    Size target = OutputDimensions(s, picture.width(), picture.height());
    place = FitRect(target.width, target.height, picture.width(), picture.height());
    work.resize(target.width, target.height);
    if (work.empty()) return false;
  }

  // 3. Redraw in the working format.
  if (std::optional<int> format = NewWorkingFormat(sourceBits, s.depth)) {
    work = Bitmap(work.width(), work.height(), *format);
  } else {
    work.fill(kWhite);
  }
  StretchNearest(picture, work, place);

  // 4. True colour down to 8 bits, or to 24.
  if (work.bits() > 8) ReduceTrueColour(work, CountColours(work, 1024), s);

  // 5. 16 colours or black and white.
  if (work.bits() == 8 || work.bits() == 4) {
    if (s.depth == Depth::Colours16)
      ReduceIndexed(work, 4, s);
    else if (s.depth == Depth::Colours2)
      ToTwoColours(work, work.width(), work.height());
  }

  // 6. Palette order.
  if (s.depth == Depth::Colours256 && s.optimizedPalette && work.bits() == 8) SortPalette(work, s);

  picture = std::move(work);
  return true;
}

}  // namespace glyphwell::imaging
