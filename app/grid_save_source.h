#pragma once
// The save workflow's view of the main window: the image grid with its selection,
// the current source (taken out image by image through the preview's extraction),
// and the preview model, whose conversion redraws images for a save.

#include <string>
#include <vector>

#include "imaging/output_geometry.h"  // before the preview model, which uses imaging::Size

#include "app/preview_model.h"
#include "extract/image_entry.h"
#include "output/save_source.h"
#include "platform/messages.h"

namespace glyphwell::app {

class GridSaveSource final : public output::SaveSource {
 public:
  // `entries` and `selected` are the grid (same length; a shorter selection counts
  // as unselected); `source` and `options` what the preview was last built from.
  // All references must outlive this object.
  GridSaveSource(const std::vector<extract::ImageEntry>& entries, std::vector<bool> selected,
                 PreviewModel& preview, const PreviewSource& source, const PreviewOptions& options,
                 platform::MessageSink& messages);

  int gridCount() const override { return static_cast<int>(entries_.size()); }
  bool isSelected(int position) const override;
  std::optional<int> imageIndexAt(int position) const override;
  std::string extractedName(int position) const override;
  std::string sourceBaseName() const override;
  bool Decode(int imageIndex, output::DecodedImage& out) override;
  bool Render(int imageIndex, const output::DecodedImage& decoded, imaging::OutputType saveType,
              imaging::Bitmap& image, imaging::Bitmap& mask) override;
  const imaging::Bitmap& outputImage() const override { return preview_.outputImage(); }
  const imaging::Bitmap& outputMask() const override { return preview_.outputMask(); }
  void SetOutput(const imaging::Bitmap& image, const imaging::Bitmap& mask) override;

 private:
  const std::vector<extract::ImageEntry>& entries_;
  std::vector<bool> selected_;
  PreviewModel& preview_;
  const PreviewSource& source_;
  const PreviewOptions& options_;
  platform::MessageSink& messages_;
};

}  // namespace glyphwell::app
