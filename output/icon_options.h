#pragma once
// The icon options of the options dialog that decide how icon files are written.
// Stored as the settings values "png256", "pngfrg" and "pngsv"; all start off.

namespace glyphwell::output {

struct IconOptions {
  // "256×256のアイコンだけをPNG形式で圧縮する": PNG-compress images wider or taller than 255.
  bool png256 = false;
  // "全てのサイズをPNG形式で圧縮する": PNG-compress every image.
  bool pngfrg = false;
  // "透過マスクを共に保存する": give PNG-compressed images an alpha channel from the mask.
  bool pngsv = false;
};

// Whether an image of this size is written PNG-compressed: always with "pngfrg",
// and with "png256" only when it is wider or taller than 255 pixels.
constexpr bool UsePng(const IconOptions& options, int width, int height) {
  return options.pngfrg || (options.png256 && (width > 255 || height > 255));
}

}  // namespace glyphwell::output
