#include "tests/support/search_tree.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/support/module_builder.h"

namespace glyphwell::testsupport {

Bytes MakeIconModule(int groups, int bitmaps) {
  ModuleBuilder b(ModuleBuilder::Kind::kPe32);
  for (int g = 0; g < groups; ++g)
    b.AddIconGroup(ResName::Id(static_cast<std::uint16_t>(100 + g)),
                   static_cast<std::uint16_t>(1 + g), {MakeIconDib(32, 32, 8, g + 1)});
  for (int i = 0; i < bitmaps; ++i)
    b.AddBitmap(ResName::Id(static_cast<std::uint16_t>(200 + i)), MakeBitmapDib(8, 8, 8));
  return b.Build();
}

SearchTree::SearchTree() {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "glyphwell-search-XXXXXX").string();
  if (char* made = mkdtemp(pattern.data())) root_ = made;
}

SearchTree::~SearchTree() {
  std::error_code ec;
  if (!root_.empty()) std::filesystem::remove_all(root_, ec);
}

std::string SearchTree::Path(const std::string& relative) const {
  return root_ + "/" + relative;
}

std::string SearchTree::Write(const std::string& relative, const Bytes& bytes) {
  const std::filesystem::path path = Path(relative);
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return path.string();
}

std::string SearchTree::Folder(const std::string& relative) {
  std::filesystem::create_directories(Path(relative));
  return Path(relative);
}

}  // namespace glyphwell::testsupport
