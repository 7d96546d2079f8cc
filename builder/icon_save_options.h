#pragma once
// The icon options the builder's writers and readers follow (kept with the program's
// settings and edited in the option dialog; all off by default).

namespace glyphwell::builder {

struct IconSaveOptions {
  bool pngfrg = false;     // store every image PNG-coded
  bool png256 = false;     // store images of 256 pixels a side or more PNG-coded
  bool pngsv = false;      // give an image without alpha its mask as alpha before PNG coding
  bool pngiclchg = false;  // reduce PNG-coded images read in to their recorded bit count
};

}  // namespace glyphwell::builder
