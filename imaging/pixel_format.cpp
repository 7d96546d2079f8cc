#include "imaging/pixel_format.h"

namespace glyphwell::imaging {

int BitsOfFormat(int formatCode) {
  static constexpr int kBits[] = {0, 1, 4, 8, 15, 16, 24, 32};
  if (formatCode < 0 || formatCode > 7) return 0;
  return kBits[formatCode];
}

void NewFilledBitmap(Bitmap& bitmap, int width, int height, std::optional<int> bits,
                     ColourValue colour) {
  if (bits && *bits != bitmap.bits()) {
    bitmap = Bitmap(width, height, *bits);
  } else if (bitmap.empty()) {
    // An empty Bitmap has no table to keep: start from the format's default one.
    bitmap = Bitmap(width, height, bitmap.bits());
  } else {
    bitmap.resize(width, height, colour);
  }
  bitmap.fill(colour);
}

}  // namespace glyphwell::imaging
