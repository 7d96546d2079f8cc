#include "pelmora/pelmora.h"

#include <cstdint>
#include <vector>

#include "pelmora/bitmap_file.h"
#include "pelmora/file_io.h"
#include "pelmora/icon_assembly.h"
#include "pelmora/message_channel.h"

#define PELMORA_EXPORT __attribute__((visibility("default")))

namespace {

constexpr const char* kCannotOpenInput = "入力ファイルを開けません！";
constexpr const char* kNotABitmap = "入力したファイルはビットマップではありません！";
constexpr const char* kCannotOpenOutput = "出力ファイルを開けません！";

}  // namespace

extern "C" PELMORA_EXPORT int _Pelmora(const char* bmpPath, const char* icoPath,
                                       const unsigned char* mask) {
  if (!bmpPath || !*bmpPath) return 0;
  std::vector<std::uint8_t> input;
  if (!pelmora::ReadWholeFile(bmpPath, input))
    return pelmora::ShowMessage(bmpPath, kCannotOpenInput);
  // A file whose headers promise more than it holds is refused like a non-bitmap:
  // copying past its end would put filler bytes into the icon.
  auto bmp = pelmora::ParseBitmapFile(input);
  if (!bmp) return pelmora::ShowMessage(bmpPath, kNotABitmap);
  auto icon = pelmora::BuildIconFile(*bmp, mask);
  if (!icon) return pelmora::ShowMessage(bmpPath, kNotABitmap);
  if (!icoPath || !*icoPath || !pelmora::WriteFileReplacing(icoPath, *icon))
    return pelmora::ShowMessage(icoPath, kCannotOpenOutput);
  return 0;
}

extern "C" PELMORA_EXPORT void PelmoraSetMessageCallback(PelmoraMessageCallback callback,
                                                         void* context) {
  pelmora::SetMessageReceiver(callback, context);
}
