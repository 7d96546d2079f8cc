// Counting from headers: over a file image read only in part, the counts must equal
// those of the whole file in every mode, whatever the bytes. The first input byte
// picks the file's extension (which decides between module and icon file).
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "extract/header_counter.h"
#include "extract/source_reader.h"

namespace {

const std::string& WorkFolder() {
  static const std::string folder = [] {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "glyphwell-header-count-XXXXXX").string();
    const char* made = mkdtemp(pattern.data());
    return std::string(made ? made : ".");
  }();
  return folder;
}

bool WriteInput(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace glyphwell::extract;
  if (size < 1) return 0;
  static const char* const kExtensions[] = {".dll", ".ico", ".icl", ".cur", ".exe"};
  const std::string path = WorkFolder() + "/input" + kExtensions[data[0] % 5];
  if (!WriteInput(path, data + 1, size - 1)) return 0;
  // Pages of one byte: any byte the counting reads without fetching it reads as zero
  // and shows as a different count.
  static HeaderCounter counter(nullptr, 1);
  int counts[3] = {};
  int index = 0;
  for (ExtractionMode mode :
       {ExtractionMode::kNormal, ExtractionMode::kIcon, ExtractionMode::kBmp}) {
    SourceReader whole;
    whole.setMode(mode);
    const int expected = whole.CountImages(path);
    counts[index++] = expected;
    if (counter.CountImages(path, mode, false) != expected) std::abort();
  }
  const HeaderCounter::Counts all = counter.CountAll(path, false);
  const bool iconFile = SourceReader::LowerExtension(path) == ".ico";
  if (all.shell != counts[0] || all.icons != counts[1] || all.bitmaps != (iconFile ? 0 : counts[2]))
    std::abort();
  std::remove(path.c_str());
  return 0;
}
