// Icon and cursor files: every directory entry read for facts and as a picture, and
// the icon object built straight from the bytes.
#include <cstdint>
#include <span>

#include "extract/icon_decoder.h"
#include "extract/shell_icons.h"
#include "imaging/icon_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace glyphwell;
  std::span<const std::uint8_t> bytes(data, size);
  extract::ImageFacts facts;
  int count =
      extract::ReadIconFileEntry(bytes, extract::ExtractionMode::kIcon, false, 0, nullptr, facts);
  for (int i = 0; i < count && i < 16; ++i) {
    imaging::Picture picture;
    extract::ReadIconFileEntry(bytes, extract::ExtractionMode::kIcon, false, i, &picture, facts);
    if (picture.icon) {
      imaging::Bitmap dest(40, 40, 24);
      picture.icon->Draw(dest, -3, 5);
      extract::IconFacts(&*picture.icon);
    }
  }
  extract::ShellExtractIcon(bytes, ".cur", 0, extract::kLargeIconSize);
  if (auto icon = imaging::IconImage::FromStream(bytes)) {
    imaging::Bitmap dest(20, 20, 32);
    icon->DrawStretched(dest, 2, 2, 17, 9);
  }
  return 0;
}
