#pragma once
// ConvertToOutput: turns a source picture file into the output image at the size and
// colour depth chosen in the main window.

#include <string>

#include "imaging/bitmap.h"
#include "imaging/conversion_settings.h"
#include "platform/messages.h"

namespace glyphwell::imaging {

// Everything the conversion reads besides the picture. The source kind and whether
// the module was read by the own parser are part of the settings.
struct ConversionContext {
  ConversionSettings settings;
  // The pixel editor is open: the blur is left to it.
  bool editorOpen = false;
  // The inverse output mask (white where opaque), ANDed over the image after a blur
  // when the output type is "Icon" and the caller asks for it. May be null.
  const Bitmap* inverseOutputMask = nullptr;
  // Lower-case extension of the current source, with its dot (".png"); empty for a
  // pasted picture.
  std::string sourceExtension;
  // Where "この画像は読めません。" goes; may be null.
  platform::MessageSink* messages = nullptr;
};

// The state flags every conversion recomputes.
struct ConversionFlags {
  // The source is 32-bit (or a PNG) with alpha other than 0 somewhere.
  bool sourceHasAlpha = false;
  // The editor's views keep alpha: the depth is not "32bit" and the source has alpha.
  bool keepAlpha = false;
};

inline constexpr const char* kCannotReadImage = "この画像は読めません。";

// Loads the picture file at `path` and leaves the output image in `out`. Returns
// false, `out` unchanged, when the file cannot be read (the platform loader's
// failure is reported through the context's messages, a PNG reader failure is
// not) or the picture cannot be turned into pixels. `flags` is set in both cases.
bool ConvertToOutput(Bitmap& out, const std::string& path, bool applyMask,
                     const ConversionContext& context, ConversionFlags& flags);

}  // namespace glyphwell::imaging
