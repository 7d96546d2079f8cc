#pragma once
// MergeQuantize: the own reduction of a true-colour image to 256 colours for small
// images with few colours. Near colours are merged with a growing threshold until
// at most 256 remain.

#include "imaging/bitmap.h"
#include "imaging/conversion_settings.h"

namespace glyphwell::imaging {

struct MergeQuantizeOptions {
  // "最適化": off maps every pixel onto the cube palette instead.
  bool optimizedPalette = true;
  // Put black first among the candidates as the transparency colour.
  bool reserveBlack = false;
};

MergeQuantizeOptions MergeOptionsFor(const ConversionSettings& settings);

// Turns a 15-, 16-, 24- or 32-bit image into an 8-bit image with a 256-entry colour
// table (entries the reduction does not fill are black); alpha is lost.
//
// Candidates are the reserved black (when asked for) followed by every pixel, rows
// from the bottom row up. Passes with thresholds 12, 24, ... 264 walk the
// candidates in order; each surviving candidate removes every later survivor whose
// red, green and blue all differ from it by less than the threshold, and a pass
// stops the moment 256 survivors remain. The survivors, in order, form the table;
// each pixel takes the nearest entry (sum of channel differences, first minimum).
//
// The result is that of the direct pairwise walk, computed over distinct colours:
// a surviving colour removes all of its own later copies in the first pass, so the
// walk only ever needs to compare colours, except in the pass that stops midway.
// Does nothing for an empty image or an indexed one.
void MergeQuantize(Bitmap& image, const MergeQuantizeOptions& options);

}  // namespace glyphwell::imaging
