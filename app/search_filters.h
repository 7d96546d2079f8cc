#pragma once
// The filters of the search panel, as the window's controls hold them.

#include "extract/extraction_mode.h"

namespace glyphwell::app {

struct SearchFilters {
  int threshold = 1;             // Edit1 / UpDown1 "アイコン数", 1..100
  bool leaveOutPictures = true;  // CheckBox3 "画像ファイルは除く"
  bool system = false;           // SystemChkBox "System"
  bool hidden = false;           // HideChkBox "Hide"
  bool allFiles = false;         // CheckBox01 "全てのファイルが対象"
  bool listSearch = false;       // CheckBox2 "リストサーチ"
  bool deleteMissing = false;    // CheckBox4 "del" (only with list search)
  extract::ExtractionMode mode = extract::ExtractionMode::kNormal;
};

}  // namespace glyphwell::app
