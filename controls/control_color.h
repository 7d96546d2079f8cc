#pragma once
// Colour values of the drawn controls. A colour is either explicit, packed as
// red + 256 * green + 65536 * blue, or a reference to a system colour: top bit set and
// the system colour's index in the low byte (clBtnFace and friends below).

#include <cstdint>

namespace glyphwell::controls {

using TColor = std::int32_t;

// System colour indexes as the desktop numbers them.
inline constexpr int kSysWindow = 5;
inline constexpr int kSysWindowText = 8;
inline constexpr int kSysHighlight = 13;
inline constexpr int kSysBtnFace = 15;

constexpr TColor SystemColorRef(int index) {
  return static_cast<TColor>(0x80000000u | 0x7F000000u | static_cast<std::uint32_t>(index & 0xFF));
}

inline constexpr TColor clBtnFace = SystemColorRef(kSysBtnFace);
inline constexpr TColor clHighlight = SystemColorRef(kSysHighlight);
inline constexpr TColor clWindow = SystemColorRef(kSysWindow);
inline constexpr TColor clWindowText = SystemColorRef(kSysWindowText);
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;

// The colour written red-first as 0xRRGGBB, as designers note it.
constexpr TColor RgbHex(std::uint32_t rrggbb) {
  return static_cast<TColor>(((rrggbb >> 16) & 0xFF) | (rrggbb & 0xFF00) | ((rrggbb & 0xFF) << 16));
}
// The explicit colour back as 0xRRGGBB (what QRgb holds without alpha).
constexpr std::uint32_t ToRgbHex(TColor c) {
  const auto v = static_cast<std::uint32_t>(c);
  return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}
constexpr int RedOf(TColor c) {
  return c & 0xFF;
}
constexpr int GreenOf(TColor c) {
  return (c >> 8) & 0xFF;
}
constexpr int BlueOf(TColor c) {
  return (c >> 16) & 0xFF;
}
constexpr TColor MakeColor(int red, int green, int blue) {
  return (red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16);
}

// The explicit colour of system colour `index` (a fixed classic desktop scheme, so
// that the controls look the same on every desktop and in tests).
TColor SystemColor(int index);

// A system colour reference (negative value) becomes the system colour of its low
// byte; any other value is returned unchanged.
TColor ChkSysColorToColor(TColor c);

// Per channel: c2 + ((c1 - c2) * level) >> 8 (arithmetic shift, i.e. floor of the
// division by 256), kept to its low 8 bits. Level 0 gives c2; higher levels move
// toward c1.
TColor GetAlphaColor(TColor c1, TColor c2, int level);

// Each of red, green and blue reduced by `amount` where it is above `amount`.
TColor DarkenChannels(TColor c, int amount);

}  // namespace glyphwell::controls
