#include "controls/control_color.h"

namespace glyphwell::controls {

TColor SystemColor(int index) {
  switch (index) {
    case kSysWindow:
      return clWhite;
    case kSysWindowText:
      return clBlack;
    case kSysHighlight:
      return RgbHex(0x3399FF);
    case kSysBtnFace:
      return RgbHex(0xF0F0F0);
    case 16:  // button shadow
      return RgbHex(0xA0A0A0);
    case 20:  // button highlight
      return clWhite;
    case 14:  // highlighted text
      return clWhite;
    case 18:  // button text
      return clBlack;
    default:
      return RgbHex(0xF0F0F0);
  }
}

TColor ChkSysColorToColor(TColor c) {
  if (c < 0) return SystemColor(c & 0xFF);
  return c;
}

namespace {
int MixChannel(int c1, int c2, int level) {
  // >> on a negative int is an arithmetic shift in C++20: the floor of / 256.
  return (c2 + (((c1 - c2) * level) >> 8)) & 0xFF;
}
}  // namespace

TColor GetAlphaColor(TColor c1, TColor c2, int level) {
  return MakeColor(MixChannel(RedOf(c1), RedOf(c2), level),
                   MixChannel(GreenOf(c1), GreenOf(c2), level),
                   MixChannel(BlueOf(c1), BlueOf(c2), level));
}

TColor DarkenChannels(TColor c, int amount) {
  auto down = [amount](int v) { return v > amount ? v - amount : v; };
  return MakeColor(down(RedOf(c)), down(GreenOf(c)), down(BlueOf(c)));
}

}  // namespace glyphwell::controls
