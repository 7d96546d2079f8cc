#pragma once
// TIconEntry: one image held by the multi-image builder.
//
// `Image` always holds an icon image block: a 40-byte BITMAPINFOHEADER whose height
// is twice the image height, the colour table (depths of 8 bits and below), the XOR
// rows bottom-up and the AND mask rows bottom-up, every row padded to 4 bytes. PNG
// data is never kept here; PNG-coded images are decoded when they enter the builder.
// The entry owns both buffers and both strings; the builder owns its entries.

#include <cstdint>
#include <string>
#include <vector>

namespace glyphwell::builder {

// Bits of TIconEntry::State and TIconEntry::Shown.
inline constexpr std::uint8_t kEditedBit = 1;  // the image was edited
inline constexpr std::uint8_t kMovedBit = 2;   // the entry is not at its HomePos

inline constexpr std::int32_t kNoGroup = -1;

struct TIconEntry {
  // Index of the image in its source (directory index of an icon file, image index
  // of a module, 0 for a PNG file). After a save into an icon file: its position in
  // that file. (32 bits wide so that icon files of up to 65535 images and lists of
  // any length keep their indices.)
  std::int32_t SrcIndex = 0;
  // The grid position the entry counts as belonging to.
  std::int32_t HomePos = 0;
  // The icon image block (see above).
  std::vector<std::uint8_t> Image;
  // The PNG encoding of Image; exists only while an icon library is written.
  std::vector<std::uint8_t> PngImage;
  // The file the image was read from; after a save into an icon file, that file.
  std::string SourcePath;
  // The extracted name (may be empty).
  std::string Name;
  // Unsaved changes: kEditedBit, kMovedBit.
  std::uint8_t State = 0;
  // Change markers drawn in the grid: kEditedBit, kMovedBit.
  std::uint8_t Shown = 0;
  // Number of the icon group; kNoGroup when not grouped.
  std::int32_t GroupId = kNoGroup;
  // The image was stored PNG-coded in its source.
  bool IsPng = false;
  // Length of the run of adjacent entries sharing GroupId; 1 when ungrouped.
  std::int32_t GroupCount = 1;
};

}  // namespace glyphwell::builder
