#pragma once
// A folder tree for search tests: a fresh temporary folder per object (removed
// with it), and modules with a chosen number of icon groups written into it.

#include <string>

#include "tests/support/image_fixtures.h"

namespace glyphwell::testsupport {

// A PE module with `groups` icon groups of one 32x32 image each, plus `bitmaps`
// bitmap resources.
Bytes MakeIconModule(int groups, int bitmaps = 0);

class SearchTree {
 public:
  SearchTree();
  ~SearchTree();
  SearchTree(const SearchTree&) = delete;
  SearchTree& operator=(const SearchTree&) = delete;

  const std::string& root() const { return root_; }
  // root + "/" + relative
  std::string Path(const std::string& relative) const;
  // Writes bytes at root/relative, making its folders; returns the full path.
  std::string Write(const std::string& relative, const Bytes& bytes);
  std::string Module(const std::string& relative, int groups, int bitmaps = 0) {
    return Write(relative, MakeIconModule(groups, bitmaps));
  }
  std::string Folder(const std::string& relative);

 private:
  std::string root_;
};

}  // namespace glyphwell::testsupport
