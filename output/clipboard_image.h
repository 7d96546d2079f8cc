#pragma once
// The bitmap that "コピー" and "コピー（実サイズ）" put on the clipboard. No colour
// reduction, mask or blur: the picture or icon as it looks, at the output size.

#include "imaging/bitmap.h"
#include "imaging/conversion_settings.h"
#include "imaging/output_geometry.h"
#include "imaging/picture.h"

namespace glyphwell::output {

// `picture` is the picture source, the decoded bitmap (Bmp mode) or the icon of the
// selected grid position. Pictures and Bmp-mode bitmaps are fitted into the output
// size (aspect kept, nearest sampling) or, with `realSize` for a picture source,
// copied at their own size; icons are drawn over white, scaled to the whole output
// size. A 24-bit Bitmap; empty when there is nothing to draw.
imaging::Bitmap ClipboardBitmap(const imaging::Picture& picture, imaging::SourceKind kind,
                                bool realSize, imaging::Size outputSize);

}  // namespace glyphwell::output
