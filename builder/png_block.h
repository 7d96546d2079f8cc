#pragma once
// PNG data entering the builder become icon image blocks.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "imaging/bitmap.h"

namespace glyphwell::builder {

// Brings an image to a bit count (1, 4, 8, 16, 24 or 32); other counts leave it.
void ReduceToBitCount(imaging::Bitmap& image, int bitCount);

// Decodes PNG bytes into a block: the decoded pixels, and an AND mask that is
// transparent where the alpha is 0 (when any pixel has alpha above 0). With
// `reduceTo` > 0 an image of another depth is first brought to that bit count.
// nullopt when the data cannot be decoded.
std::optional<std::vector<std::uint8_t>> BlockFromPng(std::span<const std::uint8_t> png,
                                                      int reduceTo);

}  // namespace glyphwell::builder
