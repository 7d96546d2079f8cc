#pragma once
// ConversionSettings: everything the conversion pipeline reads from the main
// window's controls, plus the few facts about the current source and the pixel
// editor that change its behaviour. The main window fills one of these from its
// controls each time a conversion runs; nothing is cached between conversions.
//
// Index-valued settings keep the list positions of the controls ("32bit" is depth
// 0, "Icon" is output type 3, ...), so a value read from a list maps directly.

namespace glyphwell::imaging {

// "保存形式": the save type list, in list order.
enum class OutputType { Bmp = 0, Jepg = 1, Png = 2, Icon = 3 };

// "色数": the colour count list, in list order.
enum class Depth { Bits32 = 0, Bits24 = 1, Colours256 = 2, Colours16 = 3, Colours2 = 4 };

// "表示と保存サイズ": the size group, in item order. SystemLarge is the item captioned
// with the system's large icon size; it always gives 32 x 32.
enum class SizeChoice {
  Size16 = 0,
  Size24 = 1,
  SystemLarge = 2,
  Size48 = 3,
  User = 4,
  Original = 5
};

// What the current image came from.
enum class SourceKind {
  // A picture file (.bmp .jpg .jpeg .png .wmf), or a pasted picture (no current file).
  Picture,
  // A module read by the own parser with "Bmp" (all bitmaps) extraction.
  BmpMode,
  // A module read by the own parser with "Icon" (all icon images) extraction.
  IconMode,
  // Icons obtained through the platform's icon extraction.
  NormalMode,
};

// The pixel editor's two reduction sliders and whether the editor is there at all.
struct EditorReductionState {
  bool exists = false;   // the editor window has been created
  bool visible = false;  // ... and is shown
  // "減色補正" (reduction correction), 1 to 20: multiplies the count-limit step.
  int reductionCorrection = 8;
  // "暗い色の除外レベル" (dark colour exclusion level), 0 to 200.
  int darkLevel = 30;
};

struct ConversionSettings {
  OutputType outputType = OutputType::Icon;
  Depth depth = Depth::Colours16;
  SizeChoice sizeChoice = SizeChoice::SystemLarge;
  int userWidth = 64;   // "幅", 16 to 256
  int userHeight = 64;  // "高さ", 16 to 256

  // "Original": keep the bit depth of the extracted image. `keepSourceDepthEnabled`
  // is the check box's enabled state, which the "Original" colours rule consults.
  bool keepSourceDepth = false;
  bool keepSourceDepthEnabled = true;

  bool optimizedPalette = true;     // "最適化"
  bool correction = false;          // "補正": clear the image where the mask is transparent
  bool gray = false;                // "Gray"
  bool transparencyColour = false;  // "透過色の追加": black at colour-table index 0
  bool blur1 = false;               // "ぼかし": horizontal, radius 1
  bool blur2 = false;               // "ぼかしⅡ": 3 x 3, radius 1
  bool mode2 = false;               // "mode2": the alternative reduction mode
  bool mask = true;                 // "Mask": save using the mask (all types but Icon)

  // The PNG colour count for "Png" with "256色": 32, 64, ... 256 from the list, or the
  // number field's value (8 to 256) for "他".
  int pngColourCount = 256;

  // Facts about the current source.
  SourceKind sourceKind = SourceKind::Picture;
  bool ownParser = false;  // the current module was read by the own parser

  EditorReductionState editor;
};

// True for a picture source and for bitmaps taken from a module in "Bmp" mode.
inline bool IsPictureOrBmpMode(const ConversionSettings& s) {
  return s.sourceKind == SourceKind::Picture || s.sourceKind == SourceKind::BmpMode;
}

// Whether the colour reductions put black first among their candidates as the
// transparency colour: icons taken from modules always do; pictures (and Bmp-mode
// bitmaps) only when saved as "Icon" with "透過色の追加".
inline bool ReservesBlack(const ConversionSettings& s) {
  if (!IsPictureOrBmpMode(s)) return true;
  return s.outputType == OutputType::Icon && s.transparencyColour;
}

// The "Original" colours rule: whether the source's own pixel format is kept.
inline bool KeepsSourceColours(const ConversionSettings& s) {
  if (IsPictureOrBmpMode(s)) return s.keepSourceDepth && s.keepSourceDepthEnabled;
  return s.keepSourceDepth && s.ownParser;
}

}  // namespace glyphwell::imaging
