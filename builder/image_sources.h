#pragma once
// Where the builder's images come from besides icon and PNG files: modules read
// through the resource walk, and the images selected in the main window. The window
// code and the command line pass implementations in; tests pass fakes.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace glyphwell::builder {

// One decoded image, ready to become an entry.
struct DecodedImage {
  std::vector<std::uint8_t> block;  // the icon image block
  bool isPng = false;               // stored PNG-coded in its source
  int srcIndex = 0;                 // the image's index in its source
  // The reader's group map text for the image ("group@count#name"); empty when the
  // reader lists nothing for it.
  std::string groupText;
};

class ModuleImageReader {
 public:
  virtual ~ModuleImageReader() = default;
  // Reads the whole module. False when it cannot be read.
  virtual bool Load(const std::string& path) = 0;
  // Number of icon images the resource walk reports.
  virtual int ImageCount() = 0;
  // Image i of the loaded module; nullopt when it cannot be decoded. With
  // `reducePng` PNG-coded images are brought back to their recorded bit count.
  virtual std::optional<DecodedImage> Decode(int i, bool reducePng) = 0;
  // The image whose index in the module is `srcIndex` (what DecodedImage::srcIndex
  // reported); used when an entry is read again.
  virtual std::optional<DecodedImage> DecodeSourceIndex(int srcIndex, bool reducePng) {
    return Decode(srcIndex, reducePng);
  }
  virtual void Release() = 0;
};

class MainWindowImages {
 public:
  virtual ~MainWindowImages() = default;
  // The main window has selected images, its current file is neither empty nor a
  // picture, and its "Icon" filter is on.
  virtual bool CanAddSelection() const = 0;
  virtual std::string CurrentFile() const = 0;
  // Captions of the selected items of its image grid, in grid order.
  virtual std::vector<std::string> SelectedCaptions() const = 0;
  // Image n of the current file; nullopt when it cannot be decoded.
  virtual std::optional<DecodedImage> DecodeImage(int n) = 0;
};

}  // namespace glyphwell::builder
