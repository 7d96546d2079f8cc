#pragma once
// The main window's working Bitmaps and the preview rebuild: every selection or
// setting change runs the whole conversion on the selected image, so the preview
// shows exactly what will be saved. GUI-free: the window only puts `preview()` on
// screen.

#include <filesystem>
#include <functional>
#include <string>

#include "imaging/bitmap.h"
#include "imaging/conversion_settings.h"
#include "imaging/convert_to_output.h"
#include "imaging/output_geometry.h"
#include "imaging/picture.h"
#include "platform/messages.h"

namespace glyphwell::app {

// Where the selected image comes from.
struct PreviewSource {
  imaging::SourceKind kind = imaging::SourceKind::Picture;
  bool ownParser = false;
  // Lower-case extension of the current source with its dot (".png", ".dll").
  std::string extension;
  // Picture source: the file (empty for a pasted picture) and its decoded picture.
  std::string picturePath;
  const imaging::Picture* picture = nullptr;
  // Module or icon file: takes image `index` out of the source (an icon, or a
  // bitmap in Bmp mode). False when the image cannot be taken out.
  std::function<bool(int index, imaging::Picture& out)> extract;
};

// The controls the rebuild reads besides the conversion settings.
struct PreviewOptions {
  imaging::ConversionSettings settings;
  bool enlarge = false;     // "拡大": fill the frame
  bool editorOpen = false;  // the pixel editor is open
  bool busy = false;        // the main window's busy flag: no rebuild
};

class PreviewModel {
 public:
  // `workFolder` holds the temporary bitmap file "sv.bmp"; it must exist.
  // `workingBits` is the working pixel format, 32 (or 8 on a display of 10 bits per
  // pixel or fewer).
  explicit PreviewModel(std::filesystem::path workFolder, int workingBits = 32);

  // Rebuilds everything for the grid entry `index` (-1: none selected, the preview
  // turns white). Returns false when nothing was rebuilt (busy, no source, the image
  // could not be taken out or converted); the Bitmaps then keep what they held,
  // except that the preview is white for index -1.
  bool RebuildPreview(int index, const PreviewSource& source, const PreviewOptions& options,
                      platform::MessageSink& messages);

  std::filesystem::path temporaryBitmapPath() const { return workFolder_ / "sv.bmp"; }
  // The user chose another work folder (it must exist).
  void setWorkFolder(std::filesystem::path folder) { workFolder_ = std::move(folder); }
  int workingBits() const { return workingBits_; }
  const imaging::ConversionFlags& flags() const { return flags_; }

  imaging::Bitmap& outputImage() { return outputImage_; }
  imaging::Bitmap& outputMask() { return outputMask_; }
  imaging::Bitmap& inverseOutputMask() { return inverseOutputMask_; }
  const imaging::Bitmap& maskCopy() const { return maskCopy_; }
  const imaging::Bitmap& scaledSource() const { return scaledSource_; }
  const imaging::Bitmap& preview() const { return preview_; }
  const imaging::Bitmap& previewCopy() const { return previewCopy_; }
  imaging::Bitmap& alphaPlane() { return alphaPlane_; }
  imaging::Bitmap& whitePlane() { return whitePlane_; }
  imaging::Bitmap& blackPlane() { return blackPlane_; }

  // The size the preview Bitmap gets for an output of the given size: the output
  // size when "拡大" is ticked or the editor is open; otherwise 48 x 48, the user
  // size when its sides add up to 97 or more, or for "Original" the source's size
  // when it is larger (by width plus height).
  static imaging::Size PreviewSize(const PreviewOptions& options, imaging::Size output,
                                   imaging::Size sourceSize);

 private:
  bool PrepareIconSource(const imaging::Picture& image, const PreviewOptions& options);

  std::filesystem::path workFolder_;
  int workingBits_;
  imaging::ConversionFlags flags_;
  imaging::Bitmap outputImage_, outputMask_, inverseOutputMask_, maskCopy_, scaledSource_;
  imaging::Bitmap preview_, previewCopy_, alphaPlane_, whitePlane_, blackPlane_;
};

}  // namespace glyphwell::app
