#pragma once
// Bitmap resources (RT_BITMAP): a DIB without file header, uncompressed or RLE8/RLE4.

#include <cstdint>
#include <span>
#include <vector>

#include "extract/image_facts.h"
#include "imaging/picture.h"

namespace glyphwell::extract {

// A bitmap resource stored at [dataOffset, dataOffset + dataSize) of the file image.
// False (invalid) when the data lies outside the image or the header is not
// usable. An RLE bitmap that fails to expand becomes the "err" picture (and is
// invalid). With a picture, the decoded bitmap is put into it.
bool DecodeBitmapResource(std::span<const std::uint8_t> image, bool infoOnly,
                          imaging::Picture* picture, std::int64_t dataSize, std::int64_t dataOffset,
                          ImageFacts& facts);

// Expands RLE8 (compression 1) or RLE4 (compression 2) pixels into `dest`, which
// is resized to the bottom-up rows of an 8- or 4-bit image of width x height and
// cleared first. Returns the number of bytes written (row bytes x height), or 0
// when a run starts in a row that already holds `width` pixels or the arguments
// are unusable.
std::size_t ExpandRle(std::uint32_t compression, std::span<const std::uint8_t> source,
                      std::vector<std::uint8_t>& dest, int height, int width);

// The picture shown for a bitmap that cannot be expanded: white, with "err" in
// black at (width / 2, height / 2).
imaging::Bitmap ErrorBitmap(int width, int height);

}  // namespace glyphwell::extract
