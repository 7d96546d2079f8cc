#pragma once
// What the save workflow needs of the main window: the image grid, the current
// source's images and the conversion pipeline. The main-window model implements it
// over the loaded file; tests implement it with a few fixed images.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "imaging/bitmap.h"
#include "imaging/conversion_settings.h"

namespace glyphwell::output {

// One image taken out of the current source.
struct DecodedImage {
  int width = 0;  // as stored (icon images: the real, not the doubled, height)
  int height = 0;
  int bitCount = 0;
  // Icon mode: the image's single-image icon file (directory, entry, image data),
  // exactly as read. Empty for other modes.
  std::vector<std::uint8_t> iconData;
  // Bmp mode: the decoded bitmap. Empty for other modes.
  imaging::Bitmap bitmap;
};

class SaveSource {
 public:
  virtual ~SaveSource() = default;

  // The image grid, positions counted from 0.
  virtual int gridCount() const = 0;
  virtual bool isSelected(int position) const = 0;
  // The image index the caption at the position holds; std::nullopt when none.
  virtual std::optional<int> imageIndexAt(int position) const = 0;
  // The first line of the label under the image (its extracted name).
  virtual std::string extractedName(int position) const = 0;
  // The current source's file name without folder and extension (picture sources).
  virtual std::string sourceBaseName() const = 0;

  // Takes the image out of the current source. False when it cannot be decoded.
  virtual bool Decode(int imageIndex, DecodedImage& out) = 0;

  // Draws the image afresh for a save of `saveType` (its background fill, the icon
  // drawn at the drawing size, its mask, then the whole conversion with the mask
  // applied when saving as "Icon"). `image` receives the converted output image and
  // `mask` its mask image. False when it cannot be drawn or converted.
  virtual bool Render(int imageIndex, const DecodedImage& decoded, imaging::OutputType saveType,
                      imaging::Bitmap& image, imaging::Bitmap& mask) = 0;

  // The preview's output image and output mask, with the pixel editor's changes.
  virtual const imaging::Bitmap& outputImage() const = 0;
  virtual const imaging::Bitmap& outputMask() const = 0;
  // A re-rendered image becomes the output image (and mask) of the main window.
  virtual void SetOutput(const imaging::Bitmap& image, const imaging::Bitmap& mask) = 0;
};

// The busy dialog that runs the save loop: progress, cancel, the image being saved.
class SaveProgress {
 public:
  virtual ~SaveProgress() = default;
  virtual void Begin(int /*total*/) {}
  // Called once per image before it is saved (pending window messages run here).
  virtual void Step() {}
  virtual bool cancelled() const { return false; }
  virtual void ShowImage(const imaging::Bitmap& /*image*/) {}
  virtual void End() {}
};

}  // namespace glyphwell::output
