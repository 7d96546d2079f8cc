#pragma once
// Which bytes of a file the image counts look at. Each function fetches into a
// LazyFileImage exactly the parts that the count of SourceReader (or ShellIconCount)
// will read: the module headers, the section table, the resource directory tables
// on the way to the wanted type, each position's data entry and the first 40 bytes
// of its image (all of a PNG-compressed icon image, whose decoding decides whether
// it counts). Afterwards the ordinary readers run over the image unchanged and give
// the same counts as over the whole file.

#include <string>

#include "extract/extraction_mode.h"
#include "extract/lazy_file_image.h"

namespace glyphwell::extract {

// For ShellIconCount (the Normal mode). `extension` is lower case with its dot.
void FetchForShellCount(LazyFileImage& image, const std::string& extension);

// For counting the valid images of a module or icon file in the Icon or Bmp mode
// (SourceReader::CountImages). `extension` decides the icon-file branch as
// SourceReader::ReadImage does (".ico").
void FetchForImageCount(LazyFileImage& image, const std::string& extension, ExtractionMode mode);

}  // namespace glyphwell::extract
