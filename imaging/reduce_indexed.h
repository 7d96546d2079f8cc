#pragma once
// ReduceIndexed: an 8- or 4-bit image brought down to 16 colours, or to the PNG
// colour count, by ranking its colour-table entries by use and merging them with
// a growing distance threshold and a growing count limit.

#include "imaging/bitmap.h"
#include "imaging/conversion_settings.h"

namespace glyphwell::imaging {

// The colour count ReduceIndexed aims at and the format it produces.
struct IndexedTarget {
  int colours = 16;  // N
  int bits = 4;      // 4 (16-entry table) or 8 (256-entry table)
};

// depth 4: 16 colours, 4-bit. depth 8: 16 colours in an 8-bit image, or for "Png"
// at "256色" the PNG colour count, 4-bit when that is 16 or less.
IndexedTarget IndexedTargetFor(int depth, const ConversionSettings& settings);

// The count-limit step of one merging pass: width / 5, times the editor's
// "減色補正" position when the editor exists (8 when the editor is hidden and the
// source is not a picture), and never below 1: with a step of 0 (images narrower
// than 5 pixels) the limit would never grow and the merging could not end.
int LimitStep(int width, const ConversionSettings& settings);

// Reduces an 8- or 4-bit image (`depth` 4 or 8, see IndexedTargetFor). With
// "最適化" off the colours are mapped onto the fixed 16-colour palette. Otherwise
// the colour-table entries (behind the reserved black when black is reserved) are
// ranked by use and merged: a pass raises the distance threshold by 6 (1 with
// "mode2") and the count limit by LimitStep, and merges the less used of two
// colours closer than the threshold while that one is used less than the limit;
// without "mode2", colours within distance 10 and dark colours near the reserved
// black go at once. The survivors, ordered by red² + green² + blue², form the
// table, and every pixel takes its nearest survivor. Does nothing for other formats
// or an empty image.
void ReduceIndexed(Bitmap& image, int depth, const ConversionSettings& settings);

}  // namespace glyphwell::imaging
