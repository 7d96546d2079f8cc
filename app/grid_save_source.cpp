#include "app/grid_save_source.h"

#include <charconv>

namespace glyphwell::app {

GridSaveSource::GridSaveSource(const std::vector<extract::ImageEntry>& entries,
                               std::vector<bool> selected, PreviewModel& preview,
                               const PreviewSource& source, const PreviewOptions& options,
                               platform::MessageSink& messages)
    : entries_(entries),
      selected_(std::move(selected)),
      preview_(preview),
      source_(source),
      options_(options),
      messages_(messages) {}

bool GridSaveSource::isSelected(int position) const {
  return position >= 0 && static_cast<std::size_t>(position) < selected_.size() &&
         selected_[static_cast<std::size_t>(position)];
}

std::optional<int> GridSaveSource::imageIndexAt(int position) const {
  if (position < 0 || position >= gridCount()) return std::nullopt;
  const std::string& text = entries_[static_cast<std::size_t>(position)].index;
  int value = 0;
  auto [end, err] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (err != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

std::string GridSaveSource::extractedName(int position) const {
  if (position < 0 || position >= gridCount()) return {};
  const std::string& label = entries_[static_cast<std::size_t>(position)].label;
  return label.substr(0, label.find('\n'));
}

std::string GridSaveSource::sourceBaseName() const {
  std::string name = source_.picturePath;
  if (auto slash = name.find_last_of('/'); slash != std::string::npos) name.erase(0, slash + 1);
  if (auto dot = name.find_last_of('.'); dot != std::string::npos) name.erase(dot);
  return name;
}

bool GridSaveSource::Decode(int imageIndex, output::DecodedImage& out) {
  imaging::Picture picture;
  if (source_.kind == imaging::SourceKind::Picture) {
    if (!source_.picture || source_.picture->empty()) return false;
    picture = *source_.picture;
  } else if (!source_.extract || !source_.extract(imageIndex, picture)) {
    return false;
  }
  out = output::DecodedImage{};
  out.width = picture.width();
  out.height = picture.height();
  if (picture.icon) {
    out.bitCount = picture.icon->bits();
    out.iconData = picture.icon->stream();
  } else {
    out.bitCount = picture.bitmap.bits();
    out.bitmap = std::move(picture.bitmap);
  }
  return out.width > 0 && out.height > 0;
}

bool GridSaveSource::Render(int imageIndex, const output::DecodedImage&,
                            imaging::OutputType saveType, imaging::Bitmap& image,
                            imaging::Bitmap& mask) {
  // The whole conversion runs again as if the save type were the output type: its
  // background fill, its mask and its colour rules.
  PreviewOptions options = options_;
  options.settings.outputType = saveType;
  options.busy = false;
  if (!preview_.RebuildPreview(imageIndex, source_, options, messages_)) return false;
  image = preview_.outputImage();
  mask = preview_.outputMask();
  return !image.empty();
}

void GridSaveSource::SetOutput(const imaging::Bitmap& image, const imaging::Bitmap& mask) {
  if (&image != &preview_.outputImage()) preview_.outputImage() = image;
  if (&mask != &preview_.outputMask()) preview_.outputMask() = mask;
}

}  // namespace glyphwell::app
