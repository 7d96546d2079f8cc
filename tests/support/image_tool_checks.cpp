#include "tests/support/image_tool_checks.h"

#include <sys/wait.h>

#include <cstdio>
#include <sstream>

namespace glyphwell::testsupport {

namespace {

// The system's Python, where the distribution's Pillow lives.
const char* kPython = "/usr/bin/python3";

std::string Quote(const std::string& s) {
  std::string out = "'";
  for (char c : s) {
    if (c == '\'')
      out += "'\\''";
    else
      out += c;
  }
  return out + "'";
}

}  // namespace

std::pair<int, std::string> RunShell(const std::string& command) {
  std::string output;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return {-1, ""};
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe))
    output += buffer;
  const int status = ::pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

std::optional<ToolView> PillowIcon(const std::string& path) {
  if (RunShell(std::string(kPython) + " -c 'import PIL' >/dev/null 2>&1").first != 0)
    return std::nullopt;
  // Prints "width height bpp" of the first icon entry after decoding its pixels.
  const std::string script =
      "import sys\n"
      "from PIL import Image\n"
      "im = Image.open(sys.argv[1])\n"
      "im.load()\n"
      "e = im.ico.entry[0]\n"
      "bpp = e['bpp'] if isinstance(e, dict) else e.bpp\n"
      "print(im.size[0], im.size[1], bpp)\n";
  auto [status, output] =
      RunShell(std::string(kPython) + " -c " + Quote(script) + " " + Quote(path) + " 2>&1");
  ToolView view;
  view.detail = output;
  if (status == 0) std::istringstream(output) >> view.width >> view.height >> view.bits;
  return view;
}

std::optional<ToolView> IdentifyImage(const std::string& path) {
  if (RunShell("command -v identify >/dev/null 2>&1").first != 0) return std::nullopt;
  auto [status, output] = RunShell("identify -format '%w %h %z\\n' " + Quote(path) + " 2>&1");
  ToolView view;
  view.detail = output;
  if (status == 0) std::istringstream(output) >> view.width >> view.height >> view.bits;
  return view;
}

}  // namespace glyphwell::testsupport
