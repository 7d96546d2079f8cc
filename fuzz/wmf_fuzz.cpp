// Feeds arbitrary bytes to the metafile player. Besides never crashing or hanging,
// a played picture must be a well-formed 32-bit Bitmap of the size the header gives.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "imaging/wmf_player.h"

using glyphwell::imaging::WmfPlayer;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  const auto declared = WmfPlayer::PictureSize(bytes);
  // Large pictures only slow fuzzing down; the player accepts them up to its limits.
  if (declared && static_cast<std::int64_t>(declared->width) * declared->height > 256 * 256)
    return 0;
  const auto picture = WmfPlayer::Play(bytes);
  if (picture.has_value() != declared.has_value()) std::abort();
  if (!picture) return 0;
  if (picture->bits() != 32 || picture->width() != declared->width ||
      picture->height() != declared->height)
    std::abort();
  return 0;
}
