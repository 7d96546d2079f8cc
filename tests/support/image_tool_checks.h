#pragma once
// Opening written files with independent readers (Python Pillow, ImageMagick's
// identify) so that tests see what other programs see. Each check says when its
// tool is missing, so the caller can skip cleanly.

#include <optional>
#include <string>

namespace glyphwell::testsupport {

// Runs a shell command; its exit status and standard output.
std::pair<int, std::string> RunShell(const std::string& command);

struct ToolView {
  int width = 0;
  int height = 0;
  int bits = 0;        // Pillow: the icon entry's bit count; identify: the depth it reports
  std::string detail;  // the tool's whole answer, for failure messages
};

// std::nullopt when Pillow is not installed; a view with width 0 when Pillow could
// not open and decode the file (detail then holds its error).
std::optional<ToolView> PillowIcon(const std::string& path);

// std::nullopt when identify is not installed; width 0 when it failed. `bits` is
// the depth identify reports (%z).
std::optional<ToolView> IdentifyImage(const std::string& path);

}  // namespace glyphwell::testsupport
