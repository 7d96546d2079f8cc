#pragma once
// The images of an icon file as the builder takes them in: every directory entry
// whose data lie inside the file, PNG data decoded into a block, other data taken
// unchanged as the block.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace glyphwell::builder {

struct IconFileImage {
  int index = 0;  // directory index
  std::vector<std::uint8_t> block;
  bool isPng = false;
};

struct IconFileImages {
  bool isIconFile = false;  // reserved word 0 and type 1
  int count = 0;            // the header's count
  std::vector<IconFileImage> images;
  int failed = 0;  // entries that could not be read or decoded
  bool cancelled = false;
};

// Directory entry n: nullopt when it is skipped (outside the directory, or its size
// or offset beyond the file); otherwise the image, or an image with an empty block
// when it failed. With `pngiclchg` PNG data are brought to the entry's bit count.
std::optional<IconFileImage> ReadIconFileImage(std::span<const std::uint8_t> file, int n,
                                               bool pngiclchg);

// All entries in directory order; `cancelled` stops between entries.
IconFileImages ReadIconFileImages(std::span<const std::uint8_t> file, bool pngiclchg,
                                  const std::function<bool()>& cancelled = {},
                                  const std::function<void()>& step = {});

}  // namespace glyphwell::builder
