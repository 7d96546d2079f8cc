#pragma once
// The depth steps shared by the whole conversion and by the depth change of an
// edited image: choosing the working format for a depth, bringing a true-colour
// working image down to 8 bits, and the last steps on 8- and 4-bit images.

#include <optional>

#include "imaging/bitmap.h"
#include "imaging/conversion_settings.h"

namespace glyphwell::imaging {

// The working format a source of `sourceBits` is redrawn in for a depth, or
// nothing when it keeps its own format.
std::optional<int> NewWorkingFormat(int sourceBits, Depth depth);

// True for "256色", "16色" and "2色".
bool IsIndexedDepth(Depth depth);

// A working image above 8 bits: for an indexed depth it is reduced to 8 bits (the
// JPEG route when it holds more than 1024 colours or its width plus height exceeds
// 499, followed by the cube palette when "最適化" is off and the depth is "256色";
// the merging quantizer otherwise); for "24bit" it becomes 24-bit. `colourCount` is
// CountColours(image, 1024) taken before. Images of 8 bits or fewer are left alone.
void ReduceTrueColour(Bitmap& image, int colourCount, const ConversionSettings& settings);

// An 8- or 4-bit working image: "16色" reduces an 8-bit one to 16 colours, "2色"
// turns it into 1 bit at width x height, and a "Png" at "256色" with a PNG colour
// count below 256 (unless "Original" is ticked) is reduced to that many colours.
void FinishIndexed(Bitmap& image, int width, int height, const ConversionSettings& settings);

}  // namespace glyphwell::imaging
