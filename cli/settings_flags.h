#pragma once
// The conversion settings as command-line flags, shared by every command that
// converts images. A flag the main window would not offer in the current state is
// refused with a usage error rather than silently changed.
//
//   --mode icon|bmp|normal       extraction mode for modules and icon files (icon)
//   --type bmp|jpeg|png|ico      output type (ico)
//   --depth 32|24|256|16|2       colour depth (16)
//   --size 16|24|32|48|user|original   output size (32)
//   --user WxH                   user size, 16 to 256 a side (64x64)
//   --original-colours           keep the bit depth of the extracted image
//   --no-optimize                fixed palettes instead of optimized ones
//   --correct                    clear the image where the mask is transparent
//   --gray                       convert to gray
//   --transparency-colour        put black at colour-table index 0
//   --blur 1|2                   blur I (horizontal) or blur II (3 x 3)
//   --mode2                      the alternative reduction mode
//   --no-mask                    save without the mask (not for ico)
//   --png-colours N              PNG palette size for png at 256 colours (256)

#include <string>

#include "cli/commands.h"
#include "extract/extraction_mode.h"
#include "imaging/conversion_settings.h"

namespace glyphwell::cli {

struct SettingsFlags {
  imaging::ConversionSettings settings;
  extract::ExtractionMode mode = extract::ExtractionMode::kIcon;
  // Which flags were given, for the checks that depend on the source.
  bool depthGiven = false;
  bool userGiven = false;
  bool pngColoursGiven = false;
  bool noMaskGiven = false;
};

// The usage lines of the flags, for a command's --help.
const char* SettingsFlagsUsage();

// When args[i] is a settings flag, consumes it (and its value), updates `flags` and
// returns true; `error` is set when the flag or its value is not valid. Returns
// false, consuming nothing, for any other argument.
bool ParseSettingsFlag(const Args& args, std::size_t& i, SettingsFlags& flags, std::string& error);

// Completes the settings for the opened source (its kind and whether the own parser
// read it) and checks every given flag against what the window offers for it.
// Returns an error text for a refused combination, empty when all is well.
std::string ApplySource(SettingsFlags& flags, imaging::SourceKind kind, bool ownParser);

}  // namespace glyphwell::cli
