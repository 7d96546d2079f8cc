#include "imaging/convert_to_output.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "imaging/blur.h"
#include "imaging/colour_count.h"
#include "imaging/depth_reduction.h"
#include "imaging/gray.h"
#include "imaging/mask_ops.h"
#include "imaging/output_geometry.h"
#include "imaging/picture.h"
#include "imaging/picture_draw.h"
#include "imaging/png_codec.h"
#include "imaging/sort_palette.h"
#include "imaging/transparency_colour.h"

namespace glyphwell::imaging {

namespace {

std::string LowerExtension(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

// Step 1: the picture, through the PNG reader when both the current source and
// the path are PNG files, else through the picture loader.
bool LoadSource(const std::string& path, const ConversionContext& context, Picture& picture) {
  if (context.sourceExtension == ".png" && LowerExtension(path) == ".png") {
    Bitmap png;
    if (!ReadPngFile(path, png)) return false;
    picture.kind = PictureKind::kBitmap;
    picture.bitmap = std::move(png);
    return true;
  }
  if (LoadPicture(path, picture) && !picture.empty()) return true;
  if (context.messages) context.messages->Show(kCannotReadImage);
  return false;
}

// Step 2: the picture as a Bitmap in its own format, or drawn onto a 32-bit one.
bool WorkingCopy(const Picture& picture, Bitmap& work) {
  if (CopyGraphic(work, picture)) return true;
  Bitmap drawn(picture.width(), picture.height(), 32);
  if (drawn.empty()) return false;
  if (!DrawPicture(picture, drawn, Rect{0, 0, picture.width(), picture.height()},
                   Resampling::Nearest)) {
    return false;
  }
  work = std::move(drawn);
  return true;
}

// ANDs the colour of every pixel with the mask (white where opaque), so that the
// transparent pixels turn black; alpha is left as it is.
void AndWithMask(Bitmap& image, const Bitmap& mask) {
  int w = std::min(image.width(), mask.width()), h = std::min(image.height(), mask.height());
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      ColourValue c = image.pixelColour(x, y) & mask.pixelColour(x, y);
      image.setPixelColour(x, y, c);
    }
}

void MakeOpaque(Bitmap& image) {
  if (image.bits() != 32) return;
  for (int y = 0; y < image.height(); ++y) {
    std::uint8_t* p = image.row(y);
    for (int x = 0; x < image.width(); ++x)
      p[4 * x + 3] = 255;
  }
}

// "Gray" applies unless the source is kept exactly as read.
bool GrayGate(const ConversionSettings& s) {
  return s.sourceKind == SourceKind::Picture || s.sizeChoice != SizeChoice::Original ||
         !s.keepSourceDepth ||
         (s.sourceKind == SourceKind::BmpMode && s.outputType != OutputType::Bmp) ||
         (s.sourceKind == SourceKind::IconMode && s.outputType != OutputType::Icon);
}

}  // namespace

bool ConvertToOutput(Bitmap& out, const std::string& path, bool applyMask,
                     const ConversionContext& context, ConversionFlags& flags) {
  const ConversionSettings& s = context.settings;
  flags = ConversionFlags{};

  // 1-2. Load and copy.
  Picture picture;
  if (!LoadSource(path, context, picture)) return false;
  Bitmap work;
  if (!WorkingCopy(picture, work)) return false;

  // 3. Alpha of the source.
  const int sourceBits = work.bits();
  if (sourceBits == 32 || LowerExtension(path) == ".png") flags.sourceHasAlpha = HasAlpha(work, 0);

  // 4. Size and placement.
  const int sw = picture.width(), sh = picture.height();
  const bool originalSize = s.sizeChoice == SizeChoice::Original;
  const Size target = OutputDimensions(s, sw, sh);
  const int tw = target.width, th = target.height;
  Rect place{0, 0, sw, sh};
  if (!originalSize) {
    place = FitRect(tw, th, sw, sh);
    work.resize(tw, th);
    if (work.empty()) return false;
  }

  // 5-6. Redraw the picture into the working Bitmap.
  const Depth depth = s.depth;
  const bool keep = KeepsSourceColours(s);
  const bool pictureSource = s.sourceKind == SourceKind::Picture;
  const bool pictureOrBmp = IsPictureOrBmpMode(s);
  std::optional<int> newFormat;
  if (!keep) newFormat = NewWorkingFormat(sourceBits, depth);
  if (newFormat) {
    work = Bitmap(tw, th, *newFormat);
    if (work.empty()) return false;
    bool nearest = !pictureSource || flags.sourceHasAlpha || sourceBits < 15;
    DrawPicture(picture, work, place, nearest ? Resampling::Nearest : Resampling::Halftone);
  } else {
    work.resize(tw, th);
    work.fill(kWhite);
    if (pictureOrBmp && !flags.sourceHasAlpha) {
      if (sourceBits <= 8 && !picture.isBitmap()) {
        // A gray JPEG decodes to 8 bits; averaging needs a true-colour Bitmap.
        work = Bitmap(tw, th, 24);
        DrawPicture(picture, work, place, Resampling::Halftone);
      } else if (sourceBits <= 8) {
        work.setColourTable(picture.bitmap.colourTable());
        work.fill(kWhite);
        DrawPicture(picture, work, place, Resampling::Nearest);
      } else {
        DrawPicture(picture, work, place, Resampling::Halftone);
      }
    } else {
      DrawPicture(picture, work, place, Resampling::Nearest);
    }
  }

  // 7. Blur, and the mask over the blurred image.
  if (!context.editorOpen && (s.blur1 || s.blur2)) {
    Blur(work, 1, s.blur1);
    if (s.outputType == OutputType::Icon && applyMask && context.inverseOutputMask)
      AndWithMask(work, *context.inverseOutputMask);
  }

  // 8-9. Alpha.
  flags.keepAlpha = depth != Depth::Bits32 && flags.sourceHasAlpha;
  if (depth == Depth::Bits32 && !keep && (sourceBits < 32 || !flags.sourceHasAlpha))
    MakeOpaque(work);

  // 10-11. Colour reduction.
  const int colourCount = CountColours(work, 1024);
  if (s.outputType != OutputType::Jepg && !keep) {
    ReduceTrueColour(work, colourCount, s);
    FinishIndexed(work, tw, th, s);
  }

  // 12. Gray.
  if (s.gray && GrayGate(s)) {
    if (work.bits() < 24) GrayTable(work);
    if (work.bits() > 16) GrayPixels(work);
  }

  // 13. Transparency colour.
  if (pictureOrBmp && s.outputType == OutputType::Icon && s.transparencyColour &&
      IsIndexedDepth(depth)) {
    AddTransparencyColour(work);
  }

  // 14. Palette order.
  if (depth == Depth::Colours256 && s.optimizedPalette && work.bits() == 8) SortPalette(work, s);

  // 15.
  out = std::move(work);
  return true;
}

}  // namespace glyphwell::imaging
