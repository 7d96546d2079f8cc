#pragma once
// A direct transcription of the merging quantizer: every candidate compared with
// every later one, pass after pass. Far too slow for production; the tests and the
// benchmark hold the fast MergeQuantize against it.

#include "imaging/bitmap.h"

namespace glyphwell::testsupport {

// Same contract as imaging::MergeQuantize.
void MergeQuantizeReference(imaging::Bitmap& image, bool optimizedPalette, bool reserveBlack);

}  // namespace glyphwell::testsupport
