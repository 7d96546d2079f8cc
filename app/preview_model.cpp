#include "app/preview_model.h"

#include <algorithm>

#include "app/icon_preparation.h"
#include "imaging/bmp_codec.h"
#include "imaging/output_geometry.h"
#include "imaging/stretch.h"

namespace glyphwell::app {

namespace {

using imaging::Bitmap;
using imaging::kBlack;
using imaging::kWhite;
using imaging::Rect;
using imaging::Size;
using imaging::SourceKind;

Bitmap Filled(int width, int height, int bits, imaging::ColourValue colour) {
  Bitmap b(width, height, bits);
  b.fill(colour);
  return b;
}

// ORs the mask's colour over the image, so that its transparent pixels show white.
void OrMask(Bitmap& image, const Bitmap& mask) {
  int w = std::min(image.width(), mask.width()), h = std::min(image.height(), mask.height());
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      image.setPixelColour(x, y, image.pixelColour(x, y) | mask.pixelColour(x, y));
}

}  // namespace

PreviewModel::PreviewModel(std::filesystem::path workFolder, int workingBits)
    : workFolder_(std::move(workFolder)), workingBits_(workingBits == 8 ? 8 : 32) {}

Size PreviewModel::PreviewSize(const PreviewOptions& options, Size output, Size sourceSize) {
  if (options.enlarge || options.editorOpen) return output;
  const imaging::ConversionSettings& s = options.settings;
  Size size{48, 48};
  if (s.sizeChoice == imaging::SizeChoice::User && s.userWidth + s.userHeight >= 97)
    size = {s.userWidth, s.userHeight};
  if (s.sizeChoice == imaging::SizeChoice::Original &&
      sourceSize.width + sourceSize.height > size.width + size.height) {
    size = sourceSize;
  }
  return size;
}

bool PreviewModel::RebuildPreview(int index, const PreviewSource& source,
                                  const PreviewOptions& options, platform::MessageSink& messages) {
  if (options.busy) return false;
  // 1. Nothing selected.
  if (index < 0) {
    if (preview_.empty()) preview_ = Bitmap(48, 48, workingBits_);
    preview_.fill(kWhite);
    return false;
  }
  imaging::ConversionSettings settings = options.settings;
  settings.sourceKind = source.kind;
  settings.ownParser = source.ownParser;
  const bool pictureSource = source.kind == SourceKind::Picture;
  const bool pictureOrBmp = imaging::IsPictureOrBmpMode(settings);
  const std::string temporary = temporaryBitmapPath().string();

  // 2-3. The conversion source.
  std::string conversionSource;
  Size sourceSize;
  if (pictureSource) {
    if (!source.picture || source.picture->empty()) return false;
    sourceSize = {source.picture->width(), source.picture->height()};
    if (source.picturePath.empty()) {
      // A pasted picture has no file: it goes through the temporary bitmap file.
      if (!imaging::WriteBmp(source.picture->bitmap, temporary)) return false;
      conversionSource = temporary;
    } else {
      conversionSource = source.picturePath;
    }
  } else {
    imaging::Picture image;
    if (!source.extract || !source.extract(index, image) || image.empty()) return false;
    sourceSize = {image.width(), image.height()};
    if (source.kind == SourceKind::BmpMode) {
      if (image.bitmap.empty() || !imaging::WriteBmp(image.bitmap, temporary)) return false;
    } else if (!PrepareIconSource(image, PreviewOptions{settings, options.enlarge,
                                                        options.editorOpen, options.busy})) {
      return false;
    }
    conversionSource = temporary;
  }

  // 4. The conversion.
  imaging::ConversionContext context;
  context.settings = settings;
  context.editorOpen = options.editorOpen;
  context.inverseOutputMask = &inverseOutputMask_;
  context.sourceExtension = source.extension;
  context.messages = &messages;
  if (!imaging::ConvertToOutput(outputImage_, conversionSource, true, context, flags_))
    return false;
  imaging::WriteBmp(outputImage_, temporary);
  const int b = outputImage_.width(), c = outputImage_.height();

  // 5. Pictures and bitmaps have no mask: fully opaque.
  if (pictureOrBmp) {
    outputMask_ = Filled(b, c, 32, kBlack);
    inverseOutputMask_ = Filled(b, c, 32, kWhite);
    if (pictureSource && flags_.sourceHasAlpha && source.extension == ".png") {
      const Bitmap& pic = source.picture->bitmap;
      scaledSource_ = Bitmap(b, c, pic.bits());
      if (pic.indexed()) scaledSource_.setColourTable(pic.colourTable());
      imaging::StretchNearest(pic, scaledSource_, Rect{0, 0, b, c});
    }
  }

  // 6. The editor's planes.
  whitePlane_ = Filled(b, c, 32, kWhite);
  blackPlane_ = Filled(b, c, 32, kBlack);
  alphaPlane_ = Filled(b, c, 32, kBlack);

  // 7-8. The preview Bitmap.
  Size output = imaging::OutputDimensions(settings, sourceSize.width, sourceSize.height);
  Size shown = PreviewSize(options, output, sourceSize);
  preview_ = Filled(shown.width, shown.height, pictureSource ? workingBits_ : 32, kWhite);
  imaging::StretchNearest(outputImage_, preview_, Rect{0, 0, b, c});
  if (!pictureSource && settings.outputType == imaging::OutputType::Icon)
    OrMask(preview_, outputMask_);

  // 9.
  previewCopy_ = preview_;
  return true;
}

bool PreviewModel::PrepareIconSource(const imaging::Picture& image, const PreviewOptions& options) {
  if (!image.icon) return false;
  const imaging::IconImage& icon = *image.icon;
  const imaging::ConversionSettings& s = options.settings;
  preview_ = Filled(icon.width(), icon.height(), workingBits_, BackgroundFill(s));
  DrawIconImage(preview_, icon, s.correction, s);
  BuildOutputMask(icon, s, outputMask_, inverseOutputMask_);
  maskCopy_ = outputMask_;
  scaledSource_ = Bitmap(outputMask_.width(), outputMask_.height(), preview_.bits());
  if (scaledSource_.indexed()) scaledSource_.setColourTable(preview_.colourTable());
  imaging::StretchNearest(preview_, scaledSource_,
                          Rect{0, 0, outputMask_.width(), outputMask_.height()});
  if (!imaging::WriteBmp(preview_, temporaryBitmapPath().string())) return false;
  preview_.setPixelFormat(32);
  return true;
}

}  // namespace glyphwell::app
