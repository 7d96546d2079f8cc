#pragma once
// Decoders for icon images: an RT_ICON resource or NE icon resource (DIB or PNG
// data), a PNG-compressed icon image, and one entry of an icon file. Each sets the
// ImageFacts of what it read and clears `facts.valid` when it rejects the image.
// With a picture, the decoded icon object is put into it.

#include <cstdint>
#include <functional>
#include <span>

#include "extract/extraction_mode.h"
#include "extract/icon_stream.h"
#include "extract/image_facts.h"
#include "imaging/icon_image.h"
#include "imaging/picture.h"

namespace glyphwell::extract {

// Brings a decoded PNG-compressed image to a bit count before it is packed as an
// icon image (the builder's option for PNG images). Empty: images keep their depth.
using PngDepthReducer = std::function<void(imaging::Bitmap& image, int bitCount)>;

// Icon images wider or taller than this are not shown.
inline constexpr int kMaxShownIconSide = 256;
// Sides above this are rejected outright.
inline constexpr int kMaxImageSide = 10000;

// An icon image stored at [dataOffset, dataOffset + dataSize) of the file image.
// False (invalid) when the data does not lie inside the image, is not a usable
// icon image, or is larger than 256 pixels a side (facts are still recorded then).
bool DecodeIconImage(std::span<const std::uint8_t> image, bool infoOnly, imaging::Picture* picture,
                     std::int64_t dataSize, std::int64_t dataOffset, ImageFacts& facts,
                     const PngDepthReducer& reduce = {});

// A PNG-compressed icon image. `entry` becomes the directory entry of the re-packed
// image; `headerReserved` is copied into the one-image stream. False (and no facts
// set) when the PNG data cannot be decoded. `facts.bitCount` on entry is the depth
// a reducer brings the image to.
bool DecodePngIconImage(imaging::Picture* picture, std::span<const std::uint8_t> png,
                        IconDirEntry& entry, std::uint16_t headerReserved, ImageFacts& facts,
                        const PngDepthReducer& reduce = {});

// Entry `index` of an icon file held in `image`. Returns the header's image count
// (0 in the Bmp mode or when there is no header). Every entry is listed: only an
// entry outside the directory or whose data starts outside the file is invalid.
int ReadIconFileEntry(std::span<const std::uint8_t> image, ExtractionMode mode, bool infoOnly,
                      int index, imaging::Picture* picture, ImageFacts& facts,
                      const PngDepthReducer& reduce = {});

// Width, height and bit count of an icon object's first image, as its saved icon
// file gives them (height = DIB height / 2); all 0 for no icon.
struct IconFactsResult {
  int width = 0;
  int height = 0;
  int bitCount = 0;
};
IconFactsResult IconFacts(const imaging::IconImage* icon);

}  // namespace glyphwell::extract
