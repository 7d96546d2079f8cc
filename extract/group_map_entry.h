#pragma once
// One position of the icon group map: which numbered multi-image group an icon
// image belongs to, how many images that group has and the image's extracted name.
// Stored and exchanged as one text: group + "@" + count + "#" + name
// (for example "10003@3#MAINICON-1"); the builder reads that form.

#include <string>

namespace glyphwell::extract {

struct GroupMapEntry {
  int group = -1;  // running group number from 10000; -1 outside numbered groups
  int imageCount = 1;
  std::string name;  // group name or decimal ID, "-" + index inside numbered groups

  std::string ToText() const;
  // Splits at the first "@" and the first "#" after it. A group number that does
  // not parse reads -1, an image count that does not parse reads 1.
  static GroupMapEntry Parse(const std::string& text);
};

}  // namespace glyphwell::extract
