#include "cli/settings_flags.h"

#include <charconv>

namespace glyphwell::cli {

namespace {

using imaging::Depth;
using imaging::OutputType;
using imaging::SizeChoice;
using imaging::SourceKind;

bool ParseInt(const std::string& text, int& value) {
  const char* end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && p == end && !text.empty();
}

bool ParseUserSize(const std::string& text, int& width, int& height) {
  auto x = text.find_first_of("xX");
  if (x == std::string::npos) return false;
  return ParseInt(text.substr(0, x), width) && ParseInt(text.substr(x + 1), height);
}

}  // namespace

const char* SettingsFlagsUsage() {
  return "  --mode icon|bmp|normal        extraction mode for modules (default icon)\n"
         "  --type bmp|jpeg|png|ico       output type (default ico)\n"
         "  --depth 32|24|256|16|2        colour depth (default 16)\n"
         "  --size 16|24|32|48|user|original  output size (default 32)\n"
         "  --user WxH                    user size, 16 to 256 a side (default 64x64)\n"
         "  --original-colours            keep the bit depth of the extracted image\n"
         "  --no-optimize                 fixed palettes instead of optimized ones\n"
         "  --correct                     clear the image where the mask is transparent\n"
         "  --gray                        convert to gray\n"
         "  --transparency-colour         add black at colour-table index 0\n"
         "  --blur 1|2                    blur I (horizontal) or blur II (3 x 3)\n"
         "  --mode2                       the alternative reduction mode\n"
         "  --no-mask                     save without the mask (not with --type ico)\n"
         "  --png-colours N               PNG colours at --type png --depth 256:\n"
         "                                32, 64, ... 256, or any 8 to 256 (default 256)\n";
}

bool ParseSettingsFlag(const Args& args, std::size_t& i, SettingsFlags& flags, std::string& error) {
  const std::string& flag = args[i];
  imaging::ConversionSettings& s = flags.settings;
  static const char* const kSwitches[] = {
      "--original-colours",    "--no-optimize", "--correct", "--gray",
      "--transparency-colour", "--mode2",       "--no-mask"};
  for (const char* name : kSwitches) {
    if (flag != name) continue;
    if (flag == "--original-colours") s.keepSourceDepth = true;
    if (flag == "--no-optimize") s.optimizedPalette = false;
    if (flag == "--correct") s.correction = true;
    if (flag == "--gray") s.gray = true;
    if (flag == "--transparency-colour") s.transparencyColour = true;
    if (flag == "--mode2") s.mode2 = true;
    if (flag == "--no-mask") {
      s.mask = false;
      flags.noMaskGiven = true;
    }
    ++i;
    return true;
  }
  static const char* const kValued[] = {"--mode", "--type", "--depth",      "--size",
                                        "--user", "--blur", "--png-colours"};
  bool valued = false;
  for (const char* name : kValued)
    valued = valued || flag == name;
  if (!valued) return false;
  if (i + 1 >= args.size()) {
    error = flag + " needs a value";
    i = args.size();
    return true;
  }
  const std::string& v = args[i + 1];
  i += 2;
  if (flag == "--mode") {
    if (v == "icon")
      flags.mode = extract::ExtractionMode::kIcon;
    else if (v == "bmp")
      flags.mode = extract::ExtractionMode::kBmp;
    else if (v == "normal")
      flags.mode = extract::ExtractionMode::kNormal;
    else
      error = "--mode must be icon, bmp or normal";
  } else if (flag == "--type") {
    if (v == "bmp")
      s.outputType = OutputType::Bmp;
    else if (v == "jpeg" || v == "jpg")
      s.outputType = OutputType::Jepg;
    else if (v == "png")
      s.outputType = OutputType::Png;
    else if (v == "ico")
      s.outputType = OutputType::Icon;
    else
      error = "--type must be bmp, jpeg, png or ico";
  } else if (flag == "--depth") {
    flags.depthGiven = true;
    if (v == "32")
      s.depth = Depth::Bits32;
    else if (v == "24")
      s.depth = Depth::Bits24;
    else if (v == "256")
      s.depth = Depth::Colours256;
    else if (v == "16")
      s.depth = Depth::Colours16;
    else if (v == "2")
      s.depth = Depth::Colours2;
    else
      error = "--depth must be 32, 24, 256, 16 or 2";
  } else if (flag == "--size") {
    if (v == "16")
      s.sizeChoice = SizeChoice::Size16;
    else if (v == "24")
      s.sizeChoice = SizeChoice::Size24;
    else if (v == "32")
      s.sizeChoice = SizeChoice::SystemLarge;
    else if (v == "48")
      s.sizeChoice = SizeChoice::Size48;
    else if (v == "user")
      s.sizeChoice = SizeChoice::User;
    else if (v == "original")
      s.sizeChoice = SizeChoice::Original;
    else
      error = "--size must be 16, 24, 32, 48, user or original";
  } else if (flag == "--user") {
    flags.userGiven = true;
    int w = 0, h = 0;
    if (!ParseUserSize(v, w, h) || w < 16 || w > 256 || h < 16 || h > 256)
      error = "--user must be WxH with each side from 16 to 256";
    s.userWidth = w;
    s.userHeight = h;
  } else if (flag == "--blur") {
    if (v == "1") {
      s.blur1 = true;
      s.blur2 = false;
    } else if (v == "2") {
      s.blur2 = true;
      s.blur1 = false;
    } else {
      error = "--blur must be 1 or 2";
    }
  } else if (flag == "--png-colours") {
    flags.pngColoursGiven = true;
    int n = 0;
    if (!ParseInt(v, n) || n < 8 || n > 256) error = "--png-colours must be a number from 8 to 256";
    s.pngColourCount = n;
  }
  return true;
}

std::string ApplySource(SettingsFlags& flags, SourceKind kind, bool ownParser) {
  imaging::ConversionSettings& s = flags.settings;
  s.sourceKind = kind;
  s.ownParser = ownParser;
  const bool picture = kind == SourceKind::Picture;
  const bool jpeg = s.outputType == OutputType::Jepg;
  const bool ownParserMode =
      ownParser && (kind == SourceKind::IconMode || kind == SourceKind::BmpMode);

  // "Original" colours: offered for pictures and for modules read by the own
  // parser; never together with JPEG output, which unticks it.
  s.keepSourceDepthEnabled = (picture || ownParserMode) && !jpeg;
  if (s.keepSourceDepth && !s.keepSourceDepthEnabled) {
    return jpeg ? "--original-colours cannot be used with --type jpeg"
                : "--original-colours needs a picture or a module read in icon or bmp mode";
  }
  if (jpeg) {
    if (flags.depthGiven && s.depth != Depth::Bits24)
      return "--depth cannot be chosen with --type jpeg (JPEG is always 24 bit)";
    s.depth = Depth::Bits24;
  }
  if (flags.depthGiven && s.keepSourceDepth)
    return "--depth cannot be chosen with --original-colours";
  if (s.sizeChoice == SizeChoice::Original) {
    bool offered = ownParser || (picture && s.outputType != OutputType::Icon);
    if (!offered) {
      return picture ? "--size original is not offered for a picture saved as ico"
                     : "--size original needs a module read in icon or bmp mode";
    }
  }
  if (flags.userGiven && s.sizeChoice != SizeChoice::User) return "--user needs --size user";
  if (flags.noMaskGiven && s.outputType == OutputType::Icon)
    return "--no-mask is not offered for --type ico";
  if (flags.pngColoursGiven && (s.outputType != OutputType::Png || s.depth != Depth::Colours256)) {
    return "--png-colours needs --type png and --depth 256";
  }
  return {};
}

}  // namespace glyphwell::cli
